// Win32_BaseBoard from SMBIOS type 2 (type 12 for the configuration options),
// or from the board_* files of /sys/class/dmi/id.
#include "cimv2/core/Classes.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/sources/Smbios.h"

namespace cimv2 {

namespace {

// Feature flags of type 2, bit by bit.
struct FeatureFlag {
    const char* property;
    int bit;
};
constexpr FeatureFlag kFeatureFlags[] = {
    {"HostingBoard", 0}, {"RequiresDaughterBoard", 1}, {"Removable", 2}, {"Replaceable", 3}, {"HotSwappable", 4},
};

}  // namespace

const ClassSchema& Win32_BaseBoardSchema() {
    static const ClassSchema schema("Win32_BaseBoard", {
                                                           {"Caption", CimType::String},
                                                           {"ConfigOptions", CimType::String, kArray},
                                                           {"CreationClassName", CimType::String, kKey},
                                                           {"Depth", CimType::Real32},
                                                           {"Description", CimType::String},
                                                           {"Height", CimType::Real32},
                                                           {"HostingBoard", CimType::Boolean},
                                                           {"HotSwappable", CimType::Boolean},
                                                           {"InstallDate", CimType::DateTime},
                                                           {"Manufacturer", CimType::String},
                                                           {"Model", CimType::String},
                                                           {"Name", CimType::String},
                                                           {"OtherIdentifyingInfo", CimType::String},
                                                           {"PartNumber", CimType::String},
                                                           {"PoweredOn", CimType::Boolean},
                                                           {"Product", CimType::String},
                                                           {"Removable", CimType::Boolean},
                                                           {"Replaceable", CimType::Boolean},
                                                           {"RequirementsDescription", CimType::String},
                                                           {"RequiresDaughterBoard", CimType::Boolean},
                                                           {"SerialNumber", CimType::String},
                                                           {"SKU", CimType::String},
                                                           {"SlotLayout", CimType::String},
                                                           {"SpecialRequirements", CimType::Boolean},
                                                           {"Status", CimType::String},
                                                           {"Tag", CimType::String, kKey},
                                                           {"Version", CimType::String},
                                                           {"Weight", CimType::Real32},
                                                           {"Width", CimType::Real32},
                                                       });
    return schema;
}

std::vector<Instance> EnumerateWin32_BaseBoard(const ProviderContext& context) {
    smbios::SmbiosData data = smbios::ReadSmbios(context.root);
    // WMI shows the main board only: the first type 2 structure.
    if (data.baseBoards.empty()) return {};
    const smbios::BaseBoardInfo& board = data.baseBoards.front();

    Instance inst(Win32_BaseBoardSchema());
    inst.SetText("Caption", "Base Board");
    inst.SetText("Description", "Base Board");
    inst.SetText("Name", "Base Board");
    inst.SetText("Tag", "Base Board");
    inst.SetText("CreationClassName", "Win32_BaseBoard");
    if (!data.configOptions.empty()) inst.Set("ConfigOptions", TextArray(data.configOptions));
    SetIf(inst, "Manufacturer", board.manufacturer);
    SetIf(inst, "Product", board.product);
    SetIf(inst, "Version", board.version);
    SetIf(inst, "SerialNumber", board.serialNumber);
    if (board.featureFlags)
        for (const auto& flag : kFeatureFlags) inst.SetBool(flag.property, (*board.featureFlags >> flag.bit) & 1);
    // The board of the running machine is powered.
    inst.SetBool("PoweredOn", true);
    inst.SetText("Status", "OK");
    return {inst};
}

}  // namespace cimv2
