// Win32_VideoController: the display-class PCI functions (base class 03: VGA
// 0300, XGA 0301, 3D 0302, other 0380) through the device tree, with the
// DRM card the driver made of each.
//
//   DeviceID, PNPDeviceID      the device tree's PCI\VEN_xxxx&DEV_xxxx&SUBSYS_...\... form
//   Name, Caption, Description, VideoProcessor  pci.ids device name, else its class name
//   AdapterCompatibility       pci.ids vendor name
//   InstalledDisplayDrivers    the bound kernel driver; null when none
//   DriverVersion              /sys/module/<module>/version, else for a module built with
//                              the kernel (/sys/module/<module>/intree) the kernel release
//   AdapterRAM                 the driver's VRAM figure where it gives one (amdgpu's
//                              mem_info_vram_total), else the largest prefetchable memory BAR of
//                              /sys/.../resource (the frame buffer aperture); null above 32 bits,
//                              which the class's uint32 cannot hold
//   VideoArchitecture          5 VGA for 0300 prog-if 00, 10 8514A for prog-if 01, 11 XGA for
//                              0301, 2 unknown otherwise
//   Monochrome                 false: every display-class PCI function drives colour outputs
//   CurrentHorizontalResolution, CurrentVerticalResolution, CurrentBitsPerPixel  the frame
//                              buffer of the card (/sys/class/graphics/fb*: virtual_size,
//                              bits_per_pixel) while one of its DRM connectors is connected and
//                              enabled; null without a display
//   Availability               3 running with a display in use, else the power state
//   ConfigManagerErrorCode, Status  0 and "OK" with a bound driver, 28 and "Error" without
//   AdapterDACType, DriverDate, InfFilename, InfSection, CurrentRefreshRate, refresh limits,
//   colour planes, video pages, memory type  null: Linux has no source for them
#include "cimv2/core/CimBases.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/PciFunctions.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

constexpr uint64_t kMemoryResource = 0x200, kPrefetchable = 0x2000;

std::optional<uint64_t> LargestPrefetchableBar(const SystemRoot& root, const std::string& path) {
    auto text = root.ReadFile(path + "/resource", 1 << 16);
    if (!text) return std::nullopt;
    std::string_view rest = *text;
    std::optional<uint64_t> largest;
    for (int bar = 0; bar < 6 && !rest.empty(); ++bar) {
        std::string_view line = NextLine(rest);
        uint64_t fields[3] = {};
        int count = 0;
        while (count < 3 && !line.empty()) {
            line = Trim(line);
            const size_t gap = line.find(' ');
            std::string_view word = line.substr(0, gap);
            if (word.substr(0, 2) != "0x" || word.size() > 18) return largest;
            uint64_t value = 0;
            for (char c : word.substr(2)) {
                const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
                if (digit < 0) return largest;
                value = value << 4 | static_cast<uint64_t>(digit);
            }
            fields[count++] = value;
            line = gap == std::string_view::npos ? std::string_view{} : line.substr(gap);
        }
        if (count != 3 || fields[1] <= fields[0]) continue;
        if ((fields[2] & kMemoryResource) && (fields[2] & kPrefetchable))
            largest = std::max(largest.value_or(0), fields[1] - fields[0] + 1);
    }
    return largest;
}

struct Display {
    std::optional<uint64_t> width, height, bitsPerPixel;
};

