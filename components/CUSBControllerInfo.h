#pragma once
// The USB controller component: class Win32_USBController, its record and
// its decoders (availability row 8 reads "Offline" here). The power
// management capabilities are kept only as text.
#include "components/DeviceTables.h"
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_USBController in reading order.
#define SYSQUILL_USB_CONTROLLER_FIELDS(FIELD)                                         \
    FIELD(Code, Availability, devices::kOfflineAvailability)                          \
    FIELD(Text, Caption)                                                              \
    FIELD(CodeAs, ConfigManagerErrorCode, devices::kConfigManagerErrorCode, uint32_t) \
    FIELD(Boolean, ConfigManagerUserConfig)                                           \
    FIELD(Text, CreationClassName)                                                    \
    FIELD(Text, Description)                                                          \
    FIELD(Text, DeviceID)                                                             \
    FIELD(Boolean, ErrorCleared)                                                      \
    FIELD(Text, ErrorDescription)                                                     \
    FIELD(Date, InstallDate)                                                          \
    FIELD(Integer, LastErrorCode, uint32_t)                                           \
    FIELD(Text, Manufacturer)                                                         \
    FIELD(Integer, MaxNumberControlled, uint32_t)                                     \
    FIELD(Text, Name)                                                                 \
    FIELD(Text, PNPDeviceID)                                                          \
    FIELD(ListText, PowerManagementCapabilities, TArrInteger)                         \
    FIELD(Boolean, PowerManagementSupported)                                          \
    FIELD(Code, ProtocolSupported, kProtocolSupported)                                \
    FIELD(Text, Status)                                                               \
    FIELD(Code, StatusInfo, devices::kStatusInfo)                                     \
    FIELD(Text, SystemCreationClassName)                                              \
    FIELD(Text, SystemName)                                                           \
    FIELD(Date, TimeOfLastReset)

class TUSBControllerProperties : public TPropertyRecord<TUSBControllerProperties> {
    SYSQUILL_RECORD(TUSBControllerProperties, SYSQUILL_USB_CONTROLLER_FIELDS)
};

class TUSBControllerInfo : public TRecordComponent<TUSBControllerProperties> {
public:
    TUSBControllerInfo();
    TUSBControllerProperties& USBControllerProperties() const { return Record(); }
};

}  // namespace components
