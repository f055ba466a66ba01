#include "store/Users.h"

#include <QStringList>

namespace store {

QString trimPassword(const QString& s) {
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && s[from].unicode() <= u' ') ++from;
    while (to > from && s[to - 1].unicode() <= u' ') --to;
    return s.mid(from, to - from);
}

QString GetPassword(ArticleStore& s, const QString& user) {
    RecordSet& q = s.ADOQuery3();
    q.close();
    q.clearSql();
    q.clearParams();
    q.setSql(QStringList{QStringLiteral("Select Passwords from UsersData"),
                         QStringLiteral("Where UserID=:user")});
    q.setParam(QStringLiteral("user"), user);
    q.open();
    QString result;
    if (!q.eof()) result = trimPassword(q.asString(QStringLiteral("Passwords")));
    q.close();
    return result;
}

void changePassword(ArticleStore& s, const QString& user, const QString& newPassword) {
    // The column holds 50 characters; refuse a longer text before touching the row.
    if (newPassword.toUcs4().size() > kMaxPasswordLength)
        throw StoreError("password longer than the Passwords column");
    RecordSet& q = s.ADOQuery3();
    q.close();
    q.clearSql();
    q.clearParams();
    q.setSql(QStringList{QStringLiteral("Update UsersData SET Passwords=:pass"),
                         QStringLiteral("Where UserID=:user")});
    q.setParam(QStringLiteral("pass"), newPassword);
    q.setParam(QStringLiteral("user"), user);
    Transaction t(s.connection());
    q.execSql();
    t.commit();
}

}  // namespace store
