#include "cimv2/sources/DeviceTree.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "cimv2/core/TextFields.h"

namespace cimv2::devtree {

namespace {

std::string BaseName(std::string_view path) {
    while (!path.empty() && path.back() == '/') path.remove_suffix(1);
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string Hex(uint32_t value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", width, value);
    return buf;
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Instance parts of a device ID must not hold the separator.
std::string InstancePart(std::string text) {
    for (char& c : text)
        if (c == '\\' || c < 0x20) c = '_';
    return text;
}

struct Context {
    const SystemRoot& root;
    const PciIds& ids;
};

std::optional<std::string> Attr(const Context& ctx, const std::string& path, const char* name) {
    return ctx.root.ReadAttribute(path + "/" + name);
}

std::optional<uint32_t> HexAttr(const Context& ctx, const std::string& path, const char* name) {
    auto text = Attr(ctx, path, name);
    return text ? ParseHex(*text) : std::nullopt;
}

std::optional<std::string> LinkName(const Context& ctx, const std::string& path) {
    auto target = ctx.root.ReadLink(path);
    if (!target) return std::nullopt;
    return BaseName(*target);
}

// The bound driver: the driver link's name, else the DRIVER= of the
// device's uevent (a captured tree may hold the file but not the link).
std::optional<std::string> DriverOf(const Context& ctx, const std::string& path) {
    if (auto link = LinkName(ctx, path + "/driver")) return link;
    auto uevent = ctx.root.ReadFile(path + "/uevent", 1 << 16);
    if (!uevent) return std::nullopt;
    std::string_view rest = *uevent;
    while (!rest.empty()) {
        const std::string_view line = NextLine(rest);
        if (line.starts_with("DRIVER=") && line.size() > 7) return std::string(line.substr(7));
    }
    return std::nullopt;
}

// Setup classes by PCI class code, most specific first (0xFF matches any subclass).
struct PciClassRule {
    uint32_t base, sub;
    const char* pnpClass;
};
constexpr PciClassRule kPciClassRules[] = {
    {0x01, 0x01, "HDC"},     {0x01, 0x06, "HDC"},       {0x01, 0xFF, "SCSIAdapter"}, {0x02, 0xFF, "Net"},
    {0x03, 0xFF, "Display"}, {0x04, 0x01, "MEDIA"},     {0x04, 0x03, "MEDIA"},       {0x05, 0xFF, "System"},
    {0x06, 0xFF, "System"},  {0x08, 0xFF, "System"},    {0x0C, 0x00, "1394"},        {0x0C, 0x03, "USB"},
    {0x0C, 0x05, "System"},  {0x0D, 0x11, "Bluetooth"}, {0x0D, 0xFF, "Net"},
};

// Setup classes by USB class code (device or interface).
struct UsbClassRule {
    uint32_t cls;
    const char* pnpClass;
};
constexpr UsbClassRule kUsbClassRules[] = {
    {0x00, "USB"}, {0x01, "MEDIA"}, {0x03, "HIDClass"},  {0x06, "Image"}, {0x08, "USB"},
    {0x09, "USB"}, {0x0E, "Image"}, {0xE0, "Bluetooth"}, {0xEF, "USB"},
};

// Generic names and setup classes of firmware (ACPI/PnP) device IDs.
struct FirmwareIdRule {
    const char* id;
    const char* name;
    const char* pnpClass;
};
constexpr FirmwareIdRule kFirmwareIds[] = {
    {"PNP0000", "Programmable interrupt controller", "System"},
    {"PNP0100", "System timer", "System"},
    {"PNP0103", "High precision event timer", "System"},
    {"PNP0200", "Direct memory access controller", "System"},
    {"PNP0303", "Standard PS/2 Keyboard", "Keyboard"},
    {"PNP0400", "Printer Port", "Ports"},
    {"PNP0501", "Communications Port", "Ports"},
    {"PNP0700", "Standard floppy disk controller", "fdc"},
    {"PNP0800", "System speaker", "System"},
    {"PNP0A03", "PCI Bus", "System"},
    {"PNP0A08", "PCI Express Root Complex", "System"},
    {"PNP0B00", "System CMOS/real time clock", "System"},
    {"PNP0C01", "System board", "System"},
    {"PNP0C02", "Motherboard resources", "System"},
    {"PNP0C04", "Numeric data processor", "System"},
    {"PNP0C09", "Embedded Controller", "System"},
    {"PNP0C0A", "Control Method Battery", "Battery"},
    {"PNP0C0C", "Power Button", "System"},
    {"PNP0C0D", "Lid", "System"},
    {"PNP0C0E", "Sleep Button", "System"},
    {"PNP0C0F", "PCI Interrupt Link", "System"},
    {"PNP0C14", "WMI", "System"},
    {"PNP0F13", "PS/2 Compatible Mouse", "Mouse"},
    {"ACPI0003", "AC Adapter", "Battery"},
    {"ACPI0007", "Processor", "Processor"},
    {"ACPI0010", "Processor Aggregator", "System"},
    {"LNXCPU", "Processor", "Processor"},
    {"LNXPWRBN", "Power Button", "System"},
    {"LNXSLPBN", "Sleep Button", "System"},
    {"LNXSYSTM", "ACPI System", "System"},
    {"LNXSYBUS", "ACPI System Bus", "System"},
    {"LNXTHERM", "Thermal Zone", "System"},
};

// Device types as the virtio standard numbers them.
struct VirtioRule {
    uint32_t device;
    const char* name;
};
constexpr VirtioRule kVirtioDevices[] = {
    {1, "VirtIO Network Device"}, {2, "VirtIO Block Device"},   {3, "VirtIO Console"},
    {4, "VirtIO RNG Device"},     {5, "VirtIO Balloon Device"}, {8, "VirtIO SCSI Host"},
    {9, "VirtIO 9P Transport"},   {16, "VirtIO GPU Device"},    {18, "VirtIO Input Device"},
    {19, "VirtIO Socket Device"}, {20, "VirtIO Crypto Device"}, {26, "VirtIO File System Device"},
};

// Base class names of the PCI class code, for machines without pci.ids.
struct PciBaseName {
    uint32_t base;
    const char* name;
};
constexpr PciBaseName kPciBaseNames[] = {
    {0x00, "Unclassified device"},
    {0x01, "Mass storage controller"},
    {0x02, "Network controller"},
    {0x03, "Display controller"},
    {0x04, "Multimedia controller"},
    {0x05, "Memory controller"},
    {0x06, "Bridge"},
    {0x07, "Communication controller"},
    {0x08, "Generic system peripheral"},
    {0x09, "Input device controller"},
    {0x0A, "Docking station"},
    {0x0B, "Processor"},
    {0x0C, "Serial bus controller"},
    {0x0D, "Wireless controller"},
    {0x0E, "Intelligent controller"},
    {0x0F, "Satellite communications controller"},
    {0x10, "Encryption controller"},
    {0x11, "Signal processing controller"},
    {0x12, "Processing accelerators"},
    {0x13, "Non-Essential Instrumentation"},
    {0x40, "Coprocessor"},
    {0xFF, "Unassigned class"},
};

const FirmwareIdRule* FindFirmwareId(std::string_view id) {
    for (const auto& rule : kFirmwareIds)
        if (id == rule.id) return &rule;
    return nullptr;
}

void SetClass(PnpDevice& device, const char* pnpClass) {
    if (!pnpClass) return;
    device.pnpClass = pnpClass;
    device.classGuid = ClassGuidOf(pnpClass);
}

std::optional<PnpDevice> DescribePci(const Context& ctx, const std::string& path, const std::string& name) {
    auto vendor = HexAttr(ctx, path, "vendor");
    auto device = HexAttr(ctx, path, "device");
    if (!vendor || !device || *vendor > 0xFFFF || *device > 0xFFFF) return std::nullopt;
    auto subVendor = HexAttr(ctx, path, "subsystem_vendor");
    auto subDevice = HexAttr(ctx, path, "subsystem_device");
    auto revision = HexAttr(ctx, path, "revision");
    auto classCode = HexAttr(ctx, path, "class");

    PnpDevice out;
    out.bus = "pci";
    out.name = name;
    const std::string venDev = "PCI\\VEN_" + Hex(*vendor, 4) + "&DEV_" + Hex(*device, 4);
    std::string subsys;
    if (subVendor && subDevice && *subVendor <= 0xFFFF && *subDevice <= 0xFFFF)
        subsys = "&SUBSYS_" + Hex(*subDevice, 4) + Hex(*subVendor, 4);
    std::string rev = revision && *revision <= 0xFF ? "&REV_" + Hex(*revision, 2) : "";
    out.deviceId = venDev + subsys + rev + "\\" + InstancePart(name);

    out.hardwareIds.push_back(venDev + subsys + rev);
    if (!subsys.empty()) out.hardwareIds.push_back(venDev + subsys);
    std::string vendorOnly = "PCI\\VEN_" + Hex(*vendor, 4);
    if (!rev.empty()) out.compatibleIds.push_back(venDev + rev);
    out.compatibleIds.push_back(venDev);
    if (classCode && *classCode <= 0xFFFFFF) {
        std::string cc6 = "&CC_" + Hex(*classCode, 6), cc4 = "&CC_" + Hex(*classCode >> 8, 4);
        out.hardwareIds.push_back(venDev + cc6);
        out.hardwareIds.push_back(venDev + cc4);
        out.compatibleIds.push_back(vendorOnly + cc6);
        out.compatibleIds.push_back(vendorOnly + cc4);
    }
    out.compatibleIds.push_back(vendorOnly);
    if (classCode && *classCode <= 0xFFFFFF) {
        out.compatibleIds.push_back("PCI\\CC_" + Hex(*classCode, 6));
        out.compatibleIds.push_back("PCI\\CC_" + Hex(*classCode >> 8, 4));
    }

    out.manufacturer = ctx.ids.Vendor(*vendor);
    out.displayName = ctx.ids.Device(*vendor, *device);
    if (classCode) {
        uint32_t base = (*classCode >> 16) & 0xFF, sub = (*classCode >> 8) & 0xFF;
        if (!out.displayName) out.displayName = ctx.ids.Class(base, sub);
        if (!out.displayName)
            for (const auto& entry : kPciBaseNames)
                if (entry.base == base) out.displayName = entry.name;
        for (const auto& rule : kPciClassRules)
            if (rule.base == base && (rule.sub == 0xFF || rule.sub == sub)) {
                SetClass(out, rule.pnpClass);
                break;
            }
    }
    out.service = DriverOf(ctx, path);
    return out;
}

void AddUsbClassIds(PnpDevice& out, std::optional<uint32_t> cls, std::optional<uint32_t> sub,
                    std::optional<uint32_t> proto) {
    if (!cls || *cls > 0xFF) return;
    std::string c = "USB\\Class_" + Hex(*cls, 2);
    if (sub && *sub <= 0xFF) {
        std::string cs = c + "&SubClass_" + Hex(*sub, 2);
        if (proto && *proto <= 0xFF) out.compatibleIds.push_back(cs + "&Prot_" + Hex(*proto, 2));
        out.compatibleIds.push_back(cs);
    }
    out.compatibleIds.push_back(c);
    for (const auto& rule : kUsbClassRules)
        if (rule.cls == *cls) {
            SetClass(out, rule.pnpClass);
            break;
        }
}

std::optional<PnpDevice> DescribeUsb(const Context& ctx, const std::string& path, const std::string& name) {
    PnpDevice out;
    out.bus = "usb";
    out.name = name;
    out.service = DriverOf(ctx, path);
    if (auto vid = HexAttr(ctx, path, "idVendor")) {
        auto pid = HexAttr(ctx, path, "idProduct");
        if (!pid || *vid > 0xFFFF || *pid > 0xFFFF) return std::nullopt;
        std::string base = "USB\\VID_" + Hex(*vid, 4) + "&PID_" + Hex(*pid, 4);
        auto serial = Attr(ctx, path, "serial");
        out.deviceId = base + "\\" + InstancePart(serial ? *serial : name);
        if (auto bcd = HexAttr(ctx, path, "bcdDevice"); bcd && *bcd <= 0xFFFF)
            out.hardwareIds.push_back(base + "&REV_" + Hex(*bcd, 4));
        out.hardwareIds.push_back(base);
        AddUsbClassIds(out, HexAttr(ctx, path, "bDeviceClass"), HexAttr(ctx, path, "bDeviceSubClass"),
                       HexAttr(ctx, path, "bDeviceProtocol"));
        out.displayName = Attr(ctx, path, "product");
        out.manufacturer = Attr(ctx, path, "manufacturer");
        return out;
    }
    // An interface: its device's IDs plus the interface number.
    auto number = HexAttr(ctx, path, "bInterfaceNumber");
    std::string parent = path + "/..";
    auto vid = HexAttr(ctx, parent, "idVendor");
    auto pid = HexAttr(ctx, parent, "idProduct");
    if (!number || !vid || !pid || *number > 0xFF || *vid > 0xFFFF || *pid > 0xFFFF) return std::nullopt;
    std::string base = "USB\\VID_" + Hex(*vid, 4) + "&PID_" + Hex(*pid, 4);
    std::string mi = "&MI_" + Hex(*number, 2);
    out.deviceId = base + mi + "\\" + InstancePart(name);
    if (auto bcd = HexAttr(ctx, parent, "bcdDevice"); bcd && *bcd <= 0xFFFF)
        out.hardwareIds.push_back(base + "&REV_" + Hex(*bcd, 4) + mi);
    out.hardwareIds.push_back(base + mi);
    AddUsbClassIds(out, HexAttr(ctx, path, "bInterfaceClass"), HexAttr(ctx, path, "bInterfaceSubClass"),
                   HexAttr(ctx, path, "bInterfaceProtocol"));
    out.displayName = Attr(ctx, path, "interface");
    if (!out.displayName) out.displayName = Attr(ctx, parent, "product");
    out.manufacturer = Attr(ctx, parent, "manufacturer");
    return out;
}

// IDs listed in an "acpi:HID:CID1:CID2:" modalias, in order.
std::vector<std::string> AcpiModaliasIds(std::string_view modalias) {
    std::vector<std::string> ids;
    if (modalias.substr(0, 5) != "acpi:") return ids;
    modalias.remove_prefix(5);
    while (!modalias.empty()) {
        size_t colon = modalias.find(':');
        std::string_view id = modalias.substr(0, colon);
        if (!id.empty()) ids.emplace_back(id);
        if (colon == std::string_view::npos) break;
        modalias.remove_prefix(colon + 1);
    }
    return ids;
}

void DescribeFirmwareId(PnpDevice& out, const std::string& hid) {
    if (const auto* rule = FindFirmwareId(hid)) {
        if (!out.displayName) out.displayName = rule->name;
        SetClass(out, rule->pnpClass);
    }
}

std::optional<PnpDevice> DescribeAcpi(const Context& ctx, const std::string& path, const std::string& name) {
    auto hid = Attr(ctx, path, "hid");
    if (!hid) return std::nullopt;
    PnpDevice out;
    out.bus = "acpi";
    out.name = name;
    std::string instance;
    if (auto uid = Attr(ctx, path, "uid")) {
        instance = *uid;
    } else {
        size_t colon = name.rfind(':');
        auto number = colon == std::string::npos ? std::nullopt : ParseHex(std::string_view(name).substr(colon + 1));
        instance = number ? std::to_string(*number) : name;
    }
    out.deviceId = "ACPI\\" + *hid + "\\" + InstancePart(instance);
    out.hardwareIds = {"ACPI\\" + *hid, "*" + *hid};
    if (auto modalias = Attr(ctx, path, "modalias")) {
        auto ids = AcpiModaliasIds(*modalias);
        for (size_t n = 1; n < ids.size(); ++n) {
            out.compatibleIds.push_back("ACPI\\" + ids[n]);
            out.compatibleIds.push_back("*" + ids[n]);
        }
    }
    out.displayName = Attr(ctx, path, "description");
    DescribeFirmwareId(out, *hid);
    if (!out.displayName) out.displayName = *hid;
    // Linux binds the driver to the bus device the firmware node describes.
    out.service = DriverOf(ctx, path);
    for (int n = 0; !out.service && n < 8; ++n) {
        std::string node = path + "/physical_node" + (n == 0 ? std::string() : std::to_string(n));
        if (!ctx.root.Exists(node)) {
            if (n > 0) break;
            continue;
        }
        out.service = DriverOf(ctx, node);
    }
    return out;
}

std::optional<PnpDevice> DescribePnp(const Context& ctx, const std::string& path, const std::string& name) {
    auto id = Attr(ctx, path, "id");
    if (!id) return std::nullopt;
    std::string first = id->substr(0, id->find('\n'));
    PnpDevice out;
    out.bus = "pnp";
    out.name = name;
    out.deviceId = "PNP\\" + first + "\\" + InstancePart(name);
    out.hardwareIds = {"*" + first};
    DescribeFirmwareId(out, first);
    if (!out.displayName) out.displayName = first;
    out.service = DriverOf(ctx, path);
    return out;
}

std::optional<PnpDevice> DescribeVirtio(const Context& ctx, const std::string& path, const std::string& name) {
    auto vendor = HexAttr(ctx, path, "vendor");
    auto device = HexAttr(ctx, path, "device");
    if (!vendor || !device || *vendor > 0xFFFF || *device > 0xFFFF) return std::nullopt;
    PnpDevice out;
    out.bus = "virtio";
    out.name = name;
    std::string base = "VIRTIO\\VEN_" + Hex(*vendor, 4) + "&DEV_" + Hex(*device, 4);
    out.deviceId = base + "\\" + InstancePart(name);
    out.hardwareIds = {base, "VIRTIO\\DEV_" + Hex(*device, 4)};
    for (const auto& entry : kVirtioDevices)
        if (entry.device == *device) out.displayName = entry.name;
    // The virtio vendor field carries the PCI vendor ID of the transport.
    out.manufacturer = ctx.ids.Vendor(*vendor);
    out.service = DriverOf(ctx, path);
    return out;
}

std::optional<PnpDevice> DescribeScsi(const Context& ctx, const std::string& path, const std::string& name) {
    // Hosts and targets share the bus; only logical units have a type.
    auto type = Attr(ctx, path, "type");
    if (!type) return std::nullopt;
    auto vendor = Attr(ctx, path, "vendor");
    auto model = Attr(ctx, path, "model");
    const char* kind = *type == "0" ? "Disk" : *type == "5" ? "CdRom" : "Other";
    PnpDevice out;
    out.bus = "scsi";
    out.name = name;
    std::string base =
        std::string("SCSI\\") + kind + "&Ven_" + (vendor ? *vendor : "") + "&Prod_" + (model ? *model : "");
    for (char& c : base)
        if (c == ' ') c = '_';
    out.deviceId = base + "\\" + InstancePart(name);
    out.hardwareIds = {base, std::string("SCSI\\") + kind};
    if (vendor || model)
        out.displayName = std::string(vendor ? *vendor : "") + (vendor && model ? " " : "") + (model ? *model : "");
    out.manufacturer = vendor;
    SetClass(out, *type == "0" ? "DiskDrive" : *type == "5" ? "CDROM" : nullptr);
    out.service = DriverOf(ctx, path);
    return out;
}

std::optional<PnpDevice> DescribeHid(const Context& ctx, const std::string& path, const std::string& name) {
    // uevent holds HID_ID=bus:vendor:product and HID_NAME.
    auto uevent = ctx.root.ReadFile(path + "/uevent", 1 << 16);
    std::optional<std::string> hidId, hidName;
    if (uevent) {
        std::string_view rest = *uevent;
        while (!rest.empty()) {
            size_t eol = rest.find('\n');
            std::string_view line = rest.substr(0, eol);
            rest.remove_prefix(eol == std::string_view::npos ? rest.size() : eol + 1);
            if (line.substr(0, 7) == "HID_ID=") hidId = std::string(line.substr(7));
            if (line.substr(0, 9) == "HID_NAME=") hidName = std::string(Trim(line.substr(9)));
        }
    }
    PnpDevice out;
    out.bus = "hid";
    out.name = name;
    std::optional<uint32_t> vid, pid;
    if (hidId) {
        size_t a = hidId->find(':'), b = hidId->find(':', a == std::string::npos ? a : a + 1);
        if (a != std::string::npos && b != std::string::npos) {
            vid = ParseHex(std::string_view(*hidId).substr(a + 1, b - a - 1));
            pid = ParseHex(std::string_view(*hidId).substr(b + 1));
        }
    }
    if (vid && pid && *vid <= 0xFFFF && *pid <= 0xFFFF) {
        std::string base = "HID\\VID_" + Hex(*vid, 4) + "&PID_" + Hex(*pid, 4);
        out.deviceId = base + "\\" + InstancePart(name);
        out.hardwareIds = {base};
    } else {
        out.deviceId = "HID\\" + InstancePart(name);
    }
    if (hidName && !hidName->empty()) out.displayName = hidName;
    SetClass(out, "HIDClass");
    out.service = DriverOf(ctx, path);
    return out;
}

// Buses without a richer ID scheme: "<BUS>\<name>", named by their "name" attribute.
std::optional<PnpDevice> DescribeGeneric(const Context& ctx, const std::string& bus, const std::string& path,
                                         const std::string& name) {
    PnpDevice out;
    out.bus = bus;
    out.name = name;
    out.deviceId = Upper(bus) + "\\" + InstancePart(name);
    if (auto modalias = Attr(ctx, path, "modalias")) out.hardwareIds.push_back(*modalias);
    out.displayName = Attr(ctx, path, "name");
    if (!out.displayName) out.displayName = name;
    out.service = DriverOf(ctx, path);
    return out;
}

std::optional<PnpDevice> Describe(const Context& ctx, const std::string& bus, const std::string& path,
                                  const std::string& name) {
    if (bus == "pci") return DescribePci(ctx, path, name);
    if (bus == "usb") return DescribeUsb(ctx, path, name);
    if (bus == "acpi") return DescribeAcpi(ctx, path, name);
    if (bus == "pnp") return DescribePnp(ctx, path, name);
    if (bus == "virtio") return DescribeVirtio(ctx, path, name);
    if (bus == "scsi") return DescribeScsi(ctx, path, name);
    if (bus == "hid") return DescribeHid(ctx, path, name);
    if (bus == "platform") {
        auto out = DescribeGeneric(ctx, bus, path, name);
        if (out) out->deviceId = "PLATFORM\\" + InstancePart(name);
        return out;
    }
    return DescribeGeneric(ctx, bus, path, name);
}

// Hardware buses whose devices are Plug and Play entities, in listing order.
// Kernel-internal buses (cpu, memory, node, workqueue, clock sources, ...)
// hold no devices in that sense.
constexpr const char* kHardwareBuses[] = {"pci",    "usb", "acpi",        "pnp",      "platform", "virtio", "scsi",
                                          "hid",    "i2c", "spi",         "serio",    "mmc",      "sdio",   "hdaudio",
                                          "pcmcia", "isa", "thunderbolt", "gameport", "ac97"};

bool HasHardwareId(const Context& ctx, const std::string& path) { return ctx.root.Exists(path + "/firmware_node/hid"); }

// Firmware describes some bus devices too; one entry per physical device.
bool ListedElsewhere(const Context& ctx, const std::string& bus, const std::string& path) {
    if (bus == "pnp" || bus == "platform") return HasHardwareId(ctx, path);
    if (bus == "acpi") {
        // The bus device is listed under its own bus (PCI devices with _HID).
        auto subsystem = LinkName(ctx, path + "/physical_node/subsystem");
        return subsystem && *subsystem == "pci";
    }
    return false;
}

}  // namespace

namespace {

// A database file's lines longer than this are no entry (its longest are a
// few hundred bytes) and are skipped: the file is read through a buffer of
// this size.
constexpr size_t kLongestLine = 64u << 10;
// How much of a database is read at most.
constexpr uint64_t kLargestDatabase = 16u << 20;

struct Range {
    uint64_t begin = 0, end = 0;
};

}  // namespace

struct PciIds::Source {
    std::once_flag once;
    std::optional<SystemRoot> root;      // nothing when the text was given
    std::optional<SystemRoot> fallback;  // read when the root has no copy
    const char* const* paths = nullptr;  // the candidate files, the first readable one wins
    SystemRoot::File file;               // the database read, or
    std::string text;                    // its text as given

    // The index: names live in one string, entries say where.
    std::string names;
    struct Vendor {
        uint32_t id;
        Range name, devices;  // devices: the vendor's indented lines, searched on demand
    };
    std::vector<Vendor> vendors;                      // by id; the first listed of an id first
    std::vector<std::pair<uint32_t, Range>> classes;  // base << 8 | sub, base alone with bit 16

    // Calls line(text, offset) for each whole line of [from, to) without its
    // line end (the last may lack one), in order, until it returns false.
    // Calls chunk(text, offset) with [from, to) in pieces of whole lines,
    // each ending in a line end (the last piece may lack one), until it
    // returns false.
    template <typename Chunk>
    void ForEachChunk(uint64_t from, uint64_t to, Chunk chunk) const;
    // Calls line(text) for each line of [from, to) without its line end, in
    // order, until it returns false.
    template <typename Line>
    void ForEachLine(uint64_t from, uint64_t to, Line line) const;
    void Index();
    void IndexLines(std::string_view lines, uint64_t offset);

    // Where indexing stands between two pieces of the file.
    size_t FVendor = kNone;  // the vendor whose devices are listed (an index of vendors)
    static constexpr size_t kNone = ~size_t{0};
    bool FInClasses = false, FHaveClass = false;
    uint32_t FBaseClass = 0;
    std::string_view Name(Range range) const {
        return std::string_view(names).substr(range.begin, range.end - range.begin);
    }
    Range AddName(std::string_view name) {
        const Range range{names.size(), names.size() + name.size()};
        names.append(name);
        return range;
    }
};

template <typename Chunk>
void PciIds::Source::ForEachChunk(uint64_t from, uint64_t to, Chunk chunk) const {
    if (!file.IsOpen()) {
        if (from < text.size())
            chunk(std::string_view(text).substr(from, std::min<uint64_t>(to, text.size()) - from), from);
        return;
    }
    // One buffer, reused; the unfinished line at its end moves to its front.
    const auto buffer = std::make_unique_for_overwrite<char[]>(kLongestLine);
    size_t held = 0;
    bool skipping = false;  // inside a line longer than the buffer
    uint64_t offset = from;
    while (offset + held < to) {
        const size_t room = static_cast<size_t>(std::min<uint64_t>(kLongestLine - held, to - offset - held));
        const auto got = file.ReadAt(buffer.get() + held, room, offset + held);
        if (!got) return;
        held += *got;
        const bool last = *got < room || offset + held >= to;
        const std::string_view all(buffer.get(), held);
        size_t start = 0;
        if (skipping) {
            const size_t eol = all.find('\n');
            start = eol == std::string_view::npos ? held : eol + 1;
            skipping = eol == std::string_view::npos;
        }
        const size_t lastEol = all.rfind('\n');
        const size_t whole = last ? held : lastEol == std::string_view::npos || lastEol < start ? start : lastEol + 1;
        if (whole > start && !chunk(all.substr(start, whole - start), offset + start)) return;
        if (last) return;
        size_t used = whole;
        if (used == 0) {
            // A full buffer without a line end: no entry is that long.
            skipping = true;
            used = held;
        }
        std::memmove(buffer.get(), buffer.get() + used, held - used);
        offset += used;
        held -= used;
    }
}

template <typename Line>
void PciIds::Source::ForEachLine(uint64_t from, uint64_t to, Line line) const {
    ForEachChunk(from, to, [&](std::string_view chunk, uint64_t) {
        while (!chunk.empty())
            if (!line(NextLine(chunk))) return false;
        return true;
    });
}

namespace {

// Where the next line that does not begin with a tab starts, after the line
// at from; the end of the text when there is none. The database is mostly a
// vendor's indented device and subsystem lines, skipped here sixteen bytes
// at a time where the processor allows.
size_t NextUnindentedLine(std::string_view text, size_t from) {
    const char* data = text.data();
    const size_t size = text.size();
    size_t at = from;
#if defined(__SSE2__)
    const __m128i lineEnd = _mm_set1_epi8('\n'), tab = _mm_set1_epi8('\t');
    for (; at + 17 <= size; at += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 1));
        const unsigned found = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi8(after, tab), _mm_cmpeq_epi8(here, lineEnd))));
        if (found) return at + static_cast<size_t>(__builtin_ctz(found)) + 1;
    }
