#pragma once
// Row fingerprints of article tables, for tests that compare the state of a
// workbook (or of the whole library) before and after an operation.

#include <QString>
#include <QStringList>

#include "store/Engine.h"

namespace testsupport {

// One line per article of `table` in custom order (SeqNo, then stored order):
// "group|theme|isformat|kind:md5(content)" and, when withSeqNo, "|SeqNo".
// kind is "B" for bytes, "T" for text, "N" for null.
QStringList articleRows(store::Connection& c, const QString& table, bool withSeqNo = false);

// The titles of a table in custom order.
QStringList titles(store::Connection& c, const QString& table);

// The order numbers of a table in custom order ("<null>" for null).
QStringList seqNos(store::Connection& c, const QString& table);

// Every article of the four workbooks as "table|" + articleRows line, sorted:
// equal fingerprints mean the same articles in the same workbooks.
QStringList libraryFingerprint(store::Connection& c);

}  // namespace testsupport
