#include "mainwindow/DrawXpMenu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QStyleOptionMenuItem>

#include "platform/core/ColorCode.h"

namespace xpmenu {

QColor disabledTextColor() {
    return platform::colorFromCode(platform::sysColorCode(platform::COLOR_BTNSHADOW));
}

}  // namespace xpmenu

using namespace xpmenu;

void XpMeasureItem(int& width, int& height) {
    width += kExtraWidth;
    height += kExtraHeight;
}

namespace {

// The tick of a check item, in a 16-pixel cell whose top-left is at (x, y).
void drawCheckMark(QPainter& p, int x, int y, const QColor& color) {
    QPainterPath path;
    path.moveTo(x + 3.5, y + 8.0);
    path.lineTo(x + 6.5, y + 11.5);
    path.lineTo(x + 12.5, y + 4.0);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

// The dot of a radio item, in a 12-pixel cell whose top-left is at (x, y).
void drawRadioMark(QPainter& p, int x, int y, const QColor& color) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(x + 3, y + 3, 6, 6));
    p.restore();
}

}  // namespace

void XpDrawItem(const XpMenuItem& item, QPainter& canvas, QRect r, bool highlighted,
                bool disabled) {
    // Edges as half-open ranges: [left, right) x [top, bottom).
    const int left = r.left();
    const int top = r.top();
    const int right = r.left() + r.width();
    const int bottom = r.top() + r.height();

    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);

    // 1. Background with a one-pixel frame.
    QColor background = kItemBackground;
    QColor frame = kItemBackground;
    if (disabled && !item.separator) {
        background = kDisabledBackground;
        frame = kDisabledBackground;
    } else if (highlighted) {
        background = kHighlightBackground;
        frame = kHighlightFrame;
    }
    canvas.fillRect(QRect(left, top, right - left, bottom - top), frame);
    if (right - left > 2 && bottom - top > 2)
        canvas.fillRect(QRect(left + 1, top + 1, right - left - 2, bottom - top - 2), background);

    // 2. The image stripe, except under the highlight of an enabled item.
    if (!(highlighted && !disabled))
        canvas.fillRect(QRect(left, top, kStripeWidth, bottom - top), kStripe);

    if (item.separator) {
        // 3. A one-pixel line through the middle.
        const int m = top + (bottom - top) / 2;
        const int x0 = left + kSeparatorLeft;
        const int x1 = right - kSeparatorRightGap;
        if (x1 > x0) canvas.fillRect(QRect(x0, m - 1, x1 - x0, 1), kSeparator);
    } else {
        // 4. Caption, shortcut and the tick.
        const QColor text = disabled ? disabledTextColor() : QColor(Qt::black);
        canvas.setPen(text);
        canvas.setBackgroundMode(Qt::TransparentMode);
        const QRect captionRect(QPoint(left + kCaptionLeft, top + kCaptionTop),
                                QPoint(right - 1, bottom - 1));
        canvas.drawText(captionRect,
                        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic,
                        item.caption);
        if (!item.shortcut.isEmpty()) {
            const QRect shortcutRect(QPoint(left + kCaptionLeft, top + kCaptionTop),
                                     QPoint(right - kShortcutRightGap - 1, bottom - 1));
            canvas.drawText(shortcutRect, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                            item.shortcut);
        }
        if (item.checked) {
            const int h = bottom - top;
            if (item.radio)
                drawRadioMark(canvas, left + 4, top + (h - 12) / 2, text);
            else
                drawCheckMark(canvas, left + 2, top + (h - 16) / 2, text);
        }
    }

    // 5. The image: lifted by one pixel under the highlight, greyed when disabled.
    if (item.hasImageList && !item.image.isNull()) {
        if (highlighted && !disabled) {
            item.image.paint(&canvas,
                             QRect(left + kImageOffsetHighlighted, top + kImageOffsetHighlighted,
                                   kImageSize, kImageSize),
                             Qt::AlignCenter, QIcon::Normal);
        } else {
            item.image.paint(&canvas,
                             QRect(left + kImageOffset, top + kImageOffset, kImageSize, kImageSize),
                             Qt::AlignCenter, disabled ? QIcon::Disabled : QIcon::Normal);
        }
    }
    canvas.restore();
}

