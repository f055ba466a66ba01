// Commands on single articles and the search, on the store side: positions,
// renumbering, bodies kept byte for byte, all-or-nothing on failure, and the
// refusal to write through a position that has no article.

#include "store/Articles.h"

#include <gtest/gtest.h>

#include "store/Search.h"
#include "tests/support/ArticleRows.h"
#include "tests/support/Helpers.h"
#include "tests/support/TempDb.h"

namespace {

using testsupport::articleRows;
using testsupport::libraryFingerprint;
using testsupport::seqNos;
using testsupport::titles;

using testsupport::L;

QStringList mainTitles(store::RecordSet& rs) {
    QStringList out;
    for (rs.first(); !rs.eof(); rs.next()) out << rs.asString("theme");
    return out;
}

class ArticlesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* t : {"datum1", "datum2", "datum3"})
            db.conn().createArticleTable(QString::fromLatin1(t));
    }
    void openWorkbook(const QString& table) {
        s.setCurrentTable(table);
        s.OpenDb(store::workbookOpenSql(table));
    }

    testsupport::TempDb db;
    store::ArticleStore s;
};

const QByteArray kRtf(
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0 \\'cb\\'ce\\'cc\\'e5;}}"
    "\\f0\\fs24 \\'d6\\'d0\\'ce\\'c4 \\b bold\\b0\\par\r\n}\0tail",
    109);

}  // namespace

TEST(StoredCategory, AllBecomesUncategorised) {
    EXPECT_EQ(store::storedCategory("全部"), "未分类");
    EXPECT_EQ(store::storedCategory("全部 "), "全部 ");
    EXPECT_EQ(store::storedCategory("读书"), "读书");
    EXPECT_EQ(store::storedCategory(""), "");
}

