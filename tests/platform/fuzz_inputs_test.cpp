// The settings-file and code-page fuzz targets' seeds and every input they
// found troublesome (fuzz/regressions/<kind>) replayed through the same
// checks as the fuzzer's.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fuzz/Checks.h"

namespace {

QStringList inputs(std::initializer_list<const char*> folders) {
    QStringList files;
    for (const char* sub : folders) {
        const QDir dir(QStringLiteral(YUNJAN_SOURCE_DIR) + QLatin1String(sub));
        for (const QString& n : dir.entryList(QDir::Files)) files << dir.filePath(n);
    }
    return files;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

TEST(FuzzInputs, SettingsFilesReadAndWriteBack) {
    const QStringList files = inputs({"/fuzz/corpus-profile", "/fuzz/regressions/profile"});
    ASSERT_FALSE(files.isEmpty());
    QTemporaryDir dir;
    for (const QString& f : files)
        EXPECT_TRUE(
            fuzzcheck::profileRoundTripHolds(dir.filePath(QStringLiteral("t.ini")), contents(f)))
            << f.toStdString();
}

TEST(FuzzInputs, CodePageBytesDecodeAndEncodeBack) {
    const QStringList files = inputs({"/fuzz/corpus-codepage", "/fuzz/regressions/codepage"});
    ASSERT_FALSE(files.isEmpty());
    for (const QString& f : files)
        EXPECT_TRUE(fuzzcheck::codePageRoundTripHolds(contents(f))) << f.toStdString();
}

}  // namespace
