#pragma once
// Helpers of the rich-text tests.

#include <QDir>
#include <QString>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

#include "richtext/Rtf.h"

namespace rtftest {

inline std::unique_ptr<QTextDocument> read(const QByteArray& rtf) {
    auto doc = std::make_unique<QTextDocument>();
    richtext::readRtf(rtf, doc.get());
    return doc;
}

// Format of the character at pos (not of the one before it).
inline QTextCharFormat formatAt(const QTextDocument* doc, int pos) {
    QTextCursor c(const_cast<QTextDocument*>(doc));
    c.setPosition(pos + 1);
    return c.charFormat();
}

// Position of the first occurrence of text in the document, -1 if none.
inline int find(const QTextDocument* doc, const QString& text) {
    return int(doc->toRawText().indexOf(text));
}

// The sample folder beside the checkout, "" when it is missing.
inline QString samplesDir() {
    QString src = qEnvironmentVariable("YUNJAN_SOURCE_DIR");
    if (src.isEmpty()) src = QStringLiteral(YUNJAN_SOURCE_DIR);
    const QDir dir(src + QStringLiteral("/../shared/rtf-samples"));
    return dir.exists() ? dir.absolutePath() : QString();
}

}  // namespace rtftest
