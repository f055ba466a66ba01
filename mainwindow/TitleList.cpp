#include "mainwindow/TitleList.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>

#include "platform/core/AppSettings.h"
#include "platform/core/ColorCode.h"
#include "widgets/Icons.h"

namespace {

const char* const kTitleMime = "application/x-yunjan-title-row";

QColor sysColor(int n) {
    return platform::colorFromCode(platform::sysColorCode(n));
}

// Draws one title: stripes or plain rows, the title picture in picture mode,
// the highlight of the selected title and the focus rectangle.
class TitleDelegate : public QStyledItemDelegate {
  public:
    explicit TitleDelegate(TitleList* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(list_->viewport()->width(), list_->itemHeight());
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect r = option.rect;
        const int i = index.row();
        const bool selected = option.state & QStyle::State_Selected;
        const bool pictures = list_->numberDisplayMode() == 2;
        const QString text = index.data(Qt::DisplayRole).toString();
        QRect textRect = r;
        if (pictures) textRect.setLeft(r.left() + 24);

        p->save();
        p->setClipRect(r);
        p->setFont(option.font);
        QColor brush;
        QColor pen;
        if (selected) {
            brush = sysColor(platform::COLOR_HIGHLIGHT);
            pen = sysColor(platform::COLOR_HIGHLIGHTTEXT);
        } else {
            brush =
                list_->titleDisplayMode() == 0
                    ? sysColor(i % 2 ? platform::COLOR_WINDOW : platform::COLOR_INACTIVECAPTIONTEXT)
                    : list_->listColor();
            pen = sysColor(platform::COLOR_WINDOWTEXT);
        }
        p->fillRect(r, brush);
        if (pictures)
            p->drawPixmap(r.left() + 3, r.top(),
                          icons::pixmap(selected ? icons::TitleSelected : icons::Title));
        p->setPen(pen);
        p->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        if ((option.state & QStyle::State_HasFocus) && list_->hasFocus()) {
            QStyleOptionFocusRect fo;
            fo.rect = r;
            fo.state = option.state;
            fo.backgroundColor = brush;
            list_->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &fo, p, list_);
        }
        p->restore();
    }

  private:
    TitleList* list_;
};

}  // namespace

TitleList::TitleList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new TitleDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(9);
    setFont(f);
    setListColor(platform::colorFromCode(platform::AppSettings::kDefaultWorkbookColors[0]));
}

TitleList::~TitleList() = default;

void TitleList::setTitleDisplayMode(int m) {
    titleMode_ = m;
    viewport()->update();
}

void TitleList::setItemHeight(int h) {
    itemHeight_ = h;
    // Uniform item sizes are cached by the view: make it measure again.
    setUniformItemSizes(false);
    setUniformItemSizes(true);
    doItemsLayout();
    viewport()->update();
}

void TitleList::setListColor(const QColor& c) {
    listColor_ = c;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, c);
    setPalette(pal);
    viewport()->update();
}

bool TitleList::wouldStartDrag(const QPoint& pos) const {
    return dragAllowed() && indexAt(pos).isValid();
}

void TitleList::markDropTarget(const QPoint& pos) {
    const QModelIndex idx = indexAt(pos);
    if (!idx.isValid()) return;
    const QRect r = visualRect(idx);
    if (r == feedback_) return;
    viewport()->update(feedback_.adjusted(-1, -1, 1, 1));
    feedback_ = r;
    viewport()->update(feedback_.adjusted(-1, -1, 1, 1));
}

void TitleList::eraseFeedback() {
    if (!feedback_.isEmpty()) viewport()->update(feedback_.adjusted(-1, -1, 1, 1));
    feedback_.setBottom(0);
    feedback_ = QRect();
}

void TitleList::selectQuietly(int row) {
    if (row < 0 || row >= count()) {
        setCurrentRow(-1);
        clearSelection();
        return;
    }
    setCurrentRow(row);
}

int TitleList::selectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TitleList::setTitles(const QStringList& texts) {
    clear();
    addItems(texts);
}

