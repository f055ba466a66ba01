#include "richtext/RtfFormat.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPainter>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <atomic>
#include <cstring>

namespace richtext {

void setParaIndents(QTextBlockFormat& f, const ParaTwips& t, bool bullet) {
    f.setLeftMargin(twipsToPx(t.li));
    f.setRightMargin(twipsToPx(t.ri));
    if (bullet) {
        // The bullet is drawn left of the text, in the hanging part.
        f.setTextIndent(0);
        f.setProperty(PropBulletFirstIndent, t.fi);
        f.setProperty(PropBullet, true);
    } else {
        f.setTextIndent(twipsToPx(t.fi));
        f.clearProperty(PropBulletFirstIndent);
        f.clearProperty(PropBullet);
    }
}

ParaTwips paraIndents(const QTextBlockFormat& f) {
    ParaTwips t;
    t.li = pxToTwips(f.leftMargin());
    t.ri = pxToTwips(f.rightMargin());
    t.fi = f.hasProperty(PropBulletFirstIndent) ? f.intProperty(PropBulletFirstIndent)
                                                : pxToTwips(f.textIndent());
    return t;
}

QColor trueTextColor(const QTextCharFormat& f) {
    if (f.hasProperty(PropTrueColor)) return f.colorProperty(PropTrueColor);
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        return f.foreground().color();
    return QColor();
}

static void applyDisplayColor(QTextCharFormat& f, const QColor& truth) {
    const bool hidden = f.boolProperty(PropHidden);
    const bool disabled = f.boolProperty(PropDisabled);
    if (hidden) {
        // no ink and no width: the text stays in the document but not on screen
        f.setFontLetterSpacingType(QFont::PercentageSpacing);
        f.setFontLetterSpacing(1);
        f.setFontStretch(1);
    } else {
        f.clearProperty(QTextFormat::FontLetterSpacing);
        f.clearProperty(QTextFormat::FontLetterSpacingType);
        f.clearProperty(QTextFormat::FontStretch);
    }
    if (hidden || disabled) {
        f.setProperty(PropTrueColor, truth);
        f.setForeground(hidden ? QColor(Qt::transparent) : QColor(Qt::gray));
    } else {
        f.clearProperty(PropTrueColor);
        if (truth.isValid())
            f.setForeground(truth);
        else
            f.clearForeground();
    }
}

void setTrueTextColor(QTextCharFormat& f, const QColor& c) {
    applyDisplayColor(f, c);
}

void setDisplayFlag(QTextCharFormat& f, int property, bool on) {
    const QColor truth = trueTextColor(f);
    if (on)
        f.setProperty(property, true);
    else
        f.clearProperty(property);
    applyDisplayColor(f, truth);
}

// --- pictures ---------------------------------------------------------------

static quint32 le32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return u[0] | (u[1] << 8) | (u[2] << 16) | (quint32(u[3]) << 24);
}
static quint16 le16(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint16(u[0] | (u[1] << 8));
}

QImage imageFromDib(const QByteArray& dib) {
    if (dib.size() < 12) return QImage();
    const char* p = dib.constData();
    const quint32 hdr = le32(p);
    if (hdr < 12 || hdr > quint32(dib.size())) return QImage();
    quint32 paletteBytes = 0;
    if (hdr == 12) {
        const int bits = le16(p + 10);
        if (bits <= 8) paletteBytes = (1u << bits) * 3;
    } else {
        if (hdr < 40) return QImage();
        const int bits = le16(p + 14);
        const quint32 compression = le32(p + 16);
        if (compression == 4 || compression == 5) {  // BI_JPEG, BI_PNG
            return QImage::fromData(dib.mid(int(hdr)));
        }
        quint32 used = le32(p + 32);
        if (used == 0 && bits <= 8) used = 1u << bits;
        if (used > 65536) return QImage();
        paletteBytes = used * 4;
        if (hdr == 40 && compression == 3) paletteBytes += 12;  // BI_BITFIELDS masks
        if (hdr == 40 && compression == 6) paletteBytes += 16;
    }
    const quint32 offBits = 14 + hdr + paletteBytes;
    QByteArray bmp;
    bmp.reserve(14 + dib.size());
    bmp.append("BM", 2);
    auto put32 = [&bmp](quint32 v) {
        for (int i = 0; i < 4; ++i) bmp.append(char((v >> (8 * i)) & 0xFF));
    };
    put32(quint32(14 + dib.size()));
    put32(0);
    put32(offBits);
    bmp.append(dib);
    QImage img;
    img.loadFromData(bmp, "BMP");
    return img;
}

