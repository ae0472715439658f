// libFuzzer target for the readers of /proc/cpuinfo (and its flags lines),
// /proc/stat, /proc/meminfo, /proc/swaps and kernel CPU lists.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/CpuLoad.h"
#include "cimv2/sources/ProcFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace cimv2::procfs;
    for (const auto& block : ParseCpuInfo(text))
        for (const auto& [key, value] : block)
            if (key.empty() || key.size() > size || value.size() > size) std::abort();
    // The first block alone is the first block of the whole.
    if (auto first = ParseCpuInfo(text, 1), all = ParseCpuInfo(text);
        first.size() > 1 || (!all.empty() && first.front() != all.front()))
        std::abort();
    // Every word of a flags line is found, and nothing else is.
    const auto words = CpuFlagWords(text);
    for (std::string_view word : words)
        if (word.empty() || word.find(' ') != std::string_view::npos || !HasCpuFlag(words, word)) std::abort();
    if (HasCpuFlag(words, "") || HasCpuFlag(words, " ")) std::abort();
    if (auto cpus = ParseCpuList(text); cpus && cpus->size() > size * (1u << 16)) std::abort();
    const ProcStat stat = ParseProcStat(text);
    std::set<uint32_t> all;
    for (const auto& [cpu, times] : stat.cpus) {
        if (times.busy > times.total) std::abort();
        all.insert(cpu);
    }
    if (auto load = cimv2::BusyPercent(stat.cpus, all); load && *load > 100) std::abort();
    ParseMeminfo(text);
    if (auto swaps = ParseSwaps(text); swaps && swaps->usedKB > swaps->sizeKB) std::abort();
    return 0;
}
