// Compaction and clearing on the store side: the file is replaced only by a
// complete copy, a busy database or a leftover copy leaves the original as it
// was, and the session's connection is open again afterwards.

#include "store/Maintenance.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "store/ArticleStore.h"
#include "tests/support/ArticleRows.h"
#include "tests/support/Helpers.h"
#include "tests/support/TempDb.h"

namespace {

using testsupport::libraryFingerprint;

const QString kDbFile = QStringLiteral("data/YunjanDB.mdb");
const QString kPassword = QString::fromLatin1(store::kDatabasePassword);
const QString kTemp = QStringLiteral("tempdb$$.$$$");

using testsupport::fileHash;

using testsupport::OtherProcess;

class MaintenanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* t : {"datum1", "datum2", "datum3"})
            db.conn().createArticleTable(QString::fromLatin1(t));
        store::Transaction tx(db.conn());
        const QByteArray body(3000, 'r');
        for (int i = 1; i <= 200; ++i) {
            db.addArticle("datum", i % 2 ? "读书" : "随笔", QStringLiteral("标题%1").arg(i), i,
                          true, "{\\rtf1 " + body + QByteArray::number(i) + "}");
            db.addArticle("datum1", "其他", QStringLiteral("文章%1").arg(i), i, false,
                          QStringLiteral("正文%1").arg(i).toUtf8());
        }
        tx.commit();
        // Free pages for the compaction to reclaim.
        db.exec("delete * from datum where SeqNo > 100");
    }

    // The fixture's connection would count as another user of the file.
    void release() { db.closeConnection(); }

    testsupport::TempDb db;
    store::ArticleStore s;
};

TEST_F(MaintenanceTest, CompactionShrinksTheFileAndKeepsEveryArticle) {
    const QStringList before = libraryFingerprint(db.conn());
    const QStringList ids = db.column("select id from datum order by id", "id");
    const QStringList numbers = testsupport::seqNos(db.conn(), "datum");
    release();
    s.connection().open();
    const qint64 sizeBefore = store::fileSizeBytes(kDbFile);

    const store::CompactReport r = store::CompactDB(s, kDbFile, kPassword);

    EXPECT_EQ(r.beforeKb, sizeBefore / 1024);
    EXPECT_EQ(r.afterKb, store::fileSizeBytes(kDbFile) / 1024);
    EXPECT_LT(r.afterKb, r.beforeKb);
    EXPECT_TRUE(s.connection().isOpen());
    EXPECT_FALSE(QFile::exists(kTemp));
    EXPECT_FALSE(QFile::exists(kTemp + "-journal"));
    EXPECT_EQ(libraryFingerprint(db.conn()), before);
    EXPECT_EQ(db.column("select id from datum order by id", "id"), ids);
    EXPECT_EQ(testsupport::seqNos(db.conn(), "datum"), numbers);

    // Still encrypted with the same password.
    store::Connection wrong;
    wrong.setConnectionString(store::makeConnectionString(db.dbPath(), "other"));
    EXPECT_THROW(wrong.open(), store::StoreError);
    // New keys continue after the old ones.
    const qint64 id = db.addArticle("datum", "读书", "新文章", 101);
    EXPECT_GT(id, ids.last().toLongLong());
}

