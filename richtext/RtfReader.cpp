// RTF reader: tokens to group states. Control words are looked up in the
// keyword table (RtfKeywords.cpp) and handled by kind in RtfDispatch*.cpp;
// the document side is in RtfReaderDoc.cpp.

#include <QTextDocument>
#include <string_view>
#include <utility>

#include "platform/core/TextCodec.h"
#include "richtext/Rtf.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfKeywords.h"
#include "richtext/RtfReaderImpl.h"

namespace richtext {

namespace {

constexpr int kMaxDepth = 1000;  // deeper groups share the innermost state

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
    stack_.push_back(stack_.back());  // push_back copies its argument before growing
}

void RtfReaderImpl::popGroup() {
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.size() <= 1) return;  // unbalanced closing brace
    const GroupState closing = std::move(stack_.back());
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
    const KwInfo* k = findKeyword(t.word);
    GroupState& s = st();
    if (ignorable_ && !(k && k->readStarred)) {
        s.dest = Dest::Skip;
        return;
    }
    if (!k || (s.dest == Dest::Skip && !k->seenInSkipped)) return;
    switch (k->kind) {
        case KwKind::Flag:
            onFlag(*k, t);
            break;
        case KwKind::Toggle:
            onToggle(k->kw, !t.hasParam || t.param != 0);
            break;
        case KwKind::Value:
            onValue(*k, t);
            break;
        case KwKind::Destination:
            onDestination(k->kw);
            break;
        case KwKind::Symbol:
            onSymbolWord(*k);
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
