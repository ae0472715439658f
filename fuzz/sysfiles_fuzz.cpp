// libFuzzer target for the small system tables: /etc/group lines,
// /proc/modules lines and modules-load.d lists.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/Groups.h"
#include "cimv2/sources/KernelModules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& g : cimv2::ParseGroupFile(text))
        if (g.name.empty() || g.name.size() > size || g.name.find(':') != std::string::npos) std::abort();
    for (const auto& m : cimv2::ParseProcModules(text))
        if (m.name.empty() || m.name.find('/') != std::string::npos) std::abort();
    for (const auto& n : cimv2::ParseModulesLoad(text))
        if (n.empty() || n.find('-') != std::string::npos) std::abort();
    return 0;
}
