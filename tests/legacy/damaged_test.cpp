// Damaged Jet files: truncated copies of the reference library and copies
// with bytes flipped at random. The import runs in a child process; whatever
// the child does (fail, crash, hang), this process gets a clear answer within
// the time limit, the source is never changed, and a failed import leaves no
// destination file.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include "store/LegacyImport.h"
#include "tests/legacy/LegacyFixture.h"

namespace {

constexpr int kLimitMs = 5000;

struct Damage {
    QString name;
    QByteArray bytes;
};

QList<Damage> damagedFiles() {
    const QByteArray good =
        legacytest::readAll(legacytest::dataPath(QStringLiteral("YunjanDB.mdb")));
    QList<Damage> list;
    // Cut at page boundaries, inside pages, inside the header.
    for (qsizetype cut : {qsizetype(0), qsizetype(100), qsizetype(2048), qsizetype(4096),
                          qsizetype(4096 * 2 + 7), qsizetype(4096 * 3), qsizetype(4096 * 5 + 1000),
                          qsizetype(4096 * 10), qsizetype(4096 * 18), qsizetype(4096 * 19 + 333),
                          good.size() / 4, good.size() / 3, good.size() / 2, good.size() * 2 / 3,
                          good.size() * 3 / 4, good.size() - 4096, good.size() - 1})
        list << Damage{QStringLiteral("cut at %1").arg(cut), good.left(cut)};
    // Random flips: a few bytes, many bytes, and whole runs, seeded so a
    // failure can be repeated.
    // Only pages in use: most of the file is free space, where damage is harmless.
    QList<qsizetype> used;
    for (qsizetype p = 4096; p + 4096 <= good.size(); p += 4096)
        if (good.mid(p, 4096).count('\0') < 4000) used << p;
    std::mt19937 rng(20261210);
    std::uniform_int_distribution<qsizetype> page(0, used.size() - 1);
    std::uniform_int_distribution<qsizetype> offset(0, 4095);
    auto pos = [&](std::mt19937& r) { return used[page(r)] + offset(r); };
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < 40; ++i) {
        QByteArray b = good;
        const int flips = i < 15 ? 1 + i : i < 30 ? 50 * (i - 14) : 0;
        for (int k = 0; k < flips; ++k) b[pos(rng)] = char(byte(rng));
        if (i >= 30) {  // a run of garbage over part of a page
            const qsizetype at = used[page(rng)] + byte(rng) * 8;
            for (qsizetype k = at; k < qMin(b.size(), at + 512); ++k) b[k] = char(byte(rng));
        }
        // Keep the signature, so the reader gets to work on the damage.
        b.replace(0, 19, good.left(19));
        list << Damage{QStringLiteral("flips %1").arg(i), b};
    }
    return list;
}

TEST(DamagedFiles, NeverCrashHangOrTouchTheSource) {
    store::setImportToolPath(legacytest::toolPath());
    const QList<Damage> files = damagedFiles();
    ASSERT_GE(files.size(), 50);
    int failed = 0;
    for (const Damage& d : files) {
        SCOPED_TRACE(d.name.toStdString());
        QTemporaryDir tmp;
        const QString src = tmp.filePath(QStringLiteral("damaged.mdb"));
        const QString dest = tmp.filePath(QStringLiteral("out.mdb"));
        {
            QFile f(src);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(d.bytes);
        }
        QElapsedTimer t;
        t.start();
        const store::ImportRun run = store::runImportTool(src, dest, kLimitMs);
        EXPECT_LT(t.elapsed(), kLimitMs + 3000);
        EXPECT_EQ(legacytest::readAll(src), d.bytes);
        if (run.ok) {
            const auto checked = store::checkImportedDatabase(dest, run.counts);
            EXPECT_TRUE(checked) << checked.error().toStdString();
        } else {
            ++failed;
            EXPECT_FALSE(run.message.isEmpty());
            EXPECT_FALSE(QFile::exists(dest));
        }
    }
    // The damage is real: most of these files cannot be read.
    EXPECT_GT(failed, 0);
    store::setImportToolPath(QString());
}

// The child's ways of going wrong, played by small scripts in its place: each
// becomes a clear message, in time, with no destination left behind.
TEST(ImportChild, CrashHangAndFailureBecomeMessages) {
    QTemporaryDir tmp;
    struct Case {
        const char* name;
        const char* script;  // $2 = SOURCE, $3 = DEST
        const char* message;
    } cases[] = {
        {"crash", "echo x > \"$3\"; kill -SEGV $$", "意外终止"},
        {"hang", "echo x > \"$3\"; exec sleep 60", "超时"},
        {"failure", "echo x > \"$3\"; echo 'libmdb: noise' >&2; echo '坏了' >&2; exit 1", "坏了"},
        {"no counts", "echo x > \"$3\"; exit 0", "没有给出结果"},
    };
    const QString src = legacytest::dataPath(QStringLiteral("YunjanDB.mdb"));
    const QByteArray before = legacytest::fileHash(src);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const QString tool = tmp.filePath(QString::fromLatin1(k.name).replace(u' ', u'_'));
        {
            QFile f(tool);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("#!/bin/sh\n") + k.script + "\n");
        }
        QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        store::setImportToolPath(tool);
        const QString dest = tmp.filePath(QStringLiteral("out.mdb"));
        QElapsedTimer t;
        t.start();
        const store::ImportRun run = store::runImportTool(src, dest, 1500);
        EXPECT_LT(t.elapsed(), 1500 + 3000);
        EXPECT_FALSE(run.ok);
        EXPECT_TRUE(run.message.contains(QString::fromUtf8(k.message)))
            << run.message.toStdString();
        EXPECT_FALSE(QFile::exists(dest));
    }
    // A destination that exists is refused before anything runs, and kept.
    const QString taken = tmp.filePath(QStringLiteral("taken.mdb"));
    {
        QFile f(taken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("mine");
    }
    store::setImportToolPath(legacytest::toolPath());
    EXPECT_FALSE(store::runImportTool(src, taken, 1500).ok);
    EXPECT_EQ(legacytest::readAll(taken), QByteArray("mine"));
    store::setImportToolPath(QString());
    EXPECT_EQ(legacytest::fileHash(src), before);
}

}  // namespace
