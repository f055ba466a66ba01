// Workbook tabs, the category filter, the title list's modes, the sort header
// and sort menu, dragging titles in custom order, the right button and popup.

#include <QMenu>

#include "mainwindow/SortHeader.h"
#include "tests/mainwindow/MainFixture.h"

using namespace mwtest;

namespace {

class TitlesTest : public EmptyDbTest {
  protected:
    // datum: 5 titles in custom order c, a, e, b, d (categories x and y).
    void fillMain() {
        db.addArticle("datum", "x", "c", 1);
        db.addArticle("datum", "y", "a", 2);
        db.addArticle("datum", "x", "e", 3);
        db.addArticle("datum", "y", "b", 4);
        db.addArticle("datum", "x", "d", 5);
    }
};

}  // namespace

TEST_F(TitlesTest, WorkbookSwitchFillsListsAndStatusBar) {
    fillMain();
    open();  // the schema check creates datum1..3
    db.addArticle("datum2", "读书", "第一", 1);
    db.addArticle("datum2", "Misc", "第二", 2);
    db.addArticle("datum2", "misc", "第三", 3);  // same category as "Misc"
    db.addArticle("datum2", "读书", "第四", 4);

    w->action("N26")->trigger();  // 视图 > 工作簿 > 工作簿2
    EXPECT_EQ(w->selectedTab(), 2);
    EXPECT_EQ(w->currentTable(), "datum2");
    EXPECT_EQ(items(), L({"第一", "第二", "第三", "第四"}));
    EXPECT_EQ(categories(), L({"全部", "读书", "Misc"}));
    EXPECT_EQ(w->CBXgroup->currentText(), "全部");
    EXPECT_EQ(w->ListBox1->listColor(), platform::colorFromCode(w->session().workbookColors[2]));
    EXPECT_EQ(panel(2), "【工作簿2】");
    EXPECT_EQ(panel(3), "2 个分类");
    EXPECT_EQ(panel(4), "4 条记录");

    // An empty workbook.
    w->cxTabControl1->setCurrentIndex(3);
    EXPECT_EQ(w->currentTable(), "datum3");
    EXPECT_TRUE(items().isEmpty());
    EXPECT_EQ(categories(), L({"全部"}));
    EXPECT_EQ(panel(3), "0 个分类");
    EXPECT_EQ(panel(4), "0 条记录");
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(TitlesTest, CategoryFilterKeepsTheSortModeAndTheCounts) {
    fillMain();
    open();
    chooseCategory("x");
    EXPECT_EQ(items(), L({"c", "e", "d"}));
    EXPECT_EQ(panel(3), "2 个分类");
    EXPECT_EQ(panel(4), "5 条记录");
    w->cxHeader1SectionClick(0);  // ascending, category kept
    EXPECT_EQ(items(), L({"c", "d", "e"}));
    // Number mode 0 counts the shown rows from 1.
    w->CBXNo->setCurrentIndex(0);
    w->CBXNoChange();
    EXPECT_EQ(items(), L({"1. c", "2. d", "3. e"}));
    chooseCategory("全部");
    EXPECT_EQ(items(), L({"1. a", "2. b", "3. c", "4. d", "5. e"}));
    // A workbook switch shows custom order again; the sort mode stays.
    w->cxTabControl1->setCurrentIndex(1);
    w->cxTabControl1->setCurrentIndex(0);
    EXPECT_EQ(items(), L({"1. c", "2. a", "3. e", "4. b", "5. d"}));
    EXPECT_EQ(w->session().sortMode, store::SortMode::Ascending);
    EXPECT_FALSE(w->ListBox1->titleDragEnabled());
}

TEST_F(TitlesTest, NumberAndTitleModesRebuildWithoutSelection) {
    fillMain();
    open();
    click(1);
    ASSERT_EQ(w->session().shown.title, "a");
    struct Case {
        int mode;
        QStringList expected;
    };
    const Case cases[] = {
        {0, L({"1. c", "2. a", "3. e", "4. b", "5. d"})},
        {1, L({" ◎ c", " ◎ a", " ◎ e", " ◎ b", " ◎ d"})},
        {2, L({"c", "a", "e", "b", "d"})},
    };
    for (const Case& c : cases) {
        w->CBXNo->setCurrentIndex(c.mode);
        w->CBXNoChange();
        EXPECT_EQ(w->session().numberDisplayMode, c.mode);
        EXPECT_EQ(items(), c.expected) << c.mode;
        EXPECT_EQ(w->selectedIndex(), -1);
    }
    w->CBXheighview->setCurrentIndex(1);
    w->CBXheighviewChange();
    EXPECT_EQ(w->session().titleDisplayMode, 1);
    EXPECT_EQ(w->ListBox1->titleDisplayMode(), 1);
    EXPECT_EQ(w->selectedIndex(), -1);
    EXPECT_EQ(w->session().shown.title, "a");  // the viewer keeps its article
}

TEST_F(TitlesTest, FirstTitleShowsAfterARebuildThatLeftItCurrent) {
    fillMain();
    open();
    click(1);
    w->CBXheighview->setCurrentIndex(1);
    w->CBXheighviewChange();
    // Focusing the list makes row 0 current without selecting it.
    w->ListBox1->selectionModel()->setCurrentIndex(w->ListBox1->model()->index(0, 0),
                                                   QItemSelectionModel::NoUpdate);
    EXPECT_EQ(w->selectedIndex(), -1);
    click(0);
    EXPECT_EQ(w->selectedIndex(), 0);
    EXPECT_EQ(w->session().shown.title, "c");
}

TEST_F(TitlesTest, LineSpacingSetsTheItemHeight) {
    fillMain();
    open();
    const std::pair<const char*, int> cases[] = {{"N12", 23}, {"N14", 13}, {"N13", 18},
                                                 {"N16", 23}, {"N18", 13}, {"N17", 18}};
    for (const auto& [name, height] : cases) {
        w->action(name)->trigger();
        QApplication::processEvents();
        EXPECT_EQ(itemRect(0).height(), height) << name;
        EXPECT_EQ(itemRect(1).top(), itemRect(0).top() + height) << name;
    }
}

TEST_F(TitlesTest, SortHeaderAndSortMenuCycle) {
    fillMain();
    open();
    const QStringList asc = L({"a", "b", "c", "d", "e"});
    const QStringList desc = L({"e", "d", "c", "b", "a"});
    const QStringList custom = L({"c", "a", "e", "b", "d"});
    struct Step {
        std::function<void()> act;
        store::SortMode mode;
        SortHeader::Arrow arrow;
        QStringList expected;
    };
    const Step steps[] = {
        {[&] { w->cxHeader1SectionClick(0); }, store::SortMode::Ascending, SortHeader::Up, asc},
        {[&] { w->cxHeader1SectionClick(0); }, store::SortMode::Descending, SortHeader::Down, desc},
        {[&] { w->cxHeader1SectionClick(0); }, store::SortMode::Ascending, SortHeader::Up, asc},
        {[&] { w->cxHeader1SectionClick(1); }, store::SortMode::Custom, SortHeader::NoArrow,
         custom},
        {[&] { w->action("N4")->trigger(); }, store::SortMode::Descending, SortHeader::Down, desc},
        {[&] { w->action("N4")->trigger(); }, store::SortMode::Descending, SortHeader::Down, desc},
        {[&] { w->action("N3")->trigger(); }, store::SortMode::Ascending, SortHeader::Up, asc},
        {[&] { w->action("N5")->trigger(); }, store::SortMode::Custom, SortHeader::NoArrow, custom},
    };
    int k = 0;
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(w->session().sortMode, s.mode) << k;
        EXPECT_EQ(w->cxHeader1->shownArrow(), s.arrow) << k;
        EXPECT_EQ(items(), s.expected) << k;
        EXPECT_EQ(w->ListBox1->titleDragEnabled(), s.mode == store::SortMode::Custom) << k;
        EXPECT_EQ(w->session().dragEnabled, s.mode == store::SortMode::Custom) << k;
        ++k;
    }
    // A real click on the title section of the header.
    clickAt(w->cxHeader1, Qt::LeftButton, w->cxHeader1->sectionRect(0).center());
    EXPECT_EQ(w->session().sortMode, store::SortMode::Ascending);
    clickAt(w->cxHeader1, Qt::LeftButton, w->cxHeader1->sectionRect(1).center());
    EXPECT_EQ(w->session().sortMode, store::SortMode::Custom);
    EXPECT_EQ(w->cxHeader1->sectionWidth(1), 55);
}

