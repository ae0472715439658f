// Arbitrary bytes, as a machine may answer, through the UTF-8 repair and the
// terminal escaping: the repair is idempotent, the escaped text holds no
// control byte, and terminal text no bidi override.
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
    // For a terminal: no U+202E override left, and no backslash alone.
    const std::string shown = cimv2::EscapeForTerminal(text);
    if (shown.find("\xE2\x80\xAE") != std::string::npos) std::abort();
    // A backslash is doubled only where the text has one.
    if (text.find('\\') == std::string::npos && shown != cimv2::EscapeControls(text)) std::abort();
    for (char c : cimv2::EscapeLayoutForTerminal(text)) {
        auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t' && c != '\n') || u == 0x7F) std::abort();
    }
    return 0;
}
