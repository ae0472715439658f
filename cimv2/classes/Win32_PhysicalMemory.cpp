// Win32_PhysicalMemory: one instance per populated memory device of SMBIOS
// type 17 (a slot whose size field says "no module installed" has none), in
// table order. Without SMBIOS tables (no root, no firmware tables) the class
// is empty: the kernel does not describe memory modules elsewhere.
//
//   Tag                      "Physical Memory <n>", n counting the modules from 0
//   Name, Caption, Description  "Physical Memory"
//   Capacity                 the size in bytes (the extended size field past 32 GB)
//   DeviceLocator, BankLabel the device locator and bank locator strings
//   Manufacturer, SerialNumber, PartNumber  their strings, as the firmware gives them
//   FormFactor               the SMBIOS form factor in the class's codes (SIMM 7, DIMM 8,
//                            SODIMM 12, ...); forms the class lacks (chip row, FB-DIMM, die) are 1
//   SMBIOSMemoryType         the SMBIOS memory type as is (26 DDR4, 34 DDR5)
//   MemoryType               that type in the class's codes, which end at 25 (FBD2): newer
//                            types are 0, as Windows reports them
//   TypeDetail               the SMBIOS type detail bits, which the class numbers alike
//   Speed, ConfiguredClockSpeed  the speed and configured speed (MT/s)
//   DataWidth, TotalWidth    in bits; null when unknown
//   MinVoltage, MaxVoltage, ConfiguredVoltage  in millivolts; null when unknown
//   Attributes               the rank
//   InterleavePosition, InterleaveDataDepth, PositionInRow, HotSwappable, Removable,
//   Replaceable, PoweredOn, Model, SKU, OtherIdentifyingInfo, Version, Status  null: no source
#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/Smbios.h"

namespace cimv2 {

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_PhysicalMemorySchema() {
    static const ClassSchema schema("Win32_PhysicalMemory", CIM_PhysicalMemory(), {
        {"Attributes", CimType::UInt32},
        {"ConfiguredClockSpeed", CimType::UInt32},
        {"ConfiguredVoltage", CimType::UInt32},
        {"DeviceLocator", CimType::String},
        {"InterleaveDataDepth", CimType::UInt16},
        {"MaxVoltage", CimType::UInt32},
        {"MinVoltage", CimType::UInt32},
        {"SMBIOSMemoryType", CimType::UInt32},
        {"TypeDetail", CimType::UInt16},
    });
    return schema;
}
// clang-format on

namespace {

struct CodeMap {
    uint8_t smbios;
    uint16_t wmi;
};

// SMBIOS form factor (7.18.1) to the class's FormFactor.
constexpr CodeMap kFormFactors[] = {{1, 1}, {2, 0},  {3, 7},  {4, 2},   {5, 1},   {6, 3},   {7, 4},  {8, 6},
                                    {9, 8}, {10, 9}, {11, 1}, {12, 11}, {13, 12}, {14, 13}, {15, 1}, {16, 1}};
// SMBIOS memory type (7.18.2) to the class's MemoryType.
constexpr CodeMap kMemoryTypes[] = {{1, 1},   {2, 0},   {3, 2},   {4, 6},   {5, 7},   {6, 8},   {7, 9},   {8, 10},
                                    {9, 11},  {10, 12}, {11, 13}, {12, 14}, {13, 15}, {14, 16}, {15, 17}, {16, 18},
                                    {17, 19}, {18, 20}, {19, 21}, {20, 22}, {24, 24}, {25, 25}};

std::optional<uint16_t> Map(std::span<const CodeMap> table, std::optional<uint8_t> code, uint16_t otherwise) {
    if (!code) return std::nullopt;
    for (const CodeMap& entry : table)
        if (entry.smbios == *code) return entry.wmi;
    return otherwise;
}

}  // namespace

std::vector<Instance> EnumerateWin32_PhysicalMemory(const ProviderContext& context) {
    std::vector<Instance> out;
    const smbios::SmbiosData data = smbios::ReadSmbios(context.root, context.notes);
    size_t number = 0;
    for (const smbios::MemoryDeviceInfo& module : data.memoryDevices) {
        if (!module.installed) continue;
        Instance inst(Win32_PhysicalMemorySchema());
        inst.SetText("Tag", "Physical Memory " + std::to_string(number++));
        inst.SetText("Name", "Physical Memory");
        inst.SetText("Caption", "Physical Memory");
        inst.SetText("Description", "Physical Memory");
        SetIfUInt(inst, "Capacity", module.sizeBytes);
        SetIf(inst, "DeviceLocator", module.deviceLocator);
        SetIf(inst, "BankLabel", module.bankLocator);
        SetIf(inst, "Manufacturer", module.manufacturer);
        SetIf(inst, "SerialNumber", module.serialNumber);
        SetIf(inst, "PartNumber", module.partNumber);
        SetIfUInt(inst, "FormFactor", Map(kFormFactors, module.formFactor, 1));
        SetIfUInt(inst, "SMBIOSMemoryType", module.memoryType);
        SetIfUInt(inst, "MemoryType", Map(kMemoryTypes, module.memoryType, 0));
        SetIfUInt(inst, "TypeDetail", module.typeDetail);
        SetIfUInt(inst, "Speed", module.speedMTs);
        SetIfUInt(inst, "ConfiguredClockSpeed", module.configuredSpeedMTs);
        SetIfUInt(inst, "DataWidth", module.dataWidth);
        SetIfUInt(inst, "TotalWidth", module.totalWidth);
        SetIfUInt(inst, "MinVoltage", module.minVoltageMv);
        SetIfUInt(inst, "MaxVoltage", module.maxVoltageMv);
        SetIfUInt(inst, "ConfiguredVoltage", module.configuredVoltageMv);
        SetIfUInt(inst, "Attributes", module.rank);
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
