#include "cimv2/sources/MachineFacts.h"

#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

MachineFacts MachineFacts::Read(const SystemRoot& root) {
    MachineFacts facts;
    facts.hostName = ReadLine(root, "/proc/sys/kernel/hostname");
    // "(none)" is the kernel's text for a name nobody has set.
    if (facts.hostName == "(none)") facts.hostName.reset();
    if (!facts.hostName) facts.hostName = ReadLine(root, "/etc/hostname");
    if (facts.hostName) {
        std::string label = facts.hostName->substr(0, facts.hostName->find('.'));
        if (!label.empty()) facts.computerName = label;
    }
    auto release = ReadKeyValues(root, "/etc/os-release");
    if (release.empty()) release = ReadKeyValues(root, "/usr/lib/os-release");
    for (const char* key : {"PRETTY_NAME", "NAME"})
        if (auto it = release.find(key); !facts.systemName && it != release.end() && !it->second.empty())
            facts.systemName = it->second;
    if (!facts.systemName) facts.systemName = ReadLine(root, "/proc/sys/kernel/ostype");
    facts.kernelRelease = ReadLine(root, "/proc/sys/kernel/osrelease");
    facts.bootTime = ReadBootTime(root);
    return facts;
}

}  // namespace cimv2