#endif
    for (; at + 1 < size; ++at)
        if (data[at] == '\n' && data[at + 1] != '\t') return at + 1;
    return size;
}

}  // namespace

void PciIds::Source::IndexLines(std::string_view lines, uint64_t offset) {
    size_t at = 0;
    while (at < lines.size()) {
        if (lines[at] == '\t' && FVendor != kNone) {
            // The vendor's devices and subsystems only widen its block.
            const size_t next = NextUnindentedLine(lines, at);
            const size_t end = lines[next - 1] == '\n' ? next - 1 : next;
            Range& devices = vendors[FVendor].devices;
            if (devices.end == 0) devices.begin = offset + at;
            devices.end = offset + end;
            at = next;
            continue;
        }
        const size_t eol = std::min(lines.find('\n', at), lines.size());
        const std::string_view line = lines.substr(at, eol - at);
        at = eol + 1;
        if (line.empty() || line[0] == '#') continue;
        size_t depth = 0;
        while (depth < line.size() && line[depth] == '\t') ++depth;
        std::string_view body = line.substr(depth);
        size_t gap = body.find(' ');
        if (depth == 0) {
            FVendor = kNone;
            FHaveClass = false;
            if (body.size() > 2 && body[0] == 'C' && body[1] == ' ') {
                FInClasses = true;
                body.remove_prefix(2);
                gap = body.find(' ');
                auto code = gap == std::string_view::npos ? std::nullopt : ParseHex(body.substr(0, gap));
                FHaveClass = code.has_value();
                FBaseClass = code.value_or(0);
                if (FHaveClass) classes.emplace_back(1u << 16 | FBaseClass, AddName(Trim(body.substr(gap))));
                continue;
            }
            // Any other top-level line starts a vendor or ends the class list.
            FInClasses = false;
            if (auto code = gap == 4 ? ParseHex(body.substr(0, gap)) : std::nullopt) {
                FVendor = vendors.size();
                vendors.push_back(Vendor{*code, AddName(Trim(body.substr(gap))), {}});
            }
            continue;
        }
        if (depth == 1 && FInClasses && FHaveClass && gap != std::string_view::npos)
            if (auto code = ParseHex(body.substr(0, gap)))
                classes.emplace_back(FBaseClass << 8 | *code, AddName(Trim(body.substr(gap))));
    }
}