// ---------------------------------------------------------------------------

XpMenuStyle::XpMenuStyle() = default;

XpMenuItem XpMenuStyle::itemFromOption(const QStyleOptionMenuItem& opt) {
    XpMenuItem item;
    const int tab = opt.text.indexOf(u'\t');
    item.caption = tab < 0 ? opt.text : opt.text.left(tab);
    item.shortcut = tab < 0 ? QString() : opt.text.mid(tab + 1);
    item.separator = opt.menuItemType == QStyleOptionMenuItem::Separator;
    item.checked = opt.checkType != QStyleOptionMenuItem::NotCheckable && opt.checked;
    item.radio = opt.checkType == QStyleOptionMenuItem::Exclusive;
    item.image = opt.icon;
    return item;
}

void XpMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    if (element == CE_MenuEmptyArea) {
        painter->fillRect(option->rect, kItemBackground);
        return;
    }
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || !mi) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    if (mi->menuItemType == QStyleOptionMenuItem::EmptyArea) {
        painter->fillRect(option->rect, kItemBackground);
        return;
    }
    const bool disabled = !(mi->state & State_Enabled);
    const bool highlighted = (mi->state & State_Selected) != 0;
    painter->save();
    painter->setFont(mi->font);
    XpDrawItem(itemFromOption(*mi), *painter, mi->rect, highlighted, disabled);
    painter->restore();
    if (mi->menuItemType == QStyleOptionMenuItem::SubMenu) {
        // The arrow of an item that opens a submenu, as the platform draws it.
        QStyleOption arrow = *option;
        const int h = mi->rect.height();
        arrow.rect = QRect(mi->rect.right() - 12, mi->rect.top() + (h - 9) / 2, 9, 9);
        arrow.palette.setColor(QPalette::ButtonText,
                               disabled ? disabledTextColor() : QColor(Qt::black));
        arrow.palette.setColor(QPalette::WindowText,
                               disabled ? disabledTextColor() : QColor(Qt::black));
        arrow.state = disabled ? State_None : State_Enabled;
        QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, widget);
    }
}

void XpMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    if (element == PE_PanelMenu || element == PE_FrameMenu) {
        const QRect r = option->rect;
        painter->save();
        if (element == PE_PanelMenu) {
            painter->fillRect(r, kItemBackground);
            const int panel = pixelMetric(PM_MenuPanelWidth, option, widget);
            painter->fillRect(QRect(r.left() + panel, r.top(), kStripeWidth, r.height()), kStripe);
        }
        painter->setPen(QColor(138, 134, 122));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QSize XpMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                    const QSize& size, const QWidget* widget) const {
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuItem) {
        int w = s.width();
        int h = s.height();
        XpMeasureItem(w, h);
        s = QSize(w, h);
    }
    return s;
}

int XpMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    switch (metric) {
        case PM_MenuPanelWidth:
            return 1;
        case PM_MenuHMargin:
            return 0;
        case PM_MenuVMargin:
            return 1;
        case PM_SmallIconSize:
            return kImageSize;
        default:
            break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

namespace {

QString plainTitle(QString title) {
    static const QRegularExpression accel(QStringLiteral("\\(&.\\)"));
    title.remove(accel);
    title.remove(u'&');
    return title.trimmed();
}

}  // namespace

void applyXpMenuStyle(QMenu* menu, QStyle* style, const QStringList& skipTitles) {
    if (!menu) return;
    menu->setStyle(style);
    for (QAction* a : menu->actions()) {
        QMenu* sub = a->menu();
        if (!sub || sub == menu) continue;
        const QString title = plainTitle(sub->title().isEmpty() ? a->text() : sub->title());
        if (skipTitles.contains(title))
            sub->setStyle(QApplication::style());  // keeps the standard look
        else
            applyXpMenuStyle(sub, style, skipTitles);
    }
}
