// Win32_NetworkAdapter: every network interface of /sys/class/net, in
// interface index order; those with a device link are physical adapters,
// the rest (loopback, bridges, tunnels, ifb, ...) virtual ones.
//
//   DeviceID, Index, InterfaceIndex  ifindex (DeviceID as its text, as the class keys it)
//   NetConnectionID            the interface name
//   Name, ProductName, Caption, Description  the device's name from pci.ids, for a USB adapter
//                              from usb.ids (else the device tree's name for it); a virtual
//                              interface's own name
//   Manufacturer               the device's vendor from pci.ids or usb.ids
//   PNPDeviceID                the device tree's id of the device; ServiceName its bound driver
//   PhysicalAdapter            a device link; Installed: listed by the kernel
//   MACAddress                 address, upper case with colons, for link types with 6-byte
//                              hardware addresses (Ethernet, Wi-Fi); PermanentAddress the same
//                              when addr_assign_type says it is the burnt-in address (0)
//   AdapterType, AdapterTypeID the link type (type, ARPHRD_*) in the class's media list:
//                              Ethernet and Wi-Fi (802.11 frames reach the system as 802.3)
//                              "Ethernet 802.3" 0, token ring 1, FDDI 2, ARCNET 6, ATM 8,
//                              IEEE 1394 13; null for others (loopback, tunnels, PPP)
//   NetEnabled                 IFF_UP of flags
//   NetConnectionStatus        operstate: up 2 (connected), dormant 8 (authenticating), down or
//                              lowerlayerdown 7 (media disconnected) while enabled, else 0
//                              (disconnected), notpresent 4; unknown (loopback, some virtual
//                              links) 2 while enabled with carrier, else null
//   Availability               3 (running) while enabled, 8 (off line) while not
//   Speed                      speed (Mb/s) in bits per second; null when the driver gives
//                              none (-1, or no link)
//   AutoSense, MaxSpeed        ethtool's autonegotiation and fastest supported mode, on the
//                              running machine only (NetLinks.h)
//   ConfigManagerErrorCode, Status  0 and "OK": an interface exists only with its driver
//   NetworkAddresses, GUID, TimeOfLastReset, MaxNumberControlled  null: the class leaves the
//                              addresses to the adapter configuration, Linux has no connection
//                              GUID and keeps no record of a driver's last reset
#include <algorithm>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/NetLinks.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

constexpr uint32_t kIffUp = 0x1;

// Link types (linux/if_arp.h) in the class's media list.
struct Medium {
    uint32_t arphrd;
    uint32_t id;
    const char* text;
};
constexpr Medium kMedia[] = {
    {1, 0, "Ethernet 802.3"},                             // ARPHRD_ETHER (Wi-Fi too)
    {6, 1, "Token Ring 802.5"},                           // ARPHRD_IEEE802
    {800, 1, "Token Ring 802.5"},                         // ARPHRD_IEEE802_TR
    {774, 2, "Fiber Distributed Data Interface (FDDI)"},  // ARPHRD_FDDI
    {7, 6, "ARCNET"},                                     // ARPHRD_ARCNET
    {19, 8, "ATM"},                                       // ARPHRD_ATM
    {24, 13, "1394"},                                     // ARPHRD_IEEE1394
};

// "aa:bb:cc:dd:ee:ff" as the class writes it; nothing for other lengths
// or an all-zero address.
std::optional<std::string> MacOf(const std::optional<std::string>& address) {
    if (!address || address->size() != 17) return std::nullopt;
    std::string mac = *address;
    bool zero = true;
    for (size_t n = 0; n < mac.size(); ++n) {
        char& c = mac[n];
        if (n % 3 == 2) {
            if (c != ':') return std::nullopt;
            continue;
        }
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return std::nullopt;
        zero = zero && c == '0';
    }
    if (zero) return std::nullopt;
    return mac;
}

