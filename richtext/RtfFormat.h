#pragma once
// What the RTF reader, the writer and the control share: the user
// properties that keep what QTextDocument cannot show by itself, unit
// conversions, pictures and code pages.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextFormat>

class QTextDocument;

namespace richtext {

// Character format properties.
enum CharProperty {
    PropProtected = QTextFormat::UserProperty + 1,  // bool: \protect
    PropHidden = QTextFormat::UserProperty + 2,     // bool: \v (drawn transparent)
    PropDisabled = QTextFormat::UserProperty + 3,   // bool: \disabled (drawn grey)
    // The document's own text colour when the displayed one differs (hidden
    // or disabled text): a QColor, invalid for automatic.
    PropTrueColor = QTextFormat::UserProperty + 4,
    PropFieldInst = QTextFormat::UserProperty + 5,  // QString: field instruction
    PropCharset = QTextFormat::UserProperty + 6,    // int: \fcharset of the font
    PropPitch = QTextFormat::UserProperty + 7,      // int: \fprq of the font
};

// Picture (QTextImageFormat) properties.
enum PictureProperty {
    PropPicBytes = QTextFormat::UserProperty + 20,    // QByteArray: bytes as read
    PropPicType = QTextFormat::UserProperty + 21,     // QString: png jpeg wmf emf dib
    PropPicPixW = QTextFormat::UserProperty + 22,     // int: \picw as read
    PropPicPixH = QTextFormat::UserProperty + 23,     // int: \pich as read
    PropPicMapMode = QTextFormat::UserProperty + 24,  // int: \wmetafileN mapping mode
};

// Paragraph (QTextBlockFormat) properties.
enum BlockProperty {
    // First-line indent in twips of a bullet paragraph: the bullet hangs in
    // the offset, so the visible text indent is 0.
    PropBulletFirstIndent = QTextFormat::UserProperty + 40,
    PropBullet = QTextFormat::UserProperty + 41,  // bool: the paragraph has a bullet
};

// Layout lengths are pixels at 96 dpi; RTF lengths are twips.
inline double twipsToPx(int twips) {
    return twips / 15.0;
}
inline int pxToTwips(double px) {
    return qRound(px * 15.0);
}

// Paragraph indents in twips, as RTF states them (\li \ri \fi).
struct ParaTwips {
    int li = 0, ri = 0, fi = 0;
};
void setParaIndents(QTextBlockFormat& f, const ParaTwips& t, bool bullet);
ParaTwips paraIndents(const QTextBlockFormat& f);

// Sets or clears a character flag drawn in its own way (hidden, disabled),
// keeping the text's own colour in PropTrueColor.
void setDisplayFlag(QTextCharFormat& f, int property, bool on);
// The text colour as the document holds it (invalid = automatic).
QColor trueTextColor(const QTextCharFormat& f);
void setTrueTextColor(QTextCharFormat& f, const QColor& c);

// Pictures ---------------------------------------------------------------
// Decodes picture bytes of the given type for display; a metafile shows the
// device-independent bitmap it carries. Returns a null image if it cannot.
QImage decodePicture(const QByteArray& bytes, const QString& type);
// A device-independent bitmap (BITMAPINFOHEADER + bits) as an image.
QImage imageFromDib(const QByteArray& dib);
// Makes sure every picture of the document has its image resource, decoding
// PropPicBytes where the resource is missing. readRtf leaves this to the
// caller (decoding is the slow part of reading); the control calls it after
// every load and paste.
void registerPictures(QTextDocument* doc);
// Adds a picture's image to the document under its resource name.
void addPicture(QTextDocument* doc, const QString& name, const QImage& img);
// A fresh resource name for a picture.
QString newPictureName();

// The document's text, paragraphs (and table cells) joined by '\n', line
// breaks as '\n'; unlike QTextDocument::toPlainText it keeps no-break spaces.
QString plainTextOf(const QTextDocument* doc);

// Code pages -------------------------------------------------------------
int codePageForCharset(int charset);  // 0 when the charset has no code page
// Symbol-font byte to a character (\fcharset2 fonts: Symbol, Wingdings).
char16_t symbolGlyph(unsigned char byte, bool wingdings);

}  // namespace richtext
