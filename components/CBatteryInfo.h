#pragma once
// The battery component: class Win32_Battery, its record and its decoders.
// The power management capabilities are kept only as text.
#include "components/DeviceTables.h"
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_Battery in reading order.
#define SYSQUILL_BATTERY_FIELDS(FIELD)                                                \
    FIELD(Code, Availability, devices::kAvailability)                                 \
    FIELD(Integer, BatteryRechargeTime, uint32_t)                                     \
    FIELD(Code, BatteryStatus, kBatteryStatus)                                        \
    FIELD(Text, Caption)                                                              \
    FIELD(Code, Chemistry, kChemistry)                                                \
    FIELD(CodeAs, ConfigManagerErrorCode, devices::kConfigManagerErrorCode, uint32_t) \
    FIELD(Boolean, ConfigManagerUserConfig)                                           \
    FIELD(Text, CreationClassName)                                                    \
    FIELD(Text, Description)                                                          \
    FIELD(Integer, DesignCapacity, uint32_t)                                          \
    FIELD(Integer, DesignVoltage, int64_t)                                            \
    FIELD(Text, DeviceID)                                                             \
    FIELD(Boolean, ErrorCleared)                                                      \
    FIELD(Text, ErrorDescription)                                                     \
    FIELD(Integer, EstimatedChargeRemaining, int32_t)                                 \
    FIELD(Integer, EstimatedRunTime, uint32_t)                                        \
    FIELD(Integer, ExpectedBatteryLife, uint32_t)                                     \
    FIELD(Integer, ExpectedLife, uint32_t)                                            \
    FIELD(Integer, FullChargeCapacity, uint32_t)                                      \
    FIELD(Date, InstallDate)                                                          \
    FIELD(Integer, LastErrorCode, uint32_t)                                           \
    FIELD(Integer, MaxRechargeTime, uint32_t)                                         \
    FIELD(Text, Name)                                                                 \
    FIELD(Text, PNPDeviceID)                                                          \
    FIELD(ListText, PowerManagementCapabilities, TArrInteger)                         \
    FIELD(Boolean, PowerManagementSupported)                                          \
    FIELD(Text, SmartBatteryVersion)                                                  \
    FIELD(Text, Status)                                                               \
    FIELD(Code, StatusInfo, devices::kStatusInfo)                                     \
    FIELD(Text, SystemCreationClassName)                                              \
    FIELD(Text, SystemName)                                                           \
    FIELD(Integer, TimeOnBattery, uint32_t)                                           \
    FIELD(Integer, TimeToFullCharge, uint32_t)

class TBatteryProperties : public TPropertyRecord<TBatteryProperties> {
    SYSQUILL_RECORD(TBatteryProperties, SYSQUILL_BATTERY_FIELDS)
};

class TBatteryInfo : public TRecordComponent<TBatteryProperties> {
public:
    TBatteryInfo();
    TBatteryProperties& BatteryProperties() const { return Record(); }
};

}  // namespace components
