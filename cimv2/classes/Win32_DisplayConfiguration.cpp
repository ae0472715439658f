// Win32_DisplayConfiguration: the settings of every display output in use,
// one per connector of /sys/class/drm that is connected and driven by a
// CRTC ("enabled"), in connector order. No display, no instance.
//
//   DeviceName                 the connector's DRM name ("card0-eDP-1"): the key, one per output
//   Caption, Description, SettingID  the display adapter's name (pci.ids, as Win32_VideoController
//                              names it) of the connector's card
//   DriverVersion              the adapter driver's version (/sys/module/<driver>/version, else the
//                              kernel release for a driver built into it)
//   PelsWidth, PelsHeight, BitsPerPel, DisplayFrequency  the current mode: libdrm's CRTC mode and
//                              frame buffer on the live machine; in a tree the first line of the
//                              connector's "modes" and the card's frame buffer bits_per_pixel, the
//                              refresh from the EDID's detailed timing of that size
//   DisplayFlags               2 (DM_INTERLACED) for an interlaced mode, else 0
//   LogPixels, SpecificationVersion, DitherType, ICMIntent, ICMMethod  null: no Linux source
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/DrmDisplays.h"
#include "cimv2/sources/PciFunctions.h"

namespace cimv2 {

namespace {

constexpr uint32_t kInterlaced = 2;

// The EDID's refresh for a mode it lists with the same size and scan.
std::optional<uint32_t> RefreshFromEdid(const drm::Connector& c, const drm::Mode& mode) {
    if (!c.edid) return std::nullopt;
    for (const auto& t : c.edid->timings)
        if (t.hActive == mode.width && t.vActive * (t.interlaced ? 2u : 1u) == mode.height &&
            t.interlaced == mode.interlaced)
            return t.RefreshHz();
    return std::nullopt;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_DisplayConfigurationSchema() {
    static const ClassSchema schema("Win32_DisplayConfiguration", CIM_Setting(), {
        {"BitsPerPel", CimType::UInt32},
        {"DeviceName", CimType::String, kKey},
        {"DisplayFlags", CimType::UInt32},
        {"DisplayFrequency", CimType::UInt32},
        {"DitherType", CimType::UInt32},
        {"DriverVersion", CimType::String},
        {"ICMIntent", CimType::UInt32},
        {"ICMMethod", CimType::UInt32},
        {"LogPixels", CimType::UInt32},
        {"PelsHeight", CimType::UInt32},
        {"PelsWidth", CimType::UInt32},
        {"SpecificationVersion", CimType::UInt32},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_DisplayConfiguration(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    std::optional<devtree::PciIds> ids;
    const drm::ModeSource& modes = context.Modes();
    for (const auto& connector : drm::Connectors(root)) {
        if (!connector.connected || !connector.enabled) continue;
        Instance inst(Win32_DisplayConfigurationSchema());
        inst.SetText("DeviceName", connector.name);
        if (!ids) ids = devtree::PciIds::Load(root, context.idFallback);
        if (auto adapter = devtree::DescribeDeviceAt(root, *ids, "/sys/class/drm/" + connector.card + "/device")) {
            if (adapter->displayName)
                for (const char* name : {"Caption", "Description", "SettingID"})
                    inst.SetText(name, *adapter->displayName);
            if (adapter->service)
                if (auto version = pci::DriverVersion(root, *adapter->service, context.Facts().kernelRelease))
                    inst.SetText("DriverVersion", *version);
        }
        if (auto mode = modes.CurrentMode(root, connector)) {
            inst.Set("PelsWidth", Value::UInt(mode->width));
            inst.Set("PelsHeight", Value::UInt(mode->height));
            if (mode->bitsPerPixel) inst.Set("BitsPerPel", Value::UInt(*mode->bitsPerPixel));
            if (auto refresh = mode->refreshHz ? mode->refreshHz : RefreshFromEdid(connector, *mode))
                inst.Set("DisplayFrequency", Value::UInt(*refresh));
            inst.Set("DisplayFlags", Value::UInt(mode->interlaced ? kInterlaced : 0));
        }
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
