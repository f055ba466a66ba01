// The start-up schema check, renumbering, the drop in the title list and the
// comparison rules of the article store.

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "store/ArticleStore.h"
#include "store/Search.h"
#include "tests/store/QtPrinters.h"
#include "tests/support/ArticleRows.h"
#include "tests/support/Helpers.h"
#include "tests/support/TempDb.h"

using store::ArticleStore;
using testsupport::TempDb;

namespace {

QStringList titles(store::RecordSet& rs) {
    QStringList out;
    for (rs.first(); !rs.eof(); rs.next()) out << rs.asString("theme");
    return out;
}

// "title=number" for every row in stored order.
QStringList numbers(TempDb& db, const QString& table = "datum") {
    QStringList out;
    const QStringList t = db.column("select * from " + table, "theme");
    const QStringList n = db.column("select * from " + table, "SeqNo");
    for (int i = 0; i < t.size(); ++i) out << t[i] + "=" + n[i];
    return out;
}

using testsupport::L;

}  // namespace

// ------------------------------------------------------------ schema check

TEST(CheckDatabase, UpgradesAnOldDatabase) {
    TempDb db;
    db.exec("drop table datum");
    db.exec(
        "create table datum(id integer primary key autoincrement, [group] text, theme text, "
        "isformat boolean, content text)");
    for (const char* t : {"c", "a", "b"})
        db.exec("insert into datum([group],theme,isformat,content) values('g',:t,0,'x')",
                {{"t", QString::fromUtf8(t)}});
    db.closeConnection();

    ArticleStore s;
    s.CheckDatabase();

    // SeqNo numbered 1..N in stored order.
    EXPECT_EQ(numbers(db), L({"c=1", "a=2", "b=3"}));
    // UsersData with the single row "Admin" and no password.
    EXPECT_EQ(db.column("select * from UsersData", "userID"), L({"Admin"}));
    EXPECT_EQ(db.column("select * from UsersData", "Passwords"), L({"<null>"}));
    EXPECT_EQ(db.column("select * from UsersData", "Grade"), L({"1"}));
    // Empty datum1..3 with the fields of datum.
    for (const char* t : {"datum1", "datum2", "datum3"}) {
        SCOPED_TRACE(t);
        EXPECT_EQ(db.conn().fieldNames(t), db.conn().fieldNames("datum"));
        EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from ") + t).toInt(), 0);
    }
    // A second check changes nothing.
    db.exec("update UsersData set Passwords='pw'");
    s.CheckDatabase();
    EXPECT_EQ(db.column("select * from UsersData", "Passwords"), L({"pw"}));
    EXPECT_EQ(numbers(db), L({"c=1", "a=2", "b=3"}));
}

TEST(CheckDatabase, ProgramLayoutGetsTheSameWorkbooks) {
    TempDb db(TempDb::Kind::Installation);
    ArticleStore s;
    s.CheckDatabase();
    const QStringList fields = db.conn().fieldNames("datum");
    for (const char* f : {"id", "group", "theme", "isformat", "content", "SeqNo"})
        EXPECT_TRUE(fields.contains(QString::fromLatin1(f), Qt::CaseInsensitive)) << f;
    EXPECT_EQ(db.conn().tableNames(), L({"datum", "UsersData", "datum1", "datum2", "datum3"}));
    // An article stored in a new workbook keeps an RTF body byte for byte.
    const QByteArray rtf("{\\rtf1 \\'c4\\'e3}\x01\x80", 18);
    db.addArticle("datum3", "g", "t", 1, true, rtf);
    store::RecordSet rs(db.conn());
    rs.setSql("select * from datum3");
    rs.open();
    EXPECT_EQ(rs.readBlob("content"), rtf);
}

TEST(CheckDatabase, AFailingStepLeavesTheFileAsItWas) {
    TempDb db;
    db.exec("drop table datum");
    db.exec(
        "create table datum(id integer primary key autoincrement, [group] text, theme text, "
        "isformat boolean, content text)");
    db.exec("insert into datum([group],theme,isformat,content) values('g','t',0,'x')");
    // Something named datum2 that is not a table: the copy of datum fails.
    db.exec("create view datum2 as select 1 as x");
    db.closeConnection();
    ArticleStore s;
    EXPECT_THROW(s.CheckDatabase(), store::StoreError);
    EXPECT_FALSE(db.conn().fieldNames("datum").contains("SeqNo", Qt::CaseInsensitive));
    EXPECT_EQ(db.conn().tableNames(), L({"datum"}));
}

