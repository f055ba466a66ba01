#pragma once
// RTF reader and writer over QTextDocument.

#include <QByteArray>
#include <QString>
#include <stdexcept>

class QTextDocument;

namespace richtext {

// The editor's default face: the document's default font when the document
// names no real one.
inline constexpr char kEditorFaceName[] = "Arial";

class RtfError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads RTF bytes into doc (replacing its content). Malformed input is read
// as far as possible; throws RtfError only when the bytes are not RTF at all.
void readRtf(const QByteArray& rtf, QTextDocument* doc);
// Writes the document as RTF (code page 936 header, fonts, colours, pictures).
QByteArray writeRtf(const QTextDocument* doc);
// Plain text of an RTF document (paragraphs joined by '\n').
QString rtfToPlainText(const QByteArray& rtf);
// Whether the bytes start like an RTF document ("{\rtf").
bool looksLikeRtf(const QByteArray& bytes);

}  // namespace richtext