TEST_F(TitlesTest, DropMovesTheTitleInListAndStore) {
    fillMain();
    setIni("ThemeIcoSet", "TextSet", "0");
    open();
    // Drag the last title (d, number 5) onto the first (c, number 1).
    click(4);
    w->ListBox1DragDrop(4, 0);
    EXPECT_EQ(testsupport::titles(db.conn(), "datum"), L({"d", "c", "a", "e", "b"}));
    EXPECT_EQ(seqNos(), L({"1", "2", "3", "4", "5"}));
    // The item moved with its old number text; nothing rebuilt.
    EXPECT_EQ(items(), L({"5. d", "1. c", "2. a", "3. e", "4. b"}));
    EXPECT_EQ(w->selectedIndex(), 0);
    EXPECT_EQ(w->session().shown.title, "d");
    // Dropping down: c (row 1) onto b (row 4).
    w->ListBox1->selectQuietly(1);
    w->ListBox1DragDrop(1, 4);
    EXPECT_EQ(testsupport::titles(db.conn(), "datum"), L({"d", "a", "e", "b", "c"}));
    EXPECT_EQ(w->selectedIndex(), 4);
    // The main record set follows the list: item i is row i.
    click(3);
    EXPECT_EQ(w->session().shown.title, "b");
    // On itself or below the last item: nothing changes.
    const QStringList before = testsupport::titles(db.conn(), "datum");
    w->ListBox1DragDrop(2, 2);
    w->ListBox1DragDrop(2, -1);
    EXPECT_EQ(testsupport::titles(db.conn(), "datum"), before);
    EXPECT_TRUE(prompt.messages.isEmpty());
}

