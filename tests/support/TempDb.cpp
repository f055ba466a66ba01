#include "tests/support/TempDb.h"

#include <stdexcept>

#include "store/InitDb.h"

namespace testsupport {

TempDb::TempDb(Kind kind) : oldCwd_(QDir::currentPath()) {
    if (!tmp_.isValid()) throw std::runtime_error("cannot create a temporary folder");
    QDir(tmp_.path()).mkpath(QStringLiteral("data"));
    if (kind == Kind::Installation) {
        if (const auto created = store::createInstallationDatabase(tmp_.path()); !created)
            throw std::runtime_error(created.error().toStdString());
    } else if (kind == Kind::Empty) {
        store::Connection::createDatabaseFile(dbPath(),
                                              QString::fromLatin1(store::kDatabasePassword));
        conn().createArticleTable(QStringLiteral("datum"));
    }
    QDir::setCurrent(tmp_.path());
}

TempDb::~TempDb() {
    conn_.reset();
    QDir::setCurrent(oldCwd_);
}

QString TempDb::dir() const {
    return tmp_.path();
}

QString TempDb::dbPath() const {
    return QDir(tmp_.path()).absoluteFilePath(QStringLiteral("data/YunjanDB.mdb"));
}

store::Connection& TempDb::conn() {
    if (!conn_) {
        conn_ = std::make_unique<store::Connection>();
        conn_->setConnectionString(
            store::makeConnectionString(dbPath(), QString::fromLatin1(store::kDatabasePassword)));
    }
    conn_->open();
    return *conn_;
}

void TempDb::closeConnection() {
    if (conn_) conn_->close();
}

qint64 TempDb::addArticle(const QString& table, const QString& group, const QString& theme,
                          std::optional<int> seqNo, bool isFormat, const QByteArray& body) {
    store::RecordSet rs(conn());
    rs.setSql(QStringLiteral("select * from ") + table + QStringLiteral(" where 1=0"));
    rs.open();
    rs.append();
    rs.setValue(QStringLiteral("group"), group);
    rs.setValue(QStringLiteral("theme"), theme);
    rs.setValue(QStringLiteral("isformat"), isFormat);
    if (isFormat)
        rs.writeBlob(QStringLiteral("content"), body);
    else
        rs.setValue(QStringLiteral("content"), QString::fromUtf8(body));
    if (seqNo)
        rs.setValue(QStringLiteral("SeqNo"), *seqNo);
    else
        rs.setNull(QStringLiteral("SeqNo"));
    rs.post();
    return rs.value(QStringLiteral("id")).toLongLong();
}

void TempDb::addArticles(const QString& table, const QString& group, const QString& prefix,
                         int count) {
    store::Transaction tx(conn());
    for (int i = 1; i <= count; ++i) addArticle(table, group, prefix + QString::number(i), i);
    tx.commit();
}

void TempDb::exec(const QString& sql, const store::Params& params) {
    conn().execute(sql, params);
}

QVariant TempDb::scalar(const QString& sql, const store::Params& params) {
    store::RecordSet rs(conn());
    rs.setSql(sql);
    for (const auto& p : params) rs.setParam(p.first, p.second);
    rs.open();
    if (rs.eof()) return QVariant(QString());
    return rs.value(rs.fieldNames().value(0));
}

QStringList TempDb::column(const QString& sql, const QString& field, const store::Params& params) {
    store::RecordSet rs(conn());
    rs.setSql(sql);
    for (const auto& p : params) rs.setParam(p.first, p.second);
    rs.open();
    QStringList out;
    for (rs.first(); !rs.eof(); rs.next())
        out << (rs.isNull(field) ? QStringLiteral("<null>") : rs.asString(field));
    return out;
}

}  // namespace testsupport
