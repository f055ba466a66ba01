#include "richtext/core/RtfPlainText.h"

#include <iconv.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "richtext/RtfTokenizer.h"

namespace richtext {

namespace {

const char* iconvName(int codePage) {
    switch (codePage) {
        case 936:
            return "CP936";
        case 950:
            return "CP950";
        case 932:
            return "CP932";
        case 949:
            return "CP949";
        case 1361:
            return "JOHAB";
        case 874:
            return "CP874";
        case 437:
            return "CP437";
        case 10000:
            return "MACINTOSH";
        case 1250:
        case 1251:
        case 1252:
        case 1253:
        case 1254:
        case 1255:
        case 1256:
        case 1257:
        case 1258:
            return nullptr;  // named below
        default:
            return nullptr;  // "CP<n>"; a code page iconv does not know reads as Latin-1
    }
}

int codePageOfCharset(int charset) {
    switch (charset) {
        case 0:
            return 1252;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        default:
            return 0;  // the document's code page
    }
}

// One converter per code page for the thread's life: opening iconv for every
// run of bytes would cost more than the conversion.
class Decoders {
  public:
    ~Decoders() {
        for (auto& [cp, cd] : map_)
            if (cd != iconv_t(-1)) iconv_close(cd);
    }
    void append(int codePage, const std::string& bytes, QString* out) {
        bool ascii = true;
        for (char c : bytes)
            if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
        if (ascii) {
            out->append(QLatin1StringView(bytes.data(), qsizetype(bytes.size())));
            return;
        }
        iconv_t cd = get(codePage);
        if (cd == iconv_t(-1)) {
            out->append(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())));
            return;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::vector<char16_t> buf(bytes.size() + 4);
        char* in = const_cast<char*>(bytes.data());
        size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char* o = reinterpret_cast<char*>(buf.data());
            size_t outLeft = buf.size() * sizeof(char16_t);
            const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
            const qsizetype produced = qsizetype((reinterpret_cast<char16_t*>(o) - buf.data()));
            out->append(QStringView(buf.data(), produced));
            if (r == size_t(-1)) {
                if (errno == E2BIG) continue;
                // a byte that is no character of the code page: skip it
                ++in;
                --inLeft;
            }
        }
    }

  private:
    iconv_t get(int codePage) {
        auto it = map_.find(codePage);
        if (it != map_.end()) return it->second;
        std::string name;
        if (const char* n = iconvName(codePage))
            name = n;
        else
            name = "CP" + std::to_string(codePage);
        iconv_t cd = iconv_open("UTF-16LE", name.c_str());
        map_.emplace(codePage, cd);
        return cd;
    }
    std::unordered_map<int, iconv_t> map_;
};

Decoders& decoders() {
    static thread_local Decoders d;
    return d;
}

struct Group {
    bool skip = false;       // text of this group is not shown
    bool fontTable = false;  // inside \fonttbl
    bool upr = false;        // inside {\upr ...}: only the \ud branch counts
    bool hidden = false;     // \v
    int font = -1;           // -1: the default font
    int uc = 1;
};

bool isSkippedDestination(std::string_view w) {
    static const char* const names[] = {"stylesheet",
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
                                        "template",
                                        "colortbl",
                                        "fldinst",
                                        "pict",
                                        "nonshppict",
                                        "pntext",
                                        "listtext",
                                        "pn"};
    for (const char* n : names)
        if (w == n) return true;
    return false;
}

// Destinations read even when marked \*.
bool isReadDestination(std::string_view w) {
    return w == "shppict" || w == "ud" || w == "result" || w == "fldrslt";
}

class Pass {
  public:
    QString run(const QByteArray& rtf) {
        RtfTokenizer tz(rtf.constData(), std::size_t(rtf.size()));
        stack_.reserve(32);
        stack_.push_back(Group());
        bool ignorable = false;
        int skipUnits = 0;
        for (;;) {
            const RtfToken t = tz.next();
            if (t.type == RtfToken::End) break;
            if (skipUnits > 0) {
                if (t.type == RtfToken::Text) {
                    if (t.word.size() <= std::size_t(skipUnits)) {
                        skipUnits -= int(t.word.size());
                        continue;
                    }
                    const std::string_view rest = t.word.substr(std::size_t(skipUnits));
                    skipUnits = 0;
                    text(rest);
                    continue;
                }
                if (t.type == RtfToken::Hex || t.type == RtfToken::Symbol ||
                    t.type == RtfToken::Word) {
                    --skipUnits;
                    if (t.type == RtfToken::Word && t.word == "bin" && t.hasParam)
                        tz.binary(t.param);
                    continue;
                }
                skipUnits = 0;
            }
            switch (t.type) {
                case RtfToken::Open:
                    ignorable = false;
                    if (stack_.size() < 4096)
                        stack_.push_back(stack_.back());
                    else
                        ++overflow_;
                    break;
                case RtfToken::Close:
                    ignorable = false;
                    flush();
                    if (overflow_ > 0) {
                        --overflow_;
                    } else if (stack_.size() > 1) {
                        stack_.pop_back();
                        if (stack_.size() == 1) return finish();
                    }
                    break;
                case RtfToken::Symbol:
                    if (t.symbol == '*') {
                        ignorable = true;
                        break;
                    }
                    ignorable = false;
                    symbol(t.symbol);
                    break;
                case RtfToken::Word:
                    if (ignorable && !isReadDestination(t.word)) {
                        g().skip = true;
                    } else if (t.word == "bin") {
                        flush();
                        if (t.hasParam) tz.binary(t.param);
                    } else if (t.word == "u" && t.hasParam) {
                        if (shows()) {
                            flush();
                            out_.append(QChar(char16_t(t.param < 0 ? t.param + 65536 : t.param)));
                        }
                        skipUnits = g().uc;
                    } else {
                        word(t);
                    }
                    ignorable = false;
                    break;
                case RtfToken::Hex: {
                    ignorable = false;
                    const char byte = char(t.hex);
                    text(std::string_view(&byte, 1));
                    break;
                }
                case RtfToken::Text:
                    ignorable = false;
                    text(t.word);
                    break;
                case RtfToken::End:
                    break;
            }
        }
        return finish();
    }

