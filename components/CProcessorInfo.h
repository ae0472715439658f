#pragma once
// The processor component: class Win32_Processor, one object per socket,
// its record and its decoders.
#include "components/DeviceTables.h"
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_Processor in reading order (alphabetical). The power
// management capabilities are kept only as text.
#define SYSQUILL_PROCESSOR_FIELDS(FIELD)                       \
    FIELD(Integer, AddressWidth, int32_t)                      \
    FIELD(Code, Architecture, kArchitecture)                   \
    FIELD(Code, Availability, devices::kProcessorAvailability) \
    FIELD(Text, Caption)                                       \
    FIELD(Integer, ConfigManagerErrorCode, uint32_t)           \
    FIELD(Boolean, ConfigManagerUserConfig)                    \
    FIELD(Code, CpuStatus, kCpuStatus)                         \
    FIELD(Text, CreationClassName)                             \
    FIELD(Integer, CurrentClockSpeed, uint32_t)                \
    FIELD(Integer, CurrentVoltage, int32_t)                    \
    FIELD(Integer, DataWidth, int32_t)                         \
    FIELD(Text, Description)                                   \
    FIELD(Text, DeviceID)                                      \
    FIELD(Boolean, ErrorCleared)                               \
    FIELD(Text, ErrorDescription)                              \
    FIELD(Integer, ExtClock, uint32_t)                         \
    FIELD(Code, Family, kFamily)                               \
    FIELD(Date, InstallDate)                                   \
    FIELD(Integer, L2CacheSize, uint32_t)                      \
    FIELD(Integer, L2CacheSpeed, uint32_t)                     \
    FIELD(Integer, L3CacheSize, uint32_t)                      \
    FIELD(Integer, L3CacheSpeed, uint32_t)                     \
    FIELD(Integer, LastErrorCode, uint32_t)                    \
    FIELD(Integer, Level, int32_t)                             \
    FIELD(Integer, LoadPercentage, int32_t)                    \
    FIELD(Text, Manufacturer)                                  \
    FIELD(Integer, MaxClockSpeed, uint32_t)                    \
    FIELD(Text, Name)                                          \
    FIELD(Integer, NumberOfCores, uint32_t)                    \
    FIELD(Integer, NumberOfLogicalProcessors, uint32_t)        \
    FIELD(Text, OtherFamilyDescription)                        \
    FIELD(Text, PNPDeviceID)                                   \
    FIELD(ListText, PowerManagementCapabilities, TArrInteger)  \
    FIELD(Boolean, PowerManagementSupported)                   \
    FIELD(Text, ProcessorId)                                   \
    FIELD(Code, ProcessorType, kProcessorType)                 \
    FIELD(Integer, Revision, int32_t)                          \
    FIELD(Text, Role)                                          \
    FIELD(Text, SocketDesignation)                             \
    FIELD(Text, Status)                                        \
    FIELD(Integer, StatusInfo, int32_t)                        \
    FIELD(Text, Stepping)                                      \
    FIELD(Text, SystemCreationClassName)                       \
    FIELD(Text, SystemName)                                    \
    FIELD(Text, UniqueId)                                      \
    FIELD(Integer, UpgradeMethod, int32_t)                     \
    FIELD(Text, Version)                                       \
    FIELD(Integer, VoltageCaps, uint32_t)

class TProcessorProperties : public TPropertyRecord<TProcessorProperties> {
    SYSQUILL_RECORD(TProcessorProperties, SYSQUILL_PROCESSOR_FIELDS)
};

class TProcessorInfo : public TRecordComponent<TProcessorProperties> {
public:
    TProcessorInfo();
    TProcessorProperties& ProcessorProperties() const { return Record(); }
};

}  // namespace components
