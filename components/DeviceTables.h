#pragma once
// The code tables that WMI defines for every logical device (Availability,
// ConfigManagerErrorCode, StatusInfo), given once; a record that words a
// row its own way takes a copy with that row reworded.
#include <array>
#include <cstddef>
#include <utility>

#include "components/PropertyRecord.h"

namespace components {

inline constexpr TCodeText kAvailability[] = {
    {1, "Other"},
    {2, "Unknown"},
    {3, "Running or Full Power"},
    {4, "Warning"},
    {5, "In Test"},
    {6, "Not Applicable"},
    {7, "Power Off"},
    {8, "Off Line"},
    {9, "Off Duty"},
    {10, "Degraded"},
    {11, "Not Installed"},
    {12, "Install Error"},
    {13, "Power Save - Unknown. The device is known to be in a power save mode, but its exact status is unknown."},
    {14,
     "Power Save - Low Power Mode. The device is in a power save state but still functioning, and may exhibit "
     "degraded performance."},
    {15, "Power Save - Standby. The device is not functioning, but could be brought to full power quickly."},
    {16, "Power Cycle"},
    {17, "Power Save - Warning. The device is in a warning state, though also in a power save mode."},
};

inline constexpr TCodeText kConfigManagerErrorCode[] = {
    {0, "Device is working properly."},
    {1, "Device is not configured correctly."},
    {2, "Windows cannot load the driver for this device."},
    {3, "Driver for this device might be corrupted, or the system may be low on memory or other resources."},
    {4, "Device is not working properly. One of its drivers or the registry might be corrupted."},
    {5, "Driver for the device requires a resource that Windows cannot manage."},
    {6, "Boot configuration for the device conflicts with other devices."},
    {7, "Cannot filter."},
    {8, "Driver loader for the device is missing."},
    {9,
     "Device is not working properly. The controlling firmware is incorrectly reporting the resources for the "
     "device."},
    {10, "Device cannot start."},
    {11, "Device failed."},
    {12, "Device cannot find enough free resources to use."},
    {13, "Windows cannot verify the device's resources."},
    {14, "Device cannot work properly until the computer is restarted."},
    {15, "Device is not working properly due to a possible re-enumeration problem."},
    {16, "Windows cannot identify all of the resources that the device uses."},
    {17, "Device is requesting an unknown resource type."},
    {18, "Device drivers must be reinstalled."},
    {19, "Failure using the VxD loader."},
    {20, "Registry might be corrupted."},
    {21,
     "System failure. If changing the device driver is ineffective, see the hardware documentation. Windows is "
     "removing the device."},
    {22, "Device is disabled."},
    {23, "System failure. If changing the device driver is ineffective, see the hardware documentation."},
    {24, "Device is not present, not working properly, or does not have all of its drivers installed."},
    {25, "Windows is still setting up the device."},
    {26, "Windows is still setting up the device."},
    {27, "Device does not have valid log configuration."},
    {28, "Device drivers are not installed."},
    {29, "Device is disabled. The device firmware did not provide the required resources."},
    {30, "Device is using an IRQ resource that another device is using."},
    {31, "Device is not working properly. Windows cannot load the required device drivers."},
};

inline constexpr TCodeText kStatusInfo[] = {
    {1, "Other"}, {2, "Unknown"}, {3, "Enabled"}, {4, "Disabled"}, {5, "Not Applicable"},
};

namespace detail {
template <size_t N, size_t... I>
constexpr std::array<TCodeText, N> Reworded(const TCodeText (&table)[N], int64_t code, const char* text,
                                            std::index_sequence<I...>) {
    return {{(table[I].low == code && table[I].high == code ? TCodeText(code, text) : table[I])...}};
}
}  // namespace detail

// The table with the row of code worded as text.
template <size_t N>
constexpr std::array<TCodeText, N> Reworded(const TCodeText (&table)[N], int64_t code, const char* text) {
    return detail::Reworded(table, code, text, std::make_index_sequence<N>());
}

}  // namespace components
