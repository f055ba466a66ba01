#pragma once
// Compaction of the database file and clearing a workbook.

#include <QString>

#include "store/ArticleStore.h"

namespace store {

// Size of a file in bytes (0 when missing or unreadable).
qint64 fileSizeBytes(const QString& path);

struct CompactReport {
    qint64 beforeKb = 0;
    qint64 afterKb = 0;
};

// Closes the session's connection (every record set), writes an encrypted
// compacted copy to "tempdb$$.$$$" in the working directory, replaces dbFile
// with it atomically and reopens the connection. Throws StoreError (database
// file unchanged, connection left closed) when the destination exists or
// another process has the database open.
CompactReport CompactDB(ArticleStore& s, const QString& dbFile, const QString& password);

// "delete * from " + table.
void clearWorkbook(ArticleStore& s, const QString& table);

}  // namespace store