// ------------------------------------------------------------ renumbering

TEST(Renumber, OrderedPutsNullsFirstAndKeepsTiesInStoredOrder) {
    TempDb db;
    db.addArticle("datum", "g", "a", 3);
    db.addArticle("datum", "g", "b", std::nullopt);
    db.addArticle("datum", "g", "c", 1);
    db.addArticle("datum", "g", "d", 3);
    db.addArticle("datum", "g", "e", std::nullopt);
    ArticleStore s;
    s.RenumberSeqNo("datum", true);
    EXPECT_EQ(numbers(db), L({"a=4", "b=1", "c=3", "d=5", "e=2"}));
    // The auxiliary record set holds the renumbered rows.
    EXPECT_EQ(s.ADOQuery2().recordCount(), 5);
    EXPECT_EQ(s.countRows("datum"), 5);

    s.RenumberSeqNo("datum", false);
    EXPECT_EQ(numbers(db), L({"a=1", "b=2", "c=3", "d=4", "e=5"}));
}

TEST(Renumber, EmptyTableAndOtherTablesUntouched) {
    TempDb db(TempDb::Kind::Installation);
    ArticleStore s;
    s.CheckDatabase();
    db.addArticle("datum1", "g", "x", 7);
    s.RenumberSeqNo("datum2", true);
    EXPECT_EQ(s.countRows("datum2"), 0);
    EXPECT_EQ(numbers(db, "datum1"), L({"x=7"}));
}

// ------------------------------------------------------------ drop

namespace {

struct DropCase {
    const char* name;
    int s, t;
    bool changed;
    QStringList order;    // titles of the main record set afterwards
    QStringList numbers;  // stored order
};

}  // namespace

TEST(Drop, ReordersTheWholeTable) {
    const std::vector<DropCase> cases = {
        {"5 onto 1", 4, 0, true, L({"t5", "t1", "t2", "t3", "t4"}),
         L({"t1=2", "t2=3", "t3=4", "t4=5", "t5=1"})},
        {"1 onto 5", 0, 4, true, L({"t2", "t3", "t4", "t5", "t1"}),
         L({"t1=5", "t2=1", "t3=2", "t4=3", "t5=4"})},
        {"2 onto 4", 1, 3, true, L({"t1", "t3", "t4", "t2", "t5"}),
         L({"t1=1", "t2=4", "t3=2", "t4=3", "t5=5"})},
        {"on itself", 2, 2, false, L({"t1", "t2", "t3", "t4", "t5"}),
         L({"t1=1", "t2=2", "t3=3", "t4=4", "t5=5"})},
        {"below the last item", 2, -1, false, L({"t1", "t2", "t3", "t4", "t5"}),
         L({"t1=1", "t2=2", "t3=3", "t4=4", "t5=5"})},
        {"nothing selected", -1, 2, false, L({"t1", "t2", "t3", "t4", "t5"}),
         L({"t1=1", "t2=2", "t3=3", "t4=4", "t5=5"})},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDb db;
        db.addArticles("datum", "g", "t", 5);
        ArticleStore s;
        s.OpenDb(store::CBXAllItem(store::SortMode::Custom, "datum"));
        EXPECT_EQ(s.dropReorder(c.s, c.t), c.changed);
        EXPECT_EQ(titles(s.ADOQuery1()), c.order);
        EXPECT_EQ(numbers(db), c.numbers);
    }
}

