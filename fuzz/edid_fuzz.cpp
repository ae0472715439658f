// libFuzzer target for the EDID parser (base block, extension blocks,
// CTA-861 data blocks and timings) and the pnp.ids reader, fed arbitrary
// bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/Edid.h"

using namespace cimv2::edid;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    auto parsed = Parse({data, size}, &error);
    if (parsed) {
        // Every block read was in the input: no more blocks than it holds, no
        // more timings than those blocks have room for.
        if (size < 128 || parsed->cta.size() > (size - 128) / 128) std::abort();
        if (parsed->timings.size() > 4 + parsed->cta.size() * 6) std::abort();
        for (const auto& t : parsed->timings) (void)t.RefreshHz();
    } else if (error.empty()) {
        std::abort();
    }
    const PnpIds ids = PnpIds::FromText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (ids.Size() > size / 5) std::abort();
    return 0;
}
