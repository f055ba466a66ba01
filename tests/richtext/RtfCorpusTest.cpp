// The fuzzer's seed corpus and every input it found troublesome
// (fuzz/regressions/rtf) go through reader, picture decoders and writer; and the
// rtfconv tool converts between the forms.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>

#include "RtfTestUtil.h"
#include "platform/core/TextCodec.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"

using namespace richtext;

namespace {

QString sourceDir() {
    const QString env = qEnvironmentVariable("YUNJAN_SOURCE_DIR");
    return env.isEmpty() ? QStringLiteral(YUNJAN_SOURCE_DIR) : env;
}

TEST(RtfCorpus, SeedsAndRegressionsRoundTrip) {
    int files = 0;
    for (const char* sub : {"/fuzz/corpus", "/fuzz/regressions/rtf"}) {
        const QDir dir(sourceDir() + QLatin1String(sub));
        for (const QString& name : dir.entryList(QDir::Files)) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            QByteArray bytes = f.readAll();
            if (!looksLikeRtf(bytes)) bytes.prepend("{\\rtf1 ");  // as the fuzzer does
            QTextDocument doc;
            readRtf(bytes, &doc);
            registerPictures(&doc);
            const QByteArray out = writeRtf(&doc);
            QTextDocument again;
            readRtf(out, &again);
            // the writer keeps the text and is stable from the first trip on
            EXPECT_EQ(plainTextOf(&again), plainTextOf(&doc)) << name.toStdString();
            EXPECT_EQ(writeRtf(&again), out) << name.toStdString();
            ++files;
        }
    }
    EXPECT_GE(files, 5);
}

TEST(Rtfconv, ConvertsBetweenForms) {
    const QString exe = QStringLiteral(YUNJAN_BINARY_DIR) + QStringLiteral("/tools/rtfconv");
    ASSERT_TRUE(QFile::exists(exe)) << "rtfconv is built with the tests";
    QTemporaryDir dir;
    auto run = [&](const QStringList& args, QString* err = nullptr) {
        QProcess p;
        p.start(exe, args);
        p.waitForFinished(60000);
        if (err) *err = QString::fromLocal8Bit(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    };
    auto readAll = [&](const QString& name) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    const QString rtf = write(QStringLiteral("in.rtf"),
                              "{\\rtf1\\ansi\\ansicpg936{\\b \\'d6\\'d0}\\'ce\\'c4\\par x}");
    EXPECT_EQ(run({rtf, dir.filePath(QStringLiteral("out.txt"))}), 0);
    EXPECT_EQ(QString::fromUtf8(readAll(QStringLiteral("out.txt"))), QStringLiteral("中文\nx"));
    EXPECT_EQ(run({rtf, dir.filePath(QStringLiteral("out.rtf"))}), 0);
    EXPECT_EQ(rtfToPlainText(readAll(QStringLiteral("out.rtf"))), QStringLiteral("中文\nx"));
    EXPECT_EQ(run({rtf, dir.filePath(QStringLiteral("out.html"))}), 0);
    EXPECT_TRUE(readAll(QStringLiteral("out.html")).contains("font-weight"));
    const QString txt =
        write(QStringLiteral("in.txt"), platform::toGbk(QStringLiteral("甲\r\n乙")));
    EXPECT_EQ(run({txt, dir.filePath(QStringLiteral("t.rtf"))}), 0);
    EXPECT_EQ(rtfToPlainText(readAll(QStringLiteral("t.rtf"))), QStringLiteral("甲\n乙"));
    // errors: not RTF, missing file, unknown forms
    QString err;
    const QString bad = write(QStringLiteral("bad.rtf"), "plain words");
    EXPECT_EQ(run({bad, dir.filePath(QStringLiteral("x.txt"))}, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("not an RTF document"))) << err.toStdString();
    EXPECT_EQ(run({dir.filePath(QStringLiteral("none.rtf")), dir.filePath("x.txt")}, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("cannot read"))) << err.toStdString();
    EXPECT_EQ(run({rtf, dir.filePath(QStringLiteral("x.doc"))}), 1);
}

}  // namespace