// Collects the bitmaps a Windows metafile draws; returns the largest.
static QImage imageFromWmf(const QByteArray& data) {
    const char* p = data.constData();
    const qint64 n = data.size();
    qint64 pos = 0;
    if (n >= 22 && le32(p) == 0x9AC6CDD7u) pos = 22;  // placeable header
    if (pos + 18 > n) return QImage();
    pos += qint64(le16(p + pos + 2)) * 2;  // header size in words
    QImage best;
    while (pos + 6 <= n) {
        const qint64 size = qint64(le32(p + pos)) * 2;
        const quint16 func = le16(p + pos + 4);
        if (size < 6 || pos + size > n) break;
        if (func == 0) break;
        qint64 dibAt = -1;
        switch (func) {
            case 0x0F43:
                dibAt = 28;
                break;  // META_STRETCHDIB
            case 0x0B41:
                dibAt = 26;
                break;  // META_DIBSTRETCHBLT
            case 0x0940:
                dibAt = 22;
                break;  // META_DIBBITBLT
            case 0x0D33:
                dibAt = 24;
                break;  // META_SETDIBTODEV
            default:
                break;
        }
        if (dibAt > 0 && dibAt + 12 < size) {
            QImage img = imageFromDib(data.mid(int(pos + dibAt), int(size - dibAt)));
            if (!img.isNull() &&
                qint64(img.width()) * img.height() > qint64(best.width()) * best.height())
                best = img;
        }
        pos += size;
    }
    return best;
}

static QImage imageFromEmf(const QByteArray& data) {
    const char* p = data.constData();
    const qint64 n = data.size();
    qint64 pos = 0;
    QImage best;
    while (pos + 8 <= n) {
        const quint32 type = le32(p + pos);
        const qint64 size = le32(p + pos + 4);
        if (size < 8 || pos + size > n) break;
        qint64 bmiAt = -1;
        if (type == 81 || type == 80)
            bmiAt = 48;  // STRETCHDIBITS, SETDIBITSTODEVICE
        else if (type == 76 || type == 77)
            bmiAt = 84;  // BITBLT, STRETCHBLT
        if (bmiAt > 0 && bmiAt + 16 <= size) {
            const qint64 offBmi = le32(p + pos + bmiAt), cbBmi = le32(p + pos + bmiAt + 4);
            const qint64 offBits = le32(p + pos + bmiAt + 8), cbBits = le32(p + pos + bmiAt + 12);
            if (cbBmi > 0 && offBmi + cbBmi <= size && offBits + cbBits <= size) {
                QByteArray dib = data.mid(int(pos + offBmi), int(cbBmi));
                dib.append(data.constData() + pos + offBits, int(cbBits));
                QImage img = imageFromDib(dib);
                if (!img.isNull() &&
                    qint64(img.width()) * img.height() > qint64(best.width()) * best.height())
                    best = img;
            }
        }
        if (type == 14) break;  // EMR_EOF
        pos += size;
    }
    return best;
}

QImage decodePicture(const QByteArray& bytes, const QString& type) {
    if (bytes.isEmpty()) return QImage();
    if (type == QLatin1String("png")) return QImage::fromData(bytes, "PNG");
    if (type == QLatin1String("jpeg")) return QImage::fromData(bytes, "JPEG");
    if (type == QLatin1String("dib")) return imageFromDib(bytes);
    if (type == QLatin1String("wmf")) return imageFromWmf(bytes);
    if (type == QLatin1String("emf")) return imageFromEmf(bytes);
    return QImage::fromData(bytes);
}

QString newPictureName() {
    static std::atomic<quint64> counter{0};
    return QStringLiteral("rtfpic:%1").arg(++counter);
}

