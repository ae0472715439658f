#pragma once
// The code tables that WMI defines for every logical device and that many
// records decode: Availability, ConfigManagerErrorCode and StatusInfo.
// Each table is written once; a record that words some rows its own way
// uses a copy with those rows replaced, made here from the shared table.
#include <array>
#include <initializer_list>
#include <utility>

#include "components/PropertyRecord.h"

namespace components::devices {

// A table with some rows worded differently: the base table, each
// replacement put in place of the row with its code.
template <size_t N, size_t... I>
constexpr std::array<TCodeText, N> CopyRows(const TCodeText (&base)[N], std::index_sequence<I...>) {
    return {{base[I]...}};
}
template <size_t N>
constexpr std::array<TCodeText, N> Reworded(const TCodeText (&base)[N], std::initializer_list<TCodeText> rows) {
    std::array<TCodeText, N> table = CopyRows(base, std::make_index_sequence<N>());
    for (const TCodeText& row : rows)
        for (TCodeText& entry : table)
            if (entry.low == row.low && entry.high == row.high) entry.text = row.text;
    return table;
}

// clang-format off
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
    {14, "Power Save - Low Power Mode. The device is in a power save state but still functioning, and may exhibit degraded performance."},
    {15, "Power Save - Standby. The device is not functioning, but could be brought to full power quickly."},
    {16, "Power Cycle"},
    {17, "Power Save - Warning. The device is in a warning state, though also in a power save mode."},
};

// The processor's wording of four rows.
inline constexpr auto kProcessorAvailability = Reworded(kAvailability, {
    {13, "Power Save - Unknown. The device is known to be in a power save state, but its exact status is unknown."},
    {14, "Power Save - Low Power Mode. The device is in a power save state, but is still functioning, and may exhibit decreased performance."},
    {15, "Power Save - Standby. The device is not functioning, but can be brought to full power quickly."},
    {17, "Power Save - Warning. The device is in a warning state, though also in a power save state."},
});

// Disk partitions and USB controllers: row 8 in one word.
inline constexpr auto kOfflineAvailability = Reworded(kAvailability, {{8, "Offline"}});

// Printers: their own row 14.
inline constexpr auto kPrinterAvailability = Reworded(kAvailability, {
    {14, "Power Save - Low Power Mode. The device is in a power save state but is still functioning, and may exhibit degraded performance."},
});

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
    {9, "Device is not working properly. The controlling firmware is incorrectly reporting the resources for the device."},
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
    {21, "System failure. If changing the device driver is ineffective, see the hardware documentation. Windows is removing the device."},
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

// Printers: row 27 with its article.
inline constexpr auto kPrinterConfigManagerErrorCode =
    Reworded(kConfigManagerErrorCode, {{27, "Device does not have a valid log configuration."}});

inline constexpr TCodeText kStatusInfo[] = {
    {1, "Other"},
    {2, "Unknown"},
    {3, "Enabled"},
    {4, "Disabled"},
    {5, "Not Applicable"},
};
// clang-format on

}  // namespace components::devices
