// Compaction of the database file and clearing a workbook.
//
// Compaction never puts the database at risk: the compacted copy is written
// to a new file next to the working directory, synced to disk, opened with the
// password and compared with the original (same tables, same row counts), and
// only then replaces the original by one rename(). Until that rename the
// original is untouched; after it the new file is complete. A crash at any
// moment therefore leaves either the old or the new database, at worst with a
// stray temporary file that the next compaction cleans up. A note beside the
// copy records which file compaction created, so a file of the same name that
// the program did not write is never deleted.

#include "store/Maintenance.h"

#include <fcntl.h>
#include <sqlcipher/sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "store/EngineDetail.h"
#include "store/FullText.h"
#include "store/SqlText.h"

namespace store {

const char* const kCompactTempFile = "tempdb$$.$$$";

qint64 fileSizeBytes(const QString& path) {
    const QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile()) return 0;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const qint64 n = f.size();
    return n < 0 ? 0 : n;
}

namespace {

using detail::exec;
using detail::Fd;
using detail::Stmt;

// A raw engine handle on one file with the program's key settings, checked
// to be readable, with the program's collation.
class RawDb : public detail::KeyedDb {
  public:
    RawDb(const QString& path, const QString& password)
        : KeyedDb(path, password, SQLITE_OPEN_READWRITE) {
        exec(get(), QStringLiteral("SELECT count(*) FROM sqlite_master"));
        detail::registerCollation(get());
    }
};

// Row count of every table (the engine's own tables included) of a database,
// by table name in lower case.
QMap<QString, qint64> tableCounts(sqlite3* db, const QString& schema) {
    QMap<QString, qint64> counts;
    QStringList names;
    {
        // Virtual tables (the full-text index) hold nothing themselves: their
        // rows are in their shadow tables, which are counted.
        Stmt st(db, QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type='table' AND "
                                   "rootpage<>0")
                        .arg(sqltext::bracket(schema)));
        while (st.step()) names << st.value(0).toString();
    }
    for (const QString& n : names) {
        Stmt st(db, QStringLiteral("SELECT count(*) FROM %1.%2")
                        .arg(sqltext::bracket(schema), sqltext::bracket(n)));
        st.step();
        counts.insert(n.toLower(), st.int64(0));
    }
    return counts;
}

void syncFile(const QString& path) {
    Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0)
        throw StoreError("the compacted copy cannot be written to disk");
}

