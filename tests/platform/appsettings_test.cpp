#include "platform/core/AppSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

#include "platform/core/ColorCode.h"
#include "platform/core/ProfileFile.h"
#include "platform/core/TextCodec.h"

namespace platform {
// Readable failures when whole settings are compared.
void PrintTo(const AppSettings& s, std::ostream* os) {
    *os << "{zoom=" << s.zoomText.toStdString() << " background=" << s.viewerBackground
        << " title=" << s.titleDisplayMode << " number=" << s.numberDisplayMode << " colors=";
    for (ColorCode c : s.workbookColors) *os << c << ",";
    *os << " size=" << s.windowWidth << "x" << s.windowHeight << " names=";
    for (const QString& n : s.workbookNames) *os << n.toStdString() << ",";
    *os << "}";
}
}  // namespace platform

using namespace platform;

namespace {

class AppSettingsFile : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("yunjan.ini")); }
    void writeRaw(const QByteArray& b) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
    }
    QByteArray readRaw() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    AppSettings loaded() const {
        AppSettings s;
        s.load(ProfileFile(path()));
        return s;
    }
};

TEST_F(AppSettingsFile, MissingFileGivesTheDefaults) {
    const AppSettings s = loaded();
    EXPECT_EQ(s.zoomText, QStringLiteral("100%"));
    EXPECT_EQ(s.viewerBackground, -16777211);  // the system window colour
    EXPECT_EQ(s.titleDisplayMode, 0);
    EXPECT_EQ(s.numberDisplayMode, 2);
    EXPECT_EQ(s.workbookColors, (std::array<ColorCode, 4>{16777204, 16773375, 14680063, 16771304}));
    EXPECT_EQ(s.windowWidth, 800);
    EXPECT_EQ(s.windowHeight, 616);
    EXPECT_EQ(s.workbookNames,
              (std::array<QString, 4>{QStringLiteral("主工作簿"), QStringLiteral("工作簿1"),
                                      QStringLiteral("工作簿2"), QStringLiteral("工作簿3")}));
    EXPECT_FALSE(QFile::exists(path())) << "loading creates no file";
}

// One stored entry at a time; everything but the expected change stays at
// its default, so a value read under the wrong section or key shows too.
TEST_F(AppSettingsFile, EachValueIsReadOrFallsBackToItsDefault) {
    using Expect = std::function<void(AppSettings&)>;
    const struct Case {
        const char* section;
        const char* key;
        const char* value;
        Expect expect;
    } cases[] = {
        {"TextSet", "TextSet", "150%", [](AppSettings& s) { s.zoomText = "150%"; }},
        // Kept as stored: the zoom list decides whether it is one of its entries.
        {"TextSet", "TextSet", "75%", [](AppSettings& s) { s.zoomText = "75%"; }},
        // Same key name, other sections: neither is the zoom.
        {"ThemeSet", "TextSet", "1", [](AppSettings& s) { s.titleDisplayMode = 1; }},
        {"ThemeSet", "TextSet", "0x1", [](AppSettings& s) { s.titleDisplayMode = 1; }},
        {"ThemeSet", "TextSet", "2", [](AppSettings&) {}},
        {"ThemeSet", "TextSet", "-1", [](AppSettings&) {}},
        {"ThemeSet", "TextSet", "高亮", [](AppSettings&) {}},
        {"ThemeSet", "TextSet", "", [](AppSettings&) {}},
        {"ThemeIcoSet", "TextSet", "0", [](AppSettings& s) { s.numberDisplayMode = 0; }},
        {"ThemeIcoSet", "TextSet", "0X1", [](AppSettings& s) { s.numberDisplayMode = 1; }},
        {"ThemeIcoSet", "TextSet", "3", [](AppSettings&) {}},
        {"ThemeIcoSet", "TextSet", "7", [](AppSettings&) {}},
        {"ThemeIcoSet", "TextSet", "-1", [](AppSettings&) {}},
        {"ColorSet", "ColorSet", "0x00FF00", [](AppSettings& s) { s.viewerBackground = 0x00FF00; }},
        {"ColorSet", "ColorSet", "255", [](AppSettings& s) { s.viewerBackground = 255; }},
        {"ColorSet", "ColorSet", "0xFF00000F",
         [](AppSettings& s) { s.viewerBackground = sysColorCode(15); }},
        {"ColorSet", "ColorSet", "red", [](AppSettings&) {}},
        {"ThemeColorSet", "ThemeColorSet", "255",
         [](AppSettings& s) { s.workbookColors[0] = 255; }},
        {"ThemeColorSet", "ThemeColorSet2", "-16777211",
         [](AppSettings& s) { s.workbookColors[2] = kSystemWindowColor; }},
        {"ThemeColorSet", "ThemeColorSet3", "0xDFFFFF",
         [](AppSettings& s) { s.workbookColors[3] = 0xDFFFFF; }},
        {"ThemeColorSet", "ThemeColorSet1", "0xZZ", [](AppSettings&) {}},
        {"WindowSize", "WindowWidth", "900", [](AppSettings& s) { s.windowWidth = 900; }},
        {"WindowSize", "WindowWidth", "0x384", [](AppSettings& s) { s.windowWidth = 900; }},
        {"WindowSize", "WindowWidth", "200", [](AppSettings& s) { s.windowWidth = 200; }},
        {"WindowSize", "WindowWidth", "16384", [](AppSettings& s) { s.windowWidth = 16384; }},
        {"WindowSize", "WindowWidth", "199", [](AppSettings&) {}},
        {"WindowSize", "WindowWidth", "16385", [](AppSettings&) {}},
        {"WindowSize", "WindowWidth", "-5", [](AppSettings&) {}},
        {"WindowSize", "WindowHeight", "150", [](AppSettings& s) { s.windowHeight = 150; }},
        {"WindowSize", "WindowHeight", "149", [](AppSettings&) {}},
        {"WindowSize", "WindowHeight", "16385", [](AppSettings&) {}},
        {"WindowSize", "WindowHeight", "abc", [](AppSettings&) {}},
        {"cxTabControl1TabsName", "cxTabControl1TabsName0", "资料",
         [](AppSettings& s) { s.workbookNames[0] = "资料"; }},
        // An empty name is a name, not a missing one.
        {"cxTabControl1TabsName", "cxTabControl1TabsName2", "",
         [](AppSettings& s) { s.workbookNames[2] = ""; }},
    };
    for (const Case& c : cases) {
        writeRaw(toGbk(QStringLiteral("[%1]\r\n%2=%3\r\n")
                           .arg(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                QString::fromUtf8(c.value))));
        AppSettings expected;
        c.expect(expected);
        EXPECT_EQ(loaded(), expected) << c.section << "/" << c.key << "=" << c.value;
    }
}

