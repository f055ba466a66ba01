// Workbook transfer on the store side: the four modes with and without a
// category, duplicate titles, bodies kept byte for byte, order numbers, and
// all-or-nothing on failure.

#include "store/Transfer.h"

#include <gtest/gtest.h>

#include "store/ArticleStore.h"
#include "tests/support/ArticleRows.h"
#include "tests/support/TempDb.h"

namespace {

using testsupport::articleRows;
using testsupport::libraryFingerprint;
using testsupport::seqNos;

QStringList oneToN(int n) {
    QStringList l;
    for (int i = 1; i <= n; ++i) l << QString::number(i);
    return l;
}

class TransferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* t : {"datum1", "datum2", "datum3"})
            db.conn().createArticleTable(QString::fromLatin1(t));
    }

    // "group/title" of every article in custom order.
    QStringList groupTitles(const QString& table) {
        const QString sql =
            QStringLiteral("select * from ") + table + QStringLiteral(" ORDER BY [seqno], [id]");
        const QStringList g = db.column(sql, QStringLiteral("group"));
        const QStringList t = db.column(sql, QStringLiteral("theme"));
        QStringList out;
        for (int i = 0; i < g.size(); ++i) out << g[i] + u'/' + t[i];
        return out;
    }

    void transfer(const std::optional<QString>& category, store::TransferMode mode,
                  const QString& source = "datum", const QString& target = "datum1") {
        store::transferArticles(s, source, target, category, mode);
    }
    // By the mode's position in the transfer page's list (the tables below).
    void transfer(const std::optional<QString>& category, int mode, const QString& source = "datum",
                  const QString& target = "datum1") {
        transfer(category, static_cast<store::TransferMode>(mode), source, target);
    }

    testsupport::TempDb db;
    store::ArticleStore s;
};

// Source rows in stored order; 乙 is already in the target, 甲 occurs twice in
// the source, Abc differs from the target's abc only in letter case.
void fillModesFixture(testsupport::TempDb& db) {
    db.addArticle("datum", "读书", "甲", 1);
    db.addArticle("datum", "读书", "乙", 2);
    db.addArticle("datum", "随笔", "甲", 3);
    db.addArticle("datum", "读书", "Abc", 4);
    db.addArticle("datum", "随笔", "丙", 5);
    db.addArticle("datum1", "旧", "乙", 1);
    db.addArticle("datum1", "旧", "abc", 2);
}

struct ModeCase {
    int mode;
    const char* category;  // nullptr: the whole workbook
    QStringList target;
    QStringList source;
};

TEST_F(TransferTest, EachModeCopiesSkipsAndDeletesAsItSays) {
    const QStringList before = {"旧/乙", "旧/abc"};
    const QStringList all = {"读书/甲", "读书/乙", "随笔/甲", "读书/Abc", "随笔/丙"};
    const ModeCase cases[] = {
        {0, nullptr, before + all, all},
        {1, nullptr, before + QStringList{"读书/甲", "读书/Abc", "随笔/丙"}, all},
        {2, nullptr, before + all, {}},
        {3,
         nullptr,
         before + QStringList{"读书/甲", "读书/Abc", "随笔/丙"},
         {"读书/乙", "随笔/甲"}},
        {0, "读书", before + QStringList{"读书/甲", "读书/乙", "读书/Abc"}, all},
        {1, "读书", before + QStringList{"读书/甲", "读书/Abc"}, all},
        {2, "读书", before + QStringList{"读书/甲", "读书/乙", "读书/Abc"}, {"随笔/甲", "随笔/丙"}},
        {3, "读书", before + QStringList{"读书/甲", "读书/Abc"}, {"读书/乙", "随笔/甲", "随笔/丙"}},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(QStringLiteral("mode %1 category '%2'")
                         .arg(c.mode)
                         .arg(c.category ? QString::fromUtf8(c.category) : QStringLiteral("<all>"))
                         .toStdString());
        db.exec("delete * from datum");
        db.exec("delete * from datum1");
        fillModesFixture(db);
        transfer(c.category ? std::optional<QString>(QString::fromUtf8(c.category)) : std::nullopt,
                 c.mode);
        EXPECT_EQ(groupTitles("datum1"), c.target);
        EXPECT_EQ(groupTitles("datum"), c.source);
        EXPECT_EQ(seqNos(db.conn(), "datum1"), oneToN(c.target.size()));
        EXPECT_EQ(seqNos(db.conn(), "datum"), oneToN(c.source.size()));
    }
}

