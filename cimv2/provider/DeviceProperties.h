#pragma once
// The properties every device class states alike: who the device is in the
// Plug and Play view, and whether it works.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "cimv2/core/Schema.h"
#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/PciFunctions.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

// A device as the Plug and Play view names it.
struct PnPIdentity {
    std::string deviceId;                     // DeviceID
    std::optional<std::string> pnpDeviceId;   // PNPDeviceID
    std::optional<std::string> title;         // Name, Caption, Description
    std::optional<std::string> manufacturer;  // Manufacturer
};
// The device tree's device: its id is both DeviceID and PNPDeviceID.
PnPIdentity IdentityOf(const devtree::PnpDevice& device);

// Sets DeviceID and what the identity knows of the rest; the title also
// goes to the class's other title properties (ProductName, ...).
void SetPnPIdentity(Instance& inst, const PnPIdentity& identity,
                    std::initializer_list<std::string_view> moreTitles = {});

// Availability "Running or Full Power".
inline constexpr uint16_t kAvailabilityRunning = 3;

// Whether a device works, as Device Manager tells it.
struct WorkingStatus {
    // "OK" and problem code 0; else "Error" and 28, drivers not installed.
    bool works = true;
    std::optional<uint16_t> availability;  // Availability
    std::optional<bool> userConfig;        // ConfigManagerUserConfig
};
void SetWorkingStatus(Instance& inst, const WorkingStatus& status);

// A device listed in sysfs is attached now. It works with a driver bound;
// bridges, buses and other system devices work without one.
bool DriverWorks(const devtree::PnpDevice& device);

// A PCI function as the controller classes state it: its identity, the
// availability its power state gives, working with its driver, and
// ConfigManagerUserConfig false (the kernel and firmware assign a PCI
// function's resources). With powerManagement, PowerManagementSupported
// says whether runtime power management is allowed (power/control "auto").
void SetPciController(Instance& inst, const SystemRoot& root, const pci::Function& function, bool powerManagement);

}  // namespace cimv2