void TitleList::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const int before = selectedRow();
    if (e->button() == Qt::RightButton) {
        // The right button selects (and shows) the title under the pointer
        // before the popup menu is asked for.
        if (QListWidgetItem* it = itemAt(pos)) {
            setCurrentItem(it);
            if (selectedRow() != before) emit userSelected();
        }
        e->accept();
        return;
    }
    QListWidget::mousePressEvent(e);
    const bool onTitle = indexAt(pos).isValid();
    if (e->button() == Qt::LeftButton) {
        pressed_ = true;
        pressPos_ = pos;
        pressRow_ = indexAt(pos).row();
    }
    // A click on the title already selected shows it again.
    if (selectedRow() >= 0 &&
        (selectedRow() != before || (e->button() == Qt::LeftButton && onTitle)))
        emit userSelected();
}

void TitleList::mouseMoveEvent(QMouseEvent* e) {
    if (pressed_ && (e->buttons() & Qt::LeftButton) && pressRow_ >= 0 && dragAllowed()) {
        if ((e->position().toPoint() - pressPos_).manhattanLength() >=
            QApplication::startDragDistance())
            startTitleDrag();
        return;
    }
    const int before = selectedRow();
    QListWidget::mouseMoveEvent(e);
    if (selectedRow() != before && selectedRow() >= 0) emit userSelected();
}

void TitleList::mouseReleaseEvent(QMouseEvent* e) {
    pressed_ = false;
    QListWidget::mouseReleaseEvent(e);
}

void TitleList::startTitleDrag() {
    pressed_ = false;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kTitleMime), QByteArray::number(selectedRow()));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
    // Whatever the outcome, the feedback ends with the drag.
    eraseFeedback();
}

void TitleList::keyPressEvent(QKeyEvent* e) {
    const int before = selectedRow();
    QListWidget::keyPressEvent(e);
    if (selectedRow() != before && selectedRow() >= 0) emit userSelected();
}

void TitleList::contextMenuEvent(QContextMenuEvent* e) {
    emit popupRequested(e->pos(), e->reason() == QContextMenuEvent::Keyboard);
    e->accept();
}

void TitleList::dragEnterEvent(QDragEnterEvent* e) {
    if (e->source() == this && e->mimeData()->hasFormat(QString::fromLatin1(kTitleMime)))
        e->acceptProposedAction();
    else
        e->ignore();
}

void TitleList::dragMoveEvent(QDragMoveEvent* e) {
    if (e->source() != this || !e->mimeData()->hasFormat(QString::fromLatin1(kTitleMime))) {
        e->ignore();
        return;
    }
    markDropTarget(e->position().toPoint());
    e->acceptProposedAction();
}

void TitleList::dragLeaveEvent(QDragLeaveEvent* e) {
    e->accept();
}

void TitleList::dropEvent(QDropEvent* e) {
    if (e->source() != this) {
        e->ignore();
        return;
    }
    const int t = indexAt(e->position().toPoint()).row();
    e->acceptProposedAction();
    emit titleDropped(selectedRow(), t);
}

void TitleList::paintEvent(QPaintEvent* e) {
    QListWidget::paintEvent(e);
    if (feedback_.isEmpty()) return;
    QPainter p(viewport());
    p.setPen(QPen(sysColor(platform::COLOR_WINDOWTEXT), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(feedback_.adjusted(0, 0, -1, -1));
}

void TitleList::resizeEvent(QResizeEvent* e) {
    QListWidget::resizeEvent(e);
    if (editor_) editor_->resize(viewport()->width(), editor_->height());
}

TitleEditor::TitleEditor(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    hide();
}

void TitleEditor::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit commitRequested();
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TitleEditor::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // Only a move of the focus inside the window ends the rename: a popup
    // menu, or another window, takes it for a while and gives it back.
    if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason) hide();
}

void TitleEditor::contextMenuEvent(QContextMenuEvent* e) {
    emit popupRequested(e->globalPos());
    e->accept();
}
