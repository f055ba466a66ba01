// RTF reader: control words that say what the rest of their group is.

#include "richtext/RtfKeywords.h"
#include "richtext/RtfReaderImpl.h"

namespace richtext {

void RtfReaderImpl::onDestination(Kw kw) {
    GroupState& s = st();
    switch (kw) {
        case Kw::fonttbl:
            s.dest = Dest::FontTable;
            break;
        case Kw::colortbl:
            s.dest = Dest::ColorTable;
            break;
        case Kw::skipdest:
        case Kw::nonshppict:
            s.dest = Dest::Skip;
            break;
        case Kw::listtext:
            if (s.dest == Dest::Normal) {
                flushRun();
                s.dest = Dest::ListText;
                listTextStart_ = cursor_.position();
                listTextEnd_ = listTextStart_;
            } else {
                s.dest = Dest::Skip;
            }
            break;
        case Kw::pn:
            s.dest = Dest::Pn;
            break;
        case Kw::pict:
            s.dest = Dest::Pict;
            picts_.emplace_back();
            break;
        case Kw::shppict:
            break;  // read as an ordinary group
        case Kw::field:
            if (fields_.size() < 100000) {
                fields_.emplace_back();
                s.openField = int(fields_.size()) - 1;
            }
            break;
        case Kw::fldinst:
            s.dest = s.openField >= 0 ? Dest::FieldInst : Dest::Skip;
            break;
        case Kw::fldrslt:
            if (s.openField >= 0) fieldResultStarts(s.openField);
            break;
        case Kw::upr:
            // {\upr ansi-branch {\*\ud unicode-branch}}: only the second is read
            s.uprDest = s.dest;
            s.inUpr = true;
            s.dest = Dest::Skip;
            break;
        case Kw::ud:
            if (s.inUpr) {
                s.dest = s.uprDest;
                s.inUpr = false;
            }
            break;
        default:
            break;
    }
}

}  // namespace richtext
