// libFuzzer target for the autostart readers: desktop entries (groups, keys,
// locales, escapes) and the @reboot lines of crontabs, and the environment
// files' NAME=VALUE reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/EnvironmentFiles.h"
#include "cimv2/sources/StartupFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto entry = cimv2::ParseDesktopEntry(text)) {
        if (size > cimv2::kMaxDesktopEntryBytes) std::abort();
        if (entry->name.size() > size || entry->exec.size() > size || entry->comment.size() > size) std::abort();
        (void)cimv2::Autostarts(*entry);
    }
    for (bool system : {false, true})
        for (const auto& job : cimv2::ParseRebootJobs(text, system)) {
            if (job.command.empty() || job.command.size() > cimv2::kMaxCronLine) std::abort();
            if (system == job.user.empty()) std::abort();
        }
    for (const auto& a : cimv2::ParseEnvironmentAssignments(text))
        if (a.name.empty() || a.name.size() > 255 || a.value.size() > size) std::abort();
    return 0;
}
