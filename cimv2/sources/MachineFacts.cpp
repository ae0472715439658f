#include "cimv2/sources/MachineFacts.h"

#include "cimv2/sources/ProcFs.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

constexpr size_t kMaxCpuInfo = 16u << 20;

}  // namespace

MachineFacts::MachineFacts(SystemRoot root) : FRoot(std::move(root)) {
    hostName = ReadLine(FRoot, "/proc/sys/kernel/hostname");
    // "(none)" is the kernel's text for a name nobody has set.
    if (hostName == "(none)") hostName.reset();
    if (!hostName) hostName = ReadLine(FRoot, "/etc/hostname");
    if (hostName) {
        std::string label = hostName->substr(0, hostName->find('.'));
        if (!label.empty()) computerName = label;
    }
    auto release = ReadKeyValues(FRoot, "/etc/os-release");
    if (release.empty()) release = ReadKeyValues(FRoot, "/usr/lib/os-release");
    for (const char* key : {"PRETTY_NAME", "NAME"})
        if (auto it = release.find(key); !systemName && it != release.end() && !it->second.empty())
            systemName = it->second;
    if (!systemName) systemName = ReadLine(FRoot, "/proc/sys/kernel/ostype");
    kernelRelease = ReadLine(FRoot, "/proc/sys/kernel/osrelease");
    if (auto stat = FRoot.ReadFile("/proc/stat", 4u << 20)) {
        if (auto boot = procfs::ParseBootTime(*stat); boot && *boot > 0) bootTime = boot;
        cpuTimes = procfs::ParseProcStat(*stat).cpus;
    }
}

const std::vector<procfs::CpuInfoBlock>& MachineFacts::CpuInfo() const {
    std::call_once(FCpuInfoRead, [this] {
        if (auto text = FRoot.ReadFile("/proc/cpuinfo", kMaxCpuInfo)) FCpuInfo = procfs::ParseCpuInfo(*text);
        FCpuInfoDone = true;
    });
    return FCpuInfo;
}

const std::optional<std::string>& MachineFacts::X86Flags() const {
    std::call_once(FX86FlagsRead, [this] {
        std::vector<procfs::CpuInfoBlock> first;
        if (FCpuInfoDone) {
            if (!FCpuInfo.empty()) first.push_back(FCpuInfo.front());
        } else {
            // The kernel writes cpuinfo as it is read, a block per
            // processor, so only the start is asked for while it holds the
            // first block whole.
            constexpr size_t kStart = 4u << 10;
            auto text = FRoot.ReadFile("/proc/cpuinfo", kStart);
            if (text && text->size() == kStart) {
                if (const size_t end = text->find("\n\n"); end != std::string::npos)
                    text->resize(end + 1);
                else
                    text = FRoot.ReadFile("/proc/cpuinfo", kMaxCpuInfo);
            }
            if (text) first = procfs::ParseCpuInfo(*text, 1);
        }
        if (!first.empty() && procfs::Field(first[0], "vendor_id")) FX86Flags = procfs::Field(first[0], "flags");
    });
    return FX86Flags;
}

}  // namespace cimv2
