// The title list: filling it, display modes, line spacing, the sort header
// and sort menu, the drop of a dragged title, and the popup menu.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTabBar>

#include "mainwindow/MainUnit.h"
#include "mainwindow/SortHeader.h"
#include "mainwindow/TitleList.h"
#include "platform/ErrorReport.h"
#include "platform/Prompt.h"
#include "richtext/RichEditCtrl.h"
#include "store/ErrorText.h"
#include "store/Fields.h"

int TMainForm::selectedIndex() const {
    return ListBox1->selectedRow();
}

QStringList TMainForm::readTitles() {
    QStringList titles;
    store::RecordSet& q = session_.store().ADOQuery1();
    q.first();
    const int total = q.recordCount();
    if (total < 1) return titles;
    titles.reserve(total);
    int n = 0;
    for (; !q.eof(); q.next()) {
        ++n;
        const QString theme = q.asString(store::kFieldTheme);
        switch (session_.numberDisplayMode) {
            case 0:
                titles << QString::number(n) + QStringLiteral(". ") + theme;
                break;
            case 1:
                titles << QStringLiteral(" ◎ ") + theme;
                break;
            default:
                titles << theme;
                break;
        }
    }
    return titles;
}

void TMainForm::Refreshlistbox1() {
    ListBox1->setNumberDisplayMode(session_.numberDisplayMode);
    ListBox1->setTitleDisplayMode(session_.titleDisplayMode);
    ListBox1->setTitles(readTitles());
    ListBox1->selectQuietly(-1);
}

void TMainForm::CBXNoChange() {
    session_.numberDisplayMode = qBound(0, CBXNo->currentIndex(), 2);
    Refreshlistbox1();
    RichEdit1->setFocus();
}

void TMainForm::CBXheighviewChange() {
    session_.titleDisplayMode = qBound(0, CBXheighview->currentIndex(), 1);
    Refreshlistbox1();
    RichEdit1->setFocus();
}

void TMainForm::N12Click() {
    ListBox1->setItemHeight(TitleList::kHeightLarge);
}
void TMainForm::N13Click() {
    ListBox1->setItemHeight(TitleList::kHeightMedium);
}
void TMainForm::N14Click() {
    ListBox1->setItemHeight(TitleList::kHeightSmall);
}

void TMainForm::cxHeader1SectionClick(int section) {
    if (section == 1) {
        cxHeader1->setArrowsOn(false);
        session_.sortMode = store::SortMode::Custom;
        session_.dragEnabled = true;
    } else if (section == 0) {
        cxHeader1->setArrowsOn(true);
        session_.sortMode = session_.sortMode == store::SortMode::Ascending
                                ? store::SortMode::Descending
                                : store::SortMode::Ascending;
        cxHeader1->setTitleArrow(
            session_.sortMode == store::SortMode::Ascending ? SortHeader::Up : SortHeader::Down);
        session_.dragEnabled = false;
    } else {
        return;
    }
    ListBox1->setTitleDragEnabled(session_.dragEnabled);
    CBXgroupChange();
}

void TMainForm::N3Click() {
    session_.sortMode = store::SortMode::Descending;
    cxHeader1->setTitleArrow(SortHeader::Up);
    cxHeader1SectionClick(0);
}

void TMainForm::N4Click() {
    session_.sortMode = store::SortMode::Ascending;
    cxHeader1->setTitleArrow(SortHeader::Down);
    cxHeader1SectionClick(0);
}

void TMainForm::N5Click() {
    session_.sortMode = store::SortMode::Custom;
    cxHeader1->setTitleArrow(SortHeader::NoArrow);
    cxHeader1SectionClick(1);
}

void TMainForm::ListBox1DragDrop(int s, int t) {
    if (s < 0 || t < 0 || s == t || s >= ListBox1->count() || t >= ListBox1->count()) {
        if (t < 0) ListBox1->eraseFeedback();
        return;
    }
    // Search results, title order: item i is no row a drop could place.
    if (!session_.store().mainInCustomOrder()) {
        ListBox1->eraseFeedback();
        return;
    }
    bool moved = false;
    try {
        moved = session_.store().dropReorder(s, t);
    } catch (const std::exception& e) {
        const auto [text, detail] = store::errorText(e);
        platform::reportError(this, text, detail);
        return;
    }
    // A row without an order number (added by another program) cannot be
    // placed: the drop then changes nothing.
    if (!moved) return;
    QListWidgetItem* item = ListBox1->takeItem(s);
    ListBox1->insertItem(t, item);
    ListBox1->selectQuietly(t);
    dragRect_ = QRect();
}

void TMainForm::updatePopupStates() {
    const QString t = cxTabControl1->tabText(selectedTab()).trimmed();
    for (QAction* a : moveItems)
        if (a) a->setEnabled(!a->text().contains(t));
    if (QAction* copy = action(QStringLiteral("N20")))
        copy->setEnabled(titleEditor && titleEditor->isVisible() && titleEditor->hasSelectedText());
}

void TMainForm::ListBox1Popup(const QPoint& pos, bool fromKeyboard) {
    // A click below the last title opens nothing.
    if (!fromKeyboard && pos.y() > ListBox1->count() * ListBox1->itemHeight()) return;
    QPoint global;
    if (fromKeyboard) {
        const int row = selectedIndex();
        const QRect r = row >= 0 ? ListBox1->visualItemRect(ListBox1->item(row)) : QRect();
        global = ListBox1->viewport()->mapToGlobal(r.isValid() ? r.center() : QPoint(4, 4));
    } else {
        global = ListBox1->viewport()->mapToGlobal(pos);
    }
    ListPopup->popup(global);
}
