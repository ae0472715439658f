// Win32_SystemSlot: one instance per SMBIOS type 9 structure.
#include <string>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/Smbios.h"

namespace cimv2 {

namespace {

struct CodeMap {
    uint8_t smbios;
    uint16_t wmi;
};

// Slot Data Bus Width: WMI codes only the parallel widths; lane counts
// (1x, 4x, ...) have no WMI value and stay null.
constexpr CodeMap kDataWidth[] = {{3, 0}, {4, 1}, {5, 2}, {6, 3}, {7, 4}};
// Current Usage: 1 other, 2 unknown, 3 available, 4 in use are WMI's codes;
// SMBIOS's "unavailable" (5) is none of WMI's states, so it reads as other.
constexpr CodeMap kCurrentUsage[] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 1}};

std::optional<uint16_t> Map(std::span<const CodeMap> table, std::optional<uint8_t> code) {
    if (!code) return std::nullopt;
    for (const auto& entry : table)
        if (entry.smbios == *code) return entry.wmi;
    return std::nullopt;
}

struct CharacteristicFlag {
    const char* property;
    bool second;  // in Slot Characteristics 2
    int bit;
};
constexpr CharacteristicFlag kFlags[] = {
    {"Shared", false, 3},
    {"PMESignal", true, 0},
    {"SupportsHotPlug", true, 1},
};

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_SystemSlotSchema() {
    static const ClassSchema schema("Win32_SystemSlot", CIM_Slot(), {
        {"BusNumber", CimType::UInt32},
        {"CurrentUsage", CimType::UInt16},
        {"DeviceNumber", CimType::UInt32},
        {"FunctionNumber", CimType::UInt32},
        {"PMESignal", CimType::Boolean},
        {"SegmentGroupNumber", CimType::UInt32},
        {"Shared", CimType::Boolean},
        {"SlotDesignation", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_SystemSlot(const ProviderContext& context) {
    smbios::SmbiosData data = smbios::ReadSmbios(context.root, context.notes);
    std::vector<Instance> out;
    for (size_t n = 0; n < data.slots.size(); ++n) {
        const smbios::SlotInfo& slot = data.slots[n];
        Instance inst(Win32_SystemSlotSchema());
        inst.SetText("Caption", "System Slot");
        inst.SetText("Description", "System Slot");
        inst.SetText("Name", "System Slot");
        inst.SetText("Tag", "System Slot " + std::to_string(n));
        SetIdentity(inst, context);
        SetIf(inst, "SlotDesignation", slot.designation);
        SetIfUInt(inst, "CurrentUsage", Map(kCurrentUsage, slot.currentUsage));
        SetIfUInt(inst, "MaxDataWidth", Map(kDataWidth, slot.dataBusWidth));
        SetIfUInt(inst, "Number", slot.slotId);
        SetIfUInt(inst, "BusNumber", slot.busNumber);
        SetIfUInt(inst, "DeviceNumber", slot.deviceNumber);
        SetIfUInt(inst, "FunctionNumber", slot.functionNumber);
        SetIfUInt(inst, "SegmentGroupNumber", slot.segmentGroup);
        for (const auto& flag : kFlags) {
            auto bits = flag.second ? slot.characteristics2 : slot.characteristics1;
            if (bits) inst.SetBool(flag.property, (*bits >> flag.bit) & 1);
        }
        // Slot Characteristics 1: bit 1 is 5.0 V, bit 2 is 3.3 V; WMI's codes are 3 and 2.
        if (slot.characteristics1 && !(*slot.characteristics1 & 1)) {
            std::vector<uint16_t> volts;
            if (*slot.characteristics1 & 0x04) volts.push_back(2);
            if (*slot.characteristics1 & 0x02) volts.push_back(3);
            inst.Set("VccMixedVoltageSupport", UIntArray(volts));
        }
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