  private:
    Group& g() { return stack_.back(); }
    bool shows() const {
        const Group& s = stack_.back();
        return !s.skip && !s.fontTable && !s.hidden;
    }

    int codePageOf(int font) const {
        const int f = font < 0 ? deff_ : font;
        auto it = fonts_.find(f);
        if (it != fonts_.end() && it->second > 0) return it->second;
        return ansiCodePage_;
    }

    void flush() {
        if (bytes_.empty()) return;
        decoders().append(codePageOf(bytesFont_), bytes_, &out_);
        bytes_.clear();
    }

    void text(std::string_view s) {
        if (s.empty()) return;
        Group& c = g();
        if (c.fontTable) return;
        if (!shows()) return;
        if (!bytes_.empty() && bytesFont_ != c.font) flush();
        bytesFont_ = c.font;
        bytes_.append(s.data(), s.size());
    }

    void put(QChar ch) {
        if (!shows()) return;
        flush();
        out_.append(ch);
    }

    void symbol(char c) {
        switch (c) {
            case '\\':
            case '{':
            case '}': {
                const char b[1] = {c};
                text(std::string_view(b, 1));
                return;
            }
            case '~':
                put(QChar(0x00A0));
                return;
            case '_':
                put(QChar(u'-'));
                return;
            case '\n':
                put(QChar(u'\n'));
                return;
            case '\t':
                put(QChar(u'\t'));
                return;
            default:
                return;  // \- (optional hyphen) and the rest show nothing
        }
    }

    void word(const RtfToken& t) {
        Group& c = g();
        const std::string_view w = t.word;
        if (c.fontTable) {
            if (w == "f" && t.hasParam) {
                tableFont_ = t.param;
                fonts_[tableFont_] = 0;
            } else if (w == "fcharset" && tableFont_ >= 0) {
                fonts_[tableFont_] = codePageOfCharset(t.param);
            } else if (w == "cpg" && tableFont_ >= 0 && t.param > 0) {
                fonts_[tableFont_] = t.param;
            }
            return;
        }
        if (w == "ud") {
            if (c.upr) c.skip = false;
            return;
        }
        if (c.skip) return;
        if (w == "par" || w == "sect" || w == "page" || w == "line" || w == "softline" ||
            w == "row" || w == "nestrow") {
            put(QChar(u'\n'));
        } else if (w == "trowd") {
            // a table starts on a line of its own
            flush();
            if (shows() && !out_.isEmpty() && !out_.endsWith(u'\n')) out_.append(u'\n');
        } else if (w == "tab" || w == "cell" || w == "nestcell") {
            put(QChar(u'\t'));
        } else if (w == "fonttbl") {
            c.fontTable = true;
        } else if (w == "upr") {
            c.upr = true;
            c.skip = true;
        } else if (isSkippedDestination(w)) {
            c.skip = true;
        } else if (w == "f" && t.hasParam) {
            c.font = t.param;
        } else if (w == "plain") {
            c.font = -1;
            c.hidden = false;
        } else if (w == "v") {
            c.hidden = !t.hasParam || t.param != 0;
        } else if (w == "uc" && t.hasParam) {
            c.uc = t.param < 0 ? 0 : t.param;
        } else if (w == "deff" && t.hasParam) {
            deff_ = t.param;
        } else if (w == "ansicpg" && t.hasParam && t.param > 0) {
            ansiCodePage_ = t.param;
        } else if (w == "emdash") {
            put(QChar(0x2014));
        } else if (w == "endash") {
            put(QChar(0x2013));
        } else if (w == "bullet") {
            put(QChar(0x2022));
        } else if (w == "lquote") {
            put(QChar(0x2018));
        } else if (w == "rquote") {
            put(QChar(0x2019));
        } else if (w == "ldblquote") {
            put(QChar(0x201C));
        } else if (w == "rdblquote") {
            put(QChar(0x201D));
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            put(QChar(u' '));
        }
    }

    QString finish() {
        flush();
        return out_;
    }

    std::vector<Group> stack_;
    int overflow_ = 0;
    std::string bytes_;
    int bytesFont_ = -1;
    QString out_;
    std::unordered_map<int, int> fonts_;  // font number -> code page (0: the document's)
    int tableFont_ = -1;
    int deff_ = 0;
    int ansiCodePage_ = 936;
};

}  // namespace

QString rtfPlainText(const QByteArray& rtf) {
    Pass p;
    return p.run(rtf);
}

bool startsAsRtf(const QByteArray& bytes) {
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) i = 3;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\t'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

}  // namespace richtext
