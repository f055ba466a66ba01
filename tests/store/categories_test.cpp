// Category lists and rename/merge on the store side.

#include "store/Categories.h"

#include <gtest/gtest.h>

#include "store/ArticleStore.h"
#include "tests/support/ArticleRows.h"
#include "tests/support/TempDb.h"

namespace {

class CategoriesTest : public ::testing::Test {
  protected:
    void SetUp() override { db.conn().createArticleTable("datum1"); }

    QStringList groups(const QString& table) {
        return db.column(
            QStringLiteral("select * from ") + table + QStringLiteral(" ORDER BY [seqno], [id]"),
            "group");
    }

    testsupport::TempDb db;
    store::ArticleStore s;
};

TEST_F(CategoriesTest, ListInFirstOccurrenceOrderWithoutCaseDuplicates) {
    const char* const stored[] = {"随笔", "Java", "读书", "JAVA", "随笔", "<null>", "java", ""};
    int n = 0;
    for (const char* g : stored) {
        ++n;
        db.addArticle("datum", QString::fromUtf8(g), QStringLiteral("t%1").arg(n), n);
    }
    db.exec("update datum set [group]=NULL where [group]='<null>'");
    store::RecordSet rs(s.connection());
    EXPECT_EQ(store::readCategories(rs, "datum"), (QStringList{"随笔", "Java", "读书", ""}));
    EXPECT_FALSE(rs.isActive());
    EXPECT_TRUE(store::readCategories(rs, "datum1").isEmpty());
}

struct RenameCase {
    const char* name;
    const char* oldName;
    const char* newName;
    QStringList before;
    QStringList after;
};

TEST_F(CategoriesTest, RenameAndMerge) {
    const RenameCase cases[] = {
        {"to a new name", "读书", "随想", {"读书", "随笔", "读书"}, {"随想", "随笔", "随想"}},
        {"merge into an existing one",
         "读书",
         "随笔",
         {"读书", "随笔", "读书"},
         {"随笔", "随笔", "随笔"}},
        {"same name", "读书", "读书", {"读书", "随笔"}, {"读书", "随笔"}},
        {"quote in the old name", "It's", "新", {"It's", "x"}, {"新", "x"}},
        {"quote in the new name", "x", "O'Neil's", {"It's", "x"}, {"It's", "O'Neil's"}},
        {"the empty category, null rows included",
         "",
         "未分类",
         {"", "<null>", "x"},
         {"未分类", "未分类", "x"}},
        {"letter case as the engine compares",
         "java",
         "Java",
         {"JAVA", "java", "c"},
         {"Java", "Java", "c"}},
    };
    for (const RenameCase& c : cases) {
        SCOPED_TRACE(c.name);
        db.exec("delete * from datum");
        db.exec("delete * from datum1");
        for (int i = 0; i < c.before.size(); ++i) {
            db.addArticle("datum", c.before[i], QStringLiteral("t%1").arg(i), i + 1, true,
                          QByteArray("{\\rtf1 ") + QByteArray::number(i) + "}");
            db.addArticle("datum1", c.before[i], QStringLiteral("t%1").arg(i), i + 1);
        }
        db.exec("update datum set [group]=NULL where [group]='<null>'");
        const QStringList other = testsupport::articleRows(db.conn(), "datum1", true);
        const QStringList ids = db.column("select id from datum order by id", "id");
        store::renameCategory(s.connection(), "datum", QString::fromUtf8(c.oldName),
                              QString::fromUtf8(c.newName));
        EXPECT_EQ(groups("datum"), c.after);
        // Titles, bodies, keys and order numbers stay; the other workbook too.
        QStringList rows = testsupport::articleRows(db.conn(), "datum", true);
        for (int i = 0; i < rows.size(); ++i) {
            EXPECT_TRUE(rows[i].startsWith(c.after[i] + QStringLiteral("|t%1|1|B:").arg(i)));
            EXPECT_TRUE(rows[i].endsWith(QStringLiteral("|%1").arg(i + 1)));
        }
        EXPECT_EQ(db.column("select id from datum order by id", "id"), ids);
        EXPECT_EQ(testsupport::articleRows(db.conn(), "datum1", true), other);
    }
}

}  // namespace
