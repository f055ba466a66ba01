// libFuzzer target: the code-page decoder and encoder on any bytes (the first
// byte picks the code page). Requirements in fuzz/Checks.h.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/Checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!fuzzcheck::codePageRoundTripHolds(input)) std::abort();
    return 0;
}
