#pragma once
// Engine internals shared by the connection and record-set code: a statement
// wrapper that throws StoreError, savepoints, the program's collation and the
// physical layout of article tables.
//
// Layout: an article table keeps its narrow fields (id, group, theme,
// isformat, SeqNo) in the table itself and each body in a side table
// "<table>$body" (rid = the article's rowid, content). Changing order numbers
// then never rewrites bodies, which keeps a drop or a renumbering fast. The
// engine presents both as one table with a `content` field; a table that
// holds `content` itself (made by another tool) works the same way, only
// slower.

#include <sqlcipher/sqlite3.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "store/Engine.h"

namespace store::detail {

// A plain file descriptor closed on every path.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

[[noreturn]] void fail(sqlite3* db, const QString& what);

class Stmt {
  public:
    Stmt() = default;
    Stmt(sqlite3* db, const QString& sql);
    Stmt(sqlite3* db, sqlite3_stmt* st, const QString& sql) : db_(db), st_(st), sql_(sql) {}
    ~Stmt();
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    Stmt(Stmt&& o) noexcept;
    Stmt& operator=(Stmt&& o) noexcept;

    sqlite3_stmt* get() const { return st_; }
    explicit operator bool() const { return st_ != nullptr; }
    void bind(int index, const QVariant& v);
    // Binds ":name" parameters from the list (names case-insensitive).
    void bindParams(const Params& params);
    bool step();  // true while a row is available; throws on error
    void reset();
    int columnCount() const { return sqlite3_column_count(st_); }
    QVariant value(int col) const;
    qint64 int64(int col) const { return sqlite3_column_int64(st_, col); }

  private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_ = nullptr;
    QString sql_;
};

// Runs SQL text (one or more statements, no parameters).
void exec(sqlite3* db, const QString& sql);
// Runs SQL text in SQLite's dialect (one or more statements) with parameters.
void runPlain(sqlite3* db, const QString& sql, const Params& params);
// Runs one statement of the program's dialect: rewrites it and carries out
// the forms SQLite lacks (SELECT ... INTO, INSERT ... SELECT on article tables).
void runStatement(sqlite3* db, const QString& sql, const Params& params);

// A savepoint that rolls back when not released.
class Savepoint {
  public:
    explicit Savepoint(sqlite3* db);
    ~Savepoint();
    void release();

  private:
    sqlite3* db_;
    QString name_;
    bool done_ = false;
};

// The collation of text columns: Latin letters without regard to case,
// Chinese in pinyin order.
void registerCollation(sqlite3* db);
int compareText(const char* a, int na, const char* b, int nb);

// Physical layout helpers.
QString bodyTable(const QString& table);
bool tableExists(sqlite3* db, const QString& table);
bool hasBody(sqlite3* db, const QString& table);
QStringList tableColumns(sqlite3* db, const QString& table);  // physical, throws if unknown
bool isWideField(const QString& name);                        // "content"
// Creates the side table, its delete trigger and the title index of `table`.
void createBodyFor(sqlite3* db, const QString& table);

// An engine handle on one file, outside any Connection, with the library's
// key settings (compaction, backups); closed on every path.
class KeyedDb {
  public:
    KeyedDb(const QString& path, const QString& password, int flags);
    ~KeyedDb();
    KeyedDb(const KeyedDb&) = delete;
    KeyedDb& operator=(const KeyedDb&) = delete;
    sqlite3* get() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace store::detail
