// Copies of the library in data/backup and restoring one: every row and body
// comes back, the copies are encrypted like the library, only the newest N
// are kept and a damaged copy is refused without touching the library.

#include "store/Backup.h"

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "store/ArticleStore.h"
#include "store/Maintenance.h"
#include "tests/support/ArticleRows.h"
#include "tests/support/TempDb.h"

namespace {

using testsupport::articleRows;
using testsupport::libraryFingerprint;

const QString kPassword = QString::fromLatin1(store::kDatabasePassword);

class BackupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* t : {"datum1", "datum2", "datum3"})
            db.conn().createArticleTable(QString::fromLatin1(t));
        db.addArticle("datum", "读书", "甲", 1, true, "{\\rtf1\\ansi \\'c4\\'e3\\par}");
        db.addArticle("datum", "随笔", "乙", 2, false, QByteArray("正文乙"));
        db.addArticle("datum", "随笔", "丙", std::nullopt);
        db.addArticle("datum1", "旧", "丁", 1, true, QByteArray(200000, 'x'));
        db.addArticle("datum3", "", "戊", 7);
        db.closeConnection();
        s.connection().open();
    }

    QString folder() const { return QDir(db.dir()).filePath(QStringLiteral("data/backup")); }

    // Every row of every workbook with its order number and body digest.
    QStringList state() {
        QStringList all;
        for (int p = 0; p < 4; ++p)
            all << articleRows(s.connection(), store::workbookTable(p), true);
        return all;
    }

    QStringList copies() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }

    testsupport::TempDb db;
    store::ArticleStore s;
};

TEST_F(BackupTest, RestoreBringsBackEveryRowAndBody) {
    const QStringList before = state();
    const QString copy = store::writeBackup(s.connection(), folder(), 10);
    EXPECT_TRUE(QFileInfo(copy).fileName().startsWith(QStringLiteral("YunjanDB-")));

    store::clearWorkbook(s, QStringLiteral("datum"));
    s.connection().execute(QStringLiteral("update datum1 set theme='改'"));
    const QStringList changed = state();
    ASSERT_NE(changed, before);

    const QString kept = store::restoreBackup(s, copy, folder(), 10);
    EXPECT_TRUE(s.connection().isOpen());
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(QFileInfo::exists(db.dbPath() + QStringLiteral(".restore")));

    // The replaced library was kept as a copy of its own.
    store::ArticleStore other;
    other.connection().setConnectionString(store::makeConnectionString(kept, kPassword));
    other.connection().open();
    QStringList keptState;
    for (int p = 0; p < 4; ++p)
        keptState << articleRows(other.connection(), store::workbookTable(p), true);
    EXPECT_EQ(keptState, changed);
}

TEST_F(BackupTest, CopyIsEncryptedWithTheLibraryKey) {
    const QString copy = store::writeBackup(s.connection(), folder(), 10);
    QFile f(copy);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_FALSE(bytes.startsWith("SQLite format 3"));
    EXPECT_FALSE(bytes.contains(QStringLiteral("正文乙").toUtf8()));

    for (const QString& pw : {QString(), QStringLiteral("other")}) {
        store::Connection c;
        c.setConnectionString(store::makeConnectionString(copy, pw));
        EXPECT_THROW(c.open(), store::StoreError) << pw.toStdString();
    }
    store::Connection c;
    c.setConnectionString(store::makeConnectionString(copy, kPassword));
    c.open();
    EXPECT_EQ(libraryFingerprint(c), libraryFingerprint(s.connection()));
}

TEST_F(BackupTest, CopyOfALibraryInWalModeHoldsItsLatestRows) {
    // Committed rows of a write-ahead log are not in the file yet.
    ASSERT_EQ(
        sqlite3_exec(s.connection().handle(), "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr),
        SQLITE_OK);
    s.connection().execute(QStringLiteral("update datum set theme='新题' where SeqNo=1"));
    const QStringList now = state();
    const QString copy = store::writeBackup(s.connection(), folder(), 10);
    store::clearWorkbook(s, QStringLiteral("datum"));
    store::restoreBackup(s, copy, folder(), 10);
    EXPECT_EQ(state(), now);
}

TEST_F(BackupTest, NoCopyInsideATransaction) {
    s.connection().beginTransaction();
    EXPECT_THROW(store::writeBackup(s.connection(), folder(), 10), store::StoreError);
    s.connection().rollback();
    EXPECT_TRUE(copies().isEmpty());
}

TEST_F(BackupTest, KeepsTheNewestCopiesOnly) {
    QStringList written;
    for (int i = 0; i < 5; ++i) written << store::writeBackup(s.connection(), folder(), 3);
    // A copy interrupted by a crash is cleared away by the next one.
    QFile part(QDir(folder()).filePath(QStringLiteral("YunjanDB-20200101-000000.mdb.part")));
    ASSERT_TRUE(part.open(QIODevice::WriteOnly));
    part.close();
    written << store::writeBackup(s.connection(), folder(), 3);

    QStringList expected;
    for (qsizetype i = written.size() - 3; i < written.size(); ++i)
        expected << QFileInfo(written[i]).fileName();
    expected.sort();
    EXPECT_EQ(copies(), expected);

    const QList<store::BackupInfo> list = store::listBackups(folder(), kPassword);
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list.front().path, written.back());  // newest first
    EXPECT_EQ(list.back().path, written[written.size() - 3]);
}