TEST(Drop, FilteredListKeepsEveryCategorysOrder) {
    TempDb db;
    db.addArticle("datum", "A", "A1", 1);
    db.addArticle("datum", "B", "B1", 2);
    db.addArticle("datum", "A", "A2", 3);
    db.addArticle("datum", "B", "B2", 4);
    db.addArticle("datum", "A", "A3", 5);
    ArticleStore s;
    s.OpenDb(store::CBXNoAllItem(store::SortMode::Custom, "datum"), true, "A");
    ASSERT_EQ(titles(s.ADOQuery1()), L({"A1", "A2", "A3"}));
    EXPECT_TRUE(s.dropReorder(2, 0));
    EXPECT_EQ(titles(s.ADOQuery1()), L({"A3", "A1", "A2"}));
    s.OpenDb(store::CBXAllItem(store::SortMode::Custom, "datum"));
    EXPECT_EQ(titles(s.ADOQuery1()), L({"A3", "A1", "B1", "A2", "B2"}));
    // Moving down inside the filter: the dragged article ends after the target.
    s.OpenDb(store::CBXNoAllItem(store::SortMode::Custom, "datum"), true, "A");
    EXPECT_TRUE(s.dropReorder(0, 1));
    s.OpenDb(store::CBXAllItem(store::SortMode::Custom, "datum"));
    EXPECT_EQ(titles(s.ADOQuery1()), L({"A1", "A3", "B1", "A2", "B2"}));
}

