// libFuzzer target for the smb.conf reader: sections, continuations,
// parameter names, booleans and numbers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "cimv2/core/Schema.h"
#include "cimv2/sources/ShareFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    // A section named twice is one share: no two names equal without letter case.
    std::set<std::string> names;
    for (const auto& share : cimv2::ParseSmbConf(text)) {
        if (!names.insert(cimv2::Lower(share.name)).second) std::abort();
        if (share.name.empty() || share.name.size() > cimv2::kMaxShareField || share.name.size() > size) std::abort();
        if (share.path.size() > cimv2::kMaxShareField || share.comment.size() > cimv2::kMaxShareField) std::abort();
        if (share.path.size() > size || share.comment.size() > size) std::abort();
    }
    return 0;
}