TEST_F(AppSettingsFile, WorkbookNamesAreGbkText) {
    writeRaw(
        toGbk(QStringLiteral("[cxTabControl1TabsName]\r\ncxTabControl1TabsName1=读书笔记\r\n"
                             "cxTabControl1TabsName3=书摘€\r\n")));
    AppSettings s = loaded();
    EXPECT_EQ(s.workbookNames[1], QStringLiteral("读书笔记"));
    EXPECT_EQ(s.workbookNames[3], QStringLiteral("书摘€"));

    s.workbookNames[0] = QStringLiteral("诗词");
    ProfileFile file(path());
    ASSERT_TRUE(s.saveWorkbookNames(file));
    const QByteArray raw = readRaw();
    EXPECT_TRUE(raw.contains("cxTabControl1TabsName0=" + toGbk(QStringLiteral("诗词"))));
    EXPECT_FALSE(raw.contains(QStringLiteral("诗词").toUtf8()));

    // A name GBK cannot hold is reported and leaves that key as it was; the
    // other names are written all the same.
    s.workbookNames[1] = QString::fromUtf8("a\xF0\x9F\x98\x80");
    s.workbookNames[2] = QStringLiteral("随笔");
    EXPECT_FALSE(s.saveWorkbookNames(file));
    const AppSettings again = loaded();
    EXPECT_EQ(again.workbookNames[1], QStringLiteral("读书笔记"));
    EXPECT_EQ(again.workbookNames[2], QStringLiteral("随笔"));
}

TEST_F(AppSettingsFile, SavedValuesLoadBackUnchanged) {
    AppSettings s;
    s.zoomText = QStringLiteral("120%");
    s.viewerBackground = sysColorCode(COLOR_BTNFACE);
    s.titleDisplayMode = 1;
    s.numberDisplayMode = 0;
    s.workbookColors = {0x123456, kSystemWindowColor, 0, 0xFFFFFF};
    s.windowWidth = 1024;
    s.windowHeight = 700;
    s.workbookNames = {QStringLiteral("资料"), QString(), QStringLiteral("Notes"),
                       QStringLiteral("书摘")};
    ProfileFile file(path());
    ASSERT_TRUE(s.save(file));
    ASSERT_TRUE(s.saveWorkbookNames(file));
    EXPECT_EQ(loaded(), s);

    // Integers are stored in signed decimal, one section each as read.
    const QByteArray raw = readRaw();
    for (const char* line : {"[TextSet]\r\nTextSet=120%", "[ColorSet]\r\nColorSet=-16777201",
                             "[ThemeSet]\r\nTextSet=1", "[ThemeIcoSet]\r\nTextSet=0",
                             "ThemeColorSet1=-16777211", "WindowWidth=1024"})
        EXPECT_TRUE(raw.contains(line)) << line << "\n" << raw.constData();

    // Saved again over itself: the same file.
    ASSERT_TRUE(loaded().save(file));
    EXPECT_EQ(readRaw(), raw);
}

TEST_F(AppSettingsFile, ClosingSaveLeavesTheWorkbookNamesAlone) {
    writeRaw(toGbk(QStringLiteral("[cxTabControl1TabsName]\r\ncxTabControl1TabsName0=资料\r\n")));
    ProfileFile file(path());
    AppSettings defaults;
    ASSERT_TRUE(defaults.save(file));
    const AppSettings s = loaded();
    EXPECT_EQ(s.workbookNames[0], QStringLiteral("资料"));
    EXPECT_FALSE(readRaw().contains("cxTabControl1TabsName1"));
    EXPECT_EQ(s.windowWidth, 800);
}

TEST_F(AppSettingsFile, UnwritableFileIsReported) {
    // The path lies below a plain file, so it can never be written.
    writeRaw("x");
    ProfileFile file(path() + QStringLiteral("/yunjan.ini"));
    const AppSettings s;
    EXPECT_FALSE(s.save(file));
    EXPECT_FALSE(s.saveWorkbookNames(file));
}

}  // namespace
