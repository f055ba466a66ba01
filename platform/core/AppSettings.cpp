#include "platform/core/AppSettings.h"

#include "platform/core/ProfileFile.h"

namespace platform {
namespace {

// Sections and keys. The display modes sit in sections of their own under
// the key "TextSet", the same key name as the zoom's section.
const QString kZoomSection = QStringLiteral("TextSet");
const QString kZoomKey = QStringLiteral("TextSet");
const QString kBackgroundSection = QStringLiteral("ColorSet");
const QString kBackgroundKey = QStringLiteral("ColorSet");
const QString kTitleModeSection = QStringLiteral("ThemeSet");
const QString kNumberModeSection = QStringLiteral("ThemeIcoSet");
const QString kModeKey = QStringLiteral("TextSet");
const QString kColorSection = QStringLiteral("ThemeColorSet");
const QString kSizeSection = QStringLiteral("WindowSize");
const QString kWidthKey = QStringLiteral("WindowWidth");
const QString kHeightKey = QStringLiteral("WindowHeight");
const QString kNameSection = QStringLiteral("cxTabControl1TabsName");

// "ThemeColorSet", "ThemeColorSet1", "ThemeColorSet2", "ThemeColorSet3".
QString colorKey(int k) {
    return k == 0 ? kColorSection : kColorSection + QString::number(k);
}

QString nameKey(int k) {
    return kNameSection + QString::number(k);
}

int readInRange(const ProfileFile& file, const QString& section, const QString& key, int def,
                int lowest, int highest) {
    const int v = file.readInteger(section, key, def);
    return v < lowest || v > highest ? def : v;
}

}  // namespace

QString AppSettings::defaultZoomText() {
    return QStringLiteral("100%");
}

QString AppSettings::defaultWorkbookName(int position) {
    switch (position) {
        case 0:
            return QStringLiteral("主工作簿");
        case 1:
            return QStringLiteral("工作簿1");
        case 2:
            return QStringLiteral("工作簿2");
        case 3:
            return QStringLiteral("工作簿3");
        default:
            return {};
    }
}

void AppSettings::load(const ProfileFile& file) {
    zoomText = file.readString(kZoomSection, kZoomKey, defaultZoomText());
    viewerBackground =
        file.readInteger(kBackgroundSection, kBackgroundKey, kDefaultViewerBackground);
    titleDisplayMode = readInRange(file, kTitleModeSection, kModeKey, kDefaultTitleDisplayMode, 0,
                                   kTitleDisplayModes - 1);
    numberDisplayMode = readInRange(file, kNumberModeSection, kModeKey, kDefaultNumberDisplayMode,
                                    0, kNumberDisplayModes - 1);
    for (int k = 0; k < kWorkbookCount; ++k)
        workbookColors[k] = file.readInteger(kColorSection, colorKey(k), kDefaultWorkbookColors[k]);
    windowWidth = readInRange(file, kSizeSection, kWidthKey, kDefaultWindowWidth, kMinWindowWidth,
                              kMaxWindowSide);
    windowHeight = readInRange(file, kSizeSection, kHeightKey, kDefaultWindowHeight,
                               kMinWindowHeight, kMaxWindowSide);
    for (int k = 0; k < kWorkbookCount; ++k)
        workbookNames[k] = file.readString(kNameSection, nameKey(k), defaultWorkbookName(k));
}

bool AppSettings::save(ProfileFile& file) const {
    bool ok = true;
    ok &= file.writeString(kZoomSection, kZoomKey, zoomText);
    ok &= file.writeInteger(kBackgroundSection, kBackgroundKey, viewerBackground);
    ok &= file.writeInteger(kTitleModeSection, kModeKey, titleDisplayMode);
    ok &= file.writeInteger(kNumberModeSection, kModeKey, numberDisplayMode);
    for (int k = 0; k < kWorkbookCount; ++k)
        ok &= file.writeInteger(kColorSection, colorKey(k), workbookColors[k]);
    ok &= file.writeInteger(kSizeSection, kWidthKey, windowWidth);
    ok &= file.writeInteger(kSizeSection, kHeightKey, windowHeight);
    return ok;
}

bool AppSettings::saveWorkbookNames(ProfileFile& file) const {
    bool ok = true;
    for (int k = 0; k < kWorkbookCount; ++k)
        ok &= file.writeString(kNameSection, nameKey(k), workbookNames[k]);
    return ok;
}

}  // namespace platform
