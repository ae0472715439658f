#pragma once
// How busy the processors were lately, from /proc/stat.
//
// /proc/stat only counts ticks since boot, so a share needs two readings.
// The provider keeps the readings it made earlier in this process (per
// system root) and measures over the interval since the newest one that is
// at least kMinTicksPerCpu old; a query then costs one read of /proc/stat.
// Without such a reading (the first query of a process) a live machine is
// read a second time kShortInterval later, so that the share is one of
// now, as the class documents it, and not of the time since boot. A
// captured tree's counters never move: there the interval is the one since
// boot, which the counters measure from.
#include <chrono>
#include <cstdint>
#include <functional>
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
    using Reading = std::map<uint32_t, procfs::CpuTimes>;
    // Reads the counters again; nothing when they cannot be read.
    using Reread = std::function<std::optional<Reading>()>;
    // Waits the given time (a seam: tests move the counters instead).
    using Pause = std::function<void(std::chrono::milliseconds)>;

    // A quarter of a second at the usual USER_HZ of 100.
    static constexpr uint64_t kMinTicksPerCpu = 25;
    static constexpr std::chrono::milliseconds kShortInterval{250};

    explicit CpuLoadSampler(Pause pause = {});

    // The process's sampler.
    static CpuLoadSampler& Shared();

    // Records a reading of the root's /proc/stat and gives each CPU's ticks
    // over the interval that ends with it. With reread (a live machine), a
    // root without a usable earlier reading is read again after a pause.
    Reading Interval(const std::string& rootKey, const Reading& now, const Reread& reread = {});

private:
    Pause FPause;
    std::mutex FLock;
    std::map<std::string, std::vector<Reading>> FReadings;
};

// The busy share of the given CPUs over an interval, in whole percent;
// nothing when none of them counted a tick.
std::optional<uint16_t> BusyPercent(const std::map<uint32_t, procfs::CpuTimes>& interval,
                                    const std::set<uint32_t>& cpus);

}  // namespace cimv2
