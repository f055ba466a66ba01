// RTF writer: QTextDocument to plain, predictable RTF with a rich-edit style
// header (code page 936, Chinese font names in GBK).

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <atomic>
#include <charconv>
#include <vector>

#include "platform/core/TextCodec.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"

namespace richtext {

namespace {

// GBK form of each BMP character, looked up once per character: bits 24-25
// hold the length (1 or 2; 3 = not encodable), bits 0-15 the bytes.
std::atomic<quint32> g_gbk[65536];

quint32 gbkEntry(char16_t ch) {
    quint32 e = g_gbk[ch].load(std::memory_order_relaxed);
    if (e) return e;
    bool ok = true;
    const QByteArray b = platform::encodeCodePage(QString(QChar(ch)), 936, &ok);
    if (ok && b.size() == 1)
        e = (1u << 24) | static_cast<unsigned char>(b[0]);
    else if (ok && b.size() == 2)
        e = (2u << 24) | (quint32(static_cast<unsigned char>(b[0])) << 8) |
            static_cast<unsigned char>(b[1]);
    else
        e = 3u << 24;
    g_gbk[ch].store(e, std::memory_order_relaxed);
    return e;
}

const char kHex[] = "0123456789abcdef";

class Writer {
  public:
    explicit Writer(const QTextDocument* doc) : doc_(doc) {}
    QByteArray run();

  private:
    void collect();
    int fontIndex(const QTextCharFormat& f) const;
    int colorIndex(const QColor& c) const;
    void addColor(const QColor& c);
    QByteArray charFormat(const QTextCharFormat& f) const;
    void writeFrame(QTextFrame* frame, bool intbl);
    void writeTable(QTextTable* table);
    void writeBlock(const QTextBlock& block, bool intbl);
    void writeParaFormat(const QTextBlock& block, bool intbl);
    void writeText(const QString& text);
    void writeImage(const QTextImageFormat& f);
    void setUc(int n);
    void openGroup();
    void closeGroup();
    void num(const char* word, qint64 v) {
        out_ += word;
        char digits[24];  // written in place: this runs for every character outside GBK
        const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
        out_.append(digits, qsizetype(end - digits));
    }

    const QTextDocument* doc_;
    QByteArray out_;
    QStringList fonts_;
    QHash<QString, int> fontIdx_;
    int symbolFont_ = -1;
    QList<QColor> colors_;
    QHash<QRgb, int> colorIdx_;
    int uc_ = 1;
    std::vector<int> groups_;  // the \uc value outside each open group
    QString field_;            // instruction of the field being written
    bool firstBlock_ = true;
};

// The face of a document that names none: Qt's generic families ("Sans
// Serif" and the like, or the application's own font) are no font a word
// processor knows.
bool isGenericFamily(const QString& family) {
    static const char* const kGeneric[] = {"Sans Serif", "Sans",  "Serif",    "Monospace",
                                           "sans-serif", "serif", "monospace"};
    if (family.isEmpty()) return true;
    for (const char* g : kGeneric)
        if (family.compare(QLatin1String(g), Qt::CaseInsensitive) == 0) return true;
    return family == QFont().family();
}

QString familyOf(const QTextCharFormat& f) {
    const QStringList fam = f.fontFamilies().toStringList();
    return fam.isEmpty() ? QString() : fam.first();
}

void Writer::addColor(const QColor& c) {
    if (!c.isValid()) return;
    const QRgb rgb = c.rgb() & 0xFFFFFF;
    if (colorIdx_.contains(rgb)) return;
    colors_ << c;
    colorIdx_.insert(rgb, int(colors_.size()));
}

int Writer::colorIndex(const QColor& c) const {
    if (!c.isValid()) return 0;
    return colorIdx_.value(c.rgb() & 0xFFFFFF, 0);
}

int Writer::fontIndex(const QTextCharFormat& f) const {
    const QString fam = familyOf(f);
    return fam.isEmpty() ? 0 : fontIdx_.value(fam, 0);
}

void Writer::collect() {
    QString def = doc_->defaultFont().family();
    if (isGenericFamily(def)) def = QString::fromLatin1(kEditorFaceName);
    fonts_ << def;
    fontIdx_.insert(def, 0);
    bool bullets = false;
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
        if (b.textList() || b.blockFormat().boolProperty(PropBullet)) bullets = true;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString fam = familyOf(f);
            if (!fam.isEmpty() && !fontIdx_.contains(fam)) {
                fontIdx_.insert(fam, int(fonts_.size()));
                fonts_ << fam;
            }
            addColor(trueTextColor(f));
            if (f.hasProperty(QTextFormat::BackgroundBrush) &&
                f.background().style() != Qt::NoBrush)
                addColor(f.background().color());
        }
    }
    if (bullets) {
        symbolFont_ = int(fonts_.size());
        fonts_ << QStringLiteral("Symbol");
    }
}

