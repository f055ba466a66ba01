#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/core/ColorCode.h"
#include "platform/core/ProfileFile.h"
#include "platform/core/TextCodec.h"

using namespace platform;

TEST(TextCodec, GbkRoundTripAndEuro) {
    const QString text = QStringLiteral("砚溪舟 abc €");
    const QByteArray gbk = toGbk(text);
    EXPECT_EQ(gbk, QByteArray("\xD1\xE2\xCF\xAA\xD6\xDB abc \x80"));
    EXPECT_EQ(fromGbk(gbk), text);
    EXPECT_EQ(gbkByteLength(QStringLiteral("主工作簿")), 8);
    EXPECT_EQ(gbkByteLength(QStringLiteral("abc")), 3);
}

TEST(TextCodec, UnencodableAndBrokenInput) {
    bool ok = true;
    // An emoji is outside GBK: written as one '?', reported.
    EXPECT_EQ(toGbk(QString::fromUtf8("a\xF0\x9F\x98\x80"
                                      "b"),
                    &ok),
              QByteArray("a?b"));
    EXPECT_FALSE(ok);
    // A lone lead byte at the end decodes to a replacement, never crashes.
    EXPECT_EQ(fromGbk(QByteArray("ab\xD1")), QStringLiteral("ab") + QChar(0xFFFD));
    EXPECT_TRUE(canEncode(U'中', 936));
    EXPECT_FALSE(canEncode(0x1F600, 936));
    EXPECT_FALSE(canEncode(U'ą', 936));
    EXPECT_TRUE(canEncode(U'ą', 1250));
    EXPECT_EQ(decodeCodePage(QByteArray("\xE6"), 1250), QStringLiteral("ć"));
    EXPECT_EQ(decodeCodePage(QByteArray("\x93x\x94"), 99999), QStringLiteral("“x”"));
    // The Korean converter takes a broken last sequence whole and still
    // calls it invalid: one replacement, and nothing read past the end.
    EXPECT_EQ(decodeCodePage(QByteArray("a\xff\xa2\xe8"), 949),
              QStringLiteral("a") + QChar(0xFFFD) + QChar(0xFFFD));
}

// Vietnamese and Hebrew converters hold the last character back in case a
// combining mark follows: it must not be lost at the end of the text.
TEST(TextCodec, CombiningCodePagesKeepTheLastCharacter) {
    struct Case {
        int codePage;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {1258, QByteArray("2tt"), QStringLiteral("2tt")},
        {1258, QByteArray("Vi\xea"), QStringLiteral("Viê")},
        {1255, QByteArray("\xf9\xec\xe5\xed"), QStringLiteral("שלום")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeCodePage(c.bytes, c.codePage), c.text) << c.codePage;
        bool ok = false;
        EXPECT_EQ(encodeCodePage(c.text, c.codePage, &ok), c.bytes) << c.codePage;
        EXPECT_TRUE(ok);
        // A converter used again starts clean.
        EXPECT_EQ(decodeCodePage(c.bytes, c.codePage), c.text) << c.codePage;
    }
}

class ProfileTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("yunjan.ini")); }
    void writeRaw(const QByteArray& b) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
    }
};

TEST_F(ProfileTest, ReadsWithWindowsRules) {
    writeRaw(
        toGbk(QStringLiteral("[TextSet]\r\nTextSet=120%\r\n[themeset]\r\ntextset=1\r\n"
                             "[ThemeColorSet]\r\nThemeColorSet=0xFFFFF4\r\n"
                             "ThemeColorSet1=abc\r\n[ColorSet]\r\nColorSet=-16777211\r\n"
                             "[cxTabControl1TabsName]\r\ncxTabControl1TabsName0=读书笔记\r\n")));
    ProfileFile p(path());
    struct Case {
        const char* section;
        const char* key;
        int def;
        int expected;
    } cases[] = {
        {"ThemeSet", "TextSet", 0, 1},                    // case-insensitive names
        {"ThemeColorSet", "ThemeColorSet", 0, 0xFFFFF4},  // hex
        {"ThemeColorSet", "ThemeColorSet1", 7, 7},        // not a number: default
        {"ThemeColorSet", "ThemeColorSet2", 9, 9},        // missing key: default
        {"ColorSet", "ColorSet", 0, static_cast<int>(0xFF000005)},
        {"Nope", "x", -3, -3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(p.readInteger(c.section, c.key, c.def), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(p.readString("TextSet", "TextSet", "100%"), QStringLiteral("120%"));
    EXPECT_EQ(p.readString("cxTabControl1TabsName", "cxTabControl1TabsName0", "x"),
              QStringLiteral("读书笔记"));
    EXPECT_EQ(ProfileFile(dir.filePath("missing.ini")).readString("a", "b", "def"),
              QStringLiteral("def"));
}

TEST_F(ProfileTest, WritesGbkAndKeepsOtherKeys) {
    ProfileFile p(path());
    ASSERT_TRUE(p.writeString("cxTabControl1TabsName", "cxTabControl1TabsName1", "随笔"));
    ASSERT_TRUE(p.writeInteger("ColorSet", "ColorSet", static_cast<int>(0xFF000005)));
    ASSERT_TRUE(p.writeString("CXTABCONTROL1TABSNAME", "cxtabcontrol1tabsname1", "摘录"));
    ASSERT_TRUE(p.writeString("cxTabControl1TabsName", "cxTabControl1TabsName2", "诗词"));
    EXPECT_FALSE(p.writeString("x", "y", QString::fromUtf8("\xF0\x9F\x98\x80")));

    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    EXPECT_TRUE(raw.contains(toGbk(QStringLiteral("=摘录"))));
    EXPECT_TRUE(raw.contains("ColorSet=-16777211"));
    EXPECT_FALSE(raw.contains(toGbk(QStringLiteral("随笔"))));
    EXPECT_EQ(p.readString("cxTabControl1TabsName", "cxTabControl1TabsName2", ""),
              QStringLiteral("诗词"));
    EXPECT_FALSE(p.readString("x", "y", "none").isEmpty());
}

TEST(ProfileFile, PathForProgram) {
    EXPECT_EQ(ProfileFile::pathForProgram("/opt/app/yunjan"),
              QStringLiteral("/opt/app/yunjan.ini"));
    EXPECT_EQ(ProfileFile::pathForProgram("/opt/app/X.exe"), QStringLiteral("/opt/app/X.ini"));
}

TEST(ColorCode, RgbAndSystemCodes) {
    EXPECT_EQ(colorFromCode(0xFFFFF4), QColor(0xF4, 0xFF, 0xFF));
    EXPECT_EQ(codeFromRgb(QColor(0xF4, 0xFF, 0xFF)), 0xFFFFF4);
    EXPECT_EQ(kSystemWindowColor, -16777211);
    EXPECT_TRUE(isSystemColorCode(kSystemWindowColor));
    EXPECT_EQ(colorFromCode(kSystemWindowColor), QColor(Qt::white));
}
