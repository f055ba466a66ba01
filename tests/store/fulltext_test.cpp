// The full-text index: which queries find which articles (RTF text yes,
// markup no, Chinese runs, Latin case and width), the index kept equal to a
// fresh build by every write command, and the resumable build.

#include "store/FullText.h"

#include <gtest/gtest.h>

#include <functional>

#include "store/Append.h"
#include "store/Articles.h"
#include "store/Categories.h"
#include "store/EngineDetail.h"
#include "store/Maintenance.h"
#include "store/Transfer.h"
#include "tests/support/TempDb.h"

namespace {

QStringList L(std::initializer_list<const char*> items) {
    QStringList l;
    for (const char* s : items) l << QString::fromUtf8(s);
    l.sort();
    return l;
}

// 内容 and 宋体 in code page 936; the font name and the control words are
// markup, "RTF", "bold" and 内容 are text. The field shows its result only.
const QByteArray kRtf(
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
    "{\\f1\\fcharset0 Arial;}}"
    "{\\colortbl;\\red255\\green0\\blue0;}{\\*\\generator Msftedit;}"
    "\\viewkind4\\uc1\\pard\\f0\\fs24 \\'c4\\'da\\'c8\\'dd RTF \\b bold\\b0\\par\r\n"
    "{\\field{\\*\\fldinst HYPERLINK \"http://hidden.example\"}{\\fldrslt shown}}"
    " caf\\u233?\\par\r\n"
    "{\\v secret}{\\pict\\pngblip 89504e47deadbeef}{\\f1 na\\'efve}\\par}");

class FullTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* t : {"datum1", "datum2", "datum3"})
            db.conn().createArticleTable(QString::fromLatin1(t));
    }

    QStringList find(const QString& query, int workbook = -1) {
        QStringList out;
        for (const auto& h : store::searchFullText(db.conn(), query, workbook).hits) out << h.title;
        out.sort();
        return out;
    }

    void buildAll(store::Connection& c) {
        while (!store::buildFullTextStep(c, 1000).finished) {
        }
    }

    testsupport::TempDb db;
};

TEST_F(FullTextTest, QueriesFindTheArticlesWhoseTextHoldsEveryWord) {
    db.addArticle("datum", "史", "国史", 1, false,
                  "中华人民共和国成立于1949年。Hello World, e-mail");
    db.addArticle("datum", "技", "富文本", 2, true, kRtf);
    db.addArticle("datum", "技", "全角", 3, false, "ＱＴ框架，ＡＢＣ１２３");
    db.addArticle("datum", "技", "Qt入门", 4, false, "编程");
    db.addArticle("datum1", "史", "民国", 1, false, "中华 民国");
    buildAll(db.conn());

    struct Case {
        const char* query;
        QStringList titles;
    };
    const Case cases[] = {
        {"中华", L({"国史", "民国"})},
        {"华人", L({"国史"})},
        {"人民共和", L({"国史"})},
        {"人", L({"国史"})},  // one character
        {"中华民国", L({})},  // the text has a blank in between
        {"hello", L({"国史"})},
        {"HeLLo", L({"国史"})},
        {"ｈｅｌｌｏ", L({"国史"})},  // full-width query
        {"hel", L({"国史"})},         // a word is found by its start
        {"ello", L({})},              // but not from its middle
        {"1949", L({"国史"})},
        {"e-mail", L({"国史"})},
        {"内容", L({"富文本"})},  // RTF text in code page 936
        {"bold", L({"富文本"})},
        {"rtf", L({"富文本"})},
        {"shown", L({"富文本"})},  // a field's result
        {"café", L({"富文本"})},   // \u escape
        {"宋体", L({})},           // font name
        {"naïve", L({"富文本"})},  // the font's code page
        {"arial", L({})},
        {"secret", L({})},    // hidden text
        {"deadbeef", L({})},  // picture data
        {"fonttbl", L({})},
        {"ansicpg936", L({})},
        {"hidden", L({})},  // field instruction
        {"msftedit", L({})},
        {"qt框架", L({"全角"})},  // full-width text, half-width query
        {"abc123", L({"全角"})},
        {"ＱＴ", L({"Qt入门", "全角"})},  // title or body
        {"qt 编程", L({"Qt入门"})},       // title and body
        {"中华 hello", L({"国史"})},
        {"中华 编程", L({})},
        {"", L({})},
        {"，。", L({})},
        {"\"中华\" OR", L({})},  // query syntax is plain text
    };
    for (const Case& c : cases) EXPECT_EQ(find(QString::fromUtf8(c.query)), c.titles) << c.query;

    EXPECT_EQ(find("中华", 1), L({"民国"}));
    EXPECT_EQ(find("中华", 0), L({"国史"}));
    EXPECT_EQ(find("中华", 2), L({}));
}