QByteArray Writer::charFormat(const QTextCharFormat& f) const {
    QByteArray s = "\\f";
    s += QByteArray::number(fontIndex(f));
    double pt = f.fontPointSize();
    if (pt <= 0) pt = doc_->defaultFont().pointSizeF();
    if (pt <= 0) pt = 9;
    s += "\\fs";
    s += QByteArray::number(qBound(1, qRound(pt * 2), 3276));
    if (f.fontWeight() >= QFont::DemiBold) s += "\\b";
    if (f.fontItalic()) s += "\\i";
    if (f.fontUnderline()) s += "\\ul";
    if (f.fontStrikeOut()) s += "\\strike";
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) s += "\\sub";
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) s += "\\super";
    const int cf = colorIndex(trueTextColor(f));
    if (cf) s += "\\cf" + QByteArray::number(cf);
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush) {
        const int cb = colorIndex(f.background().color());
        if (cb) s += "\\highlight" + QByteArray::number(cb);
    }
    if (f.boolProperty(PropHidden)) s += "\\v";
    if (f.boolProperty(PropProtected)) s += "\\protect";
    if (f.boolProperty(PropDisabled)) s += "\\disabled";
    s += ' ';
    return s;
}

void Writer::setUc(int n) {
    if (uc_ == n) return;
    uc_ = n;
    out_ += "\\uc";
    out_ += char('0' + n);
    out_ += ' ';
}

void Writer::openGroup() {
    groups_.push_back(uc_);
    out_ += '{';
}

void Writer::closeGroup() {
    out_ += '}';
    if (groups_.empty()) return;
    uc_ = groups_.back();
    groups_.pop_back();
}

void Writer::writeText(const QString& text) {
    const qsizetype n = text.size();
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = p[i];
        if (ch < 0x80) {
            if (ch == '\\' || ch == '{' || ch == '}') {
                out_ += '\\';
                out_ += char(ch);
            } else if (ch == '\t') {
                out_ += "\\tab ";
            } else if (ch >= 0x20) {
                out_ += char(ch);
            }
            continue;
        }
        switch (ch) {
            case 0x2028:
                out_ += "\\line ";
                continue;
            case 0x00A0:
                out_ += "\\~";
                continue;
            case 0x00AD:
                out_ += "\\-";
                continue;
            case 0x2011:
                out_ += "\\_";
                continue;
            case 0xFFFC:
            case 0x2029:
                continue;
            default:
                break;
        }
        if (QChar::isHighSurrogate(ch) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            setUc(1);
            num("\\u", qint16(ch));
            out_ += '?';
            num("\\u", qint16(p[i + 1]));
            out_ += '?';
            ++i;
            continue;
        }
        const quint32 e = QChar::isSurrogate(ch) ? (3u << 24) : gbkEntry(ch);
        const int len = int(e >> 24);
        setUc(len == 3 ? 1 : len);
        num("\\u", qint16(ch));
        if (len == 3) {
            out_ += '?';
            continue;
        }
        if (len == 2) {
            out_ += "\\'";
            out_ += kHex[(e >> 12) & 0xF];
            out_ += kHex[(e >> 8) & 0xF];
        }
        out_ += "\\'";
        out_ += kHex[(e >> 4) & 0xF];
        out_ += kHex[e & 0xF];
    }
}

