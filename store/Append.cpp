#include "store/Append.h"

#include <QSet>

#include "store/Fields.h"

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
        for (; !t.eof(); t.next()) titles.insert(t.asString(store::kFieldTheme));
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
        const QString theme = src.asString(store::kFieldTheme);
        if (skipExisting && titles.contains(theme)) {
            ++r.skipped;
        } else {
            dst.append();
            dst.setValue(store::kFieldGroup, src.value(store::kFieldGroup));
            dst.setValue(store::kFieldTheme, src.value(store::kFieldTheme));
            const bool rtf = src.asBoolean(store::kFieldIsFormat);
            dst.setValue(store::kFieldIsFormat, rtf);
            if (!src.isNull(store::kFieldContent)) {
                if (rtf)
                    dst.writeBlob(store::kFieldContent, src.readBlob(store::kFieldContent));
                else
                    dst.setValue(store::kFieldContent, src.asString(store::kFieldContent));
            }
            dst.setValue(store::kFieldSeqNo, kSeqNoLast);
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
