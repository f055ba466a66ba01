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

const std::unordered_map<std::string_view, KwEntry>& keywords() {
    static const std::unordered_map<std::string_view, KwEntry> map = [] {
        std::unordered_map<std::string_view, KwEntry> m;
        auto add = [&m](const char* name, Kw k, char16_t ch = 0) { m[name] = {k, ch}; };
        add("ansi", K_ansi);
        add("mac", K_mac);
        add("pc", K_pc);
        add("pca", K_pca);
        add("ansicpg", K_ansicpg);
        add("deff", K_deff);
        add("fonttbl", K_fonttbl);
        add("colortbl", K_colortbl);
        add("f", K_f);
        add("fcharset", K_fcharset);
        add("fprq", K_fprq);
        add("cpg", K_cpg);
        add("red", K_red);
        add("green", K_green);
        add("blue", K_blue);
        for (const char* d : {"stylesheet",
                              "info",
                              "listtable",
                              "listoverridetable",
                              "revtbl",
                              "header",
                              "footer",
                              "headerl",
                              "headerr",
                              "headerf",
                              "footerl",
                              "footerr",
                              "footerf",
                              "footnote",
                              "pntxta",
                              "pntxtb",
                              "filetbl",
                              "rsidtbl",
                              "author",
                              "operator",
                              "title",
                              "subject",
                              "keywords",
                              "comment",
                              "doccomm",
                              "objdata",
                              "objclass",
                              "themedata",
                              "colorschememapping",
                              "datastore",
                              "latentstyles",
                              "xmlnstbl",
                              "generator",
                              "annotation",
                              "atnid",
                              "atnauthor",
                              "txe",
                              "xe",
                              "tc",
                              "bkmkstart",
                              "bkmkend",
                              "nesttableprops",
                              "fldtype",
                              "datafield",
                              "mmathPr",
                              "pgdsctbl",
                              "private",
                              "template"})
            add(d, K_skipdest);
        add("par", K_par);
        add("sect", K_sect);
        add("page", K_page);
        add("line", K_line);
        add("softline", K_line);
        add("tab", K_tab);
        add("u", K_u);
        add("uc", K_uc);
        add("bin", K_bin);
        add("cell", K_cell);
        add("row", K_row);
        add("nestcell", K_nestcell);
        add("nestrow", K_nestrow);
        add("emdash", K_char, 0x2014);
        add("endash", K_char, 0x2013);
        add("emspace", K_char, 0x2003);
        add("enspace", K_char, 0x2002);
        add("qmspace", K_char, 0x2005);
        add("bullet", K_char, 0x2022);
        add("lquote", K_char, 0x2018);
        add("rquote", K_char, 0x2019);
        add("ldblquote", K_char, 0x201C);
        add("rdblquote", K_char, 0x201D);
        add("zwj", K_char, 0x200D);
        add("zwnj", K_char, 0x200C);
        add("ltrmark", K_char, 0x200E);
        add("rtlmark", K_char, 0x200F);
        add("plain", K_plain);
        add("fs", K_fs);
        add("b", K_b);
        add("i", K_i);
        for (const char* u : {"ul", "uld", "uldb", "uldash", "uldashd", "uldashdd", "ulhwave",
                              "ulth", "ulw", "ulwave", "ulldash", "ulthd", "ulthdash"})
            add(u, K_ul);
        add("ulnone", K_ulnone);
        add("strike", K_strike);
        add("striked", K_strike);
        add("sub", K_sub);
        add("super", K_super);
        add("nosupersub", K_nosupersub);
        add("cf", K_cf);
        add("cb", K_cb);
        add("highlight", K_cb);
        add("chcbpat", K_cb);
        add("v", K_v);
        add("protect", K_protect);
        add("disabled", K_disabled);
        add("pard", K_pard);
        add("ql", K_ql);
        add("qr", K_qr);
        add("qc", K_qc);
        add("qj", K_qj);
        add("qd", K_qj);
        add("li", K_li);
        add("ri", K_ri);
        add("fi", K_fi);
        add("sb", K_sb);
        add("sa", K_sa);
        add("sl", K_sl);
        add("slmult", K_slmult);
        add("intbl", K_intbl);
        add("ls", K_ls);
        add("pntext", K_pntext);
        add("listtext", K_listtext);
        add("pn", K_pn);
        add("pnlvlblt", K_pnlvlblt);
        add("pnlvlbody", K_pnlvlbody);
        add("pnlvlcont", K_pnlvlcont);
        add("trowd", K_trowd);
        add("cellx", K_cellx);
        add("pict", K_pict);
        add("pngblip", K_pngblip);
        add("jpegblip", K_jpegblip);
        add("dibitmap", K_dibitmap);
        add("wbitmap", K_wbitmap);
        add("emfblip", K_emfblip);
        add("wmetafile", K_wmetafile);
        add("picw", K_picw);
        add("pich", K_pich);
        add("picwgoal", K_picwgoal);
        add("pichgoal", K_pichgoal);
        add("picscalex", K_picscalex);
        add("picscaley", K_picscaley);
        add("shppict", K_shppict);
        add("nonshppict", K_nonshppict);
        add("result", K_result);
        add("field", K_field);
        add("fldinst", K_fldinst);
        add("fldrslt", K_fldrslt);
        add("upr", K_upr);
        add("ud", K_ud);
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
    for (;;) {
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
                popGroup();
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
        case Dest::Pict: {
            if (picts_.empty()) return;
            PictInfo& pic = picts_.back();
            for (char ch : text) {
                int v;
                if (ch >= '0' && ch <= '9')
                    v = ch - '0';
                else if (ch >= 'a' && ch <= 'f')
                    v = ch - 'a' + 10;
                else if (ch >= 'A' && ch <= 'F')
                    v = ch - 'A' + 10;
                else
                    continue;
                if (pic.nibble < 0) {
                    pic.nibble = v;
                } else {
                    pic.bytes.append(char(pic.nibble * 16 + v));
                    pic.nibble = -1;
                }
            }
            return;
        }
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
            if (s.dest == Dest::Normal) endParagraph(true);
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
            break;
        case K_cellx:
            ++cellxCount_;
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
    return doc.toPlainText();
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
