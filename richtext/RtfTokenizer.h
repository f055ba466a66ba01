#pragma once
// Splits RTF bytes into groups, control words, control symbols, hex bytes
// and runs of text. Never reads past the end; never fails.

#include <cstddef>
#include <string_view>

namespace richtext {

struct RtfToken {
    enum Type { End, Open, Close, Word, Symbol, Hex, Text };
    Type type = End;
    std::string_view word;  // Word: the letters; Text: the bytes
    int param = 0;
    bool hasParam = false;
    char symbol = 0;        // Symbol: the character after the backslash
    unsigned char hex = 0;  // Hex: the byte
};

class RtfTokenizer {
  public:
    RtfTokenizer(const char* data, std::size_t size) : p_(data), end_(data + size) {}
    RtfToken next();
    // The n raw bytes after \binN (fewer at the end of the input).
    std::string_view binary(long long n);
    bool atEnd() const { return p_ >= end_; }

  private:
    const char* p_;
    const char* end_;
};

}  // namespace richtext