void Writer::writeImage(const QTextImageFormat& f) {
    QByteArray bytes = f.property(PropPicBytes).toByteArray();
    QString type = f.stringProperty(PropPicType);
    int picw = f.intProperty(PropPicPixW), pich = f.intProperty(PropPicPixH);
    const bool keep =
        !bytes.isEmpty() && (type == QLatin1String("png") || type == QLatin1String("jpeg") ||
                             type == QLatin1String("wmf") || type == QLatin1String("emf"));
    QSize natural;
    if (keep && (type == QLatin1String("png") || type == QLatin1String("jpeg"))) {
        QBuffer buf(&bytes);
        QImageReader reader(&buf);
        natural = reader.size();
        picw = natural.width();
        pich = natural.height();
    }
    if (!keep) {
        const QVariant v = doc_->resource(QTextDocument::ImageResource, QUrl(f.name()));
        QImage img;
        if (v.typeId() == QMetaType::QImage)
            img = v.value<QImage>();
        else if (v.typeId() == QMetaType::QPixmap)
            img = v.value<QPixmap>().toImage();
        if (img.isNull() && !bytes.isEmpty()) img = decodePicture(bytes, type);
        if (img.isNull()) return;
        bytes.clear();
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "PNG");
        type = QStringLiteral("png");
        natural = img.size();
        picw = img.width();
        pich = img.height();
    }
    double w = f.width(), h = f.height();
    if (w <= 0) w = natural.isValid() ? natural.width() : 32;
    if (h <= 0) h = natural.isValid() ? natural.height() : 32;
    out_ += "{\\pict";
    if (type == QLatin1String("png"))
        out_ += "\\pngblip";
    else if (type == QLatin1String("jpeg"))
        out_ += "\\jpegblip";
    else if (type == QLatin1String("emf"))
        out_ += "\\emfblip";
    else
        num("\\wmetafile", f.hasProperty(PropPicMapMode) ? f.intProperty(PropPicMapMode) : 8);
    num("\\picw", picw);
    num("\\pich", pich);
    num("\\picwgoal", pxToTwips(w));
    num("\\pichgoal", pxToTwips(h));
    out_ += '\n';
    const qsizetype start = out_.size();
    out_.resize(start + bytes.size() * 2 + bytes.size() / 64 + 1);
    char* o = out_.data() + start;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        *o++ = kHex[b[i] >> 4];
        *o++ = kHex[b[i] & 0xF];
        if ((i & 63) == 63) *o++ = '\n';
    }
    out_.resize(o - out_.constData());
    out_ += '}';
}

void Writer::writeParaFormat(const QTextBlock& block, bool intbl) {
    const QTextBlockFormat bf = block.blockFormat();
    out_ += "\\pard";
    if (intbl) out_ += "\\intbl";
    const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignJustify)
        out_ += "\\qj";
    else if (a & Qt::AlignHCenter)
        out_ += "\\qc";
    else if (a & Qt::AlignRight)
        out_ += "\\qr";
    const ParaTwips t = paraIndents(bf);
    if (t.li) num("\\li", t.li);
    if (t.ri) num("\\ri", t.ri);
    if (t.fi) num("\\fi", t.fi);
    if (const int sb = pxToTwips(bf.topMargin())) num("\\sb", sb);
    if (const int sa = pxToTwips(bf.bottomMargin())) num("\\sa", sa);
    switch (bf.lineHeightType()) {
        case QTextBlockFormat::MinimumHeight:
            num("\\sl", pxToTwips(bf.lineHeight()));
            out_ += "\\slmult0";
            break;
        case QTextBlockFormat::FixedHeight:
            num("\\sl", -pxToTwips(bf.lineHeight()));
            out_ += "\\slmult0";
            break;
        case QTextBlockFormat::ProportionalHeight:
            num("\\sl", qRound(bf.lineHeight() * 240.0 / 100.0));
            out_ += "\\slmult1";
            break;
        default:
            break;
    }
    if ((block.textList() || bf.boolProperty(PropBullet)) && symbolFont_ >= 0) {
        num("{\\pntext\\f", symbolFont_);
        out_ += "\\'b7\\tab}{\\*\\pn\\pnlvlblt";
        num("\\pnf", symbolFont_);
        out_ += "\\pnindent0{\\pntxtb\\'b7}}";
    } else {
        out_ += ' ';  // a space after a closing brace would be text
    }
}

