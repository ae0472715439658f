#pragma once
// The machine's devices as Plug and Play sees them: every device that a
// hardware bus in sysfs lists, with Windows-style device and hardware IDs.
// Shared by Win32_PnPEntity and Win32_Bus.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cimv2/sources/SystemRoot.h"

namespace cimv2::devtree {

// The PCI ID database (pci.ids) for vendor, device and class names.
class PciIds {
public:
    PciIds() = default;
    // The database is read when the first name is asked for, so a query
    // whose devices need no name never reads its megabyte. The index holds
    // the vendor and class names and where each vendor's devices are; their
    // lines are read again when a device's name is asked for. Copies share
    // what was read.
    // A root without a copy of its own (a captured tree) reads the
    // fallback's, this computer's as a rule.
    static PciIds Load(const SystemRoot& root, const std::optional<SystemRoot>& fallback = std::nullopt);
    // The USB ID database (usb.ids), which has the same layout.
    static PciIds LoadUsb(const SystemRoot& root, const std::optional<SystemRoot>& fallback = std::nullopt);
    static PciIds FromText(std::string text);

    std::optional<std::string> Vendor(uint32_t vendor) const;
    std::optional<std::string> Device(uint32_t vendor, uint32_t device) const;
    // The subclass name when listed, else the base class name.
    std::optional<std::string> Class(uint32_t base, uint32_t sub) const;

private:
    struct Source;
    static PciIds Lazy(const SystemRoot& root, const std::optional<SystemRoot>& fallback, const char* const* paths);
    const Source* Indexed() const;

    std::shared_ptr<Source> FSource;
};

struct PnpDevice {
    std::string bus;   // sysfs bus name: "pci", "usb", "acpi", ...
    std::string name;  // the device's sysfs name: "0000:00:03.0"
    std::string deviceId;
    std::optional<std::string> displayName;
    std::optional<std::string> manufacturer;
    std::optional<std::string> pnpClass;
    std::optional<std::string> classGuid;
    std::optional<std::string> service;  // bound driver
    std::vector<std::string> hardwareIds;
    std::vector<std::string> compatibleIds;
};

// Every device of the hardware buses, bus by bus in a fixed order, devices
// sorted by name. A device that firmware and a bus both list appears once.
std::vector<PnpDevice> EnumerateDevices(const SystemRoot& root, const PciIds& ids);

// The device at a sysfs path (a device directory or a link to one), as
// the Plug and Play view names it; nothing when no bus claims it.
std::optional<PnpDevice> DescribeDeviceAt(const SystemRoot& root, const PciIds& ids, const std::string& path);

// Windows' setup class GUID for a class name; nothing for unknown names.
std::optional<std::string> ClassGuidOf(std::string_view pnpClass);

}  // namespace cimv2::devtree
