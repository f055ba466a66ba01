#pragma once
// Copies of the whole library kept in data/backup/, and restoring one.
//
// A copy is the library file taken while the open connection holds the
// engine's shared lock (no writer can change it meanwhile), so it is
// encrypted with the library's own key; the engine's online backup is used
// when the journal mode would leave pages outside the file. It is written
// in steps that report progress, into a ".part" file that is synced and renamed to its final name
// only when complete: a copy under a final name is always whole. Names carry the date and time
// ("YunjanDB-20261210-143005.mdb", a "_2" suffix when two fall in one
// second); only the newest `keep` copies are kept.

#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <functional>

#include "store/ArticleStore.h"

namespace store {

// The folder of the copies, relative to the working directory.
extern const char* const kBackupFolder;  // "data/backup"
// The backup folder of a connection's library: "backup" beside the file.
QString backupFolderOf(const Connection& conn);
// How many copies are kept when the settings name no number.
constexpr int kDefaultBackupKeep = 10;

// A copy that does not open with the password, fails the engine's check or
// holds no main workbook.
class BackupDamagedError : public StoreError {
  public:
    using StoreError::StoreError;
};

struct BackupInfo {
    QString path;    // absolute
    QDateTime when;  // from the name (local time)
    qint64 sizeBytes = 0;
    bool readable = false;        // opened with the password
    std::array<int, 4> counts{};  // articles per workbook (-1: no such table)
};

// Progress of a copy: pages done out of total. Called on the caller's thread
// between steps (a window processes its events there).
using BackupProgress = std::function<void(int done, int total)>;

// Writes a copy of the connection's database into folder (created when
// missing) and keeps the newest `keep` copies (keep < 1 counts as the
// default). Returns the copy's path. The connection stays open and usable;
// throws StoreError, leaving no partial copy behind, when anything fails.
QString writeBackup(Connection& conn, const QString& folder, int keep,
                    const BackupProgress& progress = {});

// The copies in folder, newest first, with their sizes and, when readable
// with the password, their workbook counts.
QList<BackupInfo> listBackups(const QString& folder, const QString& password);

// Whether folder holds a copy written today (local date).
bool hasBackupOfDay(const QString& folder, const QDate& day);

// Removes all but the newest `keep` copies and any leftover ".part" file.
void pruneBackups(const QString& folder, int keep);

// Checks a copy as restore does; throws BackupDamagedError.
void checkBackup(const QString& path, const QString& password);

// Replaces the session's library by the copy at backupPath: the copy is
// checked (BackupDamagedError when damaged, nothing changed), put next to the
// library as a temporary file and checked again, the current library is
// itself written as a new copy into folder, the connection is closed and the
// library file replaced by one rename; then the connection is reopened.
// Throws StoreError when another process has the library open or anything
// fails before the rename (the library is then unchanged and the connection
// reopened). Returns the path of the copy of the replaced library.
QString restoreBackup(ArticleStore& s, const QString& backupPath, const QString& folder, int keep,
                      const BackupProgress& progress = {});

}  // namespace store
