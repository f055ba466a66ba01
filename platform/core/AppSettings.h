#pragma once
// The program's settings as kept in its settings (INI) file: every section,
// key, default and range check in one place. The main window loads them when
// it is first shown and saves them when it closes; the workbook names are
// written only by the settings dialog.

#include <QString>
#include <array>

#include "platform/core/ColorCode.h"

namespace platform {

class ProfileFile;

class AppSettings {
  public:
    static constexpr int kWorkbookCount = 4;

    // Title display mode: 0 "高亮显示", 1 "普通显示".
    static constexpr int kDefaultTitleDisplayMode = 0;
    static constexpr int kTitleDisplayModes = 2;
    // Number display mode: 0 "标题号", 1 "标题符", 2 "标题图标".
    static constexpr int kDefaultNumberDisplayMode = 2;
    static constexpr int kNumberDisplayModes = 3;

    static constexpr ColorCode kDefaultViewerBackground = kSystemWindowColor;
    static constexpr std::array<ColorCode, kWorkbookCount> kDefaultWorkbookColors{
        {0xFFFFF4, 0xFFF0FF, 0xDFFFFF, 0xFFE8E8}};

    // A stored window size outside these bounds counts as a bad value.
    static constexpr int kDefaultWindowWidth = 800;
    static constexpr int kDefaultWindowHeight = 616;
    static constexpr int kMinWindowWidth = 200;
    static constexpr int kMinWindowHeight = 150;
    static constexpr int kMaxWindowSide = 16384;

    static QString defaultZoomText();  // "100%"
    static QString defaultWorkbookName(
        int position);  // "主工作簿", "工作簿1" ...; empty outside 0..3

    // The zoom list's text as stored; whether it is one of the list's
    // entries is for the list to decide.
    QString zoomText = defaultZoomText();
    ColorCode viewerBackground = kDefaultViewerBackground;
    int titleDisplayMode = kDefaultTitleDisplayMode;
    int numberDisplayMode = kDefaultNumberDisplayMode;
    std::array<ColorCode, kWorkbookCount> workbookColors = kDefaultWorkbookColors;
    int windowWidth = kDefaultWindowWidth;
    int windowHeight = kDefaultWindowHeight;
    // Any text, the empty one included.
    std::array<QString, kWorkbookCount> workbookNames{
        {defaultWorkbookName(0), defaultWorkbookName(1), defaultWorkbookName(2),
         defaultWorkbookName(3)}};

    // Reads every key. A missing file or key, a value that is no number or
    // one outside its range gives that key's default.
    void load(const ProfileFile& file);

    // Writes what the main window stores when it closes: every key but the
    // workbook names. Each key is written even when an earlier one failed;
    // false when any could not be written.
    bool save(ProfileFile& file) const;

    // Writes the four workbook names, as the settings dialog does; false when
    // any could not be written (the others are written all the same).
    bool saveWorkbookNames(ProfileFile& file) const;

    bool operator==(const AppSettings&) const = default;
};

}  // namespace platform
