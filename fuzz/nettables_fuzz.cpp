// libFuzzer target for the /proc/net/route and /proc/net/protocols readers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/NetTables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& route : cimv2::net::ParseProcRoute(text)) {
        if (route.interfaceName.empty() || route.interfaceName.size() > size || route.protocol) std::abort();
        const uint32_t type = cimv2::net::RouteTypeCode(route.flags);
        if (type < 2 || type > 4) std::abort();
        if (cimv2::net::DottedQuad(route.mask).size() > 15) std::abort();
    }
    for (const auto& name : cimv2::net::ParseProtocols(text))
        if (name.empty() || name.size() > size) std::abort();
    return 0;
}
