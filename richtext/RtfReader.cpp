// RTF reader: tokens to group states. The document side is in
// RtfReaderDoc.cpp.

#include <QTextDocument>
#include <string_view>
#include <unordered_map>

#include "platform/core/TextCodec.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfReaderImpl.h"

namespace richtext {

namespace {

constexpr int kMaxDepth = 1000;  // deeper groups share the innermost state

enum Kw {
    K_none,
    // header and tables of the header
    K_ansi,
    K_mac,
    K_pc,
    K_pca,
    K_ansicpg,
    K_deff,
    K_fonttbl,
    K_colortbl,
    K_f,
    K_fcharset,
    K_fprq,
    K_cpg,
    K_red,
    K_green,
    K_blue,
    K_skipdest,
    // text
    K_par,
    K_sect,
    K_page,
    K_line,
    K_tab,
    K_u,
    K_uc,
    K_bin,
    K_cell,
    K_row,
    K_nestcell,
    K_nestrow,
    K_char,
    // character formatting
    K_plain,
    K_fs,
    K_b,
    K_i,
    K_ul,
    K_ulnone,
    K_strike,
    K_sub,
    K_super,
    K_nosupersub,
    K_cf,
    K_cb,
    K_v,
    K_protect,
    K_disabled,
    // paragraph formatting
    K_pard,
    K_ql,
    K_qr,
    K_qc,
    K_qj,
    K_li,
    K_ri,
    K_fi,
    K_sb,
    K_sa,
    K_sl,
    K_slmult,
    K_intbl,
    K_ls,
    K_pntext,
    K_listtext,
    K_pn,
    K_pnlvlblt,
    K_pnlvlbody,
    K_pnlvlcont,
    K_trowd,
    K_cellx,
    K_trleft,
    // pictures, objects, fields
    K_pict,
    K_pngblip,
    K_jpegblip,
    K_dibitmap,
    K_wbitmap,
    K_emfblip,
    K_wmetafile,
    K_picw,
    K_pich,
    K_picwgoal,
    K_pichgoal,
    K_picscalex,
    K_picscaley,
    K_shppict,
    K_nonshppict,
    K_result,
    K_field,
    K_fldinst,
    K_fldrslt,
    K_upr,
    K_ud,
};

struct KwEntry {
    Kw kw;
    char16_t ch;  // K_char: the character it stands for
};

struct KwName {
    const char* name;
    Kw kw;
    char16_t ch;
};

// clang-format off
const KwName kKeywords[] = {
    {"ansi", K_ansi, 0}, {"mac", K_mac, 0}, {"pc", K_pc, 0}, {"pca", K_pca, 0},
    {"ansicpg", K_ansicpg, 0}, {"deff", K_deff, 0}, {"fonttbl", K_fonttbl, 0},
    {"colortbl", K_colortbl, 0}, {"f", K_f, 0}, {"fcharset", K_fcharset, 0}, {"fprq", K_fprq, 0},
    {"cpg", K_cpg, 0}, {"red", K_red, 0}, {"green", K_green, 0}, {"blue", K_blue, 0},
    // destinations skipped whole
    {"stylesheet", K_skipdest, 0}, {"info", K_skipdest, 0}, {"listtable", K_skipdest, 0},
    {"listoverridetable", K_skipdest, 0}, {"revtbl", K_skipdest, 0}, {"header", K_skipdest, 0},
    {"footer", K_skipdest, 0}, {"headerl", K_skipdest, 0}, {"headerr", K_skipdest, 0},
    {"headerf", K_skipdest, 0}, {"footerl", K_skipdest, 0}, {"footerr", K_skipdest, 0},
    {"footerf", K_skipdest, 0}, {"footnote", K_skipdest, 0}, {"pntxta", K_skipdest, 0},
    {"pntxtb", K_skipdest, 0}, {"filetbl", K_skipdest, 0}, {"rsidtbl", K_skipdest, 0},
    {"author", K_skipdest, 0}, {"operator", K_skipdest, 0}, {"title", K_skipdest, 0},
    {"subject", K_skipdest, 0}, {"keywords", K_skipdest, 0}, {"comment", K_skipdest, 0},
    {"doccomm", K_skipdest, 0}, {"objdata", K_skipdest, 0}, {"objclass", K_skipdest, 0},
    {"themedata", K_skipdest, 0}, {"colorschememapping", K_skipdest, 0},
    {"datastore", K_skipdest, 0}, {"latentstyles", K_skipdest, 0}, {"xmlnstbl", K_skipdest, 0},
    {"generator", K_skipdest, 0}, {"annotation", K_skipdest, 0}, {"atnid", K_skipdest, 0},
    {"atnauthor", K_skipdest, 0}, {"txe", K_skipdest, 0}, {"xe", K_skipdest, 0},
    {"tc", K_skipdest, 0}, {"bkmkstart", K_skipdest, 0}, {"bkmkend", K_skipdest, 0},
    {"nesttableprops", K_skipdest, 0}, {"fldtype", K_skipdest, 0}, {"datafield", K_skipdest, 0},
    {"mmathPr", K_skipdest, 0}, {"pgdsctbl", K_skipdest, 0}, {"private", K_skipdest, 0},
    {"template", K_skipdest, 0},
    // text
    {"par", K_par, 0}, {"sect", K_sect, 0}, {"page", K_page, 0}, {"line", K_line, 0},
    {"softline", K_line, 0}, {"tab", K_tab, 0}, {"u", K_u, 0}, {"uc", K_uc, 0},
    {"bin", K_bin, 0}, {"cell", K_cell, 0}, {"row", K_row, 0}, {"nestcell", K_nestcell, 0},
    {"nestrow", K_nestrow, 0},
    {"emdash", K_char, 0x2014}, {"endash", K_char, 0x2013}, {"emspace", K_char, 0x2003},
    {"enspace", K_char, 0x2002}, {"qmspace", K_char, 0x2005}, {"bullet", K_char, 0x2022},
    {"lquote", K_char, 0x2018}, {"rquote", K_char, 0x2019}, {"ldblquote", K_char, 0x201C},
    {"rdblquote", K_char, 0x201D}, {"zwj", K_char, 0x200D}, {"zwnj", K_char, 0x200C},
    {"ltrmark", K_char, 0x200E}, {"rtlmark", K_char, 0x200F},
    // character formatting
    {"plain", K_plain, 0}, {"fs", K_fs, 0}, {"b", K_b, 0}, {"i", K_i, 0},
    {"ul", K_ul, 0}, {"uld", K_ul, 0}, {"uldb", K_ul, 0}, {"uldash", K_ul, 0},
    {"uldashd", K_ul, 0}, {"uldashdd", K_ul, 0}, {"ulhwave", K_ul, 0}, {"ulth", K_ul, 0},
    {"ulw", K_ul, 0}, {"ulwave", K_ul, 0}, {"ulldash", K_ul, 0}, {"ulthd", K_ul, 0},
    {"ulthdash", K_ul, 0}, {"ulnone", K_ulnone, 0}, {"strike", K_strike, 0},
    {"striked", K_strike, 0}, {"sub", K_sub, 0}, {"super", K_super, 0},
    {"nosupersub", K_nosupersub, 0}, {"cf", K_cf, 0}, {"cb", K_cb, 0}, {"highlight", K_cb, 0},
    {"chcbpat", K_cb, 0}, {"v", K_v, 0}, {"protect", K_protect, 0}, {"disabled", K_disabled, 0},
    // paragraph formatting
    {"pard", K_pard, 0}, {"ql", K_ql, 0}, {"qr", K_qr, 0}, {"qc", K_qc, 0}, {"qj", K_qj, 0},
    {"qd", K_qj, 0}, {"li", K_li, 0}, {"ri", K_ri, 0}, {"fi", K_fi, 0}, {"sb", K_sb, 0},
    {"sa", K_sa, 0}, {"sl", K_sl, 0}, {"slmult", K_slmult, 0}, {"intbl", K_intbl, 0},
    {"ls", K_ls, 0}, {"pntext", K_pntext, 0}, {"listtext", K_listtext, 0}, {"pn", K_pn, 0},
    {"pnlvlblt", K_pnlvlblt, 0}, {"pnlvlbody", K_pnlvlbody, 0}, {"pnlvlcont", K_pnlvlcont, 0},
    {"trowd", K_trowd, 0}, {"cellx", K_cellx, 0}, {"trleft", K_trleft, 0},
    // pictures, objects, fields
    {"pict", K_pict, 0}, {"pngblip", K_pngblip, 0}, {"jpegblip", K_jpegblip, 0},
    {"dibitmap", K_dibitmap, 0}, {"wbitmap", K_wbitmap, 0}, {"emfblip", K_emfblip, 0},
    {"wmetafile", K_wmetafile, 0}, {"picw", K_picw, 0}, {"pich", K_pich, 0},
    {"picwgoal", K_picwgoal, 0}, {"pichgoal", K_pichgoal, 0}, {"picscalex", K_picscalex, 0},
    {"picscaley", K_picscaley, 0}, {"shppict", K_shppict, 0}, {"nonshppict", K_nonshppict, 0},
    {"result", K_result, 0}, {"field", K_field, 0}, {"fldinst", K_fldinst, 0},
    {"fldrslt", K_fldrslt, 0}, {"upr", K_upr, 0}, {"ud", K_ud, 0},
};
// clang-format on

const std::unordered_map<std::string_view, KwEntry>& keywords() {
    static const std::unordered_map<std::string_view, KwEntry> map = [] {
        std::unordered_map<std::string_view, KwEntry> m;
        for (const KwName& k : kKeywords) m[k.name] = {k.kw, k.ch};
        return m;
    }();
    return map;
}

// Destinations we read even when they are marked \*.
bool isKnownDestination(Kw k) {
    return k == K_shppict || k == K_fldinst || k == K_ud || k == K_pn || k == K_result ||
           k == K_pict || k == K_fldrslt || k == K_listtext || k == K_pntext;
}

}  // namespace

RtfReaderImpl::RtfReaderImpl(QTextDocument* doc) : doc_(doc), cursor_(doc) {}

int RtfReaderImpl::fontCodePage(int id, unsigned char* symbol) const {
    *symbol = 0;
    auto it = fonts_.constFind(id);
    if (it == fonts_.constEnd()) return ansiCodePage_;
    if (it->charset == 2) {
        *symbol = it->name.contains(QLatin1String("Wingdings"), Qt::CaseInsensitive) ? 2 : 1;
        return ansiCodePage_;
    }
    if (it->codePage > 0 && platform::isKnownCodePage(it->codePage)) return it->codePage;
    return ansiCodePage_;
}

void RtfReaderImpl::commitFont() {
    if (fontId_ >= 0) fonts_[fontId_].name = fontNameText_.trimmed();
    fontNameText_.clear();
    fontId_ = -1;
}

void RtfReaderImpl::setFont(int id) {
    GroupState& s = st();
    s.c.font = id;
    s.codePage = fontCodePage(id < 0 ? defaultFont_ : id, &s.symbolFont);
}

void RtfReaderImpl::plain() {
    GroupState& s = st();
    const int field = s.c.field;
    s.c = CharProps();
    s.c.field = field;
    setFont(-1);
}

void RtfReaderImpl::pushGroup() {
    if (int(stack_.size()) >= kMaxDepth) {
        ++overflowDepth_;
        return;
    }
    GroupState copy = stack_.back();
    stack_.push_back(copy);
}

void RtfReaderImpl::popGroup() {
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.size() <= 1) return;  // unbalanced closing brace
    const GroupState closing = stack_.back();
    stack_.pop_back();
    GroupState& parent = st();
    switch (closing.dest) {
        case Dest::FontTable:
            if (fontId_ >= 0 && parent.dest == Dest::FontTable) {
                // a font whose group ends without ';'
                if (!fontNameText_.isEmpty()) commitFont();
            }
            if (parent.dest != Dest::FontTable) setFont(parent.c.font);
            break;
        case Dest::Pict:
            if (!picts_.empty()) {
                PictInfo pic = std::move(picts_.back());
                picts_.pop_back();
                if (parent.dest == Dest::Normal || parent.dest == Dest::ListText)
                    finishPicture(pic, closing.c);
            }
            break;
        case Dest::Pn:
            if (parent.dest != Dest::Pn) {
                parent.p.bullet = closing.p.bullet;
                parent.p.numbered = closing.p.numbered;
            }
            break;
        case Dest::ListText:
            if (parent.dest != Dest::ListText) {
                flushRun();
                listTextEnd_ = cursor_.position();
            }
            break;
        default:
            break;
    }
    if (parent.dest == Dest::Normal && closing.dest == Dest::Normal &&
        closing.c.field != parent.c.field && closing.c.field >= 0)
        flushRun();
}

