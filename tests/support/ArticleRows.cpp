#include "tests/support/ArticleRows.h"

#include <QCryptographicHash>

#include "store/ArticleStore.h"

namespace testsupport {

namespace {

QString bodyKey(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QStringLiteral("N");
    const bool bytes = v.typeId() == QMetaType::QByteArray;
    const QByteArray data = bytes ? v.toByteArray() : v.toString().toUtf8();
    return (bytes ? QStringLiteral("B:") : QStringLiteral("T:")) +
           QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
}

}  // namespace

QStringList articleRows(store::Connection& c, const QString& table, bool withSeqNo) {
    store::RecordSet rs(c);
    rs.setSql(QStringLiteral("select * from ") + table + QStringLiteral(" ORDER BY [seqno], [id]"));
    rs.open();
    QStringList out;
    for (rs.first(); !rs.eof(); rs.next()) {
        QString line = rs.asString(QStringLiteral("group")) + u'|' +
                       rs.asString(QStringLiteral("theme")) + u'|' +
                       (rs.asBoolean(QStringLiteral("isformat")) ? u'1' : u'0') + u'|' +
                       bodyKey(rs.value(QStringLiteral("content")));
        if (withSeqNo)
            line +=
                u'|' + (rs.isNull(QStringLiteral("SeqNo")) ? QStringLiteral("<null>")
                                                           : rs.asString(QStringLiteral("SeqNo")));
        out << line;
    }
    return out;
}

QStringList titles(store::Connection& c, const QString& table) {
    store::RecordSet rs(c);
    rs.setSql(QStringLiteral("select theme from ") + table +
              QStringLiteral(" ORDER BY [seqno], [id]"));
    rs.open();
    QStringList out;
    for (rs.first(); !rs.eof(); rs.next()) out << rs.asString(QStringLiteral("theme"));
    return out;
}

QStringList seqNos(store::Connection& c, const QString& table) {
    store::RecordSet rs(c);
    rs.setSql(QStringLiteral("select SeqNo from ") + table +
              QStringLiteral(" ORDER BY [seqno], [id]"));
    rs.open();
    QStringList out;
    for (rs.first(); !rs.eof(); rs.next())
        out << (rs.isNull(QStringLiteral("SeqNo")) ? QStringLiteral("<null>")
                                                   : rs.asString(QStringLiteral("SeqNo")));
    return out;
}

QStringList libraryFingerprint(store::Connection& c) {
    QStringList all;
    for (int p = 0; p < 4; ++p) {
        const QString table = store::workbookTable(p);
        if (!c.tableExists(table)) continue;
        for (const QString& line : articleRows(c, table)) all << table + u'|' + line;
    }
    all.sort();
    return all;
}

}  // namespace testsupport