TEST_F(FullTextTest, ResultsCarryWorkbookCategoryAndTheHitInTheSnippet) {
    db.addArticle("datum", "读书", "甲", 1, false, "开头的一段话。\r\n这里讲共和国的历史");
    db.addArticle("datum1", "随笔", "共和", 1, false, "无关的正文");
    buildAll(db.conn());
    const store::FullTextResult r = store::searchFullText(db.conn(), "共和");
    ASSERT_EQ(r.total, 2);
    ASSERT_EQ(r.hits.size(), 2);
    const store::FullTextHit& a = r.hits[0];
    EXPECT_EQ(a.workbook, 0);
    EXPECT_EQ(a.group, "读书");
    EXPECT_EQ(a.title, "甲");
    EXPECT_FALSE(a.snippet.contains(u'\n'));
    ASSERT_GE(a.hitStart, 0);
    EXPECT_EQ(a.snippet.mid(a.hitStart, a.hitLength), "共和");
    const store::FullTextHit& b = r.hits[1];
    EXPECT_EQ(b.workbook, 1);
    EXPECT_EQ(b.title, "共和");
    EXPECT_EQ(b.hitStart, -1);  // only the title holds it
    EXPECT_EQ(b.snippet, "无关的正文");

    // total counts every match, hits stop at the limit
    const store::FullTextResult limited = store::searchFullText(db.conn(), "共和", -1, 1);
    EXPECT_EQ(limited.total, 2);
    EXPECT_EQ(limited.hits.size(), 1);
}

TEST(FullTextFirstHit, FindsTheEarliestWordWithTheIndexRules) {
    struct Case {
        const char* text;
        const char* query;
        int start;
        int length;
    };
    const Case cases[] = {
        {"abc 中华人民", "人民 中华", 4, 2},
        {"Ｈｅｌｌｏ world", "hello", 0, 5},
        {"ahello hello", "hello", 7, 5},  // word start only
        {"中华", "民国", -1, 0},
        {"", "中", -1, 0},
    };
    for (const Case& c : cases) {
        const QPair<int, int> hit = store::findFirstHit(
            QString::fromUtf8(c.text), store::parseFullTextQuery(QString::fromUtf8(c.query)));
        EXPECT_EQ(hit.first, c.start) << c.text;
        EXPECT_EQ(hit.second, c.length) << c.text;
    }
}

// The index against what a fresh build of the articles gives: same rows,
// same texts, and the engine's own check of the inverted index.
class FullTextConsistencyTest : public FullTextTest {
  protected:
    void SetUp() override {
        FullTextTest::SetUp();
        db.addArticle("datum", "读书", "甲文", 1, false, "第一篇正文");
        db.addArticle("datum", "读书", "乙文", 2, true, kRtf);
        db.addArticle("datum", "随笔", "丙文", 3, false, "第三篇");
        db.addArticle("datum1", "旧", "乙文", 1, false, "另一本里的");
        buildAll(db.conn());
        s.setCurrentTable("datum");
        s.OpenDb(store::workbookOpenSql("datum"));
    }

    QStringList indexRows(store::Connection& c) {
        using store::detail::Stmt;
        QStringList rows;
        Stmt st(c.handle(), "SELECT docid, body, title FROM [fulltext$index] ORDER BY docid");
        while (st.step())
            rows << st.value(0).toString() + u'|' + st.value(1).toString() + u'|' +
                        st.value(2).toString();
        return rows;
    }

    // What a fresh build holds: every article of every workbook.
    QStringList rebuiltRows(store::Connection& c) {
        QStringList rows;
        for (int k = 0; k < 4; ++k) {
            store::RecordSet rs(c);
            rs.setSql(QStringLiteral("select * from ") + store::workbookTable(k) +
                      QStringLiteral(" order by id"));
            rs.open();
            for (rs.first(); !rs.eof(); rs.next()) {
                const bool fmt = rs.asBoolean("isformat");
                const QByteArray body =
                    fmt ? rs.readBlob("content") : rs.asString("content").toUtf8();
                rows << QString::number((qint64(k) << 40) + rs.asInteger("id")) + u'|' +
                            store::articlePlainText(fmt, body) + u'|' + rs.asString("theme");
            }
        }
        return rows;
    }

    void expectConsistent(const char* after) {
        SCOPED_TRACE(after);
        store::Connection& c = s.connection();
        EXPECT_EQ(store::fullTextState(c), store::FullTextState::Ready);
        // the inverted index agrees with the texts the index holds ...
        store::detail::exec(c.handle(),
                            "INSERT INTO [fulltext$index]([fulltext$index]) "
                            "VALUES('integrity-check')");
        // ... and those are the articles' texts
        EXPECT_EQ(indexRows(c), rebuiltRows(c));
    }

    store::ArticleStore s;
};