// Rows of another program may carry an empty or a null category: the empty
// entry of the condition list is that category, not the whole workbook.
TEST_F(TransferTest, EmptyCategorySelectsOnlyRowsWithoutACategory) {
    const QStringList all = {"读书/甲", "/乙", "<null>/丙", "随笔/丁"};
    const QStringList moved = {"/乙", "<null>/丙"};
    const ModeCase cases[] = {
        {0, "", moved, all},
        {1, "", moved, all},
        {2, "", moved, {"读书/甲", "随笔/丁"}},
        {3, "", moved, {"读书/甲", "随笔/丁"}},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.mode);
        db.exec("delete * from datum");
        db.exec("delete * from datum1");
        db.addArticle("datum", "读书", "甲", 1);
        db.addArticle("datum", "", "乙", 2);
        db.addArticle("datum", "<null>", "丙", 3);
        db.addArticle("datum", "随笔", "丁", 4);
        db.exec("update datum set [group]=NULL where [group]='<null>'");
        transfer(QStringLiteral(""), c.mode);
        EXPECT_EQ(groupTitles("datum1"), c.target);
        EXPECT_EQ(groupTitles("datum"), c.source);
    }
}

TEST_F(TransferTest, TargetKeepsItsOrderAndSourceItsCustomOrder) {
    db.addArticle("datum", "a", "三", 30);
    db.addArticle("datum", "a", "一", 10);
    db.addArticle("datum", "a", "二", std::nullopt);  // a row another program added
    db.addArticle("datum1", "b", "后", 7);
    db.addArticle("datum1", "b", "前", 3);
    transfer(std::nullopt, store::TransferMode::All);
    EXPECT_EQ(testsupport::titles(db.conn(), "datum1"),
              (QStringList{"前", "后", "三", "一", "二"}));
    EXPECT_EQ(seqNos(db.conn(), "datum1"), oneToN(5));
    // Renumbered in its custom order, the row without a number first.
    EXPECT_EQ(testsupport::titles(db.conn(), "datum"), (QStringList{"二", "一", "三"}));
    EXPECT_EQ(seqNos(db.conn(), "datum"), oneToN(3));
}

TEST_F(TransferTest, BodiesAreCopiedByteForByte) {
    const QByteArray rtf(
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil \\'cb\\'ce\\'cc\\'e5;}}"
        "\\f0\\fs24 \\'c4\\'e3\\'ba\\'c3\\par\r\n}\r\n");
    for (int mode = 0; mode < 4; ++mode) {
        SCOPED_TRACE(mode);
        db.exec("delete * from datum");
        db.exec("delete * from datum1");
        db.addArticle("datum", "读书", "富文本", 1, true, rtf);
        db.addArticle("datum", "读书", "纯文本", 2, false, "第一行\r\n第二行");
        const QStringList source = articleRows(db.conn(), "datum");
        transfer(std::nullopt, mode);
        EXPECT_EQ(articleRows(db.conn(), "datum1"), source);
        store::RecordSet rs(db.conn());
        rs.setSql("select * from datum1 where theme='富文本'");
        rs.open();
        EXPECT_EQ(rs.readBlob("content"), rtf);
    }
}

