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

// Whether bytes look like an RTF document ("{\rtf" after optional blanks).
bool looksLikeRtf(const QByteArray& bytes);

}  // namespace richtext
