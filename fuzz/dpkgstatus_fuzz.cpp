// libFuzzer target for the dpkg status reader: stanzas, continuation lines,
// Status words and dependency lists.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/Packages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& p : cimv2::ParseDpkgStatus(text)) {
        // Every value is a piece of the input.
        if (p.name.empty() || p.name.size() > size || p.version.size() > size) std::abort();
        for (const auto& d : p.depends)
            if (d.package.empty() || d.package.size() > size || d.constraint.size() > size) std::abort();
        if (cimv2::MaintainerName(p.maintainer).size() > p.maintainer.size()) std::abort();
    }
    return 0;
}
