#pragma once
// Code-page conversion through iconv. GBK (code page 936) is the program's
// text encoding for every file it reads or writes.

#include <QByteArray>
#include <QString>

namespace platform {

// Bytes in a Windows code page (936, 950, 1250..1258, 437, 874, 932, 949, ...)
// to text. Undecodable bytes become U+FFFD; never throws. Code page 936 is
// GBK with 0x80 = '€'. An unknown code page decodes as Windows-1252.
QString decodeCodePage(const QByteArray& bytes, int codePage);
// Text to a code page; characters it cannot encode become '?' and *ok is set
// to false.
QByteArray encodeCodePage(const QString& text, int codePage, bool* ok = nullptr);
// Whether iconv knows the code page.
bool isKnownCodePage(int codePage);
// Whether one character (a BMP code point or a surrogate pair) can be written
// in the code page; used by the RTF writer.
bool canEncode(char32_t ucs4, int codePage);

inline QString fromGbk(const QByteArray& bytes) {
    return decodeCodePage(bytes, 936);
}
inline QByteArray toGbk(const QString& text, bool* ok = nullptr) {
    return encodeCodePage(text, 936, ok);
}
// Length of the text in GBK bytes (a Chinese character counts 2).
int gbkByteLength(const QString& text);

}  // namespace platform
