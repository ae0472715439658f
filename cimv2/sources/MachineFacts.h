#pragma once
// Facts about the machine that several classes report, read once per query
// so that every class states them alike.
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "cimv2/sources/ProcFiles.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

// Facts about the machine that several classes report. The cheap ones are
// read at once; /proc/cpuinfo, long on a large machine and wanted by few
// classes, on first use. Safe to share between threads.
class MachineFacts {
public:
    explicit MachineFacts(SystemRoot root);
    MachineFacts(const MachineFacts&) = delete;
    MachineFacts& operator=(const MachineFacts&) = delete;

    // The host name as the kernel has it (else /etc/hostname), possibly
    // fully qualified.
    std::optional<std::string> hostName;
    // The computer's name: the host name up to its first dot. The one rule
    // for Name, CSName, SystemName and every other place a class names it.
    std::optional<std::string> computerName;
    // The system's name: os-release's PRETTY_NAME, else its NAME, else the
    // kernel's type. os-release is /etc/os-release, or /usr/lib/os-release
    // when that is missing or holds nothing.
    std::optional<std::string> systemName;
    // The kernel's release (/proc/sys/kernel/osrelease), "6.1.0-18-amd64".
    std::optional<std::string> kernelRelease;
    // When the machine booted, in seconds since the epoch: the "btime" of
    // /proc/stat; nothing unless it is after the epoch.
    std::optional<int64_t> bootTime;
    // Each CPU's ticks since boot: the "cpuN" lines of the same reading of
    // /proc/stat; nothing when it cannot be read.
    std::optional<std::map<uint32_t, procfs::CpuTimes>> cpuTimes;

    // Every block of /proc/cpuinfo; none when it cannot be read.
    const std::vector<procfs::CpuInfoBlock>& CpuInfo() const;
    // The first processor's "flags" on x86, the only kernel that writes
    // vendor_id in its blocks; nothing on other machines.
    const std::optional<std::string>& X86Flags() const;

private:
    SystemRoot FRoot;
    mutable std::once_flag FCpuInfoRead, FX86FlagsRead;
    mutable std::vector<procfs::CpuInfoBlock> FCpuInfo;
    mutable std::atomic<bool> FCpuInfoDone = false;  // FCpuInfo is complete and stays so
    mutable std::optional<std::string> FX86Flags;
};

}  // namespace cimv2
