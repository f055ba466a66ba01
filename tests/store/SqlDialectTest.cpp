// Every SQL text the program issues, run verbatim against a real encrypted
// database, with the effect it must have.

#include <gtest/gtest.h>

#include <functional>

#include "store/ArticleStore.h"
#include "store/SqlText.h"
#include "tests/store/QtPrinters.h"
#include "tests/support/Helpers.h"
#include "tests/support/TempDb.h"

using store::Params;
using testsupport::TempDb;

namespace {

const QByteArray kRtf = QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3\\'ba\\'c3}\0\x01\xff", 30);

// datum: four articles in two categories plus one with a quote in its
// category; titles whose byte order differs from the case-insensitive order.
void seed(TempDb& db) {
    db.addArticle("datum", "读书", "banana", 2, false, "plain body one");
    db.addArticle("datum", "随笔", "Apple", 1, true, kRtf);
    db.addArticle("datum", "读书", "cherry", std::nullopt, false, "plain body two");
    db.addArticle("datum", "O'Brien", "Date", 3, false, "third plain body");
}

// seed plus two articles without a category: one empty, one null.
void withoutCategory(TempDb& db) {
    seed(db);
    db.addArticle("datum", "", "Fig", 4);
    db.addArticle("datum", "<null>", "Egg", 5);
    db.exec("update datum set [group]=NULL where [group]='<null>'");
}

void seedUsersAndWorkbooks(TempDb& db) {
    seed(db);
    db.exec(
        "Create table UsersData(userID char(50) PRIMARY key,Passwords char(50),Grade int "
        "Default 1)");
    db.exec("insert into UsersData(userID) values('Admin')");
    db.exec("select * into datum1 from datum where 1=2");
}

// A `datum` as an older file may have it: no SeqNo, body kept in the table.
void legacyDatum(TempDb& db) {
    db.exec("drop table datum");
    db.exec(
        "create table datum(id integer primary key autoincrement, [group] text, theme text, "
        "isformat boolean, content text)");
    db.exec("insert into datum([group],theme,isformat,content) values('g','t1',0,'x')");
    db.exec("insert into datum([group],theme,isformat,content) values('g','t2',0,'y')");
}

QStringList col(TempDb& db, const QString& sql, const QString& field) {
    return db.column(sql, field);
}

struct SqlCase {
    const char* name;
    std::function<void(TempDb&)> setup;
    QString sql;
    Params params;
    bool query;
    QString field;                       // for queries: this field over the rows ...
    QStringList expected;                // ... must be this
    std::function<void(TempDb&)> check;  // for commands
};

using testsupport::L;

}  // namespace

