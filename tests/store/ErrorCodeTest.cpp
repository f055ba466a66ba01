// Engine failures carry the kind of failure, so callers (and the error report)
// can tell a missing file from a wrong key or a locked file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <functional>

#include "store/Engine.h"
#include "store/ErrorText.h"
#include "tests/support/TempDb.h"

using store::Connection;
using store::ErrorCode;
using store::StoreError;
using testsupport::TempDb;

namespace {

QString connectionTo(const TempDb& db, const char* password = store::kDatabasePassword) {
    return store::makeConnectionString(db.dbPath(), QString::fromLatin1(password));
}

// Opens the fixture's file with its own connection and runs one statement.
void openAndRun(TempDb& db, const QString& sql) {
    Connection c;
    c.setConnectionString(connectionTo(db));
    c.open();
    c.execute(sql);
}

struct FailureCase {
    const char* name;
    std::function<void(TempDb&)> provoke;
    ErrorCode expected;
    bool fromEngine = true;  // the engine reported it (its result code is kept)
};

const FailureCase kFailures[] = {
    {"missing file",
     [](TempDb& db) {
         db.closeConnection();
         QFile::remove(db.dbPath());
         openAndRun(db, QStringLiteral("select 1"));
     },
     ErrorCode::MissingFile, false},
    {"wrong key",
     [](TempDb& db) {
         db.closeConnection();
         Connection c;
         c.setConnectionString(connectionTo(db, "not-the-password"));
         c.open();
     },
     ErrorCode::WrongKey},
    {"file held exclusively by another program",
     [](TempDb& db) {
         db.closeConnection();
         const int fd = ::open(QFile::encodeName(db.dbPath()).constData(), O_RDONLY | O_CLOEXEC);
         ASSERT_GE(fd, 0);
         ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
         struct Unlock {
             int fd;
             ~Unlock() { ::close(fd); }
         } unlock{fd};
         openAndRun(db, QStringLiteral("select 1"));
     },
     ErrorCode::Busy, false},
    {"write while another connection writes",
     [](TempDb& db) {
         db.conn().beginTransaction();
         db.exec(QStringLiteral("insert into datum([group], theme) values ('a', 'b')"));
         Connection c;
         c.setConnectionString(connectionTo(db));
         c.open();
         sqlite3_busy_timeout(c.handle(), 0);
         try {
             c.execute(QStringLiteral("insert into datum([group], theme) values ('c', 'd')"));
         } catch (...) {
             db.conn().rollback();
             throw;
         }
         db.conn().rollback();
     },
     ErrorCode::Busy},
    {"damaged page",
     [](TempDb& db) {
         db.addArticles(QStringLiteral("datum"), QStringLiteral("读书"), QStringLiteral("题"), 200);
         db.closeConnection();
         QFile f(db.dbPath());
         ASSERT_TRUE(f.open(QIODevice::ReadWrite));
         ASSERT_GT(f.size(), 3 * 4096);
         // Every page but the first (which holds the key check).
         f.seek(4096);
         f.write(QByteArray(int(f.size()) - 4096, '\x5a'));
         f.close();
         openAndRun(db, QStringLiteral("select count(*) from datum"));
     },
     ErrorCode::Corrupt},
    {"duplicate key",
     [](TempDb& db) {
         const qint64 id = db.addArticle(QStringLiteral("datum"), QStringLiteral("读书"),
                                         QStringLiteral("甲"), 1);
         db.exec(
             QStringLiteral("insert into datum(id, [group], theme) values (%1, 'a', 'b')").arg(id));
     },
     ErrorCode::Constraint},
    {"trigger refuses the change",
     [](TempDb& db) {
         db.exec(
             QStringLiteral("create trigger no_insert before insert on datum begin "
                            "select raise(abort, 'refused'); end"));
         db.addArticle(QStringLiteral("datum"), QStringLiteral("读书"), QStringLiteral("甲"), 1);
     },
     ErrorCode::Constraint},
    {"disk full",
     [](TempDb& db) {
         const qint64 pages = db.scalar(QStringLiteral("pragma page_count")).toLongLong();
         db.exec(QStringLiteral("pragma max_page_count = %1").arg(pages + 1));
         db.addArticle(QStringLiteral("datum"), QStringLiteral("读书"), QStringLiteral("大"), 1,
                       false, QByteArray(64 * 1024, 'x'));
     },
     ErrorCode::DiskFull},
    {"program's own rule", [](TempDb& db) { db.conn().commit(); }, ErrorCode::Other, false},
};

}  // namespace

TEST(EngineErrorCodes, EachFailureCarriesItsKind) {
    for (const FailureCase& fc : kFailures) {
        SCOPED_TRACE(fc.name);
        TempDb db;
        try {
            fc.provoke(db);
            ADD_FAILURE() << "no error";
        } catch (const StoreError& e) {
            EXPECT_EQ(e.code(), fc.expected) << e.what();
            // The engine's own text stays in the error for the log.
            EXPECT_FALSE(e.message().isEmpty());
            if (fc.fromEngine) {
                EXPECT_EQ(StoreError::codeFor(e.engineCode()), fc.expected);
            } else {
                EXPECT_EQ(e.engineCode(), 0);
            }
        }
    }
}

TEST(EngineErrorCodes, ExtendedCodesMapByTheirPrimaryCode) {
    EXPECT_EQ(StoreError::codeFor(SQLITE_CONSTRAINT_PRIMARYKEY), ErrorCode::Constraint);
    EXPECT_EQ(StoreError::codeFor(SQLITE_BUSY_SNAPSHOT), ErrorCode::Busy);
    EXPECT_EQ(StoreError::codeFor(SQLITE_LOCKED_SHAREDCACHE), ErrorCode::Busy);
    EXPECT_EQ(StoreError::codeFor(SQLITE_CANTOPEN_ISDIR), ErrorCode::MissingFile);
    EXPECT_EQ(StoreError::codeFor(SQLITE_IOERR_READ), ErrorCode::Other);
}

TEST(ErrorText, AStoreErrorShowsTheTextForItsCodeAndKeepsTheEngineTextAsDetail) {
    const StoreError e =
        StoreError::fromEngine(SQLITE_FULL, QStringLiteral("database or disk is full"));
    const store::ErrorText t = store::errorText(e);
    EXPECT_EQ(t.text, store::userText(ErrorCode::DiskFull));
    EXPECT_TRUE(t.text.startsWith(QStringLiteral("磁盘空间不足")));
    EXPECT_FALSE(t.text.contains(QStringLiteral("disk is full")));
    EXPECT_TRUE(t.detail.contains(QStringLiteral("database or disk is full")));
    // Other errors of the program keep their own text.
    const std::runtime_error other("Failed to Load Stream");
    EXPECT_EQ(store::errorText(other).text, QStringLiteral("Failed to Load Stream"));
}
