// Crash safety of the maintenance operations: a child process runs one
// operation on a library of a few thousand articles and is killed (SIGKILL) at
// random moments. Afterwards the database must open with the password, hold
// every article exactly as before or exactly as after the operation, and give
// order numbers 1..N after the next renumbering.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <random>

#include "store/ArticleStore.h"
#include "store/Backup.h"
#include "store/Maintenance.h"
#include "tests/support/ArticleRows.h"
#include "tests/support/TempDb.h"

namespace {

const QString kPassword = QString::fromLatin1(store::kDatabasePassword);
constexpr int kKills = 20;

QString childPath() {
    return QStringLiteral(YUNJAN_BINARY_DIR) +
           QStringLiteral("/tests/crashchild/yunjan_crashchild");
}

// The library every run starts from: 3,000 articles in ten categories in the
// main workbook (a tenth of their titles also in workbook 1), 600 in workbook
// 1, and free pages left by deleted articles.
QString baseDatabase() {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("base.mdb"));
    if (QFile::exists(path)) return path;
    testsupport::TempDb db;
    for (const char* t : {"datum1", "datum2", "datum3"})
        db.conn().createArticleTable(QString::fromLatin1(t));
    store::Transaction tx(db.conn());
    const QByteArray filler(700, 'x');
    for (int i = 1; i <= 3300; ++i) {
        const QByteArray rtf =
            "{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3 " + filler + QByteArray::number(i) + "\\par}";
        db.addArticle("datum", QStringLiteral("分类%1").arg(i % 10),
                      QStringLiteral("文章%1").arg(i), i, i % 3 != 0,
                      i % 3 != 0 ? rtf : QStringLiteral("正文%1").arg(i).toUtf8());
    }
    for (int i = 1; i <= 600; ++i)
        db.addArticle("datum1", QStringLiteral("旧"), QStringLiteral("文章%1").arg(i * 5), i);
    tx.commit();
    db.exec("delete * from datum where SeqNo > 3000");
    db.closeConnection();
    QFile::copy(db.dbPath(), path);
    return path;
}

// A copy of the base library with workbook 1 emptied and a title changed,
// as data/backup holds it for the restore runs.
QString backupOfOtherState() {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("YunjanDB-20200101-000000.mdb"));
    if (QFile::exists(path)) return path;
    QFile::copy(baseDatabase(), path);
    store::Connection c;
    c.setConnectionString(store::makeConnectionString(path, kPassword));
    c.open();
    c.execute(QStringLiteral("delete * from datum1"));
    c.execute(QStringLiteral("update datum set theme='改过' where SeqNo=7"));
    c.close();
    return path;
}

class Folder {
  public:
    explicit Folder(const QString& base, bool withBackup = false) {
        QDir(dir_.path()).mkpath(QStringLiteral("data/backup"));
        QFile::copy(base, dbPath());
        if (withBackup)
            QFile::copy(backupOfOtherState(),
                        dir_.filePath(QStringLiteral("data/backup/YunjanDB-20200101-000000.mdb")));
    }
    QString backupFolder() const { return dir_.filePath(QStringLiteral("data/backup")); }
    QString path() const { return dir_.path(); }
    QString dbPath() const { return dir_.filePath(QStringLiteral("data/YunjanDB.mdb")); }

  private:
    QTemporaryDir dir_;
};

std::unique_ptr<store::ArticleStore> openStore(const QString& dbPath) {
    auto s = std::make_unique<store::ArticleStore>();
    s->connection().setConnectionString(store::makeConnectionString(dbPath, kPassword));
    s->connection().open();
    return s;
}

// Runs the child; kill: milliseconds after it started the operation, or -1 to
// let it finish. Returns whether it finished the operation.
bool runChild(const Folder& f, const QString& op, double killAfterMs, qint64* elapsedMs = nullptr) {
    QProcess p;
    p.start(childPath(), {f.path(), op});
    EXPECT_TRUE(p.waitForStarted(10000));
    while (p.bytesAvailable() == 0 && p.state() == QProcess::Running) p.waitForReadyRead(10000);
    EXPECT_EQ(p.read(1), QByteArray("R"));
    QElapsedTimer t;
    t.start();
    if (killAfterMs >= 0) {
        QThread::usleep(static_cast<unsigned long>(killAfterMs * 1000));
        p.kill();  // SIGKILL
    }
    EXPECT_TRUE(p.waitForFinished(60000));
    if (elapsedMs) *elapsedMs = t.elapsed();
    const bool done = p.readAll().contains('D');
    if (killAfterMs < 0) {
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
    return done;
}

class CrashSafetyTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CrashSafetyTest, KilledAtRandomMomentsLeavesBeforeOrAfter) {
    const QString op = QString::fromLatin1(GetParam());
    ASSERT_TRUE(QFile::exists(childPath())) << childPath().toStdString();
    const QString base = baseDatabase();

