#pragma once
// The keyboard component: class Win32_Keyboard, its record and its
// decoders. The power management capabilities are kept only as text.
#include "components/DeviceTables.h"
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_Keyboard in reading order.
#define SYSQUILL_KEYBOARD_FIELDS(FIELD)                                               \
    FIELD(Code, Availability, devices::kAvailability)                                 \
    FIELD(Text, Caption)                                                              \
    FIELD(CodeAs, ConfigManagerErrorCode, devices::kConfigManagerErrorCode, uint32_t) \
    FIELD(Boolean, ConfigManagerUserConfig)                                           \
    FIELD(Text, CreationClassName)                                                    \
    FIELD(Text, Description)                                                          \
    FIELD(Text, DeviceID)                                                             \
    FIELD(Boolean, ErrorCleared)                                                      \
    FIELD(Text, ErrorDescription)                                                     \
    FIELD(Date, InstallDate)                                                          \
    FIELD(Boolean, IsLocked)                                                          \
    FIELD(Integer, LastErrorCode, uint32_t)                                           \
    FIELD(Text, Layout)                                                               \
    FIELD(Text, Name)                                                                 \
    FIELD(Integer, NumberOfFunctionKeys, int32_t)                                     \
    FIELD(Code, Password, kPassword)                                                  \
    FIELD(Text, PNPDeviceID)                                                          \
    FIELD(ListText, PowerManagementCapabilities, TArrInteger)                         \
    FIELD(Boolean, PowerManagementSupported)                                          \
    FIELD(Text, Status)                                                               \
    FIELD(Code, StatusInfo, devices::kStatusInfo)                                     \
    FIELD(Text, SystemCreationClassName)                                              \
    FIELD(Text, SystemName)

class TKeyboardProperties : public TPropertyRecord<TKeyboardProperties> {
    SYSQUILL_RECORD(TKeyboardProperties, SYSQUILL_KEYBOARD_FIELDS)
};

class TKeyboardInfo : public TRecordComponent<TKeyboardProperties> {
public:
    TKeyboardInfo();
    TKeyboardProperties& KeyboardProperties() const { return Record(); }
};

}  // namespace components
