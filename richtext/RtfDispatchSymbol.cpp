// RTF reader: control words and control symbols that stand for text or a
// break in the text.

#include <QTextBlock>

#include "richtext/RtfKeywords.h"
#include "richtext/RtfReaderImpl.h"

namespace richtext {

void RtfReaderImpl::onSymbolWord(const KwInfo& k) {
    const bool normal = st().dest == Dest::Normal;
    switch (k.kw) {
        case Kw::par:
            if (normal) endParagraph();
            break;
        case Kw::page:
            // a page break: the paragraph after it starts a new page
            if (!normal) break;
            flushRun();
            if (cursor_.block().length() <= 1)
                pageBreakNext_ = true;  // nothing on this paragraph yet: it is the one
            else
                endParagraph(true);
            break;
        case Kw::line:
            emitChar(0x2028);
            break;
        case Kw::tab:
            emitChar('\t');
            break;
        case Kw::character:
            emitChar(k.aux);
            break;
        case Kw::cell:
        case Kw::nestcell:
            if (normal) onCell(k.kw == Kw::nestcell);
            break;
        case Kw::row:
            if (normal) onRow();
            break;
        case Kw::nestrow:
            if (normal) emitChar(0x2028);
            break;
        default:
            break;
    }
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

}  // namespace richtext
