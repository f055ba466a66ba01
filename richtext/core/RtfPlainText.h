#pragma once
// The text a reader sees in an RTF document, without building a document:
// one pass over the tokens that keeps the body text (fields show their
// result, hidden text and pictures are left out) and drops every control
// word, font table, style sheet and other destination. Paragraphs and table
// rows end with '\n', cells and tabs give '\t'. QtCore only, so that the
// article store can index rich-text bodies.

#include <QByteArray>
#include <QString>

namespace richtext {

QString rtfPlainText(const QByteArray& rtf);

// Whether bytes start like an RTF document (the reader's rule: "{\rtf" after
// an optional byte-order mark and blanks).
bool startsAsRtf(const QByteArray& bytes);

}  // namespace richtext
