#pragma once
// Libraries in the Access/Jet format (.mdb files of the older program):
// recognising them, the text conversions their bodies need, and converting
// one into a database of this program by running yunjan-import-mdb as a
// child process with a time limit. libmdb runs only in that child: a damaged
// file can crash or hang the child, never this process.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

#include "base/Result.h"

namespace store {

// Whether the file starts with the Jet signature.
bool isJetFile(const QString& path);

// A plain-text body stored as bytes: GBK, or UTF-16LE when the bytes say so
// (a byte-order mark, or zero bytes between the characters). Trailing NULs
// are not text.
QString decodeLegacyPlainText(const QByteArray& bytes);
// An RTF body held as text: the bytes this program stores for RTF (code
// page 936; characters GBK lacks as \uN? escapes).
QByteArray rtfBytesFromText(const QString& rtf);

using ImportProgress = std::function<void(qint64 done, qint64 total)>;

struct ImportRun {
    bool ok = false;
    QString message;                    // why it failed, in Chinese
    QList<QPair<QString, int>> counts;  // articles per workbook table
};

// The import tool beside the program's own executable, unless set.
QString importToolPath();
void setImportToolPath(const QString& path);  // empty: the default again

// Time allowed for converting a file of this size.
int importTimeLimitMs(qint64 fileSize);

// Runs the tool: SOURCE (Jet) -> DEST (new database of this program). A crash,
// a time-out or a failure of the child comes back as ok = false with a message.
// The tool is killed when this process ends.
ImportRun runImportTool(const QString& source, const QString& dest, int timeLimitMs,
                        const ImportProgress& progress = {});

// Whether DEST opens with the program's password and holds exactly the
// counted articles; why not when it does not.
base::Result<void> checkImportedDatabase(const QString& dest,
                                         const QList<QPair<QString, int>>& counts);

struct JetConversion {
    bool ok = false;
    QString message;  // failure, in Chinese
    QString keptAs;   // where the original now lies
};

// Where the original of DB is kept: YunjanDB.jet.mdb beside it, or with a
// number when that name is taken by another file.
QString keptOriginalPath(const QString& dbPath);

// Converts the Jet file at dbPath in place. The new file is written under a
// temporary name and checked; the original is linked (or copied) to its new
// name, and only then is the new file renamed over dbPath. Killed at any
// moment, dbPath holds either the original, or the converted file with the
// original beside it. On failure dbPath is untouched.
JetConversion convertJetDatabase(const QString& dbPath, int timeLimitMs = 0,
                                 const ImportProgress& progress = {});

}  // namespace store