TEST_F(BackupTest, ListShowsCountsSizeAndUnreadableCopies) {
    store::writeBackup(s.connection(), folder(), 10);
    QFile junk(QDir(folder()).filePath(QStringLiteral("YunjanDB-20200101-000000.mdb")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(8192, 'j'));
    junk.close();
    // Files of other names are no copies.
    QFile other(QDir(folder()).filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();

    const QList<store::BackupInfo> list = store::listBackups(folder(), kPassword);
    ASSERT_EQ(list.size(), 2);
    EXPECT_TRUE(list[0].readable);
    EXPECT_EQ(list[0].counts, (std::array<int, 4>{3, 1, 0, 1}));
    EXPECT_EQ(list[0].sizeBytes, QFileInfo(list[0].path).size());
    EXPECT_GT(list[0].sizeBytes, 200000);
    EXPECT_FALSE(list[1].readable);
    EXPECT_EQ(list[1].when, QDateTime(QDate(2020, 1, 1), QTime(0, 0)));

    EXPECT_TRUE(store::hasBackupOfDay(folder(), QDate::currentDate()));
    EXPECT_TRUE(store::hasBackupOfDay(folder(), QDate(2020, 1, 1)));
    EXPECT_FALSE(store::hasBackupOfDay(folder(), QDate(2020, 1, 2)));
}

TEST_F(BackupTest, RestoresTheOldestCopyWhenTheKeptCopyRotatesItAway) {
    const QStringList before = state();
    const QString oldest = store::writeBackup(s.connection(), folder(), 2);
    s.connection().execute(QStringLiteral("delete * from datum1"));
    store::writeBackup(s.connection(), folder(), 2);

    store::restoreBackup(s, oldest, folder(), 2);
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(QFileInfo::exists(oldest));
    EXPECT_EQ(copies().size(), 2);
}

// How a copy can be damaged.
struct Damage {
    const char* name;
    void (*apply)(const QString& path);
};

void truncateHalf(const QString& p) {
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.resize(f.size() / 2);
}
void flipBytes(const QString& p) {
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(f.size() - 3000);  // inside the last page
    f.write(QByteArray(16, '\x5a'));
}
void plainText(const QString& p) {
    QFile::remove(p);
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a database\n");
}
void otherKey(const QString& p) {
    QFile::remove(p);
    store::Connection::createDatabaseFile(p, QStringLiteral("another"));
}
void removed(const QString& p) {
    QFile::remove(p);
}

class DamagedBackupTest : public BackupTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedBackupTest, IsRefusedAndTheLibraryStays) {
    const QString copy = store::writeBackup(s.connection(), folder(), 10);
    GetParam().apply(copy);
    s.connection().execute(QStringLiteral("delete * from datum3"));
    const QStringList before = state();
    const QStringList copiesBefore = copies();

    EXPECT_THROW(store::restoreBackup(s, copy, folder(), 10), store::BackupDamagedError);
    EXPECT_TRUE(s.connection().isOpen());
    EXPECT_EQ(state(), before);
    EXPECT_EQ(copies(), copiesBefore);  // no copy of the library was written either
    EXPECT_FALSE(QFileInfo::exists(db.dbPath() + QStringLiteral(".restore")));
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedBackupTest,
                         ::testing::Values(Damage{"truncated", truncateHalf},
                                           Damage{"flipped", flipBytes}, Damage{"text", plainText},
                                           Damage{"otherkey", otherKey},
                                           Damage{"missing", removed}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupTest, RestoreIsRefusedWhileAnotherProgramHasTheLibraryOpen) {
    const QString copy = store::writeBackup(s.connection(), folder(), 10);
    s.connection().execute(QStringLiteral("delete * from datum"));
    const QStringList before = state();

    store::Connection other;  // holds its shared lock like another process
    other.open();
    EXPECT_THROW(store::restoreBackup(s, copy, folder(), 10), store::StoreError);
    other.close();
    EXPECT_TRUE(s.connection().isOpen());
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(QFileInfo::exists(db.dbPath() + QStringLiteral(".restore")));
}

}  // namespace
