#pragma once
// Facts about the machine that several classes report, read once per query
// so that every class states them alike.
#include <cstdint>
#include <optional>
#include <string>

#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

// Facts about the machine that several classes report.
struct MachineFacts {
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

    static MachineFacts Read(const SystemRoot& root);
};

}  // namespace cimv2