void RtfReaderImpl::read(const QByteArray& rtf) {
    RtfTokenizer tz(rtf.constData(), std::size_t(rtf.size()));
    tz_ = &tz;
    stack_.reserve(64);
    stack_.push_back(GroupState());
    // one edit: the layout hears of the document once, at the end (tables
    // close and reopen it, see syncEdit)
    QTextCursor(doc_).beginEditBlock();
    bool done = false;
    while (!done) {
        const RtfToken t = tz.next();
        if (t.type == RtfToken::End) break;
        if (skipUnits_ > 0) {
            // fallback text after \uN: each unit counts one, a brace ends it
            if (t.type == RtfToken::Text) {
                if (t.word.size() <= std::size_t(skipUnits_)) {
                    skipUnits_ -= int(t.word.size());
                    continue;
                }
                std::string_view rest = t.word.substr(std::size_t(skipUnits_));
                skipUnits_ = 0;
                onText(rest);
                continue;
            }
            if (t.type == RtfToken::Hex || t.type == RtfToken::Symbol) {
                --skipUnits_;
                continue;
            }
            if (t.type == RtfToken::Word) {
                --skipUnits_;
                if (t.word == "bin" && t.hasParam) tz.binary(t.param);
                continue;
            }
            skipUnits_ = 0;  // a brace
        }
        switch (t.type) {
            case RtfToken::Open:
                flushBytes();
                ignorable_ = false;
                pushGroup();
                break;
            case RtfToken::Close:
                flushBytes();
                ignorable_ = false;
                if (stack_.size() == 2 && overflowDepth_ == 0) {
                    endProps_ = st().p;
                    haveEndProps_ = true;
                }
                popGroup();
                // what follows the document's closing brace is not part of it
                if (stack_.size() == 1 && overflowDepth_ == 0) done = true;
                break;
            case RtfToken::Word:
                flushBytes();
                onWord(t);
                ignorable_ = false;
                break;
            case RtfToken::Symbol:
                if (t.symbol == '*') {
                    ignorable_ = true;
                    break;
                }
                flushBytes();
                onSymbol(t.symbol);
                ignorable_ = false;
                break;
            case RtfToken::Hex:
                ignorable_ = false;
                onHex(t.hex);
                break;
            case RtfToken::Text:
                ignorable_ = false;
                onText(t.word);
                break;
            case RtfToken::End:
                break;
        }
    }
    flushBytes();
    finish();
    QTextCursor(doc_).endEditBlock();
    tz_ = nullptr;
}

