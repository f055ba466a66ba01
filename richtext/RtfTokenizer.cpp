#include "richtext/RtfTokenizer.h"

#include <climits>

namespace richtext {

static inline bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
static inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
static inline int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

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
            while (p_ < end_) {
                const char d = *p_;
                if (d == '\\' || d == '{' || d == '}' || d == '\r' || d == '\n' || d == '\0') break;
                ++p_;
            }
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
