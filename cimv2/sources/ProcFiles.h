#pragma once
// Readers of the kernel's text files about processors and memory:
// /proc/cpuinfo, /proc/stat, /proc/meminfo, /proc/swaps and sysfs CPU
// lists. Each takes the file's text and gives what it could read; a line
// it does not understand is skipped, never guessed at.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2::procfs {

// One block of /proc/cpuinfo: "key : value" lines up to a blank line, keys
// and values trimmed. x86 writes one block per logical processor; aarch64
// writes one per processor too, with other keys; some kernels add a block
// of machine-wide keys ("Hardware", "Serial") at the end. Parsing stops
// after maxBlocks blocks.
using CpuInfoBlock = std::map<std::string, std::string>;
std::vector<CpuInfoBlock> ParseCpuInfo(std::string_view text, size_t maxBlocks = SIZE_MAX);
// A key of a block, nothing when absent or empty.
std::optional<std::string> Field(const CpuInfoBlock& block, const std::string& key);

// The words of a cpuinfo "flags" line, sorted, for looking flags up: a
// line holds a hundred or more, and a class asks for dozens.
std::vector<std::string_view> CpuFlagWords(std::string_view flags);
bool HasCpuFlag(const std::vector<std::string_view>& words, std::string_view flag);

// A kernel CPU list such as "0-3,8,10-11"; nothing when malformed. Ranges
// are bounded so a damaged file cannot make a huge set.
std::optional<std::set<uint32_t>> ParseCpuList(std::string_view text);

// Time a CPU spent busy and in all, in the kernel's clock ticks.
struct CpuTimes {
    uint64_t busy = 0;
    uint64_t total = 0;
};

struct ProcStat {
    std::map<uint32_t, CpuTimes> cpus;  // the "cpuN" lines
};
ProcStat ParseProcStat(std::string_view text);

// /proc/meminfo: each "Name: value kB" line, in kB.
std::map<std::string, uint64_t> ParseMeminfo(std::string_view text);

// /proc/swaps: the total size and the used part of every swap area, in kB.
struct SwapTotals {
    uint64_t sizeKB = 0;
    uint64_t usedKB = 0;
    int areas = 0;
};
std::optional<SwapTotals> ParseSwaps(std::string_view text);

}  // namespace cimv2::procfs
