// Copies of the library and restoring one.
//
// The copy is the library file itself, taken under the engine's shared lock
// (the engine's online backup when the file alone would not be whole).
//
// Crash safety: a copy is written to "<name>.part" and renamed when it is
// complete and on disk, so a kill leaves at worst a ".part" file that the
// next copy removes. A restore puts the chosen copy next to the library as
// "YunjanDB.mdb.restore", checks it there and replaces the library by one
// rename(): before the rename the library is untouched, after it the new
// file is complete.

#include "store/Backup.h"

#include <errno.h>
#include <fcntl.h>
#include <sqlcipher/sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>

#include "store/EngineDetail.h"

namespace store {

const char* const kBackupFolder = "data/backup";

namespace {

using detail::exec;
using detail::Fd;
using detail::Stmt;

const QString kPrefix = QStringLiteral("YunjanDB-");
const QString kSuffix = QStringLiteral(".mdb");
const QString kPart = QStringLiteral(".part");
const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");
constexpr int kPagesPerStep = 1024;  // 4 MB between two progress reports

using detail::KeyedDb;

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

void syncFile(const QString& path) {
    Fd fd(::open(native(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0)
        throw StoreError("the copy cannot be written to disk");
}

void syncDirectory(const QString& dir) {
    Fd fd(::open(native(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

void removeWithJournal(const QString& path) {
    QFile::remove(path + QStringLiteral("-journal"));
    QFile::remove(path);
}

QString passwordOf(const Connection& conn) {
    return ConnectionInfo::parse(conn.connectionString()).password;
}

// Name of a copy: stamp and, from the second copy of one second on, "_n".
struct CopyName {
    QDateTime when;
    int serial = 1;
    bool valid = false;
};

CopyName parseName(const QString& fileName) {
    static const QRegularExpression re(
        QStringLiteral("^YunjanDB-(\\d{8}-\\d{6})(?:_(\\d+))?\\.mdb$"));
    CopyName n;
    const QRegularExpressionMatch m = re.match(fileName);
    if (!m.hasMatch()) return n;
    n.when = QDateTime::fromString(m.captured(1), kStampFormat);
    n.serial = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt();
    n.valid = n.when.isValid();
    return n;
}

// The copies in a folder, newest first.
QList<QPair<CopyName, QString>> copiesIn(const QString& folder) {
    QList<QPair<CopyName, QString>> r;
    const QDir dir(folder);
    const QStringList names = dir.entryList({kPrefix + QStringLiteral("*") + kSuffix}, QDir::Files);
    for (const QString& n : names) {
        const CopyName c = parseName(n);
        if (c.valid) r.append({c, dir.absoluteFilePath(n)});
    }
    std::sort(r.begin(), r.end(), [](const auto& a, const auto& b) {
        if (a.first.when != b.first.when) return a.first.when > b.first.when;
        return a.first.serial > b.first.serial;
    });
    return r;
}

// A name after every copy of the same second: a lower serial freed by the
// rotation is not taken again, or the new copy would sort as the oldest.
QString newCopyPath(const QString& folder) {
    const QDir dir(folder);
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = now.toString(kStampFormat);
    int serial = 1;
    const QStringList names = dir.entryList({kPrefix + stamp + QStringLiteral("*")}, QDir::Files);
    for (QString n : names) {
        if (n.endsWith(kPart)) n.chop(kPart.size());
        const CopyName c = parseName(n);
        if (c.valid) serial = qMax(serial, c.serial + 1);
    }
    for (;; ++serial) {
        const QString name = kPrefix + stamp +
                             (serial == 1 ? QString() : QStringLiteral("_%1").arg(serial)) +
                             kSuffix;
        const QString path = dir.absoluteFilePath(name);
        if (!QFileInfo::exists(path) && !QFileInfo::exists(path + kPart)) return path;
    }
}

// Copies every page of the connection's database into dest with the online
// backup, reporting progress between steps.
void copyPages(sqlite3* src, sqlite3* dest, const BackupProgress& progress) {
    sqlite3_backup* b = sqlite3_backup_init(dest, "main", src, "main");
    if (!b) detail::fail(dest, QStringLiteral("starting the copy"));
    int rc = SQLITE_OK;
    int busyRounds = 0;
    for (;;) {
        rc = sqlite3_backup_step(b, kPagesPerStep);
        if (progress) {
            const int total = sqlite3_backup_pagecount(b);
            progress(total - sqlite3_backup_remaining(b), total);
        }
        if (rc == SQLITE_DONE) break;
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            // Another process writes the library: wait a little, then give up.
            if (++busyRounds > 200) break;
            QThread::msleep(10);
            continue;
        }
        if (rc != SQLITE_OK) break;
    }
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) detail::fail(dest, QStringLiteral("copying the library"));
}

// Copies the library file byte for byte while a read transaction holds the
// engine's shared lock, so no writer can change the file meanwhile. The pages
// stay encrypted as they are: nothing is decrypted or encrypted again.
// Returns false (dest left to the caller) when the library's journal mode
// keeps committed pages outside the file.
bool copyFile(Connection& conn, const QString& dest, const BackupProgress& progress) {
    sqlite3* db = conn.handle();
    if (!sqlite3_get_autocommit(db)) throw StoreError("no copy is written inside a transaction");
    {
        Stmt mode(db, QStringLiteral("PRAGMA journal_mode"));
        if (!mode.step()) return false;
        const QString m = mode.value(0).toString().toLower();
        if (m != QLatin1String("delete") && m != QLatin1String("truncate") &&
            m != QLatin1String("persist"))
            return false;
    }
    exec(db, QStringLiteral("BEGIN"));
    struct End {
        sqlite3* db;
        ~End() { sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr); }
    } end{db};
    {
        Stmt lock(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        lock.step();
    }
    const int changesBefore = sqlite3_total_changes(db);

    Fd in(::open(native(conn.databasePath()).constData(), O_RDONLY | O_CLOEXEC));
    Fd out(::open(native(dest).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (in.get() < 0 || out.get() < 0) throw StoreError("the library cannot be copied");
    const off_t size = ::lseek(in.get(), 0, SEEK_END);
    if (size < 0) throw StoreError("the library cannot be copied");
    constexpr off_t kChunk = off_t(kPagesPerStep) * 4096;
    const int totalPages = int((size + 4095) / 4096);
    off_t done = 0;
    bool kernelCopy = true;
    QByteArray buf;
    while (done < size) {
        const size_t want = size_t(qMin(kChunk, size - done));
        ssize_t n = -1;
        if (kernelCopy) {
            loff_t inOff = done, outOff = done;
            n = ::copy_file_range(in.get(), &inOff, out.get(), &outOff, want, 0);
            if (n < 0 &&
                (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;
                continue;
            }
        } else {
            buf.resize(qsizetype(want));
            n = ::pread(in.get(), buf.data(), want, done);
            if (n > 0 && ::pwrite(out.get(), buf.constData(), size_t(n), done) != n) n = -1;
        }
        if (n <= 0) throw StoreError("the library cannot be copied");
        done += n;
        if (progress) progress(int((done + 4095) / 4096), totalPages);
    }
    if (sqlite3_total_changes(db) != changesBefore)
        throw StoreError("the library changed during the copy");
    return true;
}

// Opens a copy read-only and checks every page; returns the workbook counts.
std::array<int, 4> checkedCounts(const QString& path, const QString& password, bool fullCheck) {
    std::array<int, 4> counts{-1, -1, -1, -1};
    try {
        if (QFileInfo::exists(path + QStringLiteral("-journal")))
            throw BackupDamagedError("the copy has an unfinished write");
        KeyedDb db(path, password, SQLITE_OPEN_READONLY);
        exec(db.get(), QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (fullCheck) {
            Stmt st(db.get(), QStringLiteral("PRAGMA quick_check"));
            if (!st.step() || st.value(0).toString() != QLatin1String("ok"))
                throw BackupDamagedError("the copy fails the engine's check");
        }
        for (int p = 0; p < 4; ++p) {
            const QString table = workbookTable(p);
            if (!detail::tableExists(db.get(), table)) continue;
            Stmt st(db.get(), QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table));
            st.step();
            counts[p] = int(st.int64(0));
        }
        if (counts[0] < 0) throw BackupDamagedError("the copy has no main workbook");
    } catch (const BackupDamagedError&) {
        throw;
    } catch (const StoreError& e) {
        throw BackupDamagedError(e.what());
    }
    return counts;
}

}  // namespace

QString backupFolderOf(const Connection& conn) {
    return QFileInfo(conn.databasePath()).absoluteDir().filePath(QStringLiteral("backup"));
}

void pruneBackups(const QString& folder, int keep) {
    if (keep < 1) keep = kDefaultBackupKeep;
    const QDir dir(folder);
    for (const QString& n : dir.entryList({QStringLiteral("*") + kPart}, QDir::Files))
        QFile::remove(dir.absoluteFilePath(n));
    const auto copies = copiesIn(folder);
    for (qsizetype i = keep; i < copies.size(); ++i) QFile::remove(copies[i].second);
}

QString writeBackup(Connection& conn, const QString& folder, int keep,
                    const BackupProgress& progress) {
    if (!QDir().mkpath(folder)) throw StoreError("the backup folder cannot be created");
    conn.open();
    const QString password = passwordOf(conn);
    const QString finalPath = newCopyPath(folder);
    const QString partPath = finalPath + kPart;
    try {
        {
            // O_EXCL: two copies never share a file.
            Fd created(::open(native(partPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                              0600));
            if (created.get() < 0) throw StoreError("the copy cannot be created");
        }
        if (!copyFile(conn, partPath, progress)) {
            KeyedDb dest(partPath, password, SQLITE_OPEN_READWRITE);
            copyPages(conn.handle(), dest.get(), progress);
        }
        if (QFileInfo::exists(partPath + QStringLiteral("-journal")))
            throw StoreError("the copy was not finished");
        syncFile(partPath);
        checkedCounts(partPath, password, false);
        if (::rename(native(partPath).constData(), native(finalPath).constData()) != 0)
            throw StoreError("the copy cannot be named");
        syncDirectory(QFileInfo(finalPath).absolutePath());
    } catch (...) {
        removeWithJournal(partPath);
        throw;
    }
    pruneBackups(folder, keep);
    return finalPath;
}

QList<BackupInfo> listBackups(const QString& folder, const QString& password) {
    QList<BackupInfo> r;
    for (const auto& [name, path] : copiesIn(folder)) {
        BackupInfo info;
        info.path = path;
        info.when = name.when;
        info.sizeBytes = QFileInfo(path).size();
        try {
            info.counts = checkedCounts(path, password, false);
            info.readable = true;
        } catch (const StoreError&) {
            info.counts = {-1, -1, -1, -1};
        }
        r.append(info);
    }
    return r;
}

bool hasBackupOfDay(const QString& folder, const QDate& day) {
    for (const auto& c : copiesIn(folder))
        if (c.first.when.date() == day) return true;
    return false;
}

void checkBackup(const QString& path, const QString& password) {
    if (!QFileInfo(path).isFile()) throw BackupDamagedError("the copy does not exist");
    checkedCounts(path, password, true);
}

QString restoreBackup(ArticleStore& s, const QString& backupPath, const QString& folder, int keep,
                      const BackupProgress& progress) {
    Connection& conn = s.connection();
    const QString password = passwordOf(conn);
    const QString dbPath = conn.databasePath();
    const QString tempPath = dbPath + QStringLiteral(".restore");

    checkBackup(backupPath, password);
    // The chosen copy goes next to the library first: the copy of the
    // current library below may rotate the chosen one away.
    removeWithJournal(tempPath);
    try {
        if (!QFile::copy(backupPath, tempPath)) throw StoreError("the copy cannot be read");
        syncFile(tempPath);
        checkBackup(tempPath, password);
    } catch (...) {
        removeWithJournal(tempPath);
        throw;
    }

    QString keptCopy;
    try {
        keptCopy = writeBackup(conn, folder, keep, progress);
        conn.close();
        // No other process may have the library open: each holds a shared lock.
        Fd lock(::open(native(dbPath).constData(), O_RDONLY | O_CLOEXEC));
        if (lock.get() < 0) throw StoreError("the database file cannot be opened");
        if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0)
            throw StoreError("the database is in use by another program");
        // A journal beside the library would be played back into the new file.
        if (QFileInfo::exists(dbPath + QStringLiteral("-journal")))
            throw StoreError("the database has an unfinished write");
        if (::rename(native(tempPath).constData(), native(dbPath).constData()) != 0)
            throw StoreError("the copy cannot replace the database");
        syncDirectory(QFileInfo(dbPath).absolutePath());
    } catch (...) {
        removeWithJournal(tempPath);
        try {
            conn.open();
        } catch (const StoreError&) {
        }
        throw;
    }
    conn.open();
    return keptCopy;
}

}  // namespace store
