#pragma once
// 32-bit colour codes as stored in the settings file: 0x00BBGGRR for an RGB
// colour, 0xFF0000nn for system colour number nn (stored as signed decimal).

#include <QColor>
#include <cstdint>

namespace platform {

using ColorCode = std::int32_t;

// System colour numbers the program uses.
enum SysColor {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30
};

constexpr ColorCode kSystemWindowColor = static_cast<ColorCode>(0xFF000005);  // -16777211

constexpr ColorCode sysColorCode(int n) {
    return static_cast<ColorCode>(0xFF000000u | unsigned(n));
}
constexpr bool isSystemColorCode(ColorCode c) {
    return (std::uint32_t(c) & 0xFF000000u) == 0xFF000000u;
}

// The colour a code stands for (system colours from the application palette,
// with the classic Windows values where the palette has none).
QColor colorFromCode(ColorCode code);
// The RGB code of a colour (0x00BBGGRR).
ColorCode codeFromRgb(const QColor& c);
// Display name of a system colour ("clWindow" style names are not shown to users).
const char* systemColorName(int n);

}  // namespace platform
