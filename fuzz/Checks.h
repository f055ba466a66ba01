#pragma once
// What the settings-file and code-page fuzz targets require of every input;
// the tests replay the seeds and the saved regressions through the same
// checks.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include "platform/core/ProfileFile.h"
#include "platform/core/TextCodec.h"

namespace fuzzcheck {

// The settings file at path holds `content`. Reading never fails; a value
// written reads back as written, and every other key keeps its value (for
// files that are GBK throughout: other bytes cannot survive a rewrite of
// the text). False when a requirement does not hold.
inline bool profileRoundTripHolds(const QString& path, const QByteArray& content) {
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return true;
        f.write(content);
    }
    // Every read opens and decodes the whole file, so a few pairs: each section
    // with its own key, one key asked in another section, two numbers.
    static const char* const pairs[][2] = {{"TextSet", "TextSet"},
                                           {"WindowSize", "WindowWidth"},
                                           {"ThemeColorSet", "ThemeColorSet1"},
                                           {"cxTabControl1TabsName", "cxTabControl1TabsName0"},
                                           {"TextSet", "WindowWidth"}};
    platform::ProfileFile ini(path);
    auto readAll = [&] {
        QStringList r;
        for (const auto& [s, k] : pairs) {
            const QString sec = QString::fromLatin1(s), key = QString::fromLatin1(k);
            r << ini.readString(sec, key, QStringLiteral("<none>"));
        }
        r << QString::number(
                 ini.readInteger(QStringLiteral("TextSet"), QStringLiteral("TextSet"), 7))
          << QString::number(
                 ini.readInteger(QStringLiteral("WindowSize"), QStringLiteral("WindowWidth"), 7));
        return r;
    };
    const QStringList before = readAll();
    const QString value = QStringLiteral("写入%1").arg(content.size());
    if (!ini.writeString(QStringLiteral("WindowSize"), QStringLiteral("WindowWidth"), value))
        return true;
    if (ini.readString(QStringLiteral("WindowSize"), QStringLiteral("WindowWidth"), {}) != value)
        return false;
    if (platform::fromGbk(content).contains(QChar(0xFFFD))) return true;
    QStringList after = readAll();
    after[1] = before[1];  // WindowSize / WindowWidth, written above
    after[6] = before[6];  // the same key as a number
    return after == before;
}

// The first byte picks a code page, the rest is decoded. Decoding never
// fails; text that decoded without a replacement character and encodes
// again decodes to the same text.
inline const int kCodePages[] = {936,  950,  932,  949,  437,  874,  1250,  1251, 1252,
                                 1253, 1254, 1255, 1256, 1257, 1258, 65001, 0,    20936};

inline bool codePageRoundTripHolds(const QByteArray& input) {
    if (input.isEmpty()) return true;
    const int cp = kCodePages[quint8(input[0]) % (sizeof kCodePages / sizeof kCodePages[0])];
    const QByteArray bytes = input.mid(1);
    const QString text = platform::decodeCodePage(bytes, cp);
    bool ok = false;
    const QByteArray again = platform::encodeCodePage(text, cp, &ok);
    (void)platform::gbkByteLength(text);
    (void)platform::fromGbk(bytes);
    if (!ok || text.contains(QChar(0xFFFD))) return true;
    return platform::decodeCodePage(again, cp) == text;
}

}  // namespace fuzzcheck
