#include "platform/core/TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

namespace platform {
namespace {

// iconv name of a Windows code page.
std::string iconvName(int codePage) {
    switch (codePage) {
        case 936:
            return "CP936";
        case 950:
            return "BIG5";
        case 932:
            return "CP932";
        case 949:
            return "CP949";
        case 874:
            return "CP874";
        case 437:
            return "CP437";
        case 850:
            return "CP850";
        case 866:
            return "CP866";
        case 10000:
            return "MACINTOSH";
        case 65001:
            return "UTF-8";
        case 20127:
            return "ASCII";
        case 28591:
            return "ISO-8859-1";
        default:
            if (codePage >= 1250 && codePage <= 1258) return "CP" + std::to_string(codePage);
            return "CP" + std::to_string(codePage);
    }
}

bool probe(int codePage) {
    static std::mutex m;
    static std::unordered_map<int, bool> known;
    std::lock_guard<std::mutex> lock(m);
    auto it = known.find(codePage);
    if (it != known.end()) return it->second;
    iconv_t cd = iconv_open("UTF-16LE", iconvName(codePage).c_str());
    bool ok = cd != reinterpret_cast<iconv_t>(-1);
    if (ok) iconv_close(cd);
    known[codePage] = ok;
    return ok;
}

// Windows-1252 for bytes 0x80..0x9F, Latin-1 above.
QString decode1252Fallback(const QByteArray& bytes) {
    static const char16_t k80[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0)
            out.append(QChar(k80[b - 0x80]));
        else
            out.append(QChar(b));
    }
    return out;
}

// The converters of one thread, one per code page and direction, opened on
// first use and kept: opening one loads the converter module again each
// time, which costs more than converting a paragraph.
class Converters {
  public:
    ~Converters() {
        for (auto& [key, cd] : open_)
            if (cd != invalid()) iconv_close(cd);
    }
    // A converter in its initial state, or (iconv_t)-1.
    iconv_t get(int codePage, bool decode) {
        const long long key = (static_cast<long long>(codePage) << 1) | (decode ? 1 : 0);
        auto it = open_.find(key);
        if (it == open_.end()) {
            const std::string name = iconvName(codePage);
            iconv_t cd = decode ? iconv_open("UTF-16LE", name.c_str())
                                : iconv_open(name.c_str(), "UTF-16LE");
            it = open_.emplace(key, cd).first;
        }
        if (it->second != invalid()) iconv(it->second, nullptr, nullptr, nullptr, nullptr);
        return it->second;
    }
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

  private:
    std::unordered_map<long long, iconv_t> open_;
};

// Converters for Vietnamese and Hebrew hold the last character back until
// they know no combining mark follows: this writes it out (and leaves the
// converter in its initial state).
void flushDecoder(iconv_t cd, QString& out) {
    char buf[64];
    char* o = buf;
    size_t oLeft = sizeof(buf);
    iconv(cd, nullptr, nullptr, &o, &oLeft);
    out.append(reinterpret_cast<const QChar*>(buf), static_cast<qsizetype>((o - buf) / 2));
}

iconv_t converter(int codePage, bool decode) {
    thread_local Converters converters;
    return converters.get(codePage, decode);
}

}  // namespace

bool isKnownCodePage(int codePage) {
    return probe(codePage);
}

QString decodeCodePage(const QByteArray& bytes, int codePage) {
    if (bytes.isEmpty()) return {};
    if (codePage == 65001) return QString::fromUtf8(bytes);
    if (!probe(codePage)) return decode1252Fallback(bytes);
    iconv_t cd = converter(codePage, true);
    if (cd == reinterpret_cast<iconv_t>(-1)) return decode1252Fallback(bytes);

    QString out;
    out.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    char buf[4096];
    while (inLeft > 0) {
        char* o = buf;
        size_t oLeft = sizeof(buf);
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        int err = errno;
        out.append(reinterpret_cast<const QChar*>(buf), static_cast<qsizetype>((o - buf) / 2));
        if (r == static_cast<size_t>(-1)) {
            if (err == E2BIG) continue;
            // The character held back before the bad byte comes first.
            flushDecoder(cd, out);
            // Some converters (glibc's CP949) take the last bytes and still
            // report them invalid: nothing is left to skip.
            if (inLeft == 0) {
                out.append(QChar(0xFFFD));
                break;
            }
            // Invalid or incomplete sequence: one replacement char per bad byte.
            if (codePage == 936 && static_cast<unsigned char>(*in) == 0x80) {
                out.append(QChar(0x20AC));
            } else {
                out.append(QChar(0xFFFD));
            }
            ++in;
            --inLeft;
        }
    }
    flushDecoder(cd, out);
    return out;
}

QByteArray encodeCodePage(const QString& text, int codePage, bool* ok) {
    if (ok) *ok = true;
    if (text.isEmpty()) return {};
    if (codePage == 65001) return text.toUtf8();
    iconv_t cd = converter(codePage, false);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        if (ok) *ok = false;
        return text.toLatin1();
    }
    QByteArray out;
    out.reserve(text.size() * 2);
    char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.constData()));
    size_t inLeft = static_cast<size_t>(text.size()) * 2;
    char buf[4096];
    while (inLeft > 0) {
        char* o = buf;
        size_t oLeft = sizeof(buf);
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        int err = errno;
        out.append(buf, static_cast<qsizetype>(o - buf));
        if (r == static_cast<size_t>(-1)) {
            if (err == E2BIG) continue;
            if (inLeft == 0) {  // the input was taken, yet reported invalid
                out.append('?');
                if (ok) *ok = false;
                break;
            }
            // Character the code page cannot hold: write '?' and skip it
            // (two UTF-16 units for a surrogate pair).
            if (codePage == 936 && inLeft >= 2 &&
                (static_cast<unsigned char>(in[0]) | (static_cast<unsigned char>(in[1]) << 8)) ==
                    0x20AC) {
                out.append('\x80');
            } else {
                out.append('?');
                if (ok) *ok = false;
            }
            unsigned u =
                static_cast<unsigned char>(in[0]) | (static_cast<unsigned char>(in[1]) << 8);
            size_t skip = (u >= 0xD800 && u < 0xDC00 && inLeft >= 4) ? 4 : 2;
            if (skip > inLeft) skip = inLeft;
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

bool canEncode(char32_t ucs4, int codePage) {
    if (ucs4 < 0x80) return true;
    if (codePage == 936 && ucs4 == 0x20AC) return true;
    if (ucs4 > 0xFFFF || (ucs4 >= 0xD800 && ucs4 < 0xE000)) {
        if (codePage == 65001) return true;
        if (codePage != 936) return false;  // only GB18030 holds these; GBK does not
        return false;
    }
    // Per code page, a lazily filled table of the BMP: 0 unknown, 1 yes, 2 no.
    static std::mutex m;
    static std::unordered_map<int, std::string> tables;
    std::lock_guard<std::mutex> lock(m);
    std::string& t = tables[codePage];
    if (t.empty()) t.assign(0x10000, '\0');
    char& v = t[ucs4];
    if (v == 0) {
        QChar c(static_cast<char16_t>(ucs4));
        bool ok = true;
        QByteArray b;
        {
            // encodeCodePage does not take the mutex.
            b = encodeCodePage(QString(c), codePage, &ok);
        }
        v = (ok && !b.isEmpty()) ? 1 : 2;
    }
    return v == 1;
}

int gbkByteLength(const QString& text) {
    return static_cast<int>(toGbk(text).size());
}

}  // namespace platform