void RtfReaderImpl::onSymbol(char c) {
    switch (c) {
        case '\\':
        case '{':
        case '}': {
            const char b[1] = {c};
            onText(std::string_view(b, 1));
            return;
        }
        case '~':
            emitChar(0x00A0);
            return;
        case '-':
            emitChar(0x00AD);
            return;
        case '_':
            emitChar(0x2011);
            return;
        case '\n':
            if (st().dest == Dest::Normal) endParagraph();
            return;
        case '\t':
            emitChar('\t');
            return;
        default:
            return;
    }
}

void RtfReaderImpl::onHex(unsigned char b) {
    GroupState& s = st();
    if (s.dest == Dest::Skip) return;
    if (s.dest == Dest::Pict) return;  // hex escapes carry no picture data
    if (s.symbolFont && (s.dest == Dest::Normal || s.dest == Dest::ListText)) {
        flushBytes();
        emitChar(symbolGlyph(b, s.symbolFont == 2));
        return;
    }
    bytes_.push_back(char(b));
}

void RtfReaderImpl::onText(std::string_view text) {
    GroupState& s = st();
    switch (s.dest) {
        case Dest::Skip:
        case Dest::ColorTable:
        case Dest::Pn:
            if (s.dest == Dest::ColorTable) {
                for (char ch : text) {
                    if (ch != ';') continue;
                    colors_.push_back(colorSet_ ? QColor(red_, green_, blue_) : QColor());
                    red_ = green_ = blue_ = 0;
                    colorSet_ = false;
                }
            }
            return;
        case Dest::Pict:
            if (!picts_.empty()) appendPictureHex(picts_.back(), text);
            return;
        case Dest::FontTable: {
            std::size_t start = 0;
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (text[i] != ';') continue;
                bytes_.append(text.data() + start, i - start);
                flushBytes();
                commitFont();
                start = i + 1;
            }
            bytes_.append(text.data() + start, text.size() - start);
            return;
        }
        default:
            break;
    }
    if (s.symbolFont && (s.dest == Dest::Normal || s.dest == Dest::ListText)) {
        flushBytes();
        for (char ch : text)
            emitChar(symbolGlyph(static_cast<unsigned char>(ch), s.symbolFont == 2));
        return;
    }
    bytes_.append(text.data(), text.size());
}

