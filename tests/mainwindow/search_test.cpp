// The search dialog in the real main window: the main workbook whatever tab is
// selected, the numbering prefixes, the no-hit line (inert for every
// command), content search over stored markup, Enter, the empty keyword, and
// commands on the results.

#include <QLabel>
#include <QPushButton>

#include "mainwindow/FindUnit.h"
#include "tests/mainwindow/CommandsFixture.h"

using namespace cmdtest;

namespace {

class SearchTest : public MainWindowTest {
  protected:
    void fill() {
        db.addArticle("datum", "g", "读书笔记", 1);
        db.addArticle("datum", "g", "闲谈", 2, false, "读书之乐");
        db.addArticle("datum", "格式", "笔记二", 3, true,
                      "{\\rtf1\\ansi\\ansicpg936 \\b note\\b0 \\'d6\\'d0\\par}");
        db.addArticle("datum1", "g", "笔记本", 1);
    }
    // Runs one search in a fresh dialog, as the user does with "搜".
    void search(const QString& keyword, int mode = 0) {
        TFindForm dlg(w.get(), w.get());
        dlg.show();
        dlg.ComboBox3->setCurrentIndex(mode);
        dlg.Edit2->setText(keyword);
        dlg.Button2->click();
    }
};

}  // namespace

TEST_F(SearchTest, DialogLayout) {
    open();
    TFindForm dlg(w.get(), w.get());
    EXPECT_EQ(dlg.windowTitle(), "搜索主题");
    EXPECT_EQ(dlg.Label1->text(), "关键字：");
    EXPECT_EQ(dlg.Edit2->toolTip(), "支持模糊查询");
    EXPECT_EQ(dlg.ComboBox3->count(), 2);
    EXPECT_EQ(dlg.ComboBox3->itemText(0), "文章题目");
    EXPECT_EQ(dlg.ComboBox3->itemText(1), "文章内容");
    EXPECT_EQ(dlg.ComboBox3->currentIndex(), 0);
    EXPECT_FALSE(dlg.ComboBox3->isEditable());
    EXPECT_EQ(dlg.ComboBox3->toolTip(), "内容搜索不支持格式文本");
    EXPECT_EQ(dlg.Button2->text(), "搜");
    EXPECT_EQ(dlg.Label2->text(), "说明：内容搜索，不支持格式存取的文章");
}

