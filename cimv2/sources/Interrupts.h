#pragma once
// Parsers for /proc/interrupts and /proc/dma. They work on text alone so
// tests and the fuzzer can feed them anything.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2 {

struct InterruptLine {
    uint32_t irq = 0;
    std::string chip;                  // "IO-APIC", "PCI-MSIX-0000:00:01.0"; empty when the line has none
    std::optional<uint32_t> hwirq;     // line number on that chip
    std::string trigger;               // "edge", "level", "fasteoi", ... as the kernel names the flow
    std::vector<std::string> actions;  // device names that registered a handler
};

// One entry per line that starts with a decimal IRQ number; the named
// rows (NMI, LOC, ...) and malformed lines are skipped.
std::vector<InterruptLine> ParseInterrupts(std::string_view text);

struct DmaLine {
    uint32_t channel = 0;
    std::string device;
};

// "4: cascade" lines of /proc/dma.
std::vector<DmaLine> ParseDma(std::string_view text);

}  // namespace cimv2