std::optional<uint32_t> ConnectionStatus(const std::optional<std::string>& operstate, uint32_t flags,
                                         std::optional<uint64_t> carrier) {
    if (!operstate) return std::nullopt;
    const bool up = flags & kIffUp;
    if (*operstate == "up") return 2;
    if (*operstate == "dormant") return 8;
    if (*operstate == "down" || *operstate == "lowerlayerdown") return up ? 7 : 0;
    if (*operstate == "notpresent") return 4;
    if (*operstate == "unknown" && up && carrier == 1u) return 2;
    return std::nullopt;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_NetworkAdapterSchema() {
    static const ClassSchema schema("Win32_NetworkAdapter", CIM_NetworkAdapter(), {
        {"AdapterType", CimType::String},
        {"AdapterTypeID", CimType::UInt16},
        {"GUID", CimType::String},
        {"Index", CimType::UInt32},
        {"Installed", CimType::Boolean},
        {"InterfaceIndex", CimType::UInt32},
        {"MACAddress", CimType::String},
        {"Manufacturer", CimType::String},
        {"MaxNumberControlled", CimType::UInt32},
        {"NetConnectionID", CimType::String},
        {"NetConnectionStatus", CimType::UInt16},
        {"NetEnabled", CimType::Boolean},
        {"PhysicalAdapter", CimType::Boolean},
        {"ProductName", CimType::String},
        {"ServiceName", CimType::String},
        {"TimeOfLastReset", CimType::DateTime},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_NetworkAdapter(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    const net::LinkSource& links = context.Links();
    std::vector<std::pair<uint64_t, std::string>> interfaces;
    for (const auto& name : root.List("/sys/class/net"))
        if (auto index = ReadUnsigned(root, "/sys/class/net/" + name + "/ifindex"); index && *index <= UINT32_MAX)
            interfaces.emplace_back(*index, name);
    std::sort(interfaces.begin(), interfaces.end());
    std::vector<Instance> out;
    std::optional<devtree::PciIds> ids, usbIds;
    for (const auto& [index, name] : interfaces) {
        const std::string dir = "/sys/class/net/" + name;
        Instance inst(Win32_NetworkAdapterSchema());
        inst.SetText("DeviceID", std::to_string(index));
        inst.Set("Index", Value::UInt(index));
        inst.Set("InterfaceIndex", Value::UInt(index));
        inst.SetText("NetConnectionID", name);
        inst.SetBool("Installed", true);
        std::string title = name;
        const bool physical = root.ReadLink(dir + "/device").has_value();
        inst.SetBool("PhysicalAdapter", physical);
        if (physical) {
            if (!ids) ids = devtree::PciIds::Load(root, context.idFallback);
            if (auto device = devtree::DescribeDeviceAt(root, *ids, dir + "/device")) {
                inst.SetText("PNPDeviceID", device->deviceId);
                if (device->displayName) title = *device->displayName;
                if (device->manufacturer) inst.SetText("Manufacturer", *device->manufacturer);
                if (device->service) inst.SetText("ServiceName", *device->service);
                // A USB adapter's interface: usb.ids names its device.
                if (device->bus == "usb") {
                    if (!usbIds) usbIds = devtree::PciIds::LoadUsb(root, context.idFallback);
                    const std::string usbDevice = dir + "/device/..";
                    const auto vendorId = ReadHexId(root, usbDevice + "/idVendor", 4),
                               productId = ReadHexId(root, usbDevice + "/idProduct", 4);
                    if (vendorId && productId) {
                        if (auto product = usbIds->Device(*vendorId, *productId)) title = *product;
                        if (auto vendor = usbIds->Vendor(*vendorId)) inst.SetText("Manufacturer", *vendor);
                    }
                }
            }
        }
        for (const char* property : {"Name", "ProductName", "Caption", "Description"}) inst.SetText(property, title);

        const auto type = ReadUnsigned(root, dir + "/type");
        for (const auto& medium : kMedia)
            if (type == medium.arphrd) {
                inst.SetText("AdapterType", medium.text);
                inst.Set("AdapterTypeID", Value::UInt(medium.id));
            }
        if (auto mac = MacOf(ReadLine(root, dir + "/address"))) {
            inst.SetText("MACAddress", *mac);
            if (ReadUnsigned(root, dir + "/addr_assign_type") == 0u) inst.SetText("PermanentAddress", *mac);
        }
        const auto flags = ReadHexId(root, dir + "/flags", 8);
        if (flags) {
            inst.SetBool("NetEnabled", (*flags & kIffUp) != 0);
            inst.Set("Availability", Value::UInt((*flags & kIffUp) ? 3 : 8));
            if (auto status =
                    ConnectionStatus(ReadLine(root, dir + "/operstate"), *flags, ReadUnsigned(root, dir + "/carrier")))
                inst.Set("NetConnectionStatus", Value::UInt(*status));
        }
        // The kernel answers -1 (or nothing) when the driver does not know.
        if (auto speed = ReadSigned(root, dir + "/speed"); speed && *speed > 0)
            inst.Set("Speed", Value::UInt(static_cast<uint64_t>(*speed) * 1000000));
        if (auto settings = links.Settings(name)) {
            if (settings->autoNegotiation) inst.SetBool("AutoSense", *settings->autoNegotiation);
            if (settings->maxSpeed) inst.Set("MaxSpeed", Value::UInt(*settings->maxSpeed));
        }
        SetWorkingStatus(inst, {});
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
