// Win32_IRQResource from /proc/interrupts, refined by /sys/kernel/irq/<n>
// (chip, hardware line, trigger, handlers) and, when debugfs is readable,
// /sys/kernel/debug/irq/irqs/<n> (CPU vector and line polarity).
#include <map>

#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/Interrupts.h"

namespace cimv2 {

namespace {

// CIM_IRQ codes.
enum : int64_t { kTriggerUnknown = 2, kTriggerLevel = 3, kTriggerEdge = 4 };
enum : int64_t { kLevelActiveLow = 3, kLevelActiveHigh = 4 };
enum : int64_t { kAvailable = 3, kInUse = 4, kInUseShareable = 5 };

std::optional<int64_t> TriggerCode(const std::string& flow, const std::string& chip) {
    if (flow.empty()) return std::nullopt;
    if (flow == "edge") return kTriggerEdge;
    if (flow == "level") return kTriggerLevel;
    // The IO-APIC serves level-triggered lines through the fasteoi flow.
    if (flow == "fasteoi" && chip.find("IO-APIC") != std::string::npos) return kTriggerLevel;
    return kTriggerUnknown;
}

struct DebugIrq {
    std::optional<int64_t> vector;
    std::optional<int64_t> level;
};

DebugIrq ReadDebugIrq(const SystemRoot& root, uint32_t irq) {
    DebugIrq out;
    auto text = root.ReadFile("/sys/kernel/debug/irq/irqs/" + std::to_string(irq), 1 << 16);
    if (!text) return out;
    std::string_view rest = *text;
    while (!rest.empty()) {
        size_t eol = rest.find('\n');
        std::string_view line = rest.substr(0, eol);
        rest.remove_prefix(eol == std::string_view::npos ? rest.size() : eol + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.find("IRQ_TYPE_LEVEL_LOW") != std::string_view::npos ||
            line.find("IRQ_TYPE_EDGE_FALLING") != std::string_view::npos)
            out.level = kLevelActiveLow;
        if (line.find("IRQ_TYPE_LEVEL_HIGH") != std::string_view::npos ||
            line.find("IRQ_TYPE_EDGE_RISING") != std::string_view::npos)
            out.level = kLevelActiveHigh;
        if (!out.vector && line.substr(0, 7) == "vector:") {
            std::string_view digits = line.substr(7);
            while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
            int64_t value = 0;
            size_t n = 0;
            for (; n < digits.size() && n < 6 && digits[n] >= '0' && digits[n] <= '9'; ++n)
                value = value * 10 + (digits[n] - '0');
            if (n > 0) out.vector = value;
        }
    }
    return out;
}

std::vector<std::string> SplitActions(const std::string& text) {
    std::vector<std::string> actions;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        while (!item.empty() && item.front() == ' ') item.erase(item.begin());
        while (!item.empty() && item.back() == ' ') item.pop_back();
        if (!item.empty()) actions.push_back(item);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return actions;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_IRQResourceSchema() {
    static const ClassSchema schema("Win32_IRQResource", CIM_SystemResource(), {
        {"Availability", CimType::UInt16},
        {"CreationClassName", CimType::String},
        {"CSCreationClassName", CimType::String},
        {"CSName", CimType::String},
        {"Hardware", CimType::Boolean},
        {"IRQNumber", CimType::UInt32, kKey},
        {"Shareable", CimType::Boolean},
        {"TriggerLevel", CimType::UInt16},
        {"TriggerType", CimType::UInt16},
        {"Vector", CimType::UInt32},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_IRQResource(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    auto text = root.ReadFile("/proc/interrupts", 4u << 20);
    if (!text) return out;

    // A line listed twice (corrupt input) keeps its first entry.
    std::map<uint32_t, InterruptLine> lines;
    for (auto& line : ParseInterrupts(*text)) lines.emplace(line.irq, std::move(line));

    for (auto& [irq, line] : lines) {
        const std::string dir = "/sys/kernel/irq/" + std::to_string(irq);
        std::string chip = line.chip;
        std::string flow = line.trigger;
        std::vector<std::string> actions = line.actions;
        if (auto value = root.ReadAttribute(dir + "/chip_name")) chip = *value;
        if (auto value = root.ReadAttribute(dir + "/type")) flow = *value;
        if (root.Exists(dir + "/actions")) actions = SplitActions(root.ReadAttribute(dir + "/actions").value_or(""));

        Instance inst(Win32_IRQResourceSchema());
        const std::string name = "IRQ" + std::to_string(irq);
        inst.SetText("Name", name);
        inst.SetText("Caption", name);
        inst.SetText("Description", name);
        SetIdentity(inst, context);
        inst.Set("IRQNumber", Value::UInt(irq));
        // Every numbered line belongs to an interrupt controller; software
        // interrupts have names (NMI, LOC, ...) and are not listed.
        if (!chip.empty()) inst.SetBool("Hardware", chip != "dummy");
        inst.SetBool("Shareable", actions.size() > 1);
        inst.SetInt("Availability", actions.empty() ? kAvailable : actions.size() > 1 ? kInUseShareable : kInUse);
        if (auto code = TriggerCode(flow, chip)) inst.SetInt("TriggerType", *code);
        DebugIrq debug = ReadDebugIrq(root, irq);
        if (debug.level) inst.SetInt("TriggerLevel", *debug.level);
        if (debug.vector) inst.SetInt("Vector", *debug.vector);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
