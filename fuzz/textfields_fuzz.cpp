// libFuzzer target for the strict readers of numbers, ids and KEY=value
// files that every class uses on machine files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cimv2/core/TextFields.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    // A number read back must print as the digits it was read from.
    if (auto u = cimv2::ParseUnsigned(text)) {
        std::string_view digits = cimv2::Trim(text);
        while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
        if (std::to_string(*u) != digits) std::abort();
    }
    if (auto s = cimv2::ParseSigned(text); s && cimv2::Trim(text).empty()) std::abort();
    if (auto h = cimv2::ParseHex(text, 4); h && *h > 0xFFFF) std::abort();
    for (const auto& [key, value] : cimv2::ParseKeyValues(text))
        if (key.empty() || key.size() > size || value.size() > size) std::abort();
    return 0;
}
