// The reader's keyword table.

#include "richtext/RtfKeywords.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace richtext {

namespace {

struct Named {
    const char* name;
    KwInfo info;
};

constexpr KwInfo flag(Kw k, char16_t aux = 0) {
    return {k, KwKind::Flag, 0, INT_MIN, INT_MAX, aux};
}
constexpr KwInfo toggle(Kw k) {
    return {k, KwKind::Toggle};
}
constexpr KwInfo value(Kw k, int def = 0, int lo = INT_MIN, int hi = INT_MAX) {
    return {k, KwKind::Value, def, lo, hi};
}
constexpr KwInfo twips(Kw k) {
    return value(k, 0, -kMaxTwips, kMaxTwips);
}
constexpr KwInfo spacing(Kw k) {
    return value(k, 0, 0, kMaxTwips);
}
constexpr KwInfo picSize(Kw k) {
    return value(k, 0, 0, 1000000);
}
constexpr KwInfo picScale(Kw k) {
    return value(k, 0, 1, 10000);
}
constexpr KwInfo dest(Kw k, bool readStarred = false) {
    return {k, KwKind::Destination, 0, INT_MIN, INT_MAX, 0, readStarred};
}
constexpr KwInfo skipped() {
    return dest(Kw::skipdest);
}
constexpr KwInfo symbol(Kw k, char16_t ch = 0) {
    return {k, KwKind::Symbol, 0, INT_MIN, INT_MAX, ch};
}
constexpr KwInfo character(char16_t ch) {
    return symbol(Kw::character, ch);
}
constexpr KwInfo blip(Blip b) {
    return flag(Kw::blip, char16_t(b));
}

// clang-format off
const Named kKeywords[] = {
    // header and the tables of the header
    {"ansi", flag(Kw::ansi)}, {"mac", flag(Kw::mac)}, {"pc", flag(Kw::pc)}, {"pca", flag(Kw::pca)},
    {"ansicpg", value(Kw::ansicpg)}, {"deff", value(Kw::deff)},
    {"fonttbl", dest(Kw::fonttbl)}, {"colortbl", dest(Kw::colortbl)},
    {"f", value(Kw::f)}, {"fcharset", value(Kw::fcharset)}, {"fprq", value(Kw::fprq)},
    {"cpg", value(Kw::cpg)},
    {"red", value(Kw::red, 0, 0, 255)}, {"green", value(Kw::green, 0, 0, 255)},
    {"blue", value(Kw::blue, 0, 0, 255)},
    // destinations skipped whole
    {"stylesheet", skipped()}, {"info", skipped()}, {"listtable", skipped()},
    {"listoverridetable", skipped()}, {"revtbl", skipped()}, {"header", skipped()},
    {"footer", skipped()}, {"headerl", skipped()}, {"headerr", skipped()},
    {"headerf", skipped()}, {"footerl", skipped()}, {"footerr", skipped()},
    {"footerf", skipped()}, {"footnote", skipped()}, {"pntxta", skipped()},
    {"pntxtb", skipped()}, {"filetbl", skipped()}, {"rsidtbl", skipped()},
    {"author", skipped()}, {"operator", skipped()}, {"title", skipped()},
    {"subject", skipped()}, {"keywords", skipped()}, {"comment", skipped()},
    {"doccomm", skipped()}, {"objdata", skipped()}, {"objclass", skipped()},
    {"themedata", skipped()}, {"colorschememapping", skipped()},
    {"datastore", skipped()}, {"latentstyles", skipped()}, {"xmlnstbl", skipped()},
    {"generator", skipped()}, {"annotation", skipped()}, {"atnid", skipped()},
    {"atnauthor", skipped()}, {"txe", skipped()}, {"xe", skipped()},
    {"tc", skipped()}, {"bkmkstart", skipped()}, {"bkmkend", skipped()},
    {"nesttableprops", skipped()}, {"fldtype", skipped()}, {"datafield", skipped()},
    {"mmathPr", skipped()}, {"pgdsctbl", skipped()}, {"private", skipped()},
    {"template", skipped()},
    // text
    {"par", symbol(Kw::par)}, {"sect", symbol(Kw::par)}, {"page", symbol(Kw::page)},
    {"line", symbol(Kw::line)}, {"softline", symbol(Kw::line)}, {"tab", symbol(Kw::tab)},
    {"u", value(Kw::u)}, {"uc", value(Kw::uc, 0, 0, 10)}, {"bin", value(Kw::bin)},
    {"cell", symbol(Kw::cell)}, {"row", symbol(Kw::row)}, {"nestcell", symbol(Kw::nestcell)},
    {"nestrow", symbol(Kw::nestrow)},
    {"emdash", character(0x2014)}, {"endash", character(0x2013)}, {"emspace", character(0x2003)},
    {"enspace", character(0x2002)}, {"qmspace", character(0x2005)}, {"bullet", character(0x2022)},
    {"lquote", character(0x2018)}, {"rquote", character(0x2019)}, {"ldblquote", character(0x201C)},
    {"rdblquote", character(0x201D)}, {"zwj", character(0x200D)}, {"zwnj", character(0x200C)},
    {"ltrmark", character(0x200E)}, {"rtlmark", character(0x200F)},
    // character formatting
    {"plain", flag(Kw::plain)}, {"fs", value(Kw::fs, 24, 2, 3276)},
    {"b", toggle(Kw::b)}, {"i", toggle(Kw::i)},
    {"ul", toggle(Kw::ul)}, {"uld", toggle(Kw::ul)}, {"uldb", toggle(Kw::ul)},
    {"uldash", toggle(Kw::ul)}, {"uldashd", toggle(Kw::ul)}, {"uldashdd", toggle(Kw::ul)},
    {"ulhwave", toggle(Kw::ul)}, {"ulth", toggle(Kw::ul)}, {"ulw", toggle(Kw::ul)},
    {"ulwave", toggle(Kw::ul)}, {"ulldash", toggle(Kw::ul)}, {"ulthd", toggle(Kw::ul)},
    {"ulthdash", toggle(Kw::ul)}, {"ulnone", flag(Kw::ulnone)},
    {"strike", toggle(Kw::strike)}, {"striked", toggle(Kw::strike)},
    {"sub", toggle(Kw::sub)}, {"super", toggle(Kw::super)}, {"nosupersub", flag(Kw::nosupersub)},
    {"cf", value(Kw::cf, -1)},
    // background: 0 is none
    {"cb", value(Kw::cb)}, {"highlight", value(Kw::cb)}, {"chcbpat", value(Kw::cb)},
    {"v", toggle(Kw::v)}, {"protect", toggle(Kw::protect)}, {"disabled", toggle(Kw::disabled)},
    // paragraph formatting
    {"pard", flag(Kw::pard)}, {"ql", flag(Kw::ql)}, {"qr", flag(Kw::qr)}, {"qc", flag(Kw::qc)},
    {"qj", flag(Kw::qj)}, {"qd", flag(Kw::qj)},
    {"li", twips(Kw::li)}, {"ri", twips(Kw::ri)}, {"fi", twips(Kw::fi)},
    {"sb", spacing(Kw::sb)}, {"sa", spacing(Kw::sa)}, {"sl", twips(Kw::sl)},
    {"slmult", toggle(Kw::slmult)}, {"intbl", toggle(Kw::intbl)},
    {"ls", value(Kw::ls, 0, 0)},
    {"pntext", dest(Kw::listtext, true)}, {"listtext", dest(Kw::listtext, true)},
    {"pn", dest(Kw::pn, true)},
    {"pnlvlblt", flag(Kw::pnlvlblt)}, {"pnlvlbody", flag(Kw::pnlvlbody)},
    {"pnlvlcont", flag(Kw::pnlvlbody)},
    {"trowd", flag(Kw::trowd)}, {"cellx", twips(Kw::cellx)}, {"trleft", twips(Kw::trleft)},
    // pictures, objects, fields
    {"pict", dest(Kw::pict, true)},
    {"pngblip", blip(Blip::Png)}, {"jpegblip", blip(Blip::Jpeg)}, {"dibitmap", blip(Blip::Dib)},
    {"wbitmap", blip(Blip::Wbitmap)}, {"emfblip", blip(Blip::Emf)},
    {"wmetafile", blip(Blip::Wmf)},  // its number is the mapping mode
    {"picw", picSize(Kw::picw)}, {"pich", picSize(Kw::pich)},
    {"picwgoal", picSize(Kw::picwgoal)}, {"pichgoal", picSize(Kw::pichgoal)},
    {"picscalex", picScale(Kw::picscalex)}, {"picscaley", picScale(Kw::picscaley)},
    {"shppict", dest(Kw::shppict, true)}, {"nonshppict", dest(Kw::nonshppict)},
    {"result", dest(Kw::shppict, true)},
    {"field", dest(Kw::field)}, {"fldinst", dest(Kw::fldinst, true)},
    {"fldrslt", dest(Kw::fldrslt, true)}, {"upr", dest(Kw::upr)},
    // \ud ends the skipped branch of \upr, so it is seen there
    {"ud", {Kw::ud, KwKind::Destination, 0, INT_MIN, INT_MAX, 0, true, true}},
};
// clang-format on

}  // namespace

