// Win32_USBHub: every USB hub, root hubs and external ones: the USB devices
// in /sys/bus/usb/devices whose device class is 09 (hub).
//
//   DeviceID, PNPDeviceID      the device tree's USB\VID_xxxx&PID_xxxx\<serial or port path>
//   Name, Caption, Description usb.ids product name (/usr/share/misc/usb.ids or
//                              /usr/share/hwdata/usb.ids, read by the pci.ids reader: the
//                              format is the same), else the device's own product string
//   USBVersion                 bcdUSB from the "version" attribute, as the class encodes it
//                              (binary-coded decimal: 2.00 is 0x0200, shown as 512)
//   NumberOfPorts              maxchild
//   NumberOfConfigs, CurrentConfigValue  bNumConfigurations, bConfigurationValue
//   ClassCode, SubclassCode, ProtocolCode  bDeviceClass, bDeviceSubClass, bDeviceProtocol
//   ConfigManagerErrorCode, Status  0 and "OK" with the hub driver bound, 28 and "Error" without
//   ConfigManagerUserConfig    false: the kernel configures a hub itself
//   PowerManagementSupported   power/control reads "auto" (runtime suspend allowed)
//   LastErrorCode, ErrorDescription, PowerManagementCapabilities, GangSwitched  null: sysfs
//                              does not say
#include "cimv2/core/CimBases.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

constexpr uint32_t kHubClass = 0x09;

// "2.00" (the version attribute, blank-padded) as binary-coded decimal 0x0200.
std::optional<uint32_t> BcdVersion(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const std::string_view version = Trim(*text);
    const size_t dot = version.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot > 2 || version.size() - dot != 3) return std::nullopt;
    auto major = ParseHex(version.substr(0, dot), 2), minor = ParseHex(version.substr(dot + 1), 2);
    for (char c : version)
        if (c != '.' && (c < '0' || c > '9')) return std::nullopt;
    if (!major || !minor) return std::nullopt;
    return *major << 8 | *minor;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_USBHubSchema() {
    static const ClassSchema schema("Win32_USBHub", CIM_USBHub(), {});
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_USBHub(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    std::optional<devtree::PciIds> usbIds;
    const devtree::PciIds noPciNames;
    for (const auto& name : root.List("/sys/bus/usb/devices")) {
        if (name.find(':') != std::string::npos) continue;  // an interface
        const std::string path = "/sys/bus/usb/devices/" + name;
        if (ReadHexId(root, path + "/bDeviceClass", 2) != kHubClass) continue;
        auto device = devtree::DescribeDeviceAt(root, noPciNames, path);
        if (!device || device->bus != "usb") continue;
        if (!usbIds) usbIds = devtree::PciIds::LoadUsb(root, context.idFallback);
        Instance inst(Win32_USBHubSchema());
        std::optional<std::string> title;
        const auto vendor = ReadHexId(root, path + "/idVendor", 4), product = ReadHexId(root, path + "/idProduct", 4);
        if (vendor && product) title = usbIds->Device(*vendor, *product);
        if (!title) title = device->displayName;
        SetPnPIdentity(inst, {device->deviceId, device->deviceId, title, std::nullopt});
        if (auto bcd = BcdVersion(ReadLine(root, path + "/version"))) inst.Set("USBVersion", Value::UInt(*bcd));
        if (auto ports = ReadUnsigned(root, path + "/maxchild"); ports && *ports <= 255)
            inst.Set("NumberOfPorts", Value::UInt(*ports));
        if (auto configs = ReadUnsigned(root, path + "/bNumConfigurations"); configs && *configs <= 255)
            inst.Set("NumberOfConfigs", Value::UInt(*configs));
        if (auto current = ReadUnsigned(root, path + "/bConfigurationValue"); current && *current <= 255)
            inst.Set("CurrentConfigValue", Value::UInt(*current));
        inst.Set("ClassCode", Value::UInt(kHubClass));
        if (auto sub = ReadHexId(root, path + "/bDeviceSubClass", 2)) inst.Set("SubclassCode", Value::UInt(*sub));
        if (auto protocol = ReadHexId(root, path + "/bDeviceProtocol", 2))
            inst.Set("ProtocolCode", Value::UInt(*protocol));
        SetWorkingStatus(inst, {.works = DriverWorks(*device), .availability = {}, .userConfig = false});
        if (auto control = ReadLine(root, path + "/power/control"))
            inst.SetBool("PowerManagementSupported", *control == "auto");
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
