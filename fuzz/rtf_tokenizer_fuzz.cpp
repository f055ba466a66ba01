// libFuzzer target: the RTF tokenizer alone, with \binN taken as the reader
// takes it. Every token must move on: a tokenizer that stops advancing
// before the end would hang the reader.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "richtext/RtfTokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* p = reinterpret_cast<const char*>(data);
    richtext::RtfTokenizer t(p, size);
    size_t tokens = 0;
    for (;;) {
        const richtext::RtfToken tok = t.next();
        if (tok.type == richtext::RtfToken::End) break;
        if (++tokens > size + 1) std::abort();  // no progress
        if (tok.type == richtext::RtfToken::Text || tok.type == richtext::RtfToken::Word) {
            // The views lie inside the input.
            if (tok.word.data() < p || tok.word.data() + tok.word.size() > p + size) std::abort();
        }
        if (tok.type == richtext::RtfToken::Word && tok.word == "bin" && tok.hasParam) {
            const std::string_view b = t.binary(tok.param);
            if (!b.empty() && (b.data() < p || b.data() + b.size() > p + size)) std::abort();
        }
    }
    if (!t.atEnd()) std::abort();
    return 0;
}
