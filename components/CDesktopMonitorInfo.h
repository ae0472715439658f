#pragma once
// The desktop monitor component: class Win32_DesktopMonitor, its record and
// its decoders. The power management capabilities are kept only as text.
#include "components/DeviceTables.h"
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_DesktopMonitor in reading order.
#define SYSQUILL_DESKTOP_MONITOR_FIELDS(FIELD)                                        \
    FIELD(Code, Availability, devices::kAvailability)                                 \
    FIELD(Integer, Bandwidth, uint32_t)                                               \
    FIELD(Text, Caption)                                                              \
    FIELD(CodeAs, ConfigManagerErrorCode, devices::kConfigManagerErrorCode, uint32_t) \
    FIELD(Boolean, ConfigManagerUserConfig)                                           \
    FIELD(Text, CreationClassName)                                                    \
    FIELD(Text, Description)                                                          \
    FIELD(Text, DeviceID)                                                             \
    FIELD(Code, DisplayType, kDisplayType)                                            \
    FIELD(Boolean, ErrorCleared)                                                      \
    FIELD(Text, ErrorDescription)                                                     \
    FIELD(Date, InstallDate)                                                          \
    FIELD(Boolean, IsLocked)                                                          \
    FIELD(Integer, LastErrorCode, uint32_t)                                           \
    FIELD(Text, MonitorManufacturer)                                                  \
    FIELD(Text, MonitorType)                                                          \
    FIELD(Text, Name)                                                                 \
    FIELD(Integer, PixelsPerXLogicalInch, uint32_t)                                   \
    FIELD(Integer, PixelsPerYLogicalInch, uint32_t)                                   \
    FIELD(Text, PNPDeviceID)                                                          \
    FIELD(ListText, PowerManagementCapabilities, TArrInteger)                         \
    FIELD(Boolean, PowerManagementSupported)                                          \
    FIELD(Integer, ScreenHeight, uint32_t)                                            \
    FIELD(Integer, ScreenWidth, uint32_t)                                             \
    FIELD(Text, Status)                                                               \
    FIELD(Code, StatusInfo, devices::kStatusInfo)                                     \
    FIELD(Text, SystemCreationClassName)                                              \
    FIELD(Text, SystemName)

class TDesktopMonitorProperties : public TPropertyRecord<TDesktopMonitorProperties> {
    SYSQUILL_RECORD(TDesktopMonitorProperties, SYSQUILL_DESKTOP_MONITOR_FIELDS)
};

class TDesktopMonitorInfo : public TRecordComponent<TDesktopMonitorProperties> {
public:
    TDesktopMonitorInfo();
    TDesktopMonitorProperties& DesktopMonitorProperties() const { return Record(); }
};

}  // namespace components
