// RTF reader: control words that set a state and carry no number.

#include "richtext/RtfKeywords.h"
#include "richtext/RtfReaderImpl.h"

namespace richtext {

namespace {

QString blipType(Blip b) {
    switch (b) {
        case Blip::Png:
            return QStringLiteral("png");
        case Blip::Jpeg:
            return QStringLiteral("jpeg");
        case Blip::Emf:
            return QStringLiteral("emf");
        case Blip::Wmf:
            return QStringLiteral("wmf");
        case Blip::Wbitmap:
            return QStringLiteral("wbitmap");
        case Blip::Dib:
            break;
    }
    return QStringLiteral("dib");
}

}  // namespace

void RtfReaderImpl::onFlag(const KwInfo& k, const RtfToken& t) {
    GroupState& s = st();
    switch (k.kw) {
        case Kw::ansi:
            ansiCodePage_ = 1252;
            break;
        case Kw::mac:
            ansiCodePage_ = 10000;
            break;
        case Kw::pc:
            ansiCodePage_ = 437;
            break;
        case Kw::pca:
            ansiCodePage_ = 850;
            break;
        case Kw::plain:
            plain();
            break;
        case Kw::ulnone:
            s.c.underline = false;
            break;
        case Kw::nosupersub:
            s.c.script = 0;
            break;
        case Kw::pard:
            s.p = ParaProps();
            break;
        case Kw::ql:
            s.p.align = 0;
            break;
        case Kw::qr:
            s.p.align = 1;
            break;
        case Kw::qc:
            s.p.align = 2;
            break;
        case Kw::qj:
            s.p.align = 3;
            break;
        case Kw::pnlvlblt:
            s.p.bullet = true;
            s.p.numbered = false;
            break;
        case Kw::pnlvlbody:
            s.p.bullet = false;
            s.p.numbered = true;
            break;
        case Kw::trowd:
            cellxCount_ = 0;
            trleft_ = 0;
            cellx_.clear();
            break;
        case Kw::blip:
            if (s.dest == Dest::Pict && !picts_.empty()) {
                PictInfo& pic = picts_.back();
                const Blip b = Blip(k.aux);
                pic.type = blipType(b);
                if (b == Blip::Wmf) pic.mapMode = t.param;  // \wmetafileN: the mapping mode
            }
            break;
        default:
            break;
    }
}

}  // namespace richtext
