// RTF reader: control words that switch a property on, or off with 0.

#include "richtext/RtfKeywords.h"
#include "richtext/RtfReaderImpl.h"

namespace richtext {

void RtfReaderImpl::onToggle(Kw kw, bool on) {
    GroupState& s = st();
    switch (kw) {
        case Kw::b:
            s.c.bold = on;
            break;
        case Kw::i:
            s.c.italic = on;
            break;
        case Kw::ul:
            s.c.underline = on;
            break;
        case Kw::strike:
            s.c.strike = on;
            break;
        case Kw::sub:
            s.c.script = on ? -1 : 0;
            break;
        case Kw::super:
            s.c.script = on ? 1 : 0;
            break;
        case Kw::v:
            s.c.hidden = on;
            break;
        case Kw::protect:
            s.c.prot = on;
            break;
        case Kw::disabled:
            s.c.disabled = on;
            break;
        case Kw::slmult:
            s.p.slmult = on;
            break;
        case Kw::intbl:
            s.p.intbl = on;
            break;
        default:
            break;
    }
}

}  // namespace richtext
