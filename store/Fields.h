#pragma once
// The columns of a workbook table (datum, datum1 ... datum3), by the names
// the stored files have always used.

#include <QString>

namespace store {

inline const QString kFieldId = QStringLiteral("id");
inline const QString kFieldGroup = QStringLiteral("group");        // category
inline const QString kFieldTheme = QStringLiteral("theme");        // title
inline const QString kFieldContent = QStringLiteral("content");    // body: RTF bytes or text
inline const QString kFieldIsFormat = QStringLiteral("isformat");  // body is RTF
inline const QString kFieldSeqNo = QStringLiteral("SeqNo");        // custom order

}  // namespace store
