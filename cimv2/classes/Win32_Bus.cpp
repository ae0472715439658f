// Win32_Bus from sysfs: one instance per PCI bus (/sys/class/pci_bus), per
// USB root hub, per I2C adapter and per PnP protocol, and one for each
// other hardware bus that holds devices.
#include <optional>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/DeviceTree.h"

namespace cimv2 {

namespace {

struct BusKind {
    const char* sysfsBus;
    const char* prefix;  // DeviceID is "<prefix>_BUS_<n>"
    const char* name;
    std::optional<int64_t> busType;  // WMI's interface type; none where WMI has no code
};

// INTERFACE_TYPE codes: 0 Internal, 1 ISA, 5 PCI Bus, 8 PCMCIA Bus, 15 PNP Bus.
const BusKind kBusKinds[] = {
    {"pci", "PCI", "PCI Bus", 5},
    {"usb", "USB", "USB Bus", std::nullopt},
    {"pnp", "PNP", "PNP Bus", 15},
    {"isa", "ISA", "ISA Bus", 1},
    {"pcmcia", "PCMCIA", "PCMCIA Bus", 8},
    {"platform", "Internal", "Platform Bus", 0},
    {"virtio", "VIRTIO", "VirtIO Bus", std::nullopt},
    {"i2c", "I2C", "I2C Bus", std::nullopt},
    {"spi", "SPI", "SPI Bus", std::nullopt},
    {"scsi", "SCSI", "SCSI Bus", std::nullopt},
    {"mmc", "MMC", "MMC Bus", std::nullopt},
    {"sdio", "SDIO", "SDIO Bus", std::nullopt},
    {"hdaudio", "HDAUDIO", "HD Audio Bus", std::nullopt},
    {"thunderbolt", "THUNDERBOLT", "Thunderbolt Bus", std::nullopt},
};

std::optional<uint32_t> Decimal(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value;
}

struct Found {
    uint32_t number;
    std::string devicePath;  // sysfs device that provides the bus; empty when none
};

// The numbered buses of one kind, in order.
std::vector<Found> FindBuses(const SystemRoot& root, const BusKind& kind) {
    std::vector<Found> found;
    const std::string bus = kind.sysfsBus;
    if (bus == "pci") {
        // "DDDD:BB" entries; domains other than 0 add their number above the bus byte.
        for (const auto& name : root.List("/sys/class/pci_bus")) {
            auto colon = name.find(':');
            if (colon == std::string::npos) continue;
            auto domain = ParseHex(std::string_view(name).substr(0, colon));
            auto number = ParseHex(std::string_view(name).substr(colon + 1));
            if (!domain || !number || *number > 0xFF || *domain > 0xFFFF) continue;
            found.push_back({*domain << 8 | *number, "/sys/class/pci_bus/" + name + "/device"});
        }
        if (found.empty()) {
            // Without the class directory, the device addresses still name the buses.
            for (const auto& name : root.List("/sys/bus/pci/devices")) {
                if (name.size() < 7 || name[4] != ':') continue;
                auto domain = ParseHex(std::string_view(name).substr(0, 4));
                auto number = ParseHex(std::string_view(name).substr(5, 2));
                if (!domain || !number) continue;
                uint32_t id = *domain << 8 | *number;
                bool known = false;
                for (const auto& f : found) known = known || f.number == id;
                if (!known) found.push_back({id, ""});
            }
        }
        return found;
    }
    const std::string dir = "/sys/bus/" + bus + "/devices";
    if (bus == "usb") {
        for (const auto& name : root.List(dir)) {
            if (name.rfind("usb", 0) != 0) continue;
            auto number = Decimal(std::string_view(name).substr(3));
            if (auto busnum = root.ReadAttribute(dir + "/" + name + "/busnum")) number = Decimal(*busnum);
            if (number) found.push_back({*number, dir + "/" + name});
        }
        return found;
    }
    if (bus == "i2c") {
        for (const auto& name : root.List(dir))
            if (name.rfind("i2c-", 0) == 0)
                if (auto number = Decimal(std::string_view(name).substr(4))) found.push_back({*number, ""});
        return found;
    }
    if (bus == "pnp") {
        // "PP:NN": one bus per PnP protocol (PNPACPI, PNPBIOS, ISAPnP).
        for (const auto& name : root.List(dir)) {
            auto colon = name.find(':');
            auto number = colon == std::string::npos ? std::nullopt : Decimal(name.substr(0, colon));
            if (!number) continue;
            bool known = false;
            for (const auto& f : found) known = known || f.number == *number;
            if (!known) found.push_back({*number, ""});
        }
        return found;
    }
    if (!root.List(dir).empty()) found.push_back({0, ""});
    return found;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_BusSchema() {
    static const ClassSchema schema("Win32_Bus", CIM_LogicalDevice(), {
        {"BusNum", CimType::UInt32},
        {"BusType", CimType::UInt32},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_Bus(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const devtree::PciIds noNames;  // the bus's device ID needs no names
    for (const auto& kind : kBusKinds) {
        for (const auto& bus : FindBuses(root, kind)) {
            Instance inst(Win32_BusSchema());
            std::string number = std::to_string(bus.number);
            if (std::string(kind.sysfsBus) == "pci" && bus.number > 0xFF)
                number = std::to_string(bus.number >> 8) + "_" + std::to_string(bus.number & 0xFF);
            inst.SetText("DeviceID", std::string(kind.prefix) + "_BUS_" + number);
            inst.Set("BusNum", Value::UInt(std::string(kind.sysfsBus) == "pci" ? bus.number & 0xFF : bus.number));
            if (kind.busType) inst.SetInt("BusType", *kind.busType);
            inst.SetText("Name", kind.name);
            inst.SetText("Caption", kind.name);
            inst.SetText("Description", kind.name);
            SetIdentity(inst, context);
            if (!bus.devicePath.empty()) {
                if (auto device = devtree::DescribeDeviceAt(root, noNames, bus.devicePath))
                    inst.SetText("PNPDeviceID", device->deviceId);
            }
            out.push_back(std::move(inst));
        }
    }
    return out;
}

}  // namespace cimv2
