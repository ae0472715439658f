#pragma once
// How busy the processors were lately, from /proc/stat without waiting.
//
// /proc/stat only counts ticks since boot, so a share needs two readings.
// Rather than read, sleep and read again inside a query, the provider keeps
// the readings it made earlier in this process (per system root) and
// measures over the interval since the newest one that is at least
// kMinTicksPerCpu old; a query costs one read of /proc/stat. Until such a
// reading exists (the first query of a process, or a captured tree whose
// counters never move) the interval is the one since boot, which the
// counters measure from.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cimv2/sources/ProcFiles.h"

namespace cimv2 {

class CpuLoadSampler {
public:
    // A quarter of a second at the usual USER_HZ of 100.
    static constexpr uint64_t kMinTicksPerCpu = 25;

    // The process's sampler.
    static CpuLoadSampler& Shared();

    // Records a reading of the root's /proc/stat and gives each CPU's ticks
    // over the interval that ends with it.
    std::map<uint32_t, procfs::CpuTimes> Interval(const std::string& rootKey,
                                                  const std::map<uint32_t, procfs::CpuTimes>& now);

private:
    std::mutex FLock;
    std::map<std::string, std::vector<std::map<uint32_t, procfs::CpuTimes>>> FReadings;
};

// The busy share of the given CPUs over an interval, in whole percent;
// nothing when none of them counted a tick.
std::optional<uint16_t> BusyPercent(const std::map<uint32_t, procfs::CpuTimes>& interval,
                                    const std::set<uint32_t>& cpus);

}  // namespace cimv2
