// Win32_BaseBoard from SMBIOS type 2 (type 12 for the configuration options),
// or from the board_* files of /sys/class/dmi/id.
#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
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

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_BaseBoardSchema() {
    static const ClassSchema schema("Win32_BaseBoard", CIM_Card(), {
        {"ConfigOptions", CimType::String, kArray},
        {"Product", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_BaseBoard(const ProviderContext& context) {
    smbios::SmbiosData data = smbios::ReadSmbios(context.root, context.notes);
    // WMI shows the main board only: the first type 2 structure.
    if (data.baseBoards.empty()) return {};
    const smbios::BaseBoardInfo& board = data.baseBoards.front();

    Instance inst(Win32_BaseBoardSchema());
    inst.SetText("Caption", "Base Board");
    inst.SetText("Description", "Base Board");
    inst.SetText("Name", "Base Board");
    inst.SetText("Tag", "Base Board");
    SetIdentity(inst, context);
    if (!data.configOptions.empty()) inst.Set("ConfigOptions", TextArray(data.configOptions));
    SetIf(inst, "Manufacturer", board.manufacturer);
    SetIf(inst, "Product", board.product);
    SetIf(inst, "Version", board.version);
    SetIf(inst, "SerialNumber", board.serialNumber);
    if (board.featureFlags)
        for (const auto& flag : kFeatureFlags) inst.SetBool(flag.property, (*board.featureFlags >> flag.bit) & 1);
    // The board we are running on is powered; a captured tree does not say.
    if (context.root.IsThisComputer()) inst.SetBool("PoweredOn", true);
    return {inst};
}

}  // namespace cimv2
