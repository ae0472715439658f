// Arbitrary bytes, as a machine may answer, through the UTF-8 repair and the
// terminal escaping: the repair is idempotent, the escaped text
// holds no control byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cimv2/core/SafeText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string valid = cimv2::ValidUtf8(text);
    if (cimv2::ValidUtf8(valid) != valid) std::abort();
    for (char c : cimv2::EscapeControls(text)) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) std::abort();
    }
    return 0;
}
