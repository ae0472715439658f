// libFuzzer target for the NFS exports reader: quoted paths, octal escapes,
// continuations and client lists.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/ShareFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& e : cimv2::ParseExports(text)) {
        if (e.path.empty() || e.path.front() != '/' || e.path.size() > cimv2::kMaxShareField) std::abort();
        if (e.path.size() > size || e.clients.size() > size || e.clients.size() > cimv2::kMaxShareField) std::abort();
        if (!e.clients.empty() && (e.clients.front() == ' ' || e.clients.back() == ' ')) std::abort();
    }
    return 0;
}