TEST_F(TransferTest, CategoryWithQuoteWorks) {
    db.addArticle("datum", "It's", "a", 1);
    db.addArticle("datum", "It's", "b", 2);
    db.addArticle("datum", "其他", "c", 3);
    transfer("It's", store::TransferMode::AllDelete);
    EXPECT_EQ(groupTitles("datum1"), (QStringList{"It's/a", "It's/b"}));
    EXPECT_EQ(groupTitles("datum"), (QStringList{"其他/c"}));
    transfer("It's", store::TransferMode::NoDuplicatesDelete, "datum1", "datum2");
    EXPECT_EQ(groupTitles("datum2"), (QStringList{"It's/a", "It's/b"}));
    EXPECT_TRUE(groupTitles("datum1").isEmpty());
}

TEST_F(TransferTest, CallbacksRunAsAnnounced) {
    db.addArticles("datum", "读书", "t", 5);
    db.addArticle("datum", "随笔", "x", 6);
    for (int mode = 0; mode < 4; ++mode) {
        SCOPED_TRACE(mode);
        int rows = 0, steps = 0;
        store::transferArticles(
            s, "datum", mode < 2 ? "datum1" : "datum2", "读书",
            static_cast<store::TransferMode>(mode), [&] { ++rows; }, [&] { ++steps; });
        EXPECT_EQ(steps, 4);
        // Every selected source row of the row-by-row modes, copied or not.
        EXPECT_EQ(rows, (mode == 1 || mode == 3) ? 5 : 0);
        if (mode == 2) db.addArticles("datum", "读书", "t", 5);
    }
}

// Failures at different stages: a refused insert while copying, a refused
// order-number update of the source after everything was copied and deleted.
TEST_F(TransferTest, AFailureLeavesBothWorkbooksAsTheyWere) {
    db.addArticles("datum", "读书", "t", 4);
    db.addArticle("datum", "读书", "炸", 5);
    db.addArticle("datum1", "旧", "x", 1);
    const QStringList fingerprint = libraryFingerprint(db.conn());
    const QStringList sourceRows = articleRows(db.conn(), "datum", true);
    const QStringList targetRows = articleRows(db.conn(), "datum1", true);
    struct Stage {
        const char* trigger;
    } stages[] = {
        {"CREATE TRIGGER fail_copy BEFORE INSERT ON datum1 WHEN NEW.theme = '炸' "
         "BEGIN SELECT RAISE(ABORT, 'refused'); END"},
        {"CREATE TRIGGER fail_renumber BEFORE UPDATE OF SeqNo ON datum1 "
         "WHEN NEW.SeqNo < 999999999 "
         "BEGIN SELECT RAISE(ABORT, 'refused'); END"},
    };
    for (const Stage& st : stages) {
        db.exec(QString::fromUtf8(st.trigger));
        for (int mode = 0; mode < 4; ++mode) {
            SCOPED_TRACE(QStringLiteral("%1 mode %2").arg(st.trigger).arg(mode).toStdString());
            EXPECT_THROW(transfer(std::nullopt, mode), store::StoreError);
            EXPECT_EQ(s.connection().transactionDepth(), 0);
            EXPECT_EQ(libraryFingerprint(db.conn()), fingerprint);
            EXPECT_EQ(articleRows(db.conn(), "datum", true), sourceRows);
            EXPECT_EQ(articleRows(db.conn(), "datum1", true), targetRows);
        }
        db.exec(
            QStringLiteral("DROP TRIGGER ") +
            (QString::fromUtf8(st.trigger).contains("fail_copy") ? "fail_copy" : "fail_renumber"));
    }
    // The session still works afterwards.
    transfer(std::nullopt, store::TransferMode::All);
    EXPECT_EQ(seqNos(db.conn(), "datum1"), oneToN(6));
}

TEST_F(TransferTest, OnlyWorkbookTablesAreAccepted) {
    EXPECT_THROW(transfer(std::nullopt, 0, "datum", "UsersData"), store::StoreError);
    EXPECT_THROW(transfer(std::nullopt, 0, "datum; drop table datum1", "datum1"),
                 store::StoreError);
    EXPECT_THROW(transfer(std::nullopt, 4), store::StoreError);
}

}  // namespace
