// Win32_DesktopMonitor: every monitor plugged into a display output, one per
// connector of /sys/class/drm whose status is "connected", in connector
// order; the monitor describes itself in the connector's EDID (our own
// parser, cimv2/sources/Edid.h). No display, no instance.
//
//   DeviceID                   "DesktopMonitor<n>", n counting the monitors from 1, as Windows numbers them
//   Name, Caption, Description, MonitorType  the EDID's monitor name descriptor; null without one
//   MonitorManufacturer        the EDID's manufacturer ID named by hwdata's pnp.ids
//                              (/usr/share/hwdata/pnp.ids; a captured tree without one reads
//                              this computer's); null when the file or the ID is missing
//   PNPDeviceID                DISPLAY\<manufacturer ID><product code, 4 hex digits>\<connector name>
//   ScreenWidth, ScreenHeight  the connector's current mode (libdrm on the live machine, sysfs in a tree)
//   PixelsPerXLogicalInch, PixelsPerYLogicalInch  that mode over the screen's physical size (the
//                              preferred timing's image size in mm, else the basic size in cm)
//   Bandwidth                  the range limits descriptor's maximum pixel clock, in MHz
//   Availability               3 shown (DPMS "On"), 15 standby, 14 suspend, 7 off; 8 off line when
//                              no CRTC drives the output
//   PowerManagementSupported   the EDID's feature byte names a DPMS mode
//   ConfigManagerErrorCode     0: a connector exists only while its driver runs
//   Status                     "OK"; "Degraded" when the EDID could not be read or parts of it were
//                              skipped (the monitor shows, but describes itself only in part)
//   ConfigManagerUserConfig    false
//   ErrorDescription, LastErrorCode  why the connector's EDID could not be read, or what of it was
//                              skipped (damaged or missing extension blocks), and 13, invalid data
//   DisplayType, IsLocked, PowerManagementCapabilities  null: neither EDID nor DRM says
#include <cstdio>

#include "cimv2/core/CheckedMath.h"
#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/DrmDisplays.h"

namespace cimv2 {

namespace {

constexpr const char* kPnpIds = "/usr/share/hwdata/pnp.ids";
constexpr uint32_t kInvalidData = 13;

std::string Hex4(uint16_t value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", value);
    return buf;
}

// Physical millimetres of the screen: the preferred timing's image size,
// else the basic size in centimetres.
std::optional<std::pair<uint32_t, uint32_t>> ScreenMm(const edid::Edid& e) {
    if (!e.timings.empty() && e.timings.front().widthMm && e.timings.front().heightMm)
        return std::pair{e.timings.front().widthMm, e.timings.front().heightMm};
    if (e.widthCm && e.heightCm) return std::pair{e.widthCm * 10u, e.heightCm * 10u};
    return std::nullopt;
}

// Rounded; nothing when the result does not fit the property (a mode line
// of billions of pixels).
std::optional<uint32_t> PerInch(uint32_t pixels, uint32_t mm) {
    const uint64_t perInch = (static_cast<uint64_t>(pixels) * 254 + uint64_t{mm} * 5) / (uint64_t{mm} * 10);
    if (perInch > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(perInch);
}

// What went wrong reading the connector's EDID, "" for nothing. A table
// claiming 255 damaged extension blocks would say so 255 times: the first
// few are named and the rest counted.
std::string EdidProblems(const drm::Connector& c) {
    if (c.edidError) return *c.edidError;
    if (!c.edid) return {};
    constexpr size_t kNamed = 4;
    const std::vector<std::string>& warnings = c.edid->warnings;
    std::string text;
    for (size_t n = 0; n < warnings.size() && n < kNamed; ++n) text += (n ? "; " : "") + warnings[n];
    if (warnings.size() > kNamed) text += "; and " + std::to_string(warnings.size() - kNamed) + " more";
    return text;
}

uint16_t AvailabilityOf(const drm::Connector& c) {
    if (!c.enabled) return 8;
    if (c.dpms == std::string("Standby")) return 15;
    if (c.dpms == std::string("Suspend")) return 14;
    if (c.dpms == std::string("Off")) return 7;
    return 3;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_DesktopMonitorSchema() {
    static const ClassSchema schema("Win32_DesktopMonitor", CIM_DesktopMonitor(), {
        {"MonitorManufacturer", CimType::String},
        {"MonitorType", CimType::String},
        {"PixelsPerXLogicalInch", CimType::UInt32},
        {"PixelsPerYLogicalInch", CimType::UInt32},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_DesktopMonitor(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    std::optional<edid::PnpIds> pnpIds;
    const drm::ModeSource& modes = context.Modes();
    for (const auto& connector : drm::Connectors(root)) {
        if (!connector.connected) continue;
        Instance inst(Win32_DesktopMonitorSchema());
        inst.SetText("DeviceID", "DesktopMonitor" + std::to_string(out.size() + 1));
        const std::optional<drm::Mode> mode = modes.CurrentMode(root, connector);
        if (mode) {
            inst.Set("ScreenWidth", Value::UInt(mode->width));
            inst.Set("ScreenHeight", Value::UInt(mode->height));
        }
        if (const auto& e = connector.edid) {
            if (e->monitorName && !e->monitorName->empty())
                for (const char* name : {"Name", "Caption", "Description", "MonitorType"})
                    inst.SetText(name, *e->monitorName);
            if (!e->manufacturerId.empty()) {
                if (!pnpIds) {
                    auto text = root.ReadFile(kPnpIds, 4u << 20);
                    if (!text && context.idFallback) text = context.idFallback->ReadFile(kPnpIds, 4u << 20);
                    pnpIds = text ? edid::PnpIds::FromText(*text) : edid::PnpIds{};
                }
                if (auto maker = pnpIds->Name(e->manufacturerId)) inst.SetText("MonitorManufacturer", *maker);
                std::string instance = connector.name;
                for (char& c : instance)
                    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
                inst.SetText("PNPDeviceID", "DISPLAY\\" + e->manufacturerId + Hex4(e->productCode) + "\\" + instance);
            }
            if (auto mm = ScreenMm(*e); mm && mode) {
                SetIfUInt(inst, "PixelsPerXLogicalInch", PerInch(mode->width, mm->first));
                SetIfUInt(inst, "PixelsPerYLogicalInch", PerInch(mode->height, mm->second));
            }
            if (e->maxPixelClockMHz) inst.Set("Bandwidth", Value::UInt(*e->maxPixelClockMHz));
            inst.SetBool("PowerManagementSupported", e->dpmsModes != 0);
        }
        const std::string problems = EdidProblems(connector);
        if (!problems.empty()) {
            inst.SetText("ErrorDescription", "EDID of " + connector.name + ": " + problems);
            inst.Set("LastErrorCode", Value::UInt(kInvalidData));
        }
        SetWorkingStatus(inst, {.works = true, .availability = AvailabilityOf(connector), .userConfig = false});
        // The page shows Status, not ErrorDescription: an EDID read in part
        // or not at all shows there too.
        if (!problems.empty()) inst.SetText("Status", "Degraded");
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
