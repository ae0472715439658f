#include "cimv2/sources/Interrupts.h"

#include <limits>

#include "cimv2/core/TextFields.h"

namespace cimv2 {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Decimal digits only, bounded to 32 bits.
std::optional<uint32_t> ParseDecimal(std::string_view text) {
    auto value = ParseUnsigned(text);
    if (!value || *value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    return static_cast<uint32_t>(*value);
}

// Next blank-separated word of rest, consumed from the front.
std::string_view NextWord(std::string_view& rest) {
    rest = Trim(rest);
    size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

bool IsFlowName(std::string_view word) {
    for (std::string_view flow : {"edge", "level", "fasteoi", "simple", "percpu", "bad", "Edge", "Level"})
        if (word == flow) return true;
    return false;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::vector<std::string> SplitActions(std::string_view rest) {
    std::vector<std::string> actions;
    rest = Trim(rest);
    while (!rest.empty()) {
        size_t comma = rest.find(',');
        std::string_view item = Trim(rest.substr(0, comma));
        if (!item.empty()) actions.emplace_back(item);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    return actions;
}

// Parses the part after the per-CPU counters. Kernels write, by era and
// architecture: "IO-APIC 9-fasteoi acpi", "IO-APIC-edge timer",
// "GICv3 27 Level arch_timer", "PCI-MSI 512000-edge ahci[0000:00:1f.2]".
void ParseTail(std::string_view rest, InterruptLine& line) {
    std::string_view chip = NextWord(rest);
    if (chip.empty()) return;
    std::string_view afterChip = rest;
    std::string_view second = NextWord(rest);

    size_t dash = second.find('-');
    if (dash != std::string_view::npos && dash > 0 && ParseDecimal(second.substr(0, dash)) &&
        IsFlowName(second.substr(dash + 1))) {
        line.chip = chip;
        line.hwirq = ParseDecimal(second.substr(0, dash));
        line.trigger = LowerAscii(second.substr(dash + 1));
        line.actions = SplitActions(rest);
        return;
    }
    if (auto number = ParseDecimal(second)) {
        std::string_view lookahead = rest;
        std::string_view third = NextWord(lookahead);
        if (IsFlowName(third)) {
            line.chip = chip;
            line.hwirq = number;
            line.trigger = LowerAscii(third);
            line.actions = SplitActions(lookahead);
            return;
        }
    }
    if (IsFlowName(second)) {
        line.chip = chip;
        line.trigger = LowerAscii(second);
        line.actions = SplitActions(rest);
        return;
    }
    // Older kernels glue the flow to the chip name.
    size_t lastDash = chip.rfind('-');
    if (lastDash != std::string_view::npos && lastDash > 0 && IsFlowName(chip.substr(lastDash + 1))) {
        line.chip = chip.substr(0, lastDash);
        line.trigger = LowerAscii(chip.substr(lastDash + 1));
    } else {
        line.chip = chip;
    }
    line.actions = SplitActions(afterChip);
}

}  // namespace

std::vector<InterruptLine> ParseInterrupts(std::string_view text) {
    std::vector<InterruptLine> lines;
    size_t cpuCount = 0;
    bool header = true;
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view raw = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);

        std::string_view rest = raw;
        if (header) {
            header = false;
            std::string_view probe = rest;
            size_t columns = 0;
            for (std::string_view word = NextWord(probe); !word.empty(); word = NextWord(probe))
                if (word.substr(0, 3) == "CPU") ++columns;
            if (columns > 0) {
                cpuCount = columns;
                continue;
            }
        }
        rest = Trim(rest);
        size_t colon = rest.find(':');
        if (colon == std::string_view::npos) continue;
        auto irq = ParseDecimal(Trim(rest.substr(0, colon)));
        if (!irq) continue;
        rest.remove_prefix(colon + 1);

        // Counters: one per CPU when the header told us, else every leading number.
        size_t counters = 0;
        for (;;) {
            if (cpuCount > 0 && counters == cpuCount) break;
            std::string_view probe = rest;
            std::string_view word = NextWord(probe);
            if (word.empty() || word.find_first_not_of("0123456789") != std::string_view::npos) break;
            rest = probe;
            ++counters;
        }
        if (counters == 0) continue;

        InterruptLine line;
        line.irq = *irq;
        ParseTail(rest, line);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<DmaLine> ParseDma(std::string_view text) {
    std::vector<DmaLine> lines;
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view raw = Trim(text.substr(0, eol));
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        size_t colon = raw.find(':');
        if (colon == std::string_view::npos) continue;
        auto channel = ParseDecimal(Trim(raw.substr(0, colon)));
        if (!channel) continue;
        lines.push_back({*channel, std::string(Trim(raw.substr(colon + 1)))});
    }
    return lines;
}

}  // namespace cimv2
