#include "store/Append.h"

#include <QSet>

namespace store {

AppendResult appendArticles(Connection& source, const QString& sourceTable, ArticleStore& target,
                            const QString& targetTable, bool skipExisting,
                            const AppendProgress& progress) {
    if (workbookPosition(sourceTable) < 0 || workbookPosition(targetTable) < 0)
        throw StoreError("not a workbook table");
    if (!source.tableExists(sourceTable))
        throw StoreError(QStringLiteral("no such table: %1").arg(sourceTable).toStdString());
    AppendResult r;
    Connection& tc = target.connection();
    Transaction tx(tc);
    QSet<QString> titles;
    if (skipExisting) {
        RecordSet t(tc);
        t.setSql(QStringLiteral("select theme from ") + targetTable);
        t.open();
        for (; !t.eof(); t.next()) titles.insert(t.asString(QStringLiteral("theme")));
    }
    RecordSet src(source);
    src.setSql(QStringLiteral("select * from ") + sourceTable +
               QStringLiteral(" ORDER  By [seqno]"));
    src.open();
    const int total = src.recordCount();
    RecordSet dst(tc);
    dst.setSql(QStringLiteral("select * from ") + targetTable + QStringLiteral(" where 1=2"));
    dst.open();
    int done = 0;
    for (src.first(); !src.eof(); src.next()) {
        const QString theme = src.asString(QStringLiteral("theme"));
        if (skipExisting && titles.contains(theme)) {
            ++r.skipped;
        } else {
            dst.append();
            dst.setValue(QStringLiteral("group"), src.value(QStringLiteral("group")));
            dst.setValue(QStringLiteral("theme"), src.value(QStringLiteral("theme")));
            const bool rtf = src.asBoolean(QStringLiteral("isformat"));
            dst.setValue(QStringLiteral("isformat"), rtf);
            if (!src.isNull(QStringLiteral("content"))) {
                if (rtf)
                    dst.writeBlob(QStringLiteral("content"),
                                  src.readBlob(QStringLiteral("content")));
                else
                    dst.setValue(QStringLiteral("content"),
                                 src.asString(QStringLiteral("content")));
            }
            dst.setValue(QStringLiteral("SeqNo"), kSeqNoLast);
            dst.post();
            titles.insert(theme);
            ++r.appended;
        }
        ++done;
        if (progress) progress(done, total);
    }
    dst.close();
    src.close();
    target.RenumberSeqNo(targetTable, true);
    tx.commit();
    return r;
}

}  // namespace store