TEST_F(SearchTest, TheMainWorkbookIsSearchedWithThePrefixOfEachNumberingMode) {
    fill();
    struct Case {
        int mode;
        const char* lines;
    } cases[] = {
        {0, "1. 笔记二|2. 读书笔记"},
        {1, " ◎ 笔记二| ◎ 读书笔记"},
        {2, "笔记二|读书笔记"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        open(c.mode);
        w->cxTabControl1->setCurrentIndex(1);  // 工作簿1
        ASSERT_EQ(w->currentTable(), "datum1");
        const QString panel = w->statusPanels[2]->text();
        search("笔记");
        EXPECT_EQ(items(), QString::fromUtf8(c.lines).split('|'));
        EXPECT_EQ(w->selectedIndex(), -1);
        // Tab, workbook table and status bar stay as they were.
        EXPECT_EQ(w->selectedTab(), 1);
        EXPECT_EQ(w->currentTable(), "datum1");
        EXPECT_EQ(w->statusPanels[2]->text(), panel);
        TearDown();
    }
}

TEST_F(SearchTest, PercentAloneListsEveryTitledArticle) {
    fill();
    db.exec("update datum set theme=null where theme='闲谈'");
    open();
    search("%");
    EXPECT_EQ(items().size(), 2);
}

TEST_F(SearchTest, ContentSearchMatchesStoredMarkupLiterally) {
    fill();
    open();
    search("读书", 1);
    EXPECT_EQ(items(), L({"1. 闲谈"}));
    search("\\b note", 1);
    EXPECT_EQ(items(), L({"1. 笔记二"}));
    // The Chinese text of a rich-text body is stored as escapes: no hit.
    search("中", 1);
    EXPECT_EQ(items(), L({"数据库中没有查找到该主题！"}));
}

TEST_F(SearchTest, EnterSearchesAndAnEmptyKeywordIsRefused) {
    fill();
    open();
    const QStringList before = items();
    TFindForm dlg(w.get(), w.get());
    dlg.show();
    keyClick(dlg.Edit2, Qt::Key_Return);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(prompt.lastText(), "搜索内容不能为空！");
    EXPECT_EQ(prompt.messages[0].caption, "提示:");
    EXPECT_EQ(prompt.messages[0].icon, platform::Icon::Error);
    EXPECT_EQ(items(), before);
    keyClicks(dlg.Edit2, "闲");
    keyClick(dlg.Edit2, Qt::Key_Enter);
    EXPECT_EQ(items(), L({"1. 闲谈"}));
    EXPECT_TRUE(dlg.isVisible());  // stays open for another search
}

TEST_F(SearchTest, TheNoHitLineIsInertForEveryCommand) {
    fill();
    open();
    search("没有这个");
    ASSERT_EQ(items(), L({"数据库中没有查找到该主题！"}));
    const QStringList before = fingerprint();
    w->ListBox1->setCurrentRow(0);  // even if it becomes the current line
    prompt.clear();
    w->BtnModifyClick();
    w->N8Click();
    w->moveArticleTo(1);
    w->BtnDelClick();
    w->ListBox1DblClick();
    EXPECT_FALSE(w->titleEditor->isVisible());
    w->mmExportClick();
    EXPECT_EQ(prompt.texts(),
              L({"请选择要修改的文章题目！", "请选择要修改的文章题目！", "请选择要修改的文章题目！",
                 "请选择要删除的文章题目！", "请选择要导出的文章题目!"}));
    EXPECT_FALSE(w->AddForm->isVisible());
    EXPECT_EQ(fingerprint(), before);
    // It cannot be selected with the mouse.
    w->ListBox1->setCurrentRow(-1);
    click(0);
    EXPECT_FALSE(w->ListBox1->item(0)->isSelected());
}

// Search results are ordered by title and come from the main workbook
// whatever tab is shown: no drag starts on them and a drop changes nothing,
// so item i stays row i for every later click and command.
TEST_F(SearchTest, NoTitleIsDraggedInSearchResults) {
    fill();
    db.addArticle("datum1", "g", "x", 2);
    for (int tab : {0, 1}) {
        SCOPED_TRACE(tab);
        w.reset();
        open();
        w->cxTabControl1->setCurrentIndex(tab);
        QApplication::processEvents();
        search("笔记");
        ASSERT_EQ(items(), L({"1. 笔记二", "2. 读书笔记"}));
        const QStringList before = fingerprint();
        EXPECT_FALSE(w->ListBox1->wouldStartDrag(itemRect(1).center()));
        click(1);
        w->ListBox1DragDrop(1, 0);
        EXPECT_EQ(fingerprint(), before);
        EXPECT_EQ(items(), L({"1. 笔记二", "2. 读书笔记"}));
        click(0);
        EXPECT_EQ(w->session().shown.title, "笔记二");
        click(1);
        EXPECT_EQ(w->session().shown.title, "读书笔记");
    }
}

TEST_F(SearchTest, DeleteAfterASearchRemovesTheHitFromTheMainWorkbook) {
    fill();
    db.addArticle("datum1", "g", "x", 7);
    open();
    w->cxTabControl1->setCurrentIndex(1);
    search("笔记");
    click(1);
    EXPECT_EQ(w->session().shown.title, "读书笔记");
    w->BtnDelClick();
    EXPECT_EQ(stored("datum"), L({"闲谈", "笔记二"}));
    // The list shows the search without the removed article.
    EXPECT_EQ(items(), L({"1. 笔记二"}));
    EXPECT_EQ(w->session().shown.title, "笔记二");
    // The renumbering concerned the current workbook.
    EXPECT_EQ(testsupport::seqNos(db.conn(), "datum1"), L({"1", "2"}));
    EXPECT_EQ(testsupport::seqNos(db.conn(), "datum"), L({"2", "3"}));
}