// Only a list of the current workbook in custom order can be reordered: on
// search results, title order or another table's rows item i is not the row
// whose number a drop would take.
TEST(Drop, OnlyTheCurrentWorkbookInCustomOrderIsReordered) {
    struct Case {
        const char* name;
        QString sql;
        bool reorders;
    } cases[] = {
        {"workbook opened", store::workbookOpenSql("datum"), true},
        {"all, custom order", store::CBXAllItem(store::SortMode::Custom, "datum"), true},
        {"one category, custom order", store::CBXNoAllItem(store::SortMode::Custom, "datum"), true},
        {"title ascending", store::CBXAllItem(store::SortMode::Ascending, "datum"), false},
        {"title descending", store::CBXNoAllItem(store::SortMode::Descending, "datum"), false},
        {"title search", store::searchSql(store::SearchMode::Title), false},
        {"stored order after a compaction", "select * from datum ", false},
        {"another workbook", store::CBXAllItem(store::SortMode::Custom, "datum1"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDb db;
        db.conn().createArticleTable("datum1");
        db.addArticle("datum", "g", "b", 1);
        db.addArticle("datum", "g", "a", 2);
        db.addArticle("datum", "g", "c", 3);
        db.addArticle("datum1", "g", "x", 1);
        db.addArticle("datum1", "g", "y", 2);
        db.addArticle("datum1", "g", "z", 3);
        ArticleStore s;
        if (c.sql == store::searchSql(store::SearchMode::Title))
            store::openSearch(s, store::SearchMode::Title, "");
        else
            s.OpenDb(c.sql, true, "g");
        ASSERT_EQ(s.ADOQuery1().recordCount(), 3);
        const QStringList before = numbers(db);
        const QStringList other = testsupport::seqNos(db.conn(), "datum1");
        EXPECT_EQ(s.dropReorder(2, 0), c.reorders);
        if (!c.reorders) {
            EXPECT_EQ(numbers(db), before);
            EXPECT_EQ(testsupport::seqNos(db.conn(), "datum1"), other);
        }
    }
}

TEST(Drop, ANullNumberOnEitherSideDoesNothing) {
    for (int nullRow : {0, 2}) {
        TempDb db;
        db.addArticle("datum", "g", "n", std::nullopt);
        db.addArticle("datum", "g", "a", 1);
        db.addArticle("datum", "g", "b", 2);
        ArticleStore s;
        s.OpenDb(store::CBXAllItem(store::SortMode::Custom, "datum"));  // n, a, b
        const int other = nullRow == 0 ? 2 : 0;
        EXPECT_FALSE(s.dropReorder(nullRow == 0 ? 0 : other, nullRow == 0 ? other : 0));
        EXPECT_EQ(numbers(db), L({"n=<null>", "a=1", "b=2"}));
    }
}

// After a drop the list is rebuilt from the loaded rows; it must be exactly
// what reading the table again gives, also with ties, gaps and null numbers
// in the stored order and with a category filter.
TEST(Drop, TheListAfterADropIsWhatANewQueryGives) {
    TempDb db;
    const char* groups[] = {"A", "B", "C"};
    for (int i = 0; i < 36; ++i) {
        std::optional<int> seq = i % 11 == 5 ? std::nullopt : std::optional<int>(i / 2 * 3);
        db.addArticle("datum", groups[i % 3], QStringLiteral("t%1").arg(i), seq);
    }
    auto rows = [](store::RecordSet& q) {
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.asString(QStringLiteral("theme")) + u'=' + q.asString(QStringLiteral("SeqNo"));
        q.first();
        return out;
    };
    ArticleStore s;
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        const char* group = round % 4 == 3 ? nullptr : groups[round % 3];
        const QString sql = group ? store::CBXNoAllItem(store::SortMode::Custom, "datum")
                                  : store::CBXAllItem(store::SortMode::Custom, "datum");
        s.OpenDb(sql, group != nullptr, group ? QString::fromLatin1(group) : QString());
        const int n = s.ADOQuery1().recordCount();
        ASSERT_GT(n, 1);
        const int from = int(rng() % n), to = int(rng() % n);
        SCOPED_TRACE(QStringLiteral("round %1: %2 onto %3 in %4")
                         .arg(round)
                         .arg(from)
                         .arg(to)
                         .arg(group ? group : "all")
                         .toStdString());
        s.dropReorder(from, to);
        const QStringList after = rows(s.ADOQuery1());
        ArticleStore fresh;
        fresh.OpenDb(sql, group != nullptr, group ? QString::fromLatin1(group) : QString());
        EXPECT_EQ(after, rows(fresh.ADOQuery1()));
        EXPECT_EQ(s.ADOQuery1().recNo(), 0);
    }
}

// ------------------------------------------------------------ comparisons

TEST(TextComparison, TitlesSortInPinyinOrderIgnoringLatinCase) {
    TempDb db;
    int n = 0;
    for (const char* t : {"中国", "北京", "banana", "阿里", "Apple", "上海", "apple pie", "重庆"})
        db.addArticle("datum", "g", QString::fromUtf8(t), ++n);
    ArticleStore s;
    s.OpenDb(store::CBXAllItem(store::SortMode::Ascending, "datum"));
    const QStringList asc = titles(s.ADOQuery1());
    EXPECT_EQ(asc, L({"阿里", "北京", "重庆", "上海", "中国", "Apple", "apple pie", "banana"}));
    s.OpenDb(store::CBXAllItem(store::SortMode::Descending, "datum"));
    QStringList desc = asc;
    std::reverse(desc.begin(), desc.end());
    EXPECT_EQ(titles(s.ADOQuery1()), desc);
}

TEST(TextComparison, CategoriesAndUsersIgnoreLatinCase) {
    TempDb db(TempDb::Kind::Installation);
    ArticleStore s;
    s.CheckDatabase();
    db.addArticle("datum1", "Notes", "one", 1);
    db.addArticle("datum1", "NOTES", "two", 2);
    db.addArticle("datum1", "Nötes", "three", 3);
    s.setCurrentTable("datum1");
    s.OpenDb(store::CBXNoAllItem(store::SortMode::Custom, "datum1"), true, "notes");
    EXPECT_EQ(titles(s.ADOQuery1()), L({"one", "two"}));
    // The user row is found under any Latin case.
    EXPECT_EQ(db.column("select * from UsersData where userID=:u", "userID", {{"u", "ADMIN"}}),
              L({"Admin"}));
}

TEST(TextComparison, LikeWithPercentAloneListsEveryTitledRow) {
    TempDb db;
    db.addArticle("datum", "g", "a", 1);
    db.addArticle("datum", "g", "", 2);
    db.exec("update datum set theme=null where SeqNo=2");
    db.addArticle("datum", "g", "B", 3);
    EXPECT_EQ(db.column("SELECT * FROM datum WHERE [theme] LIKE :theme ORDER  By theme", "theme",
                        {{"theme", "%%%"}}),
              L({"a", "B"}));
    EXPECT_EQ(db.column("SELECT * FROM datum WHERE [theme] LIKE :theme ORDER  By theme", "theme",
                        {{"theme", "%b%"}}),
              L({"B"}));
}