TEST_F(MaintenanceTest, BusyDatabaseIsLeftAlone) {
    struct Case {
        const char* name;
        bool otherProcess;
    } cases[] = {{"another process", true}, {"another connection", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        release();
        s.connection().open();
        const QByteArray hash = fileHash(db.dbPath());
        std::unique_ptr<OtherProcess> other;
        if (c.otherProcess)
            other = std::make_unique<OtherProcess>(db.dbPath());
        else
            db.conn();  // the fixture's connection holds the file
        EXPECT_THROW(store::CompactDB(s, kDbFile, kPassword), store::StoreError);
        other.reset();
        EXPECT_EQ(fileHash(db.dbPath()), hash);
        EXPECT_FALSE(QFile::exists(kTemp));
        EXPECT_TRUE(s.connection().isOpen());
    }
    // Free again: the compaction works.
    release();
    EXPECT_NO_THROW(store::CompactDB(s, kDbFile, kPassword));
}

TEST_F(MaintenanceTest, WrongPasswordLeavesTheFileAndNoCopy) {
    release();
    const QByteArray hash = fileHash(db.dbPath());
    EXPECT_THROW(store::CompactDB(s, kDbFile, "wrong"), store::StoreError);
    EXPECT_EQ(fileHash(db.dbPath()), hash);
    EXPECT_FALSE(QFile::exists(kTemp));
    EXPECT_TRUE(s.connection().isOpen());
}

// A file named like the compaction's copy is removed only when it is the
// copy an interrupted compaction wrote; any other file of that name is the
// user's, reported and left alone.
TEST_F(MaintenanceTest, LeftoverFileOfTheCopysName) {
    release();
    QFile src(db.dbPath());
    ASSERT_TRUE(src.open(QIODevice::ReadOnly));
    const QByteArray whole = src.readAll();
    src.close();
    enum Origin { Someone, Compaction, ReplacedAfterCompaction };
    struct Case {
        const char* name;
        Origin origin;
        QByteArray bytes;
        bool withJournal;
        bool removed;
    } cases[] = {
        {"someone's empty file", Someone, QByteArray(), false, false},
        {"someone's text", Someone, QByteArray("notes of the user\n"), false, false},
        {"someone's file with a journal beside it", Someone, QByteArray(5000, '\x5a'), true, false},
        {"someone's copy of the database", Someone, whole, false, false},
        {"our empty copy", Compaction, QByteArray(), false, true},
        {"the first pages of our copy", Compaction, whole.left(8192), false, true},
        {"our copy with a hot journal", Compaction, whole, true, true},
        {"our complete copy", Compaction, whole, false, false},
        {"someone's file that took our copy's name", ReplacedAfterCompaction, whole.left(8192),
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            QFile f(kTemp);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            if (c.origin != Someone) store::markCompactFile(kTemp);
            if (c.origin == ReplacedAfterCompaction) {
                f.close();
                ASSERT_TRUE(QFile::rename(kTemp, kTemp + ".old"));
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                QFile::remove(kTemp + ".old");
            }
            f.write(c.bytes);
        }
        if (c.withJournal) {
            QFile j(kTemp + "-journal");
            ASSERT_TRUE(j.open(QIODevice::WriteOnly));
            j.write(QByteArray(512, '\0'));
        }
        const QByteArray hash = fileHash(db.dbPath());
        const QByteArray tempHash = fileHash(kTemp);
        if (c.removed) {
            EXPECT_NO_THROW(store::CompactDB(s, kDbFile, kPassword));
            EXPECT_FALSE(QFile::exists(kTemp));
            EXPECT_FALSE(QFile::exists(kTemp + "-journal"));
        } else {
            EXPECT_THROW(store::CompactDB(s, kDbFile, kPassword), store::CompactLeftoverError);
            EXPECT_EQ(fileHash(db.dbPath()), hash);
            EXPECT_EQ(fileHash(kTemp), tempHash);  // the user's to move away
            EXPECT_EQ(QFile::exists(kTemp + "-journal"), c.withJournal);
        }
        QFile::remove(kTemp);
        QFile::remove(kTemp + "-journal");
        QFile::remove(kTemp + "-yunjan");
        EXPECT_TRUE(s.connection().isOpen());
        s.connection().close();
    }
}

TEST(FileSizeTest, BytesOfAFileOrZero) {
    QTemporaryDir dir;
    const QString path = dir.filePath("f.bin");
    EXPECT_EQ(store::fileSizeBytes(path), 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1535, 'x'));
    f.close();
    EXPECT_EQ(store::fileSizeBytes(path), 1535);
    EXPECT_EQ(store::fileSizeBytes(path) / 1024, 1);  // whole kilobytes, rounded down
    EXPECT_EQ(store::fileSizeBytes(dir.path()), 0);   // a folder is no file
}

TEST_F(MaintenanceTest, ClearingEmptiesOnlyThatWorkbook) {
    const QStringList other = testsupport::articleRows(db.conn(), "datum1");
    store::clearWorkbook(s, "datum");
    EXPECT_EQ(db.scalar("select count(*) from datum").toInt(), 0);
    EXPECT_EQ(testsupport::articleRows(db.conn(), "datum1"), other);
}

}  // namespace