TEST_F(FullTextConsistencyTest, EveryWriteCommandKeepsTheIndexCurrent) {
    struct Step {
        const char* name;
        std::function<void()> run;
    };
    const Step steps[] = {
        {"add plain", [&] { store::addArticle(s, "读书", "新加", false, "新加的正文 NewWord"); }},
        {"add rtf", [&] { store::addArticle(s, "读书", "新RTF", true, kRtf); }},
        {"modify", [&] { store::modifyArticle(s, 0, "读书", "改后", false, "改过的正文"); }},
        {"modify to rtf", [&] { store::modifyArticle(s, 1, "读书", "乙文", true, kRtf); }},
        {"rename", [&] { store::renameTitle(s, 0, "又改名"); }},
        {"rename case", [&] { store::renameTitle(s, 3, "newrtf"); }},
        {"category and title", [&] { store::changeCategoryAndTitle(s, 2, "杂", "丙二"); }},
        {"delete", [&] { store::deleteArticle(s, 0); }},
        {"move", [&] { store::moveArticle(s, 0, "datum2"); }},
        {"category rename",
         [&] { store::renameCategory(s.connection(), "datum", "读书", "阅读"); }},
        {"transfer all",
         [&] { store::transferArticles(s, "datum", "datum1", "", store::TransferMode::All); }},
        {"transfer no duplicates, delete",
         [&] {
             store::transferArticles(s, "datum1", "datum3", "",
                                     store::TransferMode::NoDuplicatesDelete);
         }},
        {"transfer one category, delete",
         [&] {
             store::transferArticles(s, "datum3", "datum", "阅读", store::TransferMode::AllDelete);
         }},
        {"another connection (AddDB)",
         [&] { db.addArticle("datum2", "外来", "另一进程", 5, true, kRtf); }},
        {"AddDB append", [&] { store::appendArticles(db.conn(), "datum2", s, "datum3", false); }},
        {"clear", [&] { store::clearWorkbook(s, "datum1"); }},
    };
    for (const Step& step : steps) {
        step.run();
        s.reopenMain();
        expectConsistent(step.name);
    }
    // the words follow the articles
    // the words follow the articles: the other process's article and its AddDB copy
    EXPECT_EQ(find("另一进程"), L({"另一进程", "另一进程"}));
}

TEST_F(FullTextTest, BuildStopsAnywhereAndGoesOnLater) {
    db.addArticles("datum", "读书", "篇", 25);
    db.addArticles("datum2", "读书", "章", 10);
    EXPECT_EQ(store::fullTextState(db.conn()), store::FullTextState::Missing);

    store::FullTextProgress p = store::buildFullTextStep(db.conn(), 10);
    EXPECT_EQ(p.done, 10);
    EXPECT_EQ(p.total, 35);
    EXPECT_FALSE(p.finished);
    EXPECT_EQ(store::fullTextState(db.conn()), store::FullTextState::Partial);

    // writes between steps, from another connection, are indexed too
    db.addArticle("datum", "读书", "中途加的", 99, false, "中途");
    db.exec("delete from datum where theme = '篇3'");
    db.closeConnection();
    {
        store::Connection other;
        other.setConnectionString(
            store::makeConnectionString(db.dbPath(), store::kDatabasePassword));
        p = store::fullTextProgress(other);
        EXPECT_EQ(p.done, 9);
        EXPECT_EQ(p.total, 35);
        buildAll(other);
        EXPECT_EQ(store::fullTextProgress(other).done, 35);
    }
    EXPECT_EQ(store::fullTextState(db.conn()), store::FullTextState::Ready);
    EXPECT_EQ(find("中途"), L({"中途加的"}));
    EXPECT_EQ(find("篇3"), L({}));
    EXPECT_EQ(store::searchFullText(db.conn(), "篇").total, 24);
    EXPECT_EQ(store::searchFullText(db.conn(), "章").total, 10);
}

TEST_F(FullTextTest, CompactionRebuildsTheIndex) {
    db.addArticle("datum", "读书", "甲", 1, false, "压缩前的正文");
    buildAll(db.conn());
    db.closeConnection();
    store::ArticleStore s;
    s.OpenDb(store::workbookOpenSql("datum"));
    store::CompactDB(s, "data/YunjanDB.mdb", store::kDatabasePassword);
    store::Connection& c = s.connection();
    EXPECT_EQ(store::fullTextState(c), store::FullTextState::Partial);
    EXPECT_EQ(store::searchFullText(c, "压缩").total, 0);
    while (!store::buildFullTextStep(c, 100).finished) {
    }
    EXPECT_EQ(store::searchFullText(c, "压缩").total, 1);
    // the program still sees only its own tables
    EXPECT_FALSE(c.tableNames().join(u',').contains("fulltext"));
}

TEST_F(FullTextTest, AWorkbookMadeLaterGetsItsTriggers) {
    db.exec("drop table datum3");
    db.exec("drop table [datum3$body]");
    buildAll(db.conn());
    db.exec("select * into datum3 from datum where 1=2");
    db.addArticle("datum3", "读书", "后来的", 1, false, "后来的工作簿");
    EXPECT_EQ(find("工作簿", 3), L({"后来的"}));
    EXPECT_EQ(store::fullTextState(db.conn()), store::FullTextState::Ready);
}

}  // namespace
