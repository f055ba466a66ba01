#include "richtext/RtfTokenizer.h"

#include <climits>

namespace richtext {

namespace {

// One class per byte, looked up instead of compared: the text loop runs over
// every byte of a document, and a table keeps it short.
enum : unsigned char {
    kPlain = 0,
    kStop = 1,    // ends a run of text: backslash, braces, line breaks, NUL
    kLetter = 2,  // a-z, A-Z
    kDigit = 4,   // 0-9
};

struct ByteClasses {
    unsigned char cls[256] = {};
    signed char hex[256] = {};
    constexpr ByteClasses() {
        for (int i = 0; i < 256; ++i) hex[i] = -1;
        for (unsigned char c : {'\\', '{', '}', '\r', '\n', '\0'}) cls[c] = kStop;
        for (int c = 'a'; c <= 'z'; ++c) cls[c] = kLetter;
        for (int c = 'A'; c <= 'Z'; ++c) cls[c] = kLetter;
        for (int c = '0'; c <= '9'; ++c) {
            cls[c] = kDigit;
            hex[c] = static_cast<signed char>(c - '0');
        }
        for (int c = 'a'; c <= 'f'; ++c) hex[c] = static_cast<signed char>(c - 'a' + 10);
        for (int c = 'A'; c <= 'F'; ++c) hex[c] = static_cast<signed char>(c - 'A' + 10);
    }
};

constexpr ByteClasses kBytes;

inline unsigned char classOf(char c) {
    return kBytes.cls[static_cast<unsigned char>(c)];
}
inline bool isLetter(char c) {
    return classOf(c) == kLetter;
}
inline bool isDigit(char c) {
    return classOf(c) == kDigit;
}
inline int hexValue(char c) {
    return kBytes.hex[static_cast<unsigned char>(c)];
}

}  // namespace

RtfToken RtfTokenizer::next() {
    RtfToken t;
    while (p_ < end_) {
        const char c = *p_;
        if (c == '\r' || c == '\n' || c == '\0') {  // line breaks and NULs carry nothing
            ++p_;
            continue;
        }
        if (c == '{') {
            ++p_;
            t.type = RtfToken::Open;
            return t;
        }
        if (c == '}') {
            ++p_;
            t.type = RtfToken::Close;
            return t;
        }
        if (c != '\\') {
            const char* s = p_;
            while (p_ < end_ && classOf(*p_) != kStop) ++p_;
            t.type = RtfToken::Text;
            t.word = std::string_view(s, std::size_t(p_ - s));
            return t;
        }
        // backslash
        ++p_;
        if (p_ >= end_) break;
        const char d = *p_;
        if (isLetter(d)) {
            const char* s = p_;
            while (p_ < end_ && isLetter(*p_)) ++p_;
            std::size_t len = std::size_t(p_ - s);
            if (len > 32) len = 32;  // longer names are no RTF words; keep them bounded
            t.type = RtfToken::Word;
            t.word = std::string_view(s, len);
            bool neg = false;
            if (p_ < end_ && *p_ == '-' && p_ + 1 < end_ && isDigit(p_[1])) {
                neg = true;
                ++p_;
            }
            if (p_ < end_ && isDigit(*p_)) {
                long long v = 0;
                while (p_ < end_ && isDigit(*p_)) {
                    if (v < 100000000000LL) v = v * 10 + (*p_ - '0');
                    ++p_;
                }
                if (neg) v = -v;
                if (v > INT_MAX) v = INT_MAX;
                if (v < INT_MIN) v = INT_MIN;
                t.param = int(v);
                t.hasParam = true;
            }
            if (p_ < end_ && *p_ == ' ') ++p_;
            return t;
        }
        if (d == '\'') {
            ++p_;
            int hi = p_ < end_ ? hexValue(*p_) : -1;
            if (hi < 0) continue;  // a broken escape carries nothing
            ++p_;
            int lo = p_ < end_ ? hexValue(*p_) : -1;
            int v = hi;
            if (lo >= 0) {
                ++p_;
                v = hi * 16 + lo;
            }
            t.type = RtfToken::Hex;
            t.hex = static_cast<unsigned char>(v);
            return t;
        }
        ++p_;
        t.type = RtfToken::Symbol;
        t.symbol = (d == '\r') ? '\n' : d;
        return t;
    }
    t.type = RtfToken::End;
    return t;
}

std::string_view RtfTokenizer::binary(long long n) {
    if (n < 0) n = 0;
    const long long avail = end_ - p_;
    if (n > avail) n = avail;
    std::string_view v(p_, std::size_t(n));
    p_ += n;
    return v;
}

}  // namespace richtext
