#pragma once
// Reading an article library kept in the Access/Jet format (.mdb) and writing
// it as a new database of this program. Uses libmdb; only the command-line
// tool yunjan-import-mdb links this module, so libmdb never runs inside the
// program itself (a damaged file may crash or hang it).

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <functional>

#include "base/Result.h"

namespace store::mdb {

struct ImportResult {
    // Articles written per workbook table, in workbook order (datum..datum3).
    QList<QPair<QString, int>> counts;
    int users = 0;
};

// Called now and then with the rows done and the rows in all workbooks.
using Progress = std::function<void(qint64 done, qint64 total)>;

// Writes DEST as a new database of this program (the program's password)
// holding the workbooks and users of the Jet file SOURCE. Refuses an
// existing DEST. A failure says why in Chinese and leaves no DEST behind.
base::Result<ImportResult> importMdb(const QString& source, const QString& dest,
                                     const Progress& progress = {});

// The text and number columns of one table, by column name (nulls left out).
base::Result<QList<QMap<QString, QString>>> readTextTable(const QString& source,
                                                          const QString& table);

}  // namespace store::mdb