TEST(SqlDialect, EveryStatementOfTheProgramRunsWithItsEffect) {
    const QString G = QStringLiteral("读书");
    const std::vector<SqlCase> cases = {
        {"workbook open",
         seed,
         store::workbookOpenSql("datum"),
         {},
         true,
         "theme",
         L({"cherry", "Apple", "banana", "Date"}),
         {}},
        {"all, title ascending (case ignored)",
         seed,
         store::CBXAllItem(store::SortMode::Ascending, "datum"),
         {},
         true,
         "theme",
         L({"Apple", "banana", "cherry", "Date"}),
         {}},
        {"all, title descending",
         seed,
         store::CBXAllItem(store::SortMode::Descending, "datum"),
         {},
         true,
         "theme",
         L({"Date", "cherry", "banana", "Apple"}),
         {}},
        {"all, custom order (nulls first)",
         seed,
         store::CBXAllItem(store::SortMode::Custom, "datum"),
         {},
         true,
         "theme",
         L({"cherry", "Apple", "banana", "Date"}),
         {}},
        {"one category, ascending",
         seed,
         store::CBXNoAllItem(store::SortMode::Ascending, "datum"),
         {{"group", G}},
         true,
         "theme",
         L({"banana", "cherry"}),
         {}},
        {"one category, descending",
         seed,
         store::CBXNoAllItem(store::SortMode::Descending, "datum"),
         {{"group", G}},
         true,
         "theme",
         L({"cherry", "banana"}),
         {}},
        {"one category, custom",
         seed,
         store::CBXNoAllItem(store::SortMode::Custom, "datum"),
         {{"group", G}},
         true,
         "theme",
         L({"cherry", "banana"}),
         {}},
        {"one category, Latin case ignored",
         seed,
         store::CBXNoAllItem(store::SortMode::Custom, "datum"),
         {{"group", QStringLiteral("o'brien")}},
         true,
         "theme",
         L({"Date"}),
         {}},
        {"the empty category, null rows included",
         withoutCategory,
         store::CBXNoAllItem(store::SortMode::Ascending, "datum"),
         {{"group", ""}},
         true,
         "theme",
         L({"Egg", "Fig"}),
         {}},
        {"the empty category, custom order",
         withoutCategory,
         store::CBXNoAllItem(store::SortMode::Custom, "datum"),
         {{"group", ""}},
         true,
         "theme",
         L({"Fig", "Egg"}),
         {}},
        {"add SeqNo",
         legacyDatum,
         "alter table datum add SeqNo int null",
         {},
         false,
         {},
         {},
         [](TempDb& db) {
             EXPECT_TRUE(db.conn().fieldNames("datum").contains("SeqNo"));
             EXPECT_EQ(col(db, "select * from datum", "SeqNo"), L({"<null>", "<null>"}));
         }},
        {"create UsersData",
         seed,
         "Create table UsersData(userID char(50) PRIMARY key,Passwords char(50),Grade int "
         "Default 1)",
         {},
         false,
         {},
         {},
         [](TempDb& db) {
             db.exec("insert into UsersData(userID) values('Admin')");
             EXPECT_EQ(col(db, "select * from UsersData", "Grade"), L({"1"}));
             // The key compares without regard to case.
             EXPECT_ANY_THROW(db.exec("insert into UsersData(userID) values('ADMIN')"));
             // char(50) holds 50 characters, no more.
             EXPECT_NO_THROW(
                 db.exec("update UsersData set Passwords=:p", {{"p", QString(50, QChar(0x5bc6))}}));
             EXPECT_ANY_THROW(
                 db.exec("update UsersData set Passwords=:p", {{"p", QString(51, 'x')}}));
         }},
        {"user rows",
         seedUsersAndWorkbooks,
         "Select * from UsersData",
         {},
         true,
         "userID",
         L({"Admin"}),
         {}},
        {"empty copy of datum",
         seed,
         "select * into datum2 from datum where 1=2",
         {},
         false,
         {},
         {},
         [](TempDb& db) {
             EXPECT_EQ(db.conn().fieldNames("datum2"), db.conn().fieldNames("datum"));
             EXPECT_EQ(db.scalar("select count(*) from datum2").toInt(), 0);
             const qint64 a = db.addArticle("datum2", "Notes", "x", 1);
             const qint64 b = db.addArticle("datum2", "notes", "y", 2);
             EXPECT_EQ(b, a + 1);  // engine-assigned keys
             EXPECT_EQ(db.scalar("select count(*) from datum2 where [group]='NOTES'").toInt(), 2);
         }},
        {"ordered numbers",
         seed,
         "select id,seqno from datum ORDER By [seqno]",
         {},
         true,
         "id",
         L({"3", "2", "1", "4"}),
         {}},
        {"stored order",
         seed,
         "select id,seqno,theme from datum",
         {},
         true,
         "theme",
         L({"banana", "Apple", "cherry", "Date"}),
         {}},
        {"drop moving up",
         seed,
         "update datum set SeqNo=SeqNo+1 where (([SeqNo]>=:SeqNoEndValue)and "
         "([SeqNo]<:SeqNoFirValue))  ",
         {{"SeqNoFirValue", 3}, {"SeqNoEndValue", 1}},
         false,
         {},
         {},
         [](TempDb& db) {
             EXPECT_EQ(col(db, "select * from datum", "SeqNo"), L({"3", "2", "<null>", "3"}));
         }},
        {"drop moving down",
         seed,
         "update datum set SeqNo=SeqNo-1 where (([SeqNo]<=:SeqNoEndValue)and "
         "([SeqNo]>:SeqNoFirValue))  ",
         {{"SeqNoFirValue", 1}, {"SeqNoEndValue", 3}},
         false,
         {},
         {},
         [](TempDb& db) {
             EXPECT_EQ(col(db, "select * from datum", "SeqNo"), L({"1", "1", "<null>", "2"}));
         }},
        {"order-number fix-up",
         seed,
         "update datum Set SeqNo=999999999 where ISNULL(SeqNo)",
         {},
         false,
         {},
         {},
         [](TempDb& db) {
             EXPECT_EQ(col(db, "select * from datum", "SeqNo"), L({"2", "1", "999999999", "3"}));
         }},
        {"set copy, whole workbook",
         seedUsersAndWorkbooks,
         "insert into datum1 select group,theme,isformat,content from datum",
         {},
         false,
         {},
         {},
         [](TempDb& db) {
             EXPECT_EQ(col(db, "select * from datum1", "theme"),
                       L({"banana", "Apple", "cherry", "Date"}));
             EXPECT_EQ(col(db, "select * from datum1", "SeqNo"),
                       L({"<null>", "<null>", "<null>", "<null>"}));
             store::RecordSet rs(db.conn());
             rs.setSql("select * from datum1 where theme='Apple'");
             rs.open();
             EXPECT_EQ(rs.readBlob("content"), kRtf);
             EXPECT_EQ(rs.value("content").typeId(), QMetaType::QByteArray);
             EXPECT_TRUE(rs.asBoolean("isformat"));
             rs.setSql("select * from datum1 where theme='banana'");
             rs.open();
             EXPECT_EQ(rs.value("content"), QVariant(QStringLiteral("plain body one")));
             EXPECT_NE(rs.value("id").toInt(), 0);
         }},
        {"set copy, one category",
         seedUsersAndWorkbooks,
         "insert into datum1 select group,theme,isformat,content from datum where [group]= '读书'",
         {},
         false,
         {},
         {},
         [](TempDb& db) {
             EXPECT_EQ(col(db, "select * from datum1", "theme"), L({"banana", "cherry"}));
             EXPECT_EQ(col(db, "select * from datum1", "content"),
                       L({"plain body one", "plain body two"}));
         }},
        {"set delete, whole workbook",
         seed,
         "delete * from datum",
         {},
         false,
         {},
         {},
         [](TempDb& db) { EXPECT_EQ(db.scalar("select count(*) from datum").toInt(), 0); }},
        {"set delete, one category",
         seed,
         "delete * from datum where [group]= '读书'",
         {},
         false,
         {},
         {},
         [](TempDb& db) {
             EXPECT_EQ(col(db, "select * from datum", "theme"), L({"Apple", "Date"}));
             // The bodies of the deleted rows go with them.
             EXPECT_EQ(db.scalar("select count(*) from [datum$body]").toInt(), 2);
         }},
        {"source rows, one category",
         seed,
         "select * from datum where [group]= '读书'",
         {},
         true,
         "theme",
         L({"banana", "cherry"}),
         {}},
        {"reading categories",
         seed,
         "select *  from datum",
         {},
         true,
         "group",
         L({"读书", "随笔", "读书", "O'Brien"}),
         {}},
        {"rename category",
         seed,
         "update datum set [group]= '随想' where [group]= '读书'",
         {},
         false,
         {},
         {},
         [](TempDb& db) {
             EXPECT_EQ(col(db, "select * from datum", "group"),
                       L({"随想", "随笔", "随想", "O'Brien"}));
         }},
        {"title search",
         seed,
         "SELECT * FROM datum WHERE [theme] LIKE :theme ORDER  By theme",
         {{"theme", QStringLiteral("%A%")}},
         true,
         "theme",
         L({"Apple", "banana", "Date"}),
         {}},
        {"title search with % alone",
         seed,
         "SELECT * FROM datum WHERE [theme] LIKE :theme ORDER  By theme",
         {{"theme", QStringLiteral("%%%")}},
         true,
         "theme",
         L({"Apple", "banana", "cherry", "Date"}),
         {}},
        {"content search",
         seed,
         "SELECT * FROM datum WHERE [content] LIKE :content ORDER  By content",
         {{"content", QStringLiteral("%PLAIN BODY%")}},
         true,
         "theme",
         L({"banana", "cherry", "Date"}),
         {}},
        {"content search in markup",
         seed,
         "SELECT * FROM datum WHERE [content] LIKE :content ORDER  By content",
         {{"content", QStringLiteral("%ansicpg936%")}},
         true,
         "theme",
         L({"Apple"}),
         {}},
        {"main workbook after compaction",
         seed,
         "select * from datum ",
         {},
         true,
         "theme",
         L({"banana", "Apple", "cherry", "Date"}),
         {}},
        {"password lookup",
         seedUsersAndWorkbooks,
         "Select Passwords from UsersData\nWhere UserID=\"admin\"",
         {},
         true,
         "Passwords",
         L({"<null>"}),
         {}},
        {"password change",
         seedUsersAndWorkbooks,
         "Update UsersData SET Passwords=\"o'k\"\nWhere UserID=\"admin\"",
         {},
         false,
         {},
         {},
         [](TempDb& db) {
             EXPECT_EQ(col(db, "select * from UsersData", "Passwords"), L({"o'k"}));
         }},
        {"move target", seedUsersAndWorkbooks, "select * from datum1", {}, true, "theme", {}, {}},
    };
    for (const SqlCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDb db;
        c.setup(db);
        try {
            if (c.query) {
                EXPECT_EQ(db.column(c.sql, c.field, c.params), c.expected);
            } else {
                db.exec(c.sql, c.params);
                c.check(db);
            }
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(SqlDialect, RewritesLeaveQuotedTextAlone) {
    using store::sqltext::toSqlite;
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"delete * from T", "delete  from T"},
        {"select 'delete * from x' from T", "select 'delete * from x' from T"},
        {"select * from T where ISNULL(SeqNo)", "select * from T where ((SeqNo) IS NULL)"},
        {"select 'ISNULL(a)' from T", "select 'ISNULL(a)' from T"},
        {"select \"it's \"\"x\"\"\" from T", "select 'it''s \"x\"' from T"},
        {"select group,theme from T", "select [group],theme from T"},
        {"select [group] from T group by [group]", "select [group] from T group by [group]"},
        {"select 'group' from T", "select 'group' from T"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toSqlite(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}
