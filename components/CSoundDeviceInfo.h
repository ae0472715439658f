#pragma once
// The sound device component: class Win32_SoundDevice, its record and its
// decoders. The power management capabilities are kept only as text.
#include "components/DeviceTables.h"
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_SoundDevice in reading order.
#define SYSQUILL_SOUND_DEVICE_FIELDS(FIELD)                                           \
    FIELD(Code, Availability, devices::kAvailability)                                 \
    FIELD(Text, Caption)                                                              \
    FIELD(CodeAs, ConfigManagerErrorCode, devices::kConfigManagerErrorCode, uint32_t) \
    FIELD(Boolean, ConfigManagerUserConfig)                                           \
    FIELD(Text, CreationClassName)                                                    \
    FIELD(Text, Description)                                                          \
    FIELD(Text, DeviceID)                                                             \
    FIELD(Integer, DMABufferSize, int32_t)                                            \
    FIELD(Boolean, ErrorCleared)                                                      \
    FIELD(Text, ErrorDescription)                                                     \
    FIELD(Date, InstallDate)                                                          \
    FIELD(Integer, LastErrorCode, uint32_t)                                           \
    FIELD(Text, Manufacturer)                                                         \
    FIELD(Integer, MPU401Address, uint32_t)                                           \
    FIELD(Text, Name)                                                                 \
    FIELD(Text, PNPDeviceID)                                                          \
    FIELD(ListText, PowerManagementCapabilities, TArrInteger)                         \
    FIELD(Boolean, PowerManagementSupported)                                          \
    FIELD(Text, ProductName)                                                          \
    FIELD(Text, Status)                                                               \
    FIELD(Code, StatusInfo, devices::kStatusInfo)                                     \
    FIELD(Text, SystemCreationClassName)                                              \
    FIELD(Text, SystemName)

class TSoundDeviceProperties : public TPropertyRecord<TSoundDeviceProperties> {
    SYSQUILL_RECORD(TSoundDeviceProperties, SYSQUILL_SOUND_DEVICE_FIELDS)
};

class TSoundDeviceInfo : public TRecordComponent<TSoundDeviceProperties> {
public:
    TSoundDeviceInfo();
    TSoundDeviceProperties& SoundDeviceProperties() const { return Record(); }
};

}  // namespace components
