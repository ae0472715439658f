// libFuzzer target for the key-file reader of systemd units, D-Bus service
// files and desktop entries: sections, continuations, list keys.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/KeyFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const cimv2::KeyFile file = cimv2::KeyFile::Parse(text);
    for (const auto& e : file.Entries()) {
        if (e.section.empty() || e.key.empty() || e.key.size() > size) std::abort();
        for (const auto& word : file.Words(e.section, e.key))
            if (word.empty() || word.size() > size) std::abort();
    }
    return 0;
}
