// The text colour and background colour menus: seventeen radio items, each
// with a swatch of its colour.
#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include "editor/EditorCommands.h"

namespace {

struct TableEntry {
    int r, g, b;
    const char* caption;
};

const TableEntry kTable[EditorCommands::kColorCount - 1] = {
    {0, 0, 0, "Black"},       {128, 0, 0, "Maroon"},    {0, 128, 0, "Green"},
    {128, 128, 0, "Olive"},   {0, 0, 128, "Navy"},      {128, 0, 128, "Purple"},
    {0, 128, 128, "Teal"},    {128, 128, 128, "Gray"},  {192, 192, 192, "Silver"},
    {255, 0, 0, "Red"},       {0, 255, 0, "Lime"},      {255, 255, 0, "Yellow"},
    {0, 0, 255, "Blue"},      {255, 0, 255, "Fuchsia"}, {0, 255, 255, "Aqua"},
    {255, 255, 255, "White"},
};

const char* const kColorIndex = "colorIndex";
const char* const kBackground = "colorBackground";

constexpr int kSwatchWidth = 20;
constexpr int kSwatchGap = 6;

// Draws the colour menus' items: the normal item with its radio mark, then a
// swatch after the mark and the caption after the swatch.
class ColorMenuStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    QSize sizeFromContents(ContentsType type, const QStyleOption* opt, const QSize& size,
                           const QWidget* w) const override {
        QSize s = QProxyStyle::sizeFromContents(type, opt, size, w);
        if (type == CT_MenuItem) s.rwidth() += kSwatchWidth + 2 * kSwatchGap;
        return s;
    }

    void drawControl(ControlElement el, const QStyleOption* opt, QPainter* p,
                     const QWidget* w) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
        if (el != CE_MenuItem || !item || item->menuItemType == QStyleOptionMenuItem::Separator) {
            QProxyStyle::drawControl(el, opt, p, w);
            return;
        }
        QStyleOptionMenuItem plain = *item;
        plain.text.clear();
        QProxyStyle::drawControl(el, &plain, p, w);

        const QAction* a = actionAt(w, item->rect);
        QColor fill = a ? colorOf(a) : QColor();
        const int check = proxy()->pixelMetric(PM_IndicatorWidth, opt, w);
        const QRect r = item->rect;
        const QRect swatch(r.left() + check + kSwatchGap, r.top() + 3, kSwatchWidth,
                           r.height() - 6);
        p->save();
        p->setPen(item->palette.color(QPalette::Active, QPalette::Text));
        p->setBrush(Qt::NoBrush);
        p->drawRect(swatch.adjusted(0, 0, -1, -1));
        p->fillRect(swatch.adjusted(1, 1, -1, -1), fill);
        const bool selected = item->state & State_Selected;
        p->setPen(item->palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        p->setFont(item->font);
        const QRect text(swatch.right() + kSwatchGap + 1, r.top(), r.right() - swatch.right(),
                         r.height());
        p->drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextShowMnemonic, item->text);
        p->restore();
    }

  private:
    static const QAction* actionAt(const QWidget* w, const QRect& rect) {
        const auto* menu = qobject_cast<const QMenu*>(w);
        if (!menu) return nullptr;
        for (QAction* a : menu->actions())
            if (menu->actionGeometry(a) == rect) return a;
        return nullptr;
    }

    static QColor colorOf(const QAction* a) {
        const int index = a->property(kColorIndex).toInt();
        const bool background = a->property(kBackground).toBool();
        QColor c = EditorCommands::tableColor(index, background);
        if (!c.isValid()) c = QPalette().color(background ? QPalette::Base : QPalette::Text);
        return c;
    }
};

QString hexName(const QColor& c) {
    // The classic notation of a colour without a name: $00BBGGRR.
    return QStringLiteral("$00%1%2%3")
        .arg(c.blue(), 2, 16, QLatin1Char('0'))
        .arg(c.green(), 2, 16, QLatin1Char('0'))
        .arg(c.red(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

}  // namespace

QColor EditorCommands::tableColor(int index, bool background) {
    if (index >= 0 && index < kColorCount - 1)
        return QColor(kTable[index].r, kTable[index].g, kTable[index].b);
    return QColor();  // automatic
}

QString EditorCommands::ColorCaption(const QColor& c, bool background) {
    if (!c.isValid()) return QStringLiteral("Automatic");
    for (const TableEntry& e : kTable)
        if (c.red() == e.r && c.green() == e.g && c.blue() == e.b)
            return QString::fromLatin1(e.caption);
    return hexName(c);
}

void EditorCommands::buildColorMenus() {
    auto build = [this](const QString& name, bool background) {
        auto* menu = new QMenu(window_);
        menu->setObjectName(name);
        auto* style = new ColorMenuStyle();
        style->setParent(menu);
        menu->setStyle(style);
        auto* group = new QActionGroup(menu);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        menu->clear();
        for (int i = 0; i < kColorCount; ++i) {
            auto* a = new QAction(ColorCaption(tableColor(i, background), background), menu);
            a->setObjectName(QStringLiteral("%1%2").arg(name).arg(i));
            a->setCheckable(true);
            a->setProperty(kColorIndex, i);
            a->setProperty(kBackground, background);
            group->addAction(a);
            menu->addAction(a);
            connect(a, &QAction::triggered, this, [this, i, background] {
                if (background)
                    BackColorClick(i);
                else
                    TextColorClick(i);
            });
        }
        connect(menu, &QMenu::aboutToShow, this,
                [this, menu, background] { checkColorMenu(menu, background); });
        return menu;
    };
    colorMenu_ = build(QStringLiteral("ColorMenu"), false);
    backMenu_ = build(QStringLiteral("BackgroundMenu"), true);
}

void EditorCommands::checkColorMenu(QMenu* menu, bool background) {
    if (!pane_) return;
    const richtext::CharAttributes a = currentTextAttributes();
    const QColor c = background ? a.background : a.color;
    for (QAction* act : menu->actions()) {
        const QColor entry = tableColor(act->property(kColorIndex).toInt(), background);
        const bool same =
            entry.isValid() == c.isValid() && (!c.isValid() || entry.rgb() == c.rgb());
        act->setChecked(same);
    }
}

void EditorCommands::TextColorClick(int index) {
    if (updating_ || !pane_ || !colorMenu_) return;
    if (QAction* a = colorMenu_->actions().value(index)) a->setChecked(true);
    richtext::CharAttributes attr;
    attr.color = tableColor(index, false);
    setCurrentTextAttributes(attr, richtext::RichEditCtrl::MaskColor);
}

void EditorCommands::BackColorClick(int index) {
    if (updating_ || !pane_ || !backMenu_) return;
    if (QAction* a = backMenu_->actions().value(index)) a->setChecked(true);
    richtext::CharAttributes attr;
    attr.background = tableColor(index, true);
    setCurrentTextAttributes(attr, richtext::RichEditCtrl::MaskBackground);
}
