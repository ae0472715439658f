#include "cimv2/sources/ProcFiles.h"

#include <algorithm>

#include "cimv2/core/TextFields.h"

namespace cimv2::procfs {

namespace {

// Splits off the next line (without its end).
std::string_view NextLine(std::string_view& text) {
    size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    return line;
}

// Splits off the next blank-separated word.
std::string_view NextWord(std::string_view& text) {
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        text = {};
        return {};
    }
    text.remove_prefix(start);
    size_t end = text.find_first_of(" \t");
    std::string_view word = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end);
    return word;
}

constexpr uint32_t kMaxCpu = 1u << 16;  // well above any kernel's NR_CPUS

}  // namespace

std::vector<CpuInfoBlock> ParseCpuInfo(std::string_view text, size_t maxBlocks) {
    std::vector<CpuInfoBlock> blocks;
    CpuInfoBlock block;
    while (!text.empty() && blocks.size() < maxBlocks) {
        std::string_view line = NextLine(text);
        if (Trim(line).empty()) {
            if (!block.empty()) blocks.push_back(std::move(block));
            block.clear();
            continue;
        }
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string key(Trim(line.substr(0, colon)));
        if (key.empty()) continue;
        block.emplace(std::move(key), std::string(Trim(line.substr(colon + 1))));
    }
    if (!block.empty() && blocks.size() < maxBlocks) blocks.push_back(std::move(block));
    return blocks;
}

std::optional<std::string> Field(const CpuInfoBlock& block, const std::string& key) {
    auto it = block.find(key);
    if (it == block.end() || it->second.empty()) return std::nullopt;
    return it->second;
}

std::vector<std::string_view> CpuFlagWords(std::string_view flags) {
    std::vector<std::string_view> words;
    while (!flags.empty()) {
        const size_t gap = flags.find(' ');
        if (gap != 0) words.push_back(flags.substr(0, gap));
        if (gap == std::string_view::npos) break;
        flags.remove_prefix(gap + 1);
    }
    std::sort(words.begin(), words.end());
    return words;
}

bool HasCpuFlag(const std::vector<std::string_view>& words, std::string_view flag) {
    return std::binary_search(words.begin(), words.end(), flag);
}

std::optional<std::set<uint32_t>> ParseCpuList(std::string_view text) {
    text = Trim(text);
    std::set<uint32_t> cpus;
    if (text.empty()) return cpus;
    while (true) {
        size_t comma = text.find(',');
        std::string_view part = text.substr(0, comma);
        size_t dash = part.find('-');
        auto first = ParseUnsigned(part.substr(0, dash));
        auto last = dash == std::string_view::npos ? first : ParseUnsigned(part.substr(dash + 1));
        if (!first || !last || *last < *first || *last >= kMaxCpu) return std::nullopt;
        for (uint64_t n = *first; n <= *last; ++n) cpus.insert(static_cast<uint32_t>(n));
        if (comma == std::string_view::npos) break;
        text = text.substr(comma + 1);
    }
    return cpus;
}

ProcStat ParseProcStat(std::string_view text) {
    ProcStat stat;
    while (!text.empty()) {
        std::string_view line = NextLine(text);
        std::string_view name = NextWord(line);
        if (name.size() < 4 || name.substr(0, 3) != "cpu") continue;  // "cpu" alone is the sum
        auto id = ParseUnsigned(name.substr(3));
        if (!id || *id >= kMaxCpu) continue;
        // user nice system idle iowait irq softirq steal (guest time is
        // already inside user and nice). Idle and iowait are the idle part.
        uint64_t fields[8] = {};
        int count = 0;
        bool ok = true;
        for (; count < 8; ++count) {
            std::string_view word = NextWord(line);
            if (word.empty()) break;
            auto v = ParseUnsigned(word);
            if (!v) {
                ok = false;
                break;
            }
            fields[count] = *v;
        }
        if (!ok || count < 4) continue;
        CpuTimes times;
        const uint64_t idle = fields[3] + fields[4];
        for (int n = 0; n < count; ++n) {
            if (UINT64_MAX - times.total < fields[n]) {
                ok = false;
                break;
            }
            times.total += fields[n];
        }
        if (!ok) continue;
        times.busy = times.total - idle;
        stat.cpus[static_cast<uint32_t>(*id)] = times;
    }
    return stat;
}

std::map<std::string, uint64_t> ParseMeminfo(std::string_view text) {
    std::map<std::string, uint64_t> values;
    while (!text.empty()) {
        std::string_view line = NextLine(text);
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view rest = Trim(line.substr(colon + 1));
        // Sizes end in " kB"; the few plain counts (HugePages_Total) do not.
        if (rest.size() > 3 && rest.substr(rest.size() - 3) == " kB") rest = rest.substr(0, rest.size() - 3);
        if (auto v = ParseUnsigned(rest)) values[std::string(Trim(line.substr(0, colon)))] = *v;
    }
    return values;
}

std::optional<SwapTotals> ParseSwaps(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::string_view header = NextLine(text);
    if (header.substr(0, 8) != "Filename") return std::nullopt;
    SwapTotals totals;
    while (!text.empty()) {
        std::string_view line = NextLine(text);
        if (Trim(line).empty()) continue;
        // Filename Type Size Used Priority; the name may hold blanks, so the
        // numbers are read from the end.
        std::vector<std::string_view> words;
        while (true) {
            std::string_view word = NextWord(line);
            if (word.empty()) break;
            words.push_back(word);
        }
        if (words.size() < 5) return std::nullopt;
        auto size = ParseUnsigned(words[words.size() - 3]);
        auto used = ParseUnsigned(words[words.size() - 2]);
        if (!size || !used || *used > *size || UINT64_MAX - totals.sizeKB < *size) return std::nullopt;
        totals.sizeKB += *size;
        totals.usedKB += *used;
        ++totals.areas;
    }
    return totals;
}

}  // namespace cimv2::procfs
