// The full-text search window in the real main window: its entries in the
// Tools menu and the tool bar, the index built on first showing, results as
// the user types, the scope, and the jump to an article (workbook, category
// "全部", the title selected, the hit selected in the viewer).

#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QToolBar>
#include <QTreeWidget>

#include "mainwindow/FullTextUnit.h"
#include "tests/mainwindow/CommandsFixture.h"

using namespace cmdtest;

namespace {

class FullTextWindowTest : public MainWindowTest {
  protected:
    void fill() {
        db.addArticle("datum", "读书", "读书笔记", 1, false, "今天读了一本书");
        db.addArticle("datum", "杂谈", "闲谈", 2, true,
                      "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 \\'cb\\'ce;}}\\f0 "
                      "\\'c7\\'b0\\'c3\\'e6 \\b Linux\\b0  \\'d6\\'d0\\'ce\\'c4\\par}");
        db.addArticle("datum1", "技术", "甲", 1, false, "无关");
        db.addArticle("datum1", "技术", "系统", 2, false, "第一行\r\n开头 LINUX 内核");
    }
    TFullTextForm* openWindow() {
        w->action("mmFullText")->trigger();
        auto* f = w->findChild<TFullTextForm*>();
        EXPECT_NE(f, nullptr);
        EXPECT_TRUE(waitFor([f] { return !f->building(); }));
        return f;
    }
    // Types the query and waits for the pause to run the search.
    void type(TFullTextForm* f, const QString& text) {
        f->EdtQuery->clear();
        f->LblStatus->clear();
        keyClicks(f->EdtQuery, text);
        EXPECT_TRUE(waitFor([f] {
            return f->LblStatus->text().startsWith(QStringLiteral("找到")) ||
                   f->LblStatus->text() == QStringLiteral("没有找到");
        }));
    }
    QStringList rows(TFullTextForm* f) {
        QStringList out;
        for (int i = 0; i < f->ResultList->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* it = f->ResultList->topLevelItem(i);
            out << it->text(0) + u'|' + it->text(1) + u'|' + it->text(2);
        }
        return out;
    }
    static bool waitFor(const std::function<bool()>& cond, int ms = 5000) {
        QElapsedTimer t;
        t.start();
        while (!cond() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
        return cond();
    }
};

}  // namespace

TEST_F(FullTextWindowTest, ToolsMenuAndToolBarOpenIt) {
    open();
    QAction* entry = w->action("mmFullText");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "全文检索(&Q)");
    EXPECT_EQ(entry->shortcut(), QKeySequence("Ctrl+Shift+F"));
    const QList<QAction*> tools = w->findChild<QMenu*>("mmTools")->actions();
    EXPECT_EQ(tools.indexOf(entry), tools.indexOf(w->action("mmSearch")) + 1);
    const QList<QAction*> bar = w->findChild<QToolBar*>("ToolBar1")->actions();
    EXPECT_EQ(bar.indexOf(w->action("BtnFullText")), bar.indexOf(w->action("BtnSearch")) + 1);
    EXPECT_EQ(w->action("BtnFullText")->text(), " 全文检索");

    w->action("BtnFullText")->trigger();
    auto* f = w->findChild<TFullTextForm*>();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->isModal());
    EXPECT_EQ(f->windowTitle(), "全文检索");
    // a second press shows the same window
    entry->trigger();
    EXPECT_EQ(w->findChildren<TFullTextForm*>().size(), 1);
}

TEST_F(FullTextWindowTest, BuildsTheMissingIndexThenListsResultsAsTheUserTypes) {
    fill();
    open();
    EXPECT_EQ(store::fullTextState(w->db().connection()), store::FullTextState::Missing);
    TFullTextForm* f = openWindow();
    EXPECT_EQ(store::fullTextState(w->db().connection()), store::FullTextState::Ready);
    EXPECT_FALSE(f->BuildBar->isVisible());

    type(f, "linux");
    EXPECT_EQ(rows(f), L({"主工作簿|杂谈|闲谈", "工作簿1|技术|系统"}));
    EXPECT_EQ(f->LblStatus->text(), "找到 2 篇文章");
    // a picture for looking at it, when asked for
    const QString shots = qEnvironmentVariable("YUNJAN_SCREENSHOT_DIR");
    if (!shots.isEmpty()) f->grab().save(shots + QStringLiteral("/fulltext_window.png"));
    // the snippet holds the hit, marked
    const QTreeWidgetItem* second = f->ResultList->topLevelItem(1);
    const int start = second->data(3, Qt::UserRole + 1).toInt();
    EXPECT_EQ(second->text(3).mid(start, second->data(3, Qt::UserRole + 2).toInt()), "LINUX");

    type(f, "读 书");
    EXPECT_EQ(rows(f), L({"主工作簿|读书|读书笔记"}));
    type(f, "中文 前面");  // RTF text, both words
    EXPECT_EQ(rows(f), L({"主工作簿|杂谈|闲谈"}));
    type(f, "宋");  // the font name is markup
    EXPECT_EQ(rows(f), L({}));

    // the current workbook only
    w->cxTabControl1->setCurrentIndex(1);
    f->CBXscope->setCurrentIndex(1);
    type(f, "linux");
    EXPECT_EQ(rows(f), L({"工作簿1|技术|系统"}));
}

TEST_F(FullTextWindowTest, EnterOnAResultShowsTheArticleWithTheHitSelected) {
    fill();
    open();
    TFullTextForm* f = openWindow();
    type(f, "Linux 内核");
    ASSERT_EQ(f->ResultList->topLevelItemCount(), 1);
    f->ResultList->setFocus();
    f->ResultList->setCurrentItem(f->ResultList->topLevelItem(0));
    keyClick(f->ResultList, Qt::Key_Return);

    EXPECT_EQ(w->selectedTab(), 1);
    EXPECT_EQ(w->CBXgroup->currentText(), "全部");
    EXPECT_EQ(items().size(), 2);
    ASSERT_GE(w->selectedIndex(), 0);
    EXPECT_TRUE(items()[w->selectedIndex()].contains("系统"));
    EXPECT_EQ(w->session().shown.title, "系统");
    EXPECT_EQ(w->RichEdit1->selText(), "LINUX");

    // double-click in the same workbook on another category's article
    w->CBXgroup->setCurrentIndex(w->CBXgroup->findText("技术"));
    w->CBXgroupChange();
    type(f, "一本");
    ASSERT_EQ(f->ResultList->topLevelItemCount(), 1);
    emit f->ResultList->itemActivated(f->ResultList->topLevelItem(0), 0);
    EXPECT_EQ(w->selectedTab(), 0);
    EXPECT_EQ(w->CBXgroup->currentText(), "全部");
    EXPECT_EQ(w->session().shown.title, "读书笔记");
    EXPECT_EQ(w->RichEdit1->selText(), "一本");
}

TEST_F(FullTextWindowTest, ClosingStopsTheBuildWhichGoesOnAtTheNextShowing) {
    db.addArticles("datum", "读书", "篇", 1200);
    open();
    w->action("mmFullText")->trigger();
    auto* f = w->findChild<TFullTextForm*>();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->building());
    QApplication::processEvents();  // one step
    f->close();
    EXPECT_FALSE(f->building());
    const store::FullTextProgress p = store::fullTextProgress(w->db().connection());
    EXPECT_LT(p.done, p.total);
    EXPECT_GT(p.done, 0);
    f = openWindow();
    EXPECT_EQ(store::fullTextState(w->db().connection()), store::FullTextState::Ready);
    type(f, "篇");
    EXPECT_EQ(f->LblStatus->text(), "找到 1200 篇文章，列出前 100 篇");
}