void syncDirectoryOf(const QString& path) {
    const QString dir = QFileInfo(path).absolutePath();
    Fd fd(::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

void removeWithJournal(const QString& path) {
    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path);
}

// The note beside the copy that names the file compaction created, by device
// and inode: a file of the copy's name is ours only while the note names it.
QString ownerNotePath(const QString& copyPath) {
    return copyPath + QStringLiteral("-yunjan");
}

QByteArray fileIdentity(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return QByteArray::number(qulonglong(st.st_dev)) + ':' +
           QByteArray::number(qulonglong(st.st_ino));
}

void removeOwnerNote(const QString& copyPath) {
    QFile::remove(ownerNotePath(copyPath));
}

// Whether a file is a complete database that opens with the password and
// holds the main workbook.
bool isCompleteDatabase(const QString& path, const QString& password) {
    try {
        // A hot journal of an interrupted write belongs to the partial copy.
        if (QFileInfo::exists(path + QStringLiteral("-journal"))) return false;
        RawDb db(path, password);
        if (!detail::tableExists(db.get(), QStringLiteral("datum"))) return false;
        Stmt st(db.get(), QStringLiteral("PRAGMA quick_check"));
        return st.step() && st.value(0).toString() == QLatin1String("ok");
    } catch (const StoreError&) {
        return false;
    }
}

// Writes the compacted copy of dbPath to tempPath and checks it.
void writeCompactedCopy(const QString& dbPath, const QString& tempPath, const QString& password) {
    {
        // The destination must not exist; an empty file is an empty database
        // that the attachment below fills.
        Fd created(::open(QFile::encodeName(tempPath).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (created.get() < 0) throw StoreError("the compaction file cannot be created");
        try {
            markCompactFile(tempPath);
        } catch (const StoreError&) {
            QFile::remove(tempPath);  // created just now, by this call
            throw;
        }
    }
    {
        RawDb src(dbPath, password);
        sqlite3* db = src.get();
        Stmt attach(db, QStringLiteral("ATTACH DATABASE :path AS compacted KEY :key"));
        attach.bindParams({{QStringLiteral("path"), tempPath}, {QStringLiteral("key"), password}});
        attach.step();
        attach.reset();
        if (!password.isEmpty())
            exec(db, QStringLiteral("PRAGMA compacted.cipher_page_size = 4096"));
        {
            Stmt exp(db, QStringLiteral("SELECT sqlcipher_export('compacted')"));
            exp.step();
        }
        const QMap<QString, qint64> before = tableCounts(db, QStringLiteral("main"));
        const QMap<QString, qint64> after = tableCounts(db, QStringLiteral("compacted"));
        exec(db, QStringLiteral("DETACH DATABASE compacted"));
        if (before != after) throw StoreError("the compacted copy differs from the database");
    }
    syncFile(tempPath);
    // The copy must open as the program opens its database.
    Connection check;
    check.setConnectionString(makeConnectionString(tempPath, password));
    check.open();
    if (!check.tableExists(QStringLiteral("datum")))
        throw StoreError("the compacted copy has no main workbook");
    check.close();
}

// Replaces dbPath by its compacted copy (written to tempPath first).
void compactFile(const QString& dbPath, const QString& tempPath, const QString& password) {
    // No other process may have the database open: each one holds a shared
    // lock on the file while it does.
    Fd lock(::open(QFile::encodeName(dbPath).constData(), O_RDONLY | O_CLOEXEC));
    if (lock.get() < 0)
        throw StoreError(QStringLiteral("the database file cannot be opened"),
                         ErrorCode::MissingFile);
    if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0)
        throw StoreError(QStringLiteral("the database is in use by another program"),
                         ErrorCode::Busy);

    if (QFileInfo::exists(tempPath) || QFileInfo::exists(tempPath + QStringLiteral("-journal"))) {
        // A copy left by an interrupted compaction: the original was never
        // replaced by it, so an incomplete copy is worthless and goes. A
        // complete copy, or any file this program cannot tell it wrote, is
        // left for the user to move away.
        if (!isOwnCompactFile(tempPath) || isCompleteDatabase(tempPath, password))
            throw CompactLeftoverError("the compaction file already exists");
        removeWithJournal(tempPath);
        if (QFileInfo::exists(tempPath)) throw StoreError("the compaction file cannot be removed");
    }
    removeOwnerNote(tempPath);

    try {
        writeCompactedCopy(dbPath, tempPath, password);
        if (::rename(QFile::encodeName(tempPath).constData(),
                     QFile::encodeName(dbPath).constData()) != 0)
            throw StoreError("the compacted copy cannot replace the database");
        syncDirectoryOf(dbPath);
        removeOwnerNote(tempPath);
    } catch (...) {
        // Only a copy this run created goes (not a file that took the name
        // before the exclusive create refused it).
        if (isOwnCompactFile(tempPath)) removeWithJournal(tempPath);
        removeOwnerNote(tempPath);
        throw;
    }
}

}  // namespace

void markCompactFile(const QString& path) {
    const QByteArray id = fileIdentity(path);
    QFile note(ownerNotePath(path));
    if (id.isEmpty() || !note.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        note.write(id) != id.size())
        throw StoreError("the compaction file cannot be marked as the program's own");
}

bool isOwnCompactFile(const QString& path) {
    QFile note(ownerNotePath(path));
    if (!note.open(QIODevice::ReadOnly)) return false;
    const QByteArray noted = note.readAll();
    if (!QFileInfo::exists(path)) return !noted.isEmpty();  // only the journal of our copy is left
    return !noted.isEmpty() && noted == fileIdentity(path);
}

CompactReport CompactDB(ArticleStore& s, const QString& dbFile, const QString& password) {
    Connection& conn = s.connection();
    // The full-text index is rebuilt from the articles: the copy gets it
    // empty and the next full-text search reads every article in afresh.
    if (fullTextState(conn) != FullTextState::Missing) resetFullTextIndex(conn);
    conn.close();

    CompactReport report;
    report.beforeKb = fileSizeBytes(dbFile) / 1024;
    const QString dbPath = QDir::current().absoluteFilePath(dbFile);
    const QString tempPath =
        QDir::current().absoluteFilePath(QString::fromLatin1(kCompactTempFile));
    try {
        compactFile(dbPath, tempPath, password);
    } catch (...) {
        // The original is unchanged: carry on with it.
        try {
            conn.open();
        } catch (const StoreError&) {
        }
        throw;
    }
    report.afterKb = fileSizeBytes(dbFile) / 1024;
    conn.open();
    return report;
}

void clearWorkbook(ArticleStore& s, const QString& table) {
    s.connection().execute(QStringLiteral("delete * from ") + table);
}

}  // namespace store