static QImage placeholder(int w, int h) {
    QImage img(qBound(1, w, 64), qBound(1, h, 64), QImage::Format_RGB32);
    img.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter p(&img);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, img.width() - 1, img.height() - 1);
    return img;
}

namespace {
// Names of the pictures whose images a document already holds, so that
// registering never asks the document (which would load the resource).
class PictureRegistry : public QObject {
  public:
    explicit PictureRegistry(QObject* parent) : QObject(parent) {
        setObjectName(QStringLiteral("rtfpic-registry"));
    }
    QSet<QString> names;
};

PictureRegistry* registryOf(QTextDocument* doc) {
    auto* r = doc->findChild<PictureRegistry*>(QStringLiteral("rtfpic-registry"),
                                               Qt::FindDirectChildrenOnly);
    // Names are never reused, so names left over after clear() do no harm.
    if (!r) r = new PictureRegistry(doc);
    return r;
}
}  // namespace

void addPicture(QTextDocument* doc, const QString& name, const QImage& img) {
    doc->addResource(QTextDocument::ImageResource, QUrl(name), img);
    registryOf(doc)->names.insert(name);
}

void registerPictures(QTextDocument* doc) {
    PictureRegistry* reg = registryOf(doc);
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid() || !frag.charFormat().isImageFormat()) continue;
            const QTextImageFormat f = frag.charFormat().toImageFormat();
            if (reg->names.contains(f.name())) continue;
            QImage img = decodePicture(f.property(PropPicBytes).toByteArray(),
                                       f.stringProperty(PropPicType));
            if (img.isNull()) img = placeholder(int(f.width()), int(f.height()));
            addPicture(doc, f.name(), img);
        }
    }
}

QString plainTextOf(const QTextDocument* doc) {
    QString out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b != doc->begin()) out += '\n';
        out += b.text();
    }
    out.replace(QChar::LineSeparator, '\n');
    return out;
}

// --- code pages -------------------------------------------------------------

int codePageForCharset(int charset) {
    switch (charset) {
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return 0;  // 0 ANSI, 1 default: the document's code page
    }
}

// Adobe Symbol encoding, 0x20..0xFF.
static const char16_t kSymbol[224] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B,
    0x002C, 0x2212, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x2245, 0x0391, 0x0392, 0x03A7,
    0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B,
    0x2234, 0x005D, 0x22A5, 0x005F, 0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3,
    0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0xF07F,
    // 0x80..0x9F: unused
    0xF080, 0xF081, 0xF082, 0xF083, 0xF084, 0xF085, 0xF086, 0xF087, 0xF088, 0xF089, 0xF08A, 0xF08B,
    0xF08C, 0xF08D, 0xF08E, 0xF08F, 0xF090, 0xF091, 0xF092, 0xF093, 0xF094, 0xF095, 0xF096, 0xF097,
    0xF098, 0xF099, 0xF09A, 0xF09B, 0xF09C, 0xF09D, 0xF09E, 0xF09F,
    // 0xA0..
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194,
    0x2190, 0x2191, 0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118,
    0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4,
    0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA, 0xF0F0, 0x232A, 0x222B, 0x2320,
    0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0xF0FF};

char16_t symbolGlyph(unsigned char byte, bool wingdings) {
    if (wingdings) {
        switch (byte) {
            case 0x6C:
                return 0x25CF;  // black circle
            case 0x6E:
                return 0x25A0;  // black square
            case 0x71:
                return 0x2751;
            case 0x75:
                return 0x25C6;
            case 0x76:
                return 0x2756;
            case 0x9F:
                return 0x2022;
            case 0xA7:
                return 0x25AA;  // small black square
            case 0xA8:
                return 0x25FB;
            case 0xD8:
                return 0x27A2;
            case 0xE8:
                return 0x2794;
            case 0xF0:
                return 0x21E8;
            case 0xFB:
                return 0x2717;
            case 0xFC:
                return 0x2713;  // check mark
            case 0xFE:
                return 0x2611;
            default:
                return char16_t(0xF000 + byte);
        }
    }
    if (byte < 0x20) return char16_t(0xF000 + byte);
    return kSymbol[byte - 0x20];
}

}  // namespace richtext