void Writer::writeBlock(const QTextBlock& block, bool intbl) {
    if (!firstBlock_) {
        out_ += block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore
                    ? "\\page\n"
                    : "\\par\n";
    }
    firstBlock_ = false;
    writeParaFormat(block, intbl);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid()) continue;
        const QTextCharFormat f = frag.charFormat();
        QString inst = f.stringProperty(PropFieldInst);
        if (inst.isEmpty() && f.isAnchor() && !f.anchorHref().isEmpty()) {
            QString href = f.anchorHref();
            href.replace('\\', QLatin1String("\\\\")).replace('"', QLatin1String("\\\""));
            inst = QStringLiteral("HYPERLINK \"%1\"").arg(href);
        }
        if (inst != field_) {
            if (!field_.isEmpty()) {
                closeGroup();  // \fldrslt
                closeGroup();  // \field
            }
            field_ = inst;
            if (!inst.isEmpty()) {
                openGroup();
                out_ += "\\field";
                openGroup();
                out_ += "\\*\\fldinst ";
                writeText(inst);
                closeGroup();
                openGroup();
                out_ += "\\fldrslt ";
            }
        }
        // Each run is a group of its own: what it sets ends with it. (A
        // \plain after \super makes LibreOffice drop the rest of the paragraph.)
        openGroup();
        out_ += charFormat(f);
        if (f.isImageFormat()) {
            const QString text = frag.text();
            for (qsizetype i = 0; i < text.size(); ++i) writeImage(f.toImageFormat());
        } else {
            writeText(frag.text());
        }
        closeGroup();
    }
    if (!field_.isEmpty()) {
        closeGroup();
        closeGroup();
        field_.clear();
    }
}

void Writer::writeTable(QTextTable* table) {
    const int rows = table->rows(), cols = table->columns();
    // Cell boundaries: fixed column widths as they are (15 twips a pixel),
    // other columns share what a 9000-twip row leaves.
    const QList<QTextLength> constraints = table->format().columnWidthConstraints();
    const int fallback = cols > 0 ? qMax(300, 9000 / cols) : 9000;
    std::vector<qint64> cellx;
    qint64 right = 0;
    for (int c = 0; c < cols; ++c) {
        const QTextLength w = constraints.value(c);
        right += w.type() == QTextLength::FixedLength && w.rawValue() > 0
                     ? qMax<qint64>(1, qRound64(w.rawValue() * 15))
                     : fallback;
        cellx.push_back(right);
    }
    for (int r = 0; r < rows; ++r) {
        if (!firstBlock_) out_ += "\\par\n";
        firstBlock_ = true;  // the row's first cell needs no \par
        out_ += "\\trowd\\trgaph108";
        for (int c = 0; c < cols; ++c) num("\\cellx", cellx[size_t(c)]);
        out_ += '\n';
        for (int c = 0; c < cols; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() == r && cell.column() == c) {
                firstBlock_ = true;
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (QTextFrame* child = it.currentFrame())
                        writeFrame(child, true);
                    else
                        writeBlock(it.currentBlock(), true);
                }
            } else {
                out_ += "\\pard\\intbl ";
            }
            out_ += "\\cell\n";
        }
        out_ += "\\row\n";
        firstBlock_ = true;
    }
    out_ += "\\pard ";
    firstBlock_ = true;  // the block after the table follows \row directly
}

void Writer::writeFrame(QTextFrame* frame, bool intbl) {
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(child))
                intbl ? writeFrame(table, true) : writeTable(table);
            else
                writeFrame(child, intbl);
        } else {
            writeBlock(it.currentBlock(), intbl);
        }
    }
}

QByteArray Writer::run() {
    collect();
    out_.reserve(4096);
    out_ += "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (int i = 0; i < fonts_.size(); ++i) {
        num("{\\f", i);
        out_ += i == symbolFont_ ? "\\ftech\\fcharset2 " : "\\fnil\\fcharset134 ";
        bool ok = true;
        const QByteArray name = platform::encodeCodePage(fonts_[i], 936, &ok);
        if (ok) {
            for (char c : name) {
                const auto u = static_cast<unsigned char>(c);
                if (u >= 0x80) {
                    out_ += "\\'";
                    out_ += kHex[u >> 4];
                    out_ += kHex[u & 0xF];
                } else if (c == '\\' || c == '{' || c == '}' || c == ';') {
                    // not in font names
                } else {
                    out_ += c;
                }
            }
        } else {
            writeText(fonts_[i]);
        }
        out_ += ";}";
    }
    out_ += "}\n";
    if (!colors_.isEmpty()) {
        out_ += "{\\colortbl ;";
        for (const QColor& c : colors_) {
            num("\\red", c.red());
            num("\\green", c.green());
            num("\\blue", c.blue());
            out_ += ';';
        }
        out_ += "}\n";
    }
    setUc(1);
    out_ += "\\viewkind4\\uc1 ";
    writeFrame(doc_->rootFrame(), false);
    // The final paragraph mark: the last paragraph's format is in force at
    // its end, like every other paragraph's.
    out_ += "\\par\n}\n";
    return out_;
}

}  // namespace

QByteArray writeRtf(const QTextDocument* doc) {
    if (!doc) return QByteArray();
    Writer w(doc);
    return w.run();
}

}  // namespace richtext