// The card's frame buffer while a connector of it shows something.
Display CurrentDisplay(const SystemRoot& root, const std::string& path) {
    Display display;
    bool inUse = false;
    for (const auto& card : root.List(path + "/drm")) {
        if (card.rfind("card", 0) != 0) continue;
        for (const auto& connector : root.List(path + "/drm/" + card)) {
            if (connector.rfind(card + "-", 0) != 0) continue;
            const std::string dir = path + "/drm/" + card + "/" + connector;
            inUse = inUse || (ReadLine(root, dir + "/status") == std::string("connected") &&
                              ReadLine(root, dir + "/enabled") == std::string("enabled"));
        }
    }
    if (!inUse) return display;
    for (const auto& fb : root.List(path + "/graphics")) {
        if (fb.rfind("fb", 0) != 0) continue;
        const std::string dir = path + "/graphics/" + fb;
        if (auto size = ReadLine(root, dir + "/virtual_size")) {
            const size_t comma = size->find(',');
            if (comma != std::string::npos) {
                display.width = ParseUnsigned(std::string_view(*size).substr(0, comma));
                display.height = ParseUnsigned(std::string_view(*size).substr(comma + 1));
            }
        }
        display.bitsPerPixel = ReadUnsigned(root, dir + "/bits_per_pixel");
        break;
    }
    return display;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_VideoControllerSchema() {
    static const ClassSchema schema("Win32_VideoController", CIM_PCVideoController(), {
        {"AdapterCompatibility", CimType::String},
        {"AdapterDACType", CimType::String},
        {"AdapterRAM", CimType::UInt32},
        {"ColorTableEntries", CimType::UInt32},
        {"DeviceSpecificPens", CimType::UInt32},
        {"DitherType", CimType::UInt32},
        {"DriverDate", CimType::DateTime},
        {"DriverVersion", CimType::String},
        {"ICMIntent", CimType::UInt32},
        {"ICMMethod", CimType::UInt32},
        {"InfFilename", CimType::String},
        {"InfSection", CimType::String},
        {"InstalledDisplayDrivers", CimType::String},
        {"Monochrome", CimType::Boolean},
        {"ReservedSystemPaletteEntries", CimType::UInt32},
        {"SpecificationVersion", CimType::UInt32},
        {"SystemPaletteEntries", CimType::UInt32},
        {"VideoModeDescription", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_VideoController(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const devtree::PciIds ids = devtree::PciIds::Load(root, context.idFallback);
    for (auto& function : pci::FunctionsOfClass(root, ids, 0x03)) {
        const devtree::PnpDevice& device = function.device;
        Instance inst(Win32_VideoControllerSchema());
        // The maker is the adapter's compatibility: the class has no Manufacturer.
        SetPnPIdentity(inst, {device.deviceId, device.deviceId, device.displayName, std::nullopt}, {"VideoProcessor"});
        if (device.manufacturer) inst.SetText("AdapterCompatibility", *device.manufacturer);
        if (device.service) {
            inst.SetText("InstalledDisplayDrivers", *device.service);
            if (auto version = pci::DriverVersion(root, *device.service, context.Facts().kernelRelease))
                inst.SetText("DriverVersion", *version);
        }
        std::optional<uint64_t> ram = ReadUnsigned(root, function.path + "/mem_info_vram_total");
        if (!ram) ram = LargestPrefetchableBar(root, function.path);
        if (ram && *ram <= UINT32_MAX) inst.Set("AdapterRAM", Value::UInt(*ram));
        const uint32_t sub = (function.classCode >> 8) & 0xFF, progIf = function.classCode & 0xFF;
        uint32_t architecture = 2;
        if (sub == 0x00 && progIf == 0x00) architecture = 5;
        if (sub == 0x00 && progIf == 0x01) architecture = 10;
        if (sub == 0x01) architecture = 11;
        inst.Set("VideoArchitecture", Value::UInt(architecture));
        inst.SetBool("Monochrome", false);
        const Display display = CurrentDisplay(root, function.path);
        if (display.width) inst.Set("CurrentHorizontalResolution", Value::UInt(*display.width));
        if (display.height) inst.Set("CurrentVerticalResolution", Value::UInt(*display.height));
        if (display.bitsPerPixel) inst.Set("CurrentBitsPerPixel", Value::UInt(*display.bitsPerPixel));
        if (display.width && display.height && display.bitsPerPixel)
            inst.SetText("VideoModeDescription", std::to_string(*display.width) + " x " +
                                                     std::to_string(*display.height) + " x " +
                                                     std::to_string(*display.bitsPerPixel) + " bits");
        SetWorkingStatus(
            inst, {.works = DriverWorks(device),
                   .availability = display.width ? kAvailabilityRunning : pci::AvailabilityOf(function.powerState),
                   .userConfig = {}});
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