    const bool restore = op == QLatin1String("restore");
    const bool changes = op != QLatin1String("compact") && op != QLatin1String("backup");
    QStringList before, after;
    qint64 durationMs = 0;
    {
        Folder f(base, restore);
        before = testsupport::libraryFingerprint(openStore(f.dbPath())->connection());
        ASSERT_TRUE(runChild(f, op, -1, &durationMs));
        after = testsupport::libraryFingerprint(openStore(f.dbPath())->connection());
    }
    if (changes) {
        ASSERT_NE(before, after);
    }

    std::mt19937 rng(static_cast<unsigned>(qHash(op)));
    std::uniform_real_distribution<double> moment(0.0, double(durationMs) * 1.3 + 1.0);
    int interrupted = 0, seenBefore = 0, seenAfter = 0;
    // A restore opens several keyed files per run: fewer kills keep it quick.
    const int kills = restore ? kKills / 2 : kKills;
    for (int k = 0; k < kills; ++k) {
        const double at = moment(rng);
        SCOPED_TRACE(QStringLiteral("kill %1 at %2 ms").arg(k).arg(at).toStdString());
        Folder f(base, restore);
        if (!runChild(f, op, at)) ++interrupted;

        auto s = openStore(f.dbPath());  // opens with the password
        const QStringList now = testsupport::libraryFingerprint(s->connection());
        const bool isBefore = now == before, isAfter = now == after;
        EXPECT_TRUE(isBefore || isAfter);
        seenBefore += isBefore;
        seenAfter += isAfter;
        for (int p = 0; p < 4; ++p) {
            const QString table = store::workbookTable(p);
            s->RenumberSeqNo(table, true);
            QStringList expected;
            for (int i = 1; i <= s->countRows(table); ++i) expected << QString::number(i);
            EXPECT_EQ(testsupport::seqNos(s->connection(), table), expected) << table.toStdString();
        }
        if (op == QLatin1String("backup") || restore) {
            // Every copy under its final name is whole: the library before
            // the operation or the copy that was restored.
            const QDir folder(f.backupFolder());
            const QStringList copies =
                folder.entryList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Name);
            for (const QString& name : copies) {
                store::Connection c;
                c.setConnectionString(
                    store::makeConnectionString(folder.filePath(name), kPassword));
                c.open();
                const QStringList copy = testsupport::libraryFingerprint(c);
                EXPECT_TRUE(copy == before || copy == after) << name.toStdString();
            }
            // What a kill left behind does not block the next run (checked on
            // a share of the kills: each run opens several keyed files).
            if (k % 4 == 0) {
                if (restore) {
                    EXPECT_NO_THROW(store::restoreBackup(*s, folder.filePath(copies.value(0)),
                                                         f.backupFolder(), 10));
                    EXPECT_EQ(testsupport::libraryFingerprint(s->connection()), after);
                } else {
                    EXPECT_NO_THROW(store::writeBackup(s->connection(), f.backupFolder(), 10));
                    const QStringList left = folder.entryList(QDir::Files);
                    EXPECT_TRUE(left.filter(QStringLiteral(".part")).isEmpty())
                        << left.join(u' ').toStdString();
                }
            }
        }
        if (op == QLatin1String("compact")) {
            // A leftover copy never blocks the next compaction for good: an
            // incomplete one is removed, a complete one (or an empty file the
            // kill left before it was noted as the program's) is reported.
            const QString cwd = QDir::currentPath();
            QDir::setCurrent(f.path());
            s->connection().setConnectionString(
                store::makeConnectionString(QStringLiteral("data/YunjanDB.mdb"), kPassword));
            try {
                store::CompactDB(*s, QStringLiteral("data/YunjanDB.mdb"), kPassword);
            } catch (const store::CompactLeftoverError&) {
                QFile::remove(QString::fromLatin1(store::kCompactTempFile));
                EXPECT_NO_THROW(
                    store::CompactDB(*s, QStringLiteral("data/YunjanDB.mdb"), kPassword));
            }
            EXPECT_EQ(testsupport::libraryFingerprint(s->connection()), before);
            s.reset();
            QDir::setCurrent(cwd);
        }
    }
    std::printf(
        "[ figures  ] %s: operation %lld ms, %d kills, %d during the operation, "
        "%d left the state before, %d the state after\n",
        qPrintable(op), durationMs, kills, interrupted, seenBefore, seenAfter);
    RecordProperty("interrupted", interrupted);
}

INSTANTIATE_TEST_SUITE_P(Operations, CrashSafetyTest,
                         ::testing::Values("compact", "transfer0", "transfer1", "transfer2",
                                           "transfer3", "clear", "rename", "backup", "restore"));

}  // namespace