void PciIds::Source::Index() {
    vendors.reserve(4096);
    names.reserve(128u << 10);
    ForEachChunk(0, kLargestDatabase, [this](std::string_view chunk, uint64_t offset) {
        IndexLines(chunk, offset);
        return true;
    });
    FVendor = kNone;
    // Looked up by id; where an id is listed twice the first one counts. The
    // databases keep their ids in order, so there is seldom anything to sort.
    auto byVendor = [](const Vendor& a, const Vendor& b) { return a.id < b.id; };
    auto byClass = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(vendors.begin(), vendors.end(), byVendor))
        std::stable_sort(vendors.begin(), vendors.end(), byVendor);
    if (!std::is_sorted(classes.begin(), classes.end(), byClass))
        std::stable_sort(classes.begin(), classes.end(), byClass);
}

PciIds PciIds::Lazy(const SystemRoot& root, const std::optional<SystemRoot>& fallback, const char* const* paths) {
    PciIds ids;
    ids.FSource = std::make_shared<Source>();
    ids.FSource->root = root;
    ids.FSource->fallback = fallback;
    ids.FSource->paths = paths;
    return ids;
}

PciIds PciIds::Load(const SystemRoot& root, const std::optional<SystemRoot>& fallback) {
    static constexpr const char* kPaths[] = {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids", nullptr};
    return Lazy(root, fallback, kPaths);
}

PciIds PciIds::LoadUsb(const SystemRoot& root, const std::optional<SystemRoot>& fallback) {
    static constexpr const char* kPaths[] = {"/usr/share/misc/usb.ids", "/usr/share/hwdata/usb.ids", nullptr};
    return Lazy(root, fallback, kPaths);
}

PciIds PciIds::FromText(std::string text) {
    PciIds ids;
    ids.FSource = std::make_shared<Source>();
    ids.FSource->text = std::move(text);
    return ids;
}

const PciIds::Source* PciIds::Indexed() const {
    if (!FSource) return nullptr;
    Source& source = *FSource;
    std::call_once(source.once, [&source] {
        if (source.root) {
            for (const SystemRoot* root : {&*source.root, source.fallback ? &*source.fallback : nullptr})
                for (const char* const* path = source.paths; root && *path && !source.file.IsOpen(); ++path)
                    source.file = root->OpenFile(*path);
            if (!source.file.IsOpen()) return;
        }
        source.Index();
    });
    return &source;
}

std::optional<std::string> PciIds::Vendor(uint32_t vendor) const {
    const Source* source = Indexed();
    if (!source) return std::nullopt;
    auto it = std::lower_bound(source->vendors.begin(), source->vendors.end(), vendor,
                               [](const Source::Vendor& entry, uint32_t id) { return entry.id < id; });
    if (it == source->vendors.end() || it->id != vendor) return std::nullopt;
    return std::string(source->Name(it->name));
}

std::optional<std::string> PciIds::Device(uint32_t vendor, uint32_t device) const {
    const Source* source = Indexed();
    if (!source) return std::nullopt;
    auto it = std::lower_bound(source->vendors.begin(), source->vendors.end(), vendor,
                               [](const Source::Vendor& entry, uint32_t id) { return entry.id < id; });
    if (it == source->vendors.end() || it->id != vendor || it->devices.end == 0) return std::nullopt;
    std::optional<std::string> name;
    source->ForEachLine(it->devices.begin, it->devices.end, [&](std::string_view line) {
        // "\tdddd  name"; deeper lines are subsystems.
        if (line.size() < 6 || line[0] != '\t' || line[1] == '\t' || line[5] != ' ') return true;
        if (ParseHex(line.substr(1, 4)) == device) name = std::string(Trim(line.substr(5)));
        return !name;
    });
    return name;
}

std::optional<std::string> PciIds::Class(uint32_t base, uint32_t sub) const {
    const Source* source = Indexed();
    if (!source) return std::nullopt;
    for (uint32_t key : {base << 8 | sub, 1u << 16 | base}) {
        auto it = std::lower_bound(source->classes.begin(), source->classes.end(), key,
                                   [](const auto& entry, uint32_t id) { return entry.first < id; });
        if (it != source->classes.end() && it->first == key) return std::string(source->Name(it->second));
    }
    return std::nullopt;
}

std::optional<std::string> ClassGuidOf(std::string_view pnpClass) {
    struct Entry {
        const char* name;
        const char* guid;
    };
    static constexpr Entry kGuids[] = {
        {"1394", "{6bdd1fc1-810f-11d0-bec7-08002be2092f}"},
        {"Battery", "{72631e54-78a4-11d0-bcf7-00aa00b7b32a}"},
        {"Bluetooth", "{e0cbf06c-cd8b-4647-bb8a-263b43f0f974}"},
        {"CDROM", "{4d36e965-e325-11ce-bfc1-08002be10318}"},
        {"DiskDrive", "{4d36e967-e325-11ce-bfc1-08002be10318}"},
        {"Display", "{4d36e968-e325-11ce-bfc1-08002be10318}"},
        {"fdc", "{4d36e969-e325-11ce-bfc1-08002be10318}"},
        {"HDC", "{4d36e96a-e325-11ce-bfc1-08002be10318}"},
        {"HIDClass", "{745a17a0-74d3-11d0-b6fe-00a0c90f57da}"},
        {"Image", "{6bdd1fc6-810f-11d0-bec7-08002be2092f}"},
        {"Keyboard", "{4d36e96b-e325-11ce-bfc1-08002be10318}"},
        {"MEDIA", "{4d36e96c-e325-11ce-bfc1-08002be10318}"},
        {"Mouse", "{4d36e96f-e325-11ce-bfc1-08002be10318}"},
        {"Net", "{4d36e972-e325-11ce-bfc1-08002be10318}"},
        {"Ports", "{4d36e978-e325-11ce-bfc1-08002be10318}"},
        {"Processor", "{50127dc3-0f36-415e-a6cc-4cb3be910b65}"},
        {"SCSIAdapter", "{4d36e97b-e325-11ce-bfc1-08002be10318}"},
        {"System", "{4d36e97d-e325-11ce-bfc1-08002be10318}"},
        {"USB", "{36fc9e60-c465-11cf-8056-444553540000}"},
    };
    for (const auto& entry : kGuids)
        if (pnpClass == entry.name) return std::string(entry.guid);
    return std::nullopt;
}

std::vector<PnpDevice> EnumerateDevices(const SystemRoot& root, const PciIds& ids) {
    Context ctx{root, ids};
    std::vector<PnpDevice> devices;
    std::set<std::string> seen;
    for (const char* bus : kHardwareBuses) {
        std::string dir = std::string("/sys/bus/") + bus + "/devices";
        for (const auto& name : root.List(dir)) {
            std::string path = dir + "/" + name;
            if (ListedElsewhere(ctx, bus, path)) continue;
            auto device = Describe(ctx, bus, path, name);
            if (!device || !seen.insert(Upper(device->deviceId)).second) continue;
            devices.push_back(std::move(*device));
        }
    }
    return devices;
}

std::optional<PnpDevice> DescribeDeviceAt(const SystemRoot& root, const PciIds& ids, const std::string& path) {
    Context ctx{root, ids};
    auto target = root.ReadLink(path);
    std::string name = BaseName(target ? *target : path);
    // The bus is the subsystem link's name, else the bus whose device list
    // the path is in (a captured tree may lack the link).
    std::optional<std::string> bus = LinkName(ctx, path + "/subsystem");
    if (!bus && path.starts_with("/sys/bus/")) {
        const std::string_view rest = std::string_view(path).substr(9);
        const size_t slash = rest.find('/');
        if (slash != std::string_view::npos && rest.substr(slash, 9) == "/devices/" &&
            rest.find('/', slash + 9) == std::string_view::npos)
            bus = std::string(rest.substr(0, slash));
    }
    if (bus)
        for (const char* known : kHardwareBuses)
            if (*bus == known) return Describe(ctx, *bus, path, name);
    // Root bridges sit outside any bus; their firmware node names them.
    if (HasHardwareId(ctx, path)) {
        auto node = root.ReadLink(path + "/firmware_node");
        return DescribeAcpi(ctx, path + "/firmware_node", BaseName(node ? *node : "firmware_node"));
    }
    return std::nullopt;
}

}  // namespace cimv2::devtree
