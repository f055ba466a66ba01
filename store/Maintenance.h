#pragma once
// Compaction of the database file and clearing a workbook.

#include <QString>

#include "store/ArticleStore.h"

namespace store {

// The compaction's temporary file, in the working directory.
extern const char* const kCompactTempFile;  // "tempdb$$.$$$"

// The compaction file exists and is a complete database (left by an earlier
// run): it is not removed, the user has to move it away.
class CompactLeftoverError : public StoreError {
  public:
    using StoreError::StoreError;
};

// Records that the file at path (the compaction's copy) was created by the
// program, in a note "<path>-yunjan" naming the file's device and inode.
// Throws StoreError when the note cannot be written.
void markCompactFile(const QString& path);
// Whether path is the copy the note names (or, path gone, its journal is).
bool isOwnCompactFile(const QString& path);

// Size of a file in bytes (0 when missing or unreadable).
qint64 fileSizeBytes(const QString& path);

struct CompactReport {
    qint64 beforeKb = 0;
    qint64 afterKb = 0;
};

// Closes the session's connection (every record set), writes an encrypted
// compacted copy to "tempdb$$.$$$" in the working directory and, once the copy
// is complete, on disk and opens with the password, replaces dbFile with it by
// one rename; then reopens the connection. A leftover "tempdb$$.$$$" that is
// an incomplete copy of an earlier compaction is removed first. Throws
// StoreError (database file unchanged, temporary file removed, connection
// reopened when possible) when another process has the database open or
// anything fails; CompactLeftoverError when a complete leftover copy, or a
// file of that name the program did not write, is in the way (left alone).
CompactReport CompactDB(ArticleStore& s, const QString& dbFile, const QString& password);

// "delete * from " + table.
void clearWorkbook(ArticleStore& s, const QString& table);

}  // namespace store
