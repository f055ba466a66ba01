// RTF reader: building the QTextDocument from decoded text and group states.

#include <QBuffer>
#include <QImageReader>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextListFormat>
#include <QTextTableFormat>
#include <array>
#include <climits>

#include "platform/core/TextCodec.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfReaderImpl.h"

namespace richtext {

void RtfReaderImpl::flushBytes() {
    if (bytes_.empty()) return;
    const GroupState& s = st();
    int cp = s.codePage;
    if (s.dest == Dest::FontTable && fontId_ >= 0) {
        const int fcp = fonts_.value(fontId_).codePage;
        cp = (fcp > 0 && platform::isKnownCodePage(fcp)) ? fcp : ansiCodePage_;
    }
    bool ascii = true;
    for (char c : bytes_) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    const QString text =
        ascii ? QString::fromLatin1(bytes_.data(), qsizetype(bytes_.size()))
              : platform::decodeCodePage(QByteArray(bytes_.data(), qsizetype(bytes_.size())), cp);
    bytes_.clear();
    bool control = false;
    for (QChar c : text) control = control || (c.unicode() < 0x20 && c != '\t');
    if (!control) {
        emitText(text);
        return;
    }
    QString clean;
    for (QChar c : text)
        if (c.unicode() >= 0x20 || c == '\t') clean += c;
    emitText(clean);
}

void RtfReaderImpl::emitText(QStringView text) {
    GroupState& s = st();
    switch (s.dest) {
        case Dest::Normal:
        case Dest::ListText:
            if (!run_.isEmpty() && !(runProps_ == s.c)) flushRun();
            if (run_.isEmpty()) runProps_ = s.c;
            run_ += text;
            return;
        case Dest::FieldInst:
            if (s.openField >= 0 && fields_[std::size_t(s.openField)].inst.size() < 65536)
                fields_[std::size_t(s.openField)].inst += text;
            return;
        case Dest::FontTable:
            if (fontNameText_.size() < 256) fontNameText_ += text;
            return;
        default:
            return;
    }
}

void RtfReaderImpl::emitChar(char16_t ch) {
    flushBytes();
    // Paragraphs end only through \par: other breaks become line breaks,
    // other control characters are dropped.
    if (ch == '\n' || ch == '\r' || ch == 0x2029 || ch == 0x0B) ch = 0x2028;
    if (ch < 0x20 && ch != '\t') return;
    const QChar c(ch);
    emitText(QStringView(&c, 1));
}

const QTextCharFormat& RtfReaderImpl::formatFor(const CharProps& c) {
    for (const auto& e : formatCache_)
        if (e.first == c) return e.second;
    if (formatCache_.size() >= 32) formatCache_.clear();
    QTextCharFormat f;
    auto it = fonts_.constFind(c.font < 0 ? defaultFont_ : c.font);
    if (it != fonts_.constEnd()) {
        if (!it->name.isEmpty()) f.setFontFamilies(QStringList{it->name});
        if (it->charset >= 0) f.setProperty(PropCharset, it->charset);
        if (it->pitch) f.setProperty(PropPitch, it->pitch);
    }
    f.setFontPointSize(c.fs / 2.0);
    if (c.bold) f.setFontWeight(QFont::Bold);
    if (c.italic) f.setFontItalic(true);
    if (c.underline) f.setFontUnderline(true);
    if (c.strike) f.setFontStrikeOut(true);
    if (c.script < 0) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (c.script > 0) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (c.fg >= 0 && std::size_t(c.fg) < colors_.size() && colors_[std::size_t(c.fg)].isValid())
        f.setForeground(colors_[std::size_t(c.fg)]);
    if (c.bg >= 0 && std::size_t(c.bg) < colors_.size() && colors_[std::size_t(c.bg)].isValid())
        f.setBackground(colors_[std::size_t(c.bg)]);
    if (c.prot) f.setProperty(PropProtected, true);
    if (c.hidden) setDisplayFlag(f, PropHidden, true);
    if (c.disabled) setDisplayFlag(f, PropDisabled, true);
    if (c.field >= 0 && std::size_t(c.field) < fields_.size()) {
        FieldInfo& fi = fields_[std::size_t(c.field)];
        parseField(fi);
        f.setProperty(PropFieldInst, fi.inst);
        if (!fi.href.isEmpty()) {
            f.setAnchor(true);
            f.setAnchorHref(fi.href);
        }
    }
    formatCache_.emplace_back(c, f);
    return formatCache_.back().second;
}

void RtfReaderImpl::flushRun() {
    if (run_.isEmpty()) return;
    cursor_.insertText(run_, formatFor(runProps_));
    run_.clear();
}

// Splits a field instruction into its words; quoted arguments keep their
// blanks and "\\" stands for one backslash.
static QStringList fieldWords(const QString& inst) {
    QStringList words;
    QString cur;
    bool quoted = false, have = false;
    for (qsizetype i = 0; i < inst.size(); ++i) {
        const QChar ch = inst[i];
        if (ch == '\\' && i + 1 < inst.size() && (inst[i + 1] == '\\' || inst[i + 1] == '"')) {
            cur += inst[++i];
            have = true;
        } else if (ch == '"') {
            quoted = !quoted;
            have = true;
        } else if (!quoted && ch.isSpace()) {
            if (have) words << cur;
            cur.clear();
            have = false;
        } else {
            cur += ch;
            have = true;
        }
    }
    if (have) words << cur;
    return words;
}

void RtfReaderImpl::parseField(FieldInfo& f) {
    if (f.parsed) return;
    f.parsed = true;
    f.inst = f.inst.trimmed();
    const QStringList w = fieldWords(f.inst);
    if (w.isEmpty() || w[0].compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0) return;
    QString url, anchor;
    for (qsizetype i = 1; i < w.size(); ++i) {
        const QString& a = w[i];
        if (a.startsWith('\\') && a.size() == 2) {
            const QChar sw = a[1].toLower();
            if (i + 1 < w.size() && (sw == 'l' || sw == 'o' || sw == 't')) {
                if (sw == 'l') anchor = w[i + 1];
                ++i;
            }
            continue;
        }
        if (url.isEmpty()) url = a;
    }
    f.href = anchor.isEmpty() ? url : url + '#' + anchor;
}

void RtfReaderImpl::fieldResultStarts(int field) {
    GroupState& s = st();
    s.c.field = field;
    s.dest = Dest::Normal;
}

bool RtfReaderImpl::takeListText(const ParaProps& p) {
    bool bullet = p.bullet;
    const int blockStart = cursor_.block().position();
    const bool haveText = listTextStart_ >= blockStart && listTextEnd_ > listTextStart_ &&
                          listTextEnd_ <= cursor_.position();
    if (!bullet && p.ls > 0 && !p.numbered) {
        // A list of a later writer: a bullet unless its text is a number.
        bullet = true;
        if (haveText) {
            QTextCursor c(doc_);
            c.setPosition(listTextStart_);
            c.setPosition(listTextEnd_, QTextCursor::KeepAnchor);
            const QString t = c.selectedText().trimmed();
            if (!t.isEmpty() && t[0].isLetterOrNumber()) bullet = false;
        }
    }
    if (bullet && haveText) {
        QTextCursor c(doc_);
        c.setPosition(listTextStart_);
        c.setPosition(listTextEnd_, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
    listTextStart_ = listTextEnd_ = -1;
    return bullet;
}

void RtfReaderImpl::applyBlockFormat(const ParaProps& p, bool bullet) {
    QTextBlockFormat bf;
    static const Qt::Alignment kAlign[4] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                            Qt::AlignJustify};
    bf.setAlignment(kAlign[qBound(0, p.align, 3)]);
    setParaIndents(bf, ParaTwips{p.li, p.ri, p.fi}, bullet);
    if (p.sb) bf.setTopMargin(twipsToPx(p.sb));
    if (p.sa) bf.setBottomMargin(twipsToPx(p.sa));
    if (p.sl != 0) {
        if (p.slmult)
            bf.setLineHeight(qAbs(p.sl) * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (p.sl > 0)
            bf.setLineHeight(twipsToPx(p.sl), QTextBlockFormat::MinimumHeight);
        else
            bf.setLineHeight(twipsToPx(-p.sl), QTextBlockFormat::FixedHeight);
    }
    if (pageBreakNext_) {
        bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        pageBreakNext_ = false;
    }
    cursor_.setBlockFormat(bf);
    if (bullet) {
        const int number = cursor_.block().blockNumber();
        if (list_ && listBlock_ == number - 1 && !cursor_.currentTable()) {
            list_->add(cursor_.block());
        } else {
            QTextListFormat lf;
            lf.setStyle(QTextListFormat::ListDisc);
            lf.setIndent(0);
            list_ = cursor_.createList(lf);
        }
        listBlock_ = number;
    } else {
        list_ = nullptr;
    }
}

void RtfReaderImpl::endParagraph(bool pageBreak) {
    flushBytes();
    flushRun();
    const ParaProps p = st().p;
    applyBlockFormat(p, takeListText(p));
    cursor_.insertBlock();
    if (!p.intbl) cellStart_ = cursor_.position();
    pageBreakNext_ = pageBreak;
    parEnd_ = cursor_.position();
}

// Tables' cell positions are not kept up to date inside an edit block:
// finish the edit before working on one.
void RtfReaderImpl::syncEdit() {
    QTextCursor(doc_).endEditBlock();
    QTextCursor(doc_).beginEditBlock();
}

void RtfReaderImpl::onCell(bool nested) {
    if (nested) {  // cells of inner tables: kept in order, separated by tabs
        emitChar('\t');
        return;
    }
    flushBytes();
    flushRun();
    syncEdit();
    const ParaProps p = st().p;
    const bool inTable = table_ && cursor_.currentTable() == table_.data();
    if (!inTable) {
        // The cell's text was read before the table was known: move it in.
        const int end = cursor_.position();
        if (cellStart_ > end) cellStart_ = end;
        QTextDocumentFragment frag;
        if (end > cellStart_) {
            QTextCursor c(doc_);
            c.setPosition(cellStart_);
            c.setPosition(end, QTextCursor::KeepAnchor);
            frag = c.selection();
            c.removeSelectedText();
        }
        cursor_.setPosition(cellStart_);
        const bool adjacent = table_ && table_->lastPosition() + 1 == cellStart_;
        if (adjacent && rowEnded_) {
            table_->appendRows(1);
            tRow_ = table_->rows() - 1;
            tCol_ = 0;
            rowEnded_ = false;
        } else if (adjacent) {
            if (tCol_ + 1 >= table_->columns()) table_->appendColumns(1);
            tCol_ = qMin(tCol_ + 1, table_->columns() - 1);
        } else {
            // A table directly after a paragraph: insert it at that paragraph's
            // end, or Qt keeps the empty paragraph the \par opened before it.
            const QTextBlock here = doc_->findBlock(cellStart_);
            const QTextBlock prev = here.previous();
            if (here.position() == cellStart_ && here.length() == 1 && prev.isValid() &&
                prev.position() + prev.length() == cellStart_ &&
                QTextCursor(prev).currentFrame() == cursor_.currentFrame()) {
                QTextCursor join(doc_);
                join.setPosition(cellStart_ - 1);
                join.setPosition(cellStart_, QTextCursor::KeepAnchor);
                join.removeSelectedText();
                cellStart_ -= 1;
                cursor_.setPosition(cellStart_);
            }
            QTextTableFormat tf;
            tf.setBorder(1);
            tf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            tf.setCellSpacing(0);
            tf.setCellPadding(3);
            // Column widths from the row's cell boundaries (15 twips a pixel);
            // a boundary that does not move right leaves its column free.
            QList<QTextLength> widths;
            int left = trleft_;
            for (int x : cellx_) {
                widths << (x > left ? QTextLength(QTextLength::FixedLength, (x - left) / 15.0)
                                    : QTextLength());
                left = qMax(left, x);
            }
            if (!widths.isEmpty()) tf.setColumnWidthConstraints(widths);
            table_ = cursor_.insertTable(1, qBound(1, cellxCount_, 63), tf);
            tRow_ = 0;
            tCol_ = 0;
            rowEnded_ = false;
        }
        cursor_.setPosition(table_->cellAt(tRow_, tCol_).firstPosition());
        if (!frag.isEmpty()) cursor_.insertFragment(frag);
    }
    applyBlockFormat(p, takeListText(p));
    if (tCol_ + 1 < table_->columns()) {
        ++tCol_;
        cursor_.setPosition(table_->cellAt(tRow_, tCol_).firstPosition());
    } else {
        cursor_.setPosition(table_->lastPosition() + 1);
    }
    cellStart_ = cursor_.position();
}

void RtfReaderImpl::onRow() {
    flushBytes();
    flushRun();
    syncEdit();
    if (!table_) return;
    rowEnded_ = true;
    cursor_.setPosition(table_->lastPosition() + 1);
    cellStart_ = cursor_.position();
}

// Hex digits of a picture's data; anything else between them is ignored.
void RtfReaderImpl::appendPictureHex(PictInfo& pic, std::string_view text) {
    static const auto kHexValue = [] {
        std::array<signed char, 256> t{};
        t.fill(-1);
        for (int i = 0; i < 10; ++i) t['0' + i] = static_cast<signed char>(i);
        for (int i = 0; i < 6; ++i) {
            t['a' + i] = static_cast<signed char>(10 + i);
            t['A' + i] = static_cast<signed char>(10 + i);
        }
        return t;
    }();
    QByteArray& out = pic.bytes;
    const qsizetype have = out.size(), need = have + qsizetype(text.size() / 2) + 1;
    if (out.capacity() < need) out.reserve(qMax(need, out.capacity() * 2));
    out.resize(need);
    char* o = out.data() + have;
    int nibble = pic.nibble;
    for (char ch : text) {
        const int v = kHexValue[static_cast<unsigned char>(ch)];
        if (v < 0) continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            *o++ = char(nibble * 16 + v);
            nibble = -1;
        }
    }
    pic.nibble = nibble;
    out.resize(o - out.constData());
}

static QSize dibSize(const QByteArray& d) {
    if (d.size() < 12) return QSize();
    auto le = [&d](int at, int n) {
        quint32 v = 0;
        for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(d[at + i]);
        return v;
    };
    if (le(0, 4) == 12) return QSize(int(le(4, 2)), int(le(6, 2)));
    if (d.size() < 16) return QSize();
    // Signed fields (a negative height is a top-down bitmap); the magnitude
    // of the smallest one does not fit an int, so it is taken in 64 bits.
    auto magnitude = [](quint32 v) {
        const qint64 x = qint32(v);
        return int(qMin<qint64>(x < 0 ? -x : x, INT_MAX));
    };
    return QSize(magnitude(le(4, 4)), magnitude(le(8, 4)));
}

void RtfReaderImpl::finishPicture(const PictInfo& pic, const CharProps& c) {
    if (pic.bytes.isEmpty()) return;
    QString type = pic.type;
    if (type.isEmpty() || type == QLatin1String("wbitmap")) {
        // unknown or device-dependent: take whatever an image reader recognises
        QBuffer buf;
        buf.setData(pic.bytes);
        buf.open(QIODevice::ReadOnly);  // the format probe reads only from an open device
        const QByteArray fmt = QImageReader::imageFormat(&buf);
        type = fmt == "png"    ? QStringLiteral("png")
               : fmt == "jpeg" ? QStringLiteral("jpeg")
                               : QStringLiteral("image");
    }
    // Natural size in twips, without decoding the picture.
    QSize px;
    if (type == QLatin1String("png") || type == QLatin1String("jpeg") ||
        type == QLatin1String("image")) {
        QBuffer buf;
        buf.setData(pic.bytes);
        QImageReader reader(&buf);
        px = reader.size();
    } else if (type == QLatin1String("dib")) {
        px = dibSize(pic.bytes);
    }
    double wTw = pic.goalw, hTw = pic.goalh;
    if (wTw <= 0) {
        if (px.isValid())
            wTw = px.width() * 15.0;
        else
            wTw = pic.picw * 1440.0 / 2540.0;  // metafiles: hundredths of a millimetre
    }
    if (hTw <= 0) {
        if (px.isValid())
            hTw = px.height() * 15.0;
        else
            hTw = pic.pich * 1440.0 / 2540.0;
    }
    double w = wTw * pic.scalex / 100.0 / 15.0, h = hTw * pic.scaley / 100.0 / 15.0;
    if (w < 1 || h < 1) w = h = 32;
    w = qMin(w, 20000.0);
    h = qMin(h, 20000.0);

    QTextImageFormat f;
    f.setName(newPictureName());
    f.setWidth(w);
    f.setHeight(h);
    f.setProperty(PropPicBytes, pic.bytes);
    f.setProperty(PropPicType, type);
    f.setProperty(PropPicPixW, pic.picw);
    f.setProperty(PropPicPixH, pic.pich);
    if (pic.mapMode) f.setProperty(PropPicMapMode, pic.mapMode);
    const QTextCharFormat around = formatFor(c);
    if (around.isAnchor()) {
        f.setAnchor(true);
        f.setAnchorHref(around.anchorHref());
    }
    flushRun();
    cursor_.insertImage(f);
}

void RtfReaderImpl::finish() {
    flushBytes();
    flushRun();
    // A \par right before the end is the document's final paragraph mark,
    // as a rich-edit control writes it: it ends the last paragraph and opens
    // none after it.
    const int pos = cursor_.position();
    const QTextBlock here = cursor_.block();
    const QTextBlock prev = here.previous();
    if (parEnd_ == pos && !pageBreakNext_ && here.length() == 1 && here == doc_->lastBlock() &&
        prev.isValid() && prev.position() + prev.length() == pos &&
        QTextCursor(prev).currentFrame() == cursor_.currentFrame()) {
        cursor_.deletePreviousChar();
        listTextStart_ = listTextEnd_ = -1;
        return;
    }
    const ParaProps p = haveEndProps_ ? endProps_ : st().p;
    applyBlockFormat(p, takeListText(p));
}

}  // namespace richtext
