#pragma once
// The RTF control words the reader understands: each one's kind, and for
// words that carry a number its default (when the number is missing) and
// the range it is clamped to. Only the reader's files include this.

#include <climits>
#include <string_view>

namespace richtext {

enum class Kw : unsigned char {
    // header and the tables of the header
    ansi,
    mac,
    pc,
    pca,
    ansicpg,
    deff,
    fonttbl,
    colortbl,
    f,
    fcharset,
    fprq,
    cpg,
    red,
    green,
    blue,
    skipdest,
    // text
    par,
    page,
    line,
    tab,
    u,
    uc,
    bin,
    cell,
    row,
    nestcell,
    nestrow,
    character,  // a word that stands for one character (\emdash, \bullet, ...)
    // character formatting
    plain,
    fs,
    b,
    i,
    ul,
    ulnone,
    strike,
    sub,
    super,
    nosupersub,
    cf,
    cb,
    v,
    protect,
    disabled,
    // paragraph formatting
    pard,
    ql,
    qr,
    qc,
    qj,
    li,
    ri,
    fi,
    sb,
    sa,
    sl,
    slmult,
    intbl,
    ls,
    listtext,  // \pntext and \listtext
    pn,
    pnlvlblt,
    pnlvlbody,  // \pnlvlbody and \pnlvlcont
    trowd,
    cellx,
    trleft,
    // pictures, objects, fields
    pict,
    blip,  // picture type words; the entry's aux names the type
    picw,
    pich,
    picwgoal,
    pichgoal,
    picscalex,
    picscaley,
    shppict,  // \shppict and \result: read as ordinary groups
    nonshppict,
    field,
    fldinst,
    fldrslt,
    upr,
    ud,
};

enum class KwKind : unsigned char {
    Flag,         // sets a state; no number
    Toggle,       // on without a number or with a non-zero one, off with 0
    Value,        // carries a number: default when missing, clamped to [lo, hi]
    Destination,  // starts what the rest of the group is
    Symbol,       // stands for text or a break in the text
};

// Picture types of Kw::blip entries.
enum class Blip : unsigned char { Png, Jpeg, Emf, Wmf, Wbitmap, Dib };

// Numbers of the text model, in twips: the limits of indents, spacings and
// cell boundaries (22 inches).
inline constexpr int kMaxTwips = 31680;

struct KwInfo {
    Kw kw;
    KwKind kind;
    int def = 0;  // Value: the number when the word has none
    int lo = INT_MIN, hi = INT_MAX;
    char16_t aux = 0;            // Kw::character: the character; Kw::blip: its Blip
    bool readStarred = false;    // Destination: read even when marked \*
    bool seenInSkipped = false;  // still acted on inside a skipped group

    // The word's number: its default when it has none, clamped to the range.
    int value(bool hasParam, int param) const {
        const int n = hasParam ? param : def;
        return n < lo ? lo : n > hi ? hi : n;
    }
};

// The entry of a control word, nullptr when the reader ignores it.
const KwInfo* findKeyword(std::string_view word);

}  // namespace richtext
