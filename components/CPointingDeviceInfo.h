#pragma once
// The pointing device component: class Win32_PointingDevice, its record and
// its decoders. The power management capabilities are kept only as text.
#include "components/DeviceTables.h"
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_PointingDevice in reading order.
#define SYSQUILL_POINTING_DEVICE_FIELDS(FIELD)                                        \
    FIELD(Code, Availability, devices::kAvailability)                                 \
    FIELD(Text, Caption)                                                              \
    FIELD(CodeAs, ConfigManagerErrorCode, devices::kConfigManagerErrorCode, uint32_t) \
    FIELD(Boolean, ConfigManagerUserConfig)                                           \
    FIELD(Text, CreationClassName)                                                    \
    FIELD(Text, Description)                                                          \
    FIELD(Text, DeviceID)                                                             \
    FIELD(Code, DeviceInterface, kDeviceInterface)                                    \
    FIELD(Integer, DoubleSpeedThreshold, uint32_t)                                    \
    FIELD(Boolean, ErrorCleared)                                                      \
    FIELD(Text, ErrorDescription)                                                     \
    FIELD(Code, Handedness, kHandedness)                                              \
    FIELD(Text, HardwareType)                                                         \
    FIELD(Text, InfFileName)                                                          \
    FIELD(Text, InfSection)                                                           \
    FIELD(Date, InstallDate)                                                          \
    FIELD(Boolean, IsLocked)                                                          \
    FIELD(Integer, LastErrorCode, uint32_t)                                           \
    FIELD(Text, Manufacturer)                                                         \
    FIELD(Text, Name)                                                                 \
    FIELD(Integer, NumberOfButtons, uint8_t)                                          \
    FIELD(Text, PNPDeviceID)                                                          \
    FIELD(Code, PointingType, kPointingType)                                          \
    FIELD(ListText, PowerManagementCapabilities, TArrInteger)                         \
    FIELD(Boolean, PowerManagementSupported)                                          \
    FIELD(Integer, QuadSpeedThreshold, uint32_t)                                      \
    FIELD(Integer, Resolution, uint32_t)                                              \
    FIELD(Integer, SampleRate, uint32_t)                                              \
    FIELD(Text, Status)                                                               \
    FIELD(Code, StatusInfo, devices::kStatusInfo)                                     \
    FIELD(Integer, Synch, uint32_t)                                                   \
    FIELD(Text, SystemCreationClassName)                                              \
    FIELD(Text, SystemName)

class TPointingDeviceProperties : public TPropertyRecord<TPointingDeviceProperties> {
    SYSQUILL_RECORD(TPointingDeviceProperties, SYSQUILL_POINTING_DEVICE_FIELDS)
};

class TPointingDeviceInfo : public TRecordComponent<TPointingDeviceProperties> {
public:
    TPointingDeviceInfo();
    TPointingDeviceProperties& PointingDeviceProperties() const { return Record(); }
};

}  // namespace components
