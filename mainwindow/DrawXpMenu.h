#pragma once
// The flat, striped look of the main menu's drop-down items.
//
// XpMeasureItem and XpDrawItem keep no state: the measure step enlarges the
// size the menu framework computed, the draw step paints one item into the
// rectangle it is given. XpMenuStyle hands QMenu's requests to them; it is
// set on each drop-down menu that uses this look.

#include <QColor>
#include <QIcon>
#include <QProxyStyle>
#include <QRect>
#include <QString>

class QMenu;
class QPainter;

namespace xpmenu {

// Fixed colours of the drawn items.
inline const QColor kItemBackground{249, 248, 247};
inline const QColor kStripe{239, 237, 222};
inline const QColor kHighlightBackground{193, 210, 238};
inline const QColor kHighlightFrame{0, 128, 192};
inline const QColor kSeparator{212, 208, 200};
inline const QColor kDisabledBackground{249, 248, 247};
// Caption and shortcut text of a disabled item: the button-shadow colour.
QColor disabledTextColor();

// Geometry (pixels, relative to the item rectangle).
constexpr int kStripeWidth = 20;
constexpr int kCaptionLeft = 24;
constexpr int kCaptionTop = 3;
constexpr int kShortcutRightGap = 10;
constexpr int kSeparatorLeft = 23;
constexpr int kSeparatorRightGap = 2;
constexpr int kImageOffset = 3;
constexpr int kImageOffsetHighlighted = 2;
constexpr int kImageSize = 16;
constexpr int kExtraWidth = 10;
constexpr int kExtraHeight = 6;

}  // namespace xpmenu

// What the draw routine needs to know about one menu item.
struct XpMenuItem {
    QString caption;   // with "&" marking the access key
    QString shortcut;  // standard text form ("Ctrl+P"), empty when none
    bool separator = false;
    bool checked = false;  // ticked state
    bool radio = false;    // radio item (otherwise a check item)
    QIcon image;           // null: the item shows no image
    bool hasImageList = true;
};

// Adds 10 pixels to the width and 6 to the height the framework computed.
void XpMeasureItem(int& width, int& height);
// Paints one item into rect r (r is a copy; x and y of r may be anywhere).
void XpDrawItem(const XpMenuItem& item, QPainter& canvas, QRect r, bool highlighted, bool disabled);

// The style set on the owner-drawn drop-down menus.
class XpMenuStyle : public QProxyStyle {
    Q_OBJECT
  public:
    XpMenuStyle();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

    // The item a QMenu describes in a style option.
    static XpMenuItem itemFromOption(const QStyleOptionMenuItem& opt);
};

// Sets style on menu and on its submenus, except the submenus whose title
// (access keys removed) is in skipTitles; those keep the standard look.
void applyXpMenuStyle(QMenu* menu, QStyle* style, const QStringList& skipTitles);