// Every control word of a document is looked up here: an open-addressing
// table keyed by an FNV-1a hash, four times as many slots as names, so a
// lookup is one hash over the word and nearly always one comparison.
namespace {
constexpr std::size_t kSlots = 1024;
static_assert(kSlots >= 4 * std::size(kKeywords), "keep the table sparse");

std::uint32_t hashWord(std::string_view w) {
    std::uint32_t h = 2166136261u;
    for (char c : w) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

struct Slot {
    std::string_view name;
    const KwInfo* info = nullptr;
};

const std::array<Slot, kSlots>& keywordTable() {
    static const std::array<Slot, kSlots> table = [] {
        std::array<Slot, kSlots> t{};
        for (const Named& k : kKeywords) {
            const std::string_view name(k.name);
            std::size_t i = hashWord(name) & (kSlots - 1);
            while (t[i].info && t[i].name != name) i = (i + 1) & (kSlots - 1);
            t[i] = Slot{name, &k.info};  // a name listed twice: the later entry holds
        }
        return t;
    }();
    return table;
}
}  // namespace

const KwInfo* findKeyword(std::string_view word) {
    const auto& t = keywordTable();
    for (std::size_t i = hashWord(word) & (kSlots - 1); t[i].info; i = (i + 1) & (kSlots - 1))
        if (t[i].name.size() == word.size() &&
            std::memcmp(t[i].name.data(), word.data(), word.size()) == 0)
            return t[i].info;
    return nullptr;
}

}  // namespace richtext
