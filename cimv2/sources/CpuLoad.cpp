#include "cimv2/sources/CpuLoad.h"

#include <thread>

namespace cimv2 {

namespace {

constexpr size_t kKeptReadings = 8;

// The ticks from an earlier reading to a later one; nothing when a counter
// went backwards (a CPU came back after hot-unplug, or another tree).
std::optional<std::map<uint32_t, procfs::CpuTimes>> Delta(const std::map<uint32_t, procfs::CpuTimes>& earlier,
                                                          const std::map<uint32_t, procfs::CpuTimes>& later) {
    std::map<uint32_t, procfs::CpuTimes> delta;
    for (const auto& [cpu, now] : later) {
        auto it = earlier.find(cpu);
        if (it == earlier.end()) {
            delta[cpu] = now;  // came online since: counted from zero
            continue;
        }
        if (now.total < it->second.total || now.busy < it->second.busy) return std::nullopt;
        delta[cpu] = {now.busy - it->second.busy, now.total - it->second.total};
    }
    return delta;
}

uint64_t TotalTicks(const std::map<uint32_t, procfs::CpuTimes>& interval) {
    uint64_t ticks = 0;
    for (const auto& [cpu, times] : interval) ticks += times.total;
    return ticks;
}

}  // namespace

CpuLoadSampler::CpuLoadSampler(Pause pause) : FPause(std::move(pause)) {
    if (!FPause) FPause = [](std::chrono::milliseconds time) { std::this_thread::sleep_for(time); };
}

CpuLoadSampler& CpuLoadSampler::Shared() {
    static CpuLoadSampler sampler;
    return sampler;
}

CpuLoadSampler::Reading CpuLoadSampler::Interval(const std::string& rootKey, const Reading& now, const Reread& reread) {
    // Held through the pause: a query that comes meanwhile then finds the
    // second reading and need not wait again.
    std::lock_guard<std::mutex> guard(FLock);
    auto& readings = FReadings[rootKey];
    auto keep = [&readings](const Reading& reading) {
        readings.push_back(reading);
        if (readings.size() > kKeptReadings) readings.erase(readings.begin());
    };
    const uint64_t needed = kMinTicksPerCpu * now.size();
    for (size_t n = readings.size(); n-- > 0;) {
        auto delta = Delta(readings[n], now);
        if (!delta || TotalTicks(*delta) < needed) continue;
        readings.erase(readings.begin(), readings.begin() + static_cast<std::ptrdiff_t>(n));
        keep(now);
        return std::move(*delta);
    }
    keep(now);
    if (reread) {
        FPause(kShortInterval);
        if (auto later = reread()) {
            keep(*later);
            // However short, an interval that counted ticks is one of now.
            if (auto delta = Delta(now, *later); delta && TotalTicks(*delta) > 0) return std::move(*delta);
        }
    }
    return now;  // since boot
}

std::optional<uint16_t> BusyPercent(const std::map<uint32_t, procfs::CpuTimes>& interval,
                                    const std::set<uint32_t>& cpus) {
    uint64_t busy = 0, total = 0;
    for (uint32_t cpu : cpus) {
        auto it = interval.find(cpu);
        if (it == interval.end()) continue;
        busy += it->second.busy;
        total += it->second.total;
    }
    if (total == 0) return std::nullopt;
    // Rounded to the nearest percent.
    return static_cast<uint16_t>((busy * 200 + total) / (total * 2));
}

}  // namespace cimv2
