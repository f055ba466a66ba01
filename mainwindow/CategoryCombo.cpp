#include "mainwindow/CategoryCombo.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include "platform/core/ColorCode.h"
#include "widgets/Icons.h"

namespace {

QColor sysColor(int n) {
    return platform::colorFromCode(platform::sysColorCode(n));
}

class CategoryDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(),
                     qMax(CategoryCombo::kEntryHeight, option.fontMetrics.height() + 2));
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect r = option.rect;
        const bool selected = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
        p->save();
        p->fillRect(
            r, selected ? sysColor(platform::COLOR_HIGHLIGHT) : sysColor(platform::COLOR_WINDOW));
        const QPixmap& pm = icons::pixmap(selected ? icons::CategorySelected : icons::Category);
        p->drawPixmap(r.left() + 5, r.top() + (r.height() - 16) / 2, pm);
        p->setPen(selected ? sysColor(platform::COLOR_HIGHLIGHTTEXT)
                           : sysColor(platform::COLOR_WINDOWTEXT));
        p->setFont(option.font);
        const QRect tr(r.left() + pm.width() + 12, r.top(), r.width() - pm.width() - 12,
                       r.height());
        p->drawText(tr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
        p->restore();
    }
};

}  // namespace

CategoryCombo::CategoryCombo(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new CategoryDelegate(this));
    setIconSize(QSize(16, 16));
    setMaxVisibleItems(20);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(4);
}

void CategoryCombo::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    // The closed field shows the open folder, the text 28 pixels in.
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    const QPixmap& pm = icons::pixmap(icons::CategorySelected);
    p.drawPixmap(field.left() + 2, field.top() + (field.height() - 16) / 2, pm);
    p.setPen(palette().color(QPalette::Text));
    const QRect tr(field.left() + pm.width() + 8, field.top(), field.width() - pm.width() - 8,
                   field.height());
    p.drawText(tr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, currentText());
}