TEST_F(TitlesTest, DropInFilteredListShiftsOtherCategories) {
    fillMain();
    open();
    chooseCategory("x");  // c(1), e(3), d(5)
    w->ListBox1->selectQuietly(2);
    w->ListBox1DragDrop(2, 0);  // d before c
    EXPECT_EQ(items(), L({"d", "c", "e"}));
    EXPECT_EQ(testsupport::titles(db.conn(), "datum"), L({"d", "c", "a", "e", "b"}));
}

TEST_F(TitlesTest, DraggingOnlyStartsInCustomOrderAndFeedbackFollowsThePointer) {
    fillMain();
    open();
    const QPoint p0 = itemRect(0).center();
    EXPECT_TRUE(w->ListBox1->wouldStartDrag(p0));
    EXPECT_FALSE(w->ListBox1->wouldStartDrag(QPoint(5, itemRect(4).bottom() + 30)));
    EXPECT_TRUE(w->ListBox1->feedbackRect().isEmpty());
    w->ListBox1->markDropTarget(itemRect(2).center());
    EXPECT_EQ(w->ListBox1->feedbackRect(), itemRect(2));
    w->ListBox1->markDropTarget(QPoint(5, itemRect(4).bottom() + 30));  // empty part
    EXPECT_EQ(w->ListBox1->feedbackRect(), itemRect(2));
    w->ListBox1->eraseFeedback();
    EXPECT_TRUE(w->ListBox1->feedbackRect().isEmpty());

    w->cxHeader1SectionClick(0);  // title order
    EXPECT_FALSE(w->ListBox1->wouldStartDrag(p0));
    // A press and a long move select the title but start no drag.
    press(w->ListBox1->viewport(), Qt::LeftButton, p0);
    mouse(w->ListBox1->viewport(), QEvent::MouseMove, Qt::NoButton, itemRect(3).center(),
          Qt::LeftButton);
    release(w->ListBox1->viewport(), Qt::LeftButton, itemRect(3).center());
    EXPECT_EQ(testsupport::titles(db.conn(), "datum"), L({"c", "a", "e", "b", "d"}));
}

// In title order a drop (from a drag begun before the order changed) does
// nothing: the list and the record set keep the same rows in the same order.
TEST_F(TitlesTest, DropInTitleOrderChangesNothing) {
    fillMain();
    open();
    for (int section : {0, 0}) {  // ascending, then descending
        w->cxHeader1SectionClick(section);
        const QStringList list = items();
        const QStringList numbers = seqNos();
        w->ListBox1->selectQuietly(4);
        w->ListBox1DragDrop(4, 0);
        EXPECT_EQ(items(), list);
        EXPECT_EQ(seqNos(), numbers);
        click(4);
        EXPECT_TRUE(list[4].endsWith(w->session().shown.title));
    }
}

// A click on the title already selected shows it again.
TEST_F(TitlesTest, ClickOnTheSelectedTitleShowsItAgain) {
    db.addArticle("datum", "g", "一", 1, false, "正文一");
    db.addArticle("datum", "g", "二", 2, false, "正文二");
    open();
    click(1);
    ASSERT_TRUE(w->RichEdit1->plainText().contains("正文二"));
    w->RichEdit1->clearAll();
    w->session().shown.title.clear();
    click(1);
    EXPECT_EQ(w->session().shown.title, "二");
    EXPECT_TRUE(w->RichEdit1->plainText().contains("正文二"));
}

TEST_F(TitlesTest, RightButtonSelectsAndShowsBeforeThePopup) {
    db.addArticle("datum", "g", "一", 1, false, "正文一");
    db.addArticle("datum", "g", "二", 2, false, "正文二");
    open();
    press(w->ListBox1->viewport(), Qt::RightButton, itemRect(1).center());
    EXPECT_EQ(w->selectedIndex(), 1);
    EXPECT_EQ(w->session().shown.title, "二");
    EXPECT_TRUE(w->RichEdit1->plainText().contains("正文二"));

    // Below the last title no popup opens; on a title it does.
    w->ListBox1Popup(QPoint(5, itemRect(1).bottom() + 40), false);
    EXPECT_FALSE(w->ListPopup->isVisible());
    w->ListBox1Popup(itemRect(0).center(), false);
    EXPECT_TRUE(w->ListPopup->isVisible());
    // The current workbook's move item is disabled.
    EXPECT_FALSE(w->moveItems[0]->isEnabled());
    EXPECT_TRUE(w->moveItems[1]->isEnabled());
    w->ListPopup->close();
    w->ListBox1Popup(QPoint(5, 500), true);  // from the keyboard: always
    EXPECT_TRUE(w->ListPopup->isVisible());
    w->ListPopup->close();
}