TEST_F(ArticlesTest, DeleteRenumbersAndReopens) {
    struct Case {
        int row;
        const char* left;
    } cases[] = {{0, "t2 t3 t4 t5"}, {2, "t1 t2 t4 t5"}, {4, "t1 t2 t3 t4"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        db.exec("delete * from datum");
        db.addArticles("datum", "g", "t", 5);
        openWorkbook("datum");
        store::deleteArticle(s, c.row);
        const QStringList left = QString::fromUtf8(c.left).split(' ');
        EXPECT_EQ(titles(db.conn(), "datum"), left);
        EXPECT_EQ(seqNos(db.conn(), "datum"), L({"1", "2", "3", "4"}));
        // The main record set was reopened: its rows are the remaining ones.
        EXPECT_EQ(mainTitles(s.ADOQuery1()), left);
    }
}

TEST_F(ArticlesTest, NoArticleAtThePositionChangesNothing) {
    db.addArticles("datum", "g", "t", 2);
    openWorkbook("datum");
    const QStringList before = libraryFingerprint(db.conn());
    for (int row : {-1, 2, 100}) {
        SCOPED_TRACE(row);
        EXPECT_THROW(store::deleteArticle(s, row), store::StoreError);
        EXPECT_THROW(store::moveArticle(s, row, "datum1"), store::StoreError);
        EXPECT_THROW(store::renameTitle(s, row, "x"), store::StoreError);
        EXPECT_THROW(store::changeCategoryAndTitle(s, row, "g", "x"), store::StoreError);
        EXPECT_THROW(store::modifyArticle(s, row, "g", "x", false, "b"), store::StoreError);
    }
    // An empty search result: the notice line of the list has no row behind it,
    // and writing there must not start a new article.
    store::openSearch(s, store::SearchMode::Title, "不存在");
    ASSERT_EQ(s.ADOQuery1().recordCount(), 0);
    EXPECT_THROW(store::renameTitle(s, 0, "新"), store::StoreError);
    EXPECT_THROW(store::changeCategoryAndTitle(s, 0, "g", "新"), store::StoreError);
    EXPECT_THROW(store::moveArticle(s, 0, "datum1"), store::StoreError);
    EXPECT_THROW(store::deleteArticle(s, 0), store::StoreError);
    EXPECT_EQ(libraryFingerprint(db.conn()), before);
    EXPECT_EQ(s.connection().transactionDepth(), 0);
}

TEST_F(ArticlesTest, MoveAppendsLastInTheTargetAndKeepsTheBody) {
    db.addArticle("datum", "文", "甲", 1);
    db.addArticle("datum", "格式", "乙", 2, true, kRtf);
    db.addArticle("datum", "文", "丙", 3, false, "第一行\r\n第二行");
    db.addArticle("datum2", "x", "a", 5);
    db.addArticle("datum2", "x", "b", 9);
    const QStringList src = articleRows(db.conn(), "datum");
    openWorkbook("datum");

    store::moveArticle(s, 1, "datum2");
    EXPECT_EQ(titles(db.conn(), "datum"), L({"甲", "丙"}));
    EXPECT_EQ(seqNos(db.conn(), "datum"), L({"1", "2"}));
    EXPECT_EQ(titles(db.conn(), "datum2"), L({"a", "b", "乙"}));
    EXPECT_EQ(seqNos(db.conn(), "datum2"), L({"1", "2", "3"}));
    // Same fingerprint (category, title, flag, md5 of the body bytes).
    EXPECT_EQ(articleRows(db.conn(), "datum2").last(), src[1]);
    EXPECT_EQ(db.scalar("select content from datum2 where theme='乙'").toByteArray(), kRtf);
    EXPECT_EQ(mainTitles(s.ADOQuery1()), L({"甲", "丙"}));

    // A plain-text body moves as text.
    store::moveArticle(s, 1, "datum3");
    EXPECT_EQ(articleRows(db.conn(), "datum3"), QStringList{src[2]});
    EXPECT_EQ(s.connection().transactionDepth(), 0);
}

TEST_F(ArticlesTest, AFailedMoveLeavesBothWorkbooksAsTheyWere) {
    db.addArticles("datum", "g", "t", 3);
    db.addArticles("datum1", "h", "u", 2);
    const QStringList before = libraryFingerprint(db.conn());
    const QStringList src = articleRows(db.conn(), "datum", true);
    const QStringList dst = articleRows(db.conn(), "datum1", true);
    const char* triggers[] = {
        "CREATE TRIGGER f BEFORE INSERT ON datum1 BEGIN SELECT RAISE(ABORT, 'no'); END",
        "CREATE TRIGGER f BEFORE DELETE ON datum BEGIN SELECT RAISE(ABORT, 'no'); END",
        "CREATE TRIGGER f BEFORE UPDATE OF SeqNo ON datum1 BEGIN SELECT RAISE(ABORT, 'no'); END",
    };
    openWorkbook("datum");
    for (const char* t : triggers) {
        SCOPED_TRACE(t);
        db.exec(QString::fromUtf8(t));
        EXPECT_THROW(store::moveArticle(s, 0, "datum1"), store::StoreError);
        db.exec("DROP TRIGGER f");
        EXPECT_EQ(s.connection().transactionDepth(), 0);
        EXPECT_EQ(libraryFingerprint(db.conn()), before);
        EXPECT_EQ(articleRows(db.conn(), "datum", true), src);
        EXPECT_EQ(articleRows(db.conn(), "datum1", true), dst);
        // The main record set again holds the unchanged rows.
        EXPECT_EQ(mainTitles(s.ADOQuery1()), L({"t1", "t2", "t3"}));
    }
    store::moveArticle(s, 0, "datum1");
    EXPECT_EQ(titles(db.conn(), "datum1"), L({"u1", "u2", "t1"}));
    EXPECT_THROW(store::moveArticle(s, 0, "UsersData"), store::StoreError);
}

TEST_F(ArticlesTest, ChangeCategoryAndRenameKeepTheOrderNumber) {
    db.addArticle("datum", "读书", "甲", 1);
    db.addArticle("datum", "读书", "乙", 2);
    openWorkbook("datum");
    store::changeCategoryAndTitle(s, 1, "全部", "新题");
    store::renameTitle(s, 0, " 空格 ");
    const QStringList g = db.column("select * from datum order by seqno", "group");
    EXPECT_EQ(g, L({"读书", "未分类"}));
    EXPECT_EQ(titles(db.conn(), "datum"), L({" 空格 ", "新题"}));
    EXPECT_EQ(seqNos(db.conn(), "datum"), L({"1", "2"}));
}

TEST_F(ArticlesTest, AddAppendsToTheCurrentWorkbookWithTheNextNumber) {
    db.addArticle("datum1", "g", "a", 7);
    db.addArticle("datum1", "g", "b", std::nullopt);
    openWorkbook("datum1");
    store::addArticle(s, "全部", "新", true, kRtf);
    EXPECT_EQ(titles(db.conn(), "datum1"), L({"b", "a", "新"}));
    EXPECT_EQ(seqNos(db.conn(), "datum1"), L({"1", "2", "3"}));
    EXPECT_EQ(db.scalar("select [group] from datum1 where theme='新'").toString(), "未分类");
    EXPECT_EQ(db.scalar("select content from datum1 where theme='新'").toByteArray(), kRtf);
    store::modifyArticle(s, 0, "g2", "改", false, QByteArray("正文"));
    EXPECT_EQ(db.scalar("select content from datum1 where theme='改'").toString(), "正文");
}

TEST_F(ArticlesTest, SearchReadsTheMainWorkbookOnly) {
    db.addArticle("datum", "g", "读笔记", 1);
    db.addArticle("datum", "g", "ABC", 2, true, kRtf);
    db.addArticle("datum", "g", "闲谈", 3, false, "读书之乐 100%");
    db.addArticle("datum", "g", "笔记二", 4);
    db.addArticle("datum1", "g", "笔记本", 1);
    openWorkbook("datum1");
    struct Case {
        store::SearchMode mode;
        const char* keyword;
        const char* hits;  // in title order (pinyin)
    } cases[] = {
        {store::SearchMode::Title, "笔记", "笔记二 读笔记"},
        {store::SearchMode::Title, "abc", "ABC"},  // Latin letters ignore case
        {store::SearchMode::Title, "没有", ""},
        {store::SearchMode::Content, "读书", "闲谈"},
        // A rich-text body matches only its markup, literally.
        {store::SearchMode::Content, "\\b bold", "ABC"},
        {store::SearchMode::Content, "ansicpg936", "ABC"},
        {store::SearchMode::Content, "中文", ""},
        {store::SearchMode::Content, "100%", "闲谈"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyword);
        store::openSearch(s, c.mode, QString::fromUtf8(c.keyword));
        const QString hits = QString::fromUtf8(c.hits);
        EXPECT_EQ(mainTitles(s.ADOQuery1()), hits.isEmpty() ? QStringList() : hits.split(' '));
    }
    // "%" alone: every title of the main workbook that is not null.
    db.exec("update datum set theme=null where theme='读笔记'");
    store::openSearch(s, store::SearchMode::Title, "%");
    QStringList all = mainTitles(s.ADOQuery1());
    all.sort();
    QStringList expected = L({"ABC", "笔记二", "闲谈"});
    expected.sort();
    EXPECT_EQ(all, expected);
    EXPECT_EQ(s.currentTable(), "datum1");
    EXPECT_EQ(store::searchSql(store::SearchMode::Title),
              "SELECT * FROM datum WHERE [theme] LIKE :theme ORDER  By theme");

    // Deleting a hit removes it from datum; the renumbering concerns the
    // current workbook, and the search stays the main record set's query.
    db.exec("update datum set theme='读笔记' where theme is null");
    store::openSearch(s, store::SearchMode::Title, "笔记");
    store::deleteArticle(s, 0);
    EXPECT_EQ(titles(db.conn(), "datum"), L({"读笔记", "ABC", "闲谈"}));
    EXPECT_EQ(titles(db.conn(), "datum1"), L({"笔记本"}));
    EXPECT_EQ(mainTitles(s.ADOQuery1()), L({"读笔记"}));
}