void RtfReaderImpl::onWord(const RtfToken& t) {
    const auto& map = keywords();
    auto it = map.find(t.word);
    const Kw kw = it == map.end() ? K_none : it->second.kw;
    GroupState& s = st();
    if (ignorable_ && !isKnownDestination(kw)) {
        s.dest = Dest::Skip;
        return;
    }
    if (s.dest == Dest::Skip && kw != K_ud) return;
    const int n = t.param;
    const bool on = !t.hasParam || n != 0;
    switch (kw) {
        case K_none:
            return;
        case K_ansi:
            ansiCodePage_ = 1252;
            break;
        case K_mac:
            ansiCodePage_ = 10000;
            break;
        case K_pc:
            ansiCodePage_ = 437;
            break;
        case K_pca:
            ansiCodePage_ = 850;
            break;
        case K_ansicpg:
            if (t.hasParam && platform::isKnownCodePage(n)) ansiCodePage_ = n;
            setFont(s.c.font);
            break;
        case K_deff:
            if (t.hasParam) defaultFont_ = n;
            if (s.c.font < 0) setFont(-1);
            break;
        case K_fonttbl:
            s.dest = Dest::FontTable;
            break;
        case K_colortbl:
            s.dest = Dest::ColorTable;
            break;
        case K_f:
            if (s.dest == Dest::FontTable) {
                fontId_ = n;
                FontInfo& f = fonts_[n];
                f = FontInfo();
                fontNameText_.clear();
            } else if (t.hasParam) {
                setFont(n);
            }
            break;
        case K_fcharset:
            if (s.dest == Dest::FontTable && fontId_ >= 0) {
                fonts_[fontId_].charset = n;
                fonts_[fontId_].codePage = codePageForCharset(n);
            }
            break;
        case K_fprq:
            if (s.dest == Dest::FontTable && fontId_ >= 0) fonts_[fontId_].pitch = n;
            break;
        case K_cpg:
            if (s.dest == Dest::FontTable && fontId_ >= 0 && platform::isKnownCodePage(n))
                fonts_[fontId_].codePage = n;
            break;
        case K_red:
            red_ = qBound(0, n, 255);
            colorSet_ = true;
            break;
        case K_green:
            green_ = qBound(0, n, 255);
            colorSet_ = true;
            break;
        case K_blue:
            blue_ = qBound(0, n, 255);
            colorSet_ = true;
            break;
        case K_skipdest:
            s.dest = Dest::Skip;
            break;
        case K_par:
        case K_sect:
            if (s.dest == Dest::Normal) endParagraph();
            break;
        case K_page:
            // a page break: the paragraph after it starts a new page
            if (s.dest != Dest::Normal) break;
            flushRun();
            if (cursor_.block().length() <= 1)
                pageBreakNext_ = true;  // nothing on this paragraph yet: it is the one
            else
                endParagraph(true);
            break;
        case K_line:
            emitChar(0x2028);
            break;
        case K_tab:
            emitChar('\t');
            break;
        case K_char:
            emitChar(it->second.ch);
            break;
        case K_u: {
            int v = n;
            if (v < 0) v += 65536;
            if (v >= 0 && v <= 0xFFFF) emitChar(char16_t(v));
            skipUnits_ = s.uc;
            break;
        }
        case K_uc:
            s.uc = qBound(0, n, 10);
            break;
        case K_bin: {
            const std::string_view data = tz_->binary(t.hasParam ? n : 0);
            if (s.dest == Dest::Pict && !picts_.empty())
                picts_.back().bytes.append(data.data(), qsizetype(data.size()));
            break;
        }
        case K_cell:
        case K_nestcell:
            if (s.dest == Dest::Normal) onCell(kw == K_nestcell);
            break;
        case K_row:
            if (s.dest == Dest::Normal) onRow();
            break;
        case K_nestrow:
            if (s.dest == Dest::Normal) emitChar(0x2028);
            break;
        case K_plain:
            plain();
            break;
        case K_fs:
            s.c.fs = t.hasParam ? qBound(2, n, 3276) : 24;
            break;
        case K_b:
            s.c.bold = on;
            break;
        case K_i:
            s.c.italic = on;
            break;
        case K_ul:
            s.c.underline = on;
            break;
        case K_ulnone:
            s.c.underline = false;
            break;
        case K_strike:
            s.c.strike = on;
            break;
        case K_sub:
            s.c.script = on ? -1 : 0;
            break;
        case K_super:
            s.c.script = on ? 1 : 0;
            break;
        case K_nosupersub:
            s.c.script = 0;
            break;
        case K_cf:
            s.c.fg = t.hasParam ? n : -1;
            break;
        case K_cb:
            s.c.bg = n > 0 ? n : -1;
            break;  // 0: none
        case K_v:
            s.c.hidden = on;
            break;
        case K_protect:
            s.c.prot = on;
            break;
        case K_disabled:
            s.c.disabled = on;
            break;
        case K_pard: {
            s.p = ParaProps();
            break;
        }
        case K_ql:
            s.p.align = 0;
            break;
        case K_qr:
            s.p.align = 1;
            break;
        case K_qc:
            s.p.align = 2;
            break;
        case K_qj:
            s.p.align = 3;
            break;
        case K_li:
            s.p.li = qBound(-31680, n, 31680);
            break;
        case K_ri:
            s.p.ri = qBound(-31680, n, 31680);
            break;
        case K_fi:
            s.p.fi = qBound(-31680, n, 31680);
            break;
        case K_sb:
            s.p.sb = qBound(0, n, 31680);
            break;
        case K_sa:
            s.p.sa = qBound(0, n, 31680);
            break;
        case K_sl:
            s.p.sl = qBound(-31680, n, 31680);
            break;
        case K_slmult:
            s.p.slmult = on;
            break;
        case K_intbl:
            s.p.intbl = on;
            break;
        case K_ls:
            s.p.ls = qMax(0, n);
            break;
        case K_pntext:
        case K_listtext:
            if (s.dest == Dest::Normal) {
                flushRun();
                s.dest = Dest::ListText;
                listTextStart_ = cursor_.position();
                listTextEnd_ = listTextStart_;
            } else {
                s.dest = Dest::Skip;
            }
            break;
        case K_pn:
            s.dest = Dest::Pn;
            break;
        case K_pnlvlblt:
            s.p.bullet = true;
            s.p.numbered = false;
            break;
        case K_pnlvlbody:
        case K_pnlvlcont:
            s.p.bullet = false;
            s.p.numbered = true;
            break;
        case K_trowd:
            cellxCount_ = 0;
            trleft_ = 0;
            cellx_.clear();
            break;
        case K_trleft:
            trleft_ = qBound(-31680, n, 31680);
            break;
        case K_cellx:
            ++cellxCount_;
            if (cellx_.size() < 64) cellx_.push_back(qBound(-31680, n, 31680));
            break;
        case K_pict:
            s.dest = Dest::Pict;
            picts_.emplace_back();
            break;
        case K_pngblip:
        case K_jpegblip:
        case K_dibitmap:
        case K_wbitmap:
        case K_emfblip:
        case K_wmetafile:
            if (s.dest == Dest::Pict && !picts_.empty()) {
                PictInfo& pic = picts_.back();
                pic.type = kw == K_pngblip     ? QStringLiteral("png")
                           : kw == K_jpegblip  ? QStringLiteral("jpeg")
                           : kw == K_emfblip   ? QStringLiteral("emf")
                           : kw == K_wmetafile ? QStringLiteral("wmf")
                           : kw == K_wbitmap   ? QStringLiteral("wbitmap")
                                               : QStringLiteral("dib");
                if (kw == K_wmetafile) pic.mapMode = n;
            }
            break;
        case K_picw:
        case K_pich:
        case K_picwgoal:
        case K_pichgoal:
        case K_picscalex:
        case K_picscaley:
            if (s.dest == Dest::Pict && !picts_.empty()) {
                PictInfo& pic = picts_.back();
                const int v = qBound(0, n, 1000000);
                if (kw == K_picw) pic.picw = v;
                if (kw == K_pich) pic.pich = v;
                if (kw == K_picwgoal) pic.goalw = v;
                if (kw == K_pichgoal) pic.goalh = v;
                if (kw == K_picscalex) pic.scalex = qBound(1, n, 10000);
                if (kw == K_picscaley) pic.scaley = qBound(1, n, 10000);
            }
            break;
        case K_shppict:
        case K_result:
            break;  // read as ordinary groups
        case K_nonshppict:
            s.dest = Dest::Skip;
            break;
        case K_field:
            if (fields_.size() < 100000) {
                fields_.emplace_back();
                s.openField = int(fields_.size()) - 1;
            }
            break;
        case K_fldinst:
            s.dest = s.openField >= 0 ? Dest::FieldInst : Dest::Skip;
            break;
        case K_fldrslt:
            if (s.openField >= 0) fieldResultStarts(s.openField);
            break;
        case K_upr:
            s.uprDest = s.dest;
            s.inUpr = true;
            s.dest = Dest::Skip;
            break;
        case K_ud:
            if (s.inUpr) {
                s.dest = s.uprDest;
                s.inUpr = false;
            }
            break;
    }
}

void readRtf(const QByteArray& rtf, QTextDocument* doc) {
    if (!doc) return;
    if (!looksLikeRtf(rtf)) throw RtfError("not an RTF document");
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    RtfReaderImpl reader(doc);
    reader.read(rtf);
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
}

QString rtfToPlainText(const QByteArray& rtf) {
    QTextDocument doc;
    readRtf(rtf, &doc);
    return plainTextOf(&doc);
}

bool looksLikeRtf(const QByteArray& bytes) {
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) i = 3;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

}  // namespace richtext
