// RTF reader: control words that carry a number. The keyword table gives
// each one's default and range; value() applies them.

#include "platform/core/TextCodec.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfKeywords.h"
#include "richtext/RtfReaderImpl.h"

namespace richtext {

void RtfReaderImpl::onValue(const KwInfo& k, const RtfToken& t) {
    GroupState& s = st();
    const int v = k.value(t.hasParam, t.param);
    switch (k.kw) {
        // header and the tables of the header
        case Kw::ansicpg:
            if (t.hasParam && platform::isKnownCodePage(v)) ansiCodePage_ = v;
            setFont(s.c.font);
            break;
        case Kw::deff:
            if (t.hasParam) defaultFont_ = v;
            if (s.c.font < 0) setFont(-1);
            break;
        case Kw::f:
            if (s.dest == Dest::FontTable) {
                fontId_ = v;
                fonts_[v] = FontInfo();
                fontNameText_.clear();
            } else if (t.hasParam) {
                setFont(v);
            }
            break;
        case Kw::fcharset:
            if (s.dest == Dest::FontTable && fontId_ >= 0) {
                fonts_[fontId_].charset = v;
                fonts_[fontId_].codePage = codePageForCharset(v);
            }
            break;
        case Kw::fprq:
            if (s.dest == Dest::FontTable && fontId_ >= 0) fonts_[fontId_].pitch = v;
            break;
        case Kw::cpg:
            if (s.dest == Dest::FontTable && fontId_ >= 0 && platform::isKnownCodePage(v))
                fonts_[fontId_].codePage = v;
            break;
        case Kw::red:
            red_ = v;
            colorSet_ = true;
            break;
        case Kw::green:
            green_ = v;
            colorSet_ = true;
            break;
        case Kw::blue:
            blue_ = v;
            colorSet_ = true;
            break;
        // text
        case Kw::u: {
            const int c = v < 0 ? v + 65536 : v;
            if (c >= 0 && c <= 0xFFFF) emitChar(char16_t(c));
            skipUnits_ = s.uc;
            break;
        }
        case Kw::uc:
            s.uc = v;
            break;
        case Kw::bin: {
            const std::string_view data = tz_->binary(v);
            if (s.dest == Dest::Pict && !picts_.empty())
                picts_.back().bytes.append(data.data(), qsizetype(data.size()));
            break;
        }
        // character formatting
        case Kw::fs:
            s.c.fs = v;
            break;
        case Kw::cf:
            s.c.fg = v;
            break;
        case Kw::cb:
            s.c.bg = v > 0 ? v : -1;  // 0: none
            break;
        // paragraph formatting
        case Kw::li:
            s.p.li = v;
            break;
        case Kw::ri:
            s.p.ri = v;
            break;
        case Kw::fi:
            s.p.fi = v;
            break;
        case Kw::sb:
            s.p.sb = v;
            break;
        case Kw::sa:
            s.p.sa = v;
            break;
        case Kw::sl:
            s.p.sl = v;
            break;
        case Kw::ls:
            s.p.ls = v;
            break;
        case Kw::trleft:
            trleft_ = v;
            break;
        case Kw::cellx:
            ++cellxCount_;
            if (cellx_.size() < 64) cellx_.push_back(v);
            break;
        // pictures
        case Kw::picw:
        case Kw::pich:
        case Kw::picwgoal:
        case Kw::pichgoal:
        case Kw::picscalex:
        case Kw::picscaley: {
            if (s.dest != Dest::Pict || picts_.empty()) break;
            PictInfo& pic = picts_.back();
            int& field = k.kw == Kw::picw        ? pic.picw
                         : k.kw == Kw::pich      ? pic.pich
                         : k.kw == Kw::picwgoal  ? pic.goalw
                         : k.kw == Kw::pichgoal  ? pic.goalh
                         : k.kw == Kw::picscalex ? pic.scalex
                                                 : pic.scaley;
            field = v;
            break;
        }
        default:
            break;
    }
}

}  // namespace richtext
