// libFuzzer target for the two key-file readers: systemd's unit files
// (sections, continuations, list keys with their emptying assignments) and
// the XDG format of D-Bus service files and desktop entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "cimv2/sources/KeyFiles.h"
#include "cimv2/sources/UnitFileText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const cimv2::KeyFile file = cimv2::KeyFile::Parse(text);
    for (const auto& e : file.Entries())
        if (e.section.empty() || e.key.empty() || e.key.size() > size) std::abort();
    const auto unit = cimv2::ReadUnitFile(text);
    std::set<std::pair<std::string, std::string>> keys;
    for (const auto& a : unit) {
        if (a.key.size() > size || a.value.size() > size) std::abort();
        keys.emplace(a.section, a.key);
    }
    for (const auto& [section, key] : keys)
        for (const auto& word : cimv2::UnitWords(unit, section, key))
            if (word.empty() || word.size() > size) std::abort();
    (void)cimv2::InstallState(unit);
    return 0;
}
