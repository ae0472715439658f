#pragma once
// The computer system component: class Win32_ComputerSystem, its record,
// its fourteen decoders and the Rename method.
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_ComputerSystem in reading order (alphabetical). The
// initial load information and the logo are kept only as text, and the
// power management capabilities are read but not kept.
#define SYSQUILL_COMPUTER_SYSTEM_FIELDS(FIELD)                \
    FIELD(Code, AdminPasswordStatus, kPasswordStatus)         \
    FIELD(Boolean, AutomaticManagedPagefile)                  \
    FIELD(Boolean, AutomaticResetBootOption)                  \
    FIELD(Boolean, AutomaticResetCapability)                  \
    FIELD(Code, BootOptionOnLimit, kBootOption)               \
    FIELD(Code, BootOptionOnWatchDog, kBootOption)            \
    FIELD(Boolean, BootROMSupported)                          \
    FIELD(Text, BootupState)                                  \
    FIELD(Text, Caption)                                      \
    FIELD(Code, ChassisBootupState, kChassisBootupState)      \
    FIELD(Text, CreationClassName)                            \
    FIELD(Integer, CurrentTimeZone, int32_t)                  \
    FIELD(Boolean, DaylightInEffect)                          \
    FIELD(Text, Description)                                  \
    FIELD(Text, DNSHostName)                                  \
    FIELD(Text, Domain)                                       \
    FIELD(Code, DomainRole, kDomainRole)                      \
    FIELD(Boolean, EnableDaylightSavingsTime)                 \
    FIELD(Code, FrontPanelResetStatus, kPasswordStatus)       \
    FIELD(Boolean, InfraredSupported)                         \
    FIELD(TextOfList, InitialLoadInfo)                        \
    FIELD(Date, InstallDate)                                  \
    FIELD(Code, KeyboardPasswordStatus, kPasswordStatus)      \
    FIELD(Text, LastLoadInfo)                                 \
    FIELD(Text, Manufacturer)                                 \
    FIELD(Text, Model)                                        \
    FIELD(Text, Name)                                         \
    FIELD(Text, NameFormat)                                   \
    FIELD(Boolean, NetworkServerModeEnabled)                  \
    FIELD(Integer, NumberOfLogicalProcessors, uint32_t)       \
    FIELD(Integer, NumberOfProcessors, uint32_t)              \
    FIELD(ListText, OEMLogoBitmap, TArrInteger)               \
    FIELD(ListText, OEMStringArray, TArrString)               \
    FIELD(Boolean, PartOfDomain)                              \
    FIELD(Integer, PauseAfterReset, int64_t)                  \
    FIELD(Code, PCSystemType, kPCSystemType)                  \
    FIELD(Unstored, PowerManagementCapabilities, TArrInteger) \
    FIELD(Boolean, PowerManagementSupported)                  \
    FIELD(Code, PowerOnPasswordStatus, kPasswordStatus)       \
    FIELD(Code, PowerState, kPowerState)                      \
    FIELD(Code, PowerSupplyState, kHealthState)               \
    FIELD(Text, PrimaryOwnerContact)                          \
    FIELD(Text, PrimaryOwnerName)                             \
    FIELD(Code, ResetCapability, kResetCapability)            \
    FIELD(Integer, ResetCount, int32_t)                       \
    FIELD(Integer, ResetLimit, int32_t)                       \
    FIELD(ListText, Roles, TArrString)                        \
    FIELD(Text, Status)                                       \
    FIELD(ListText, SupportContactDescription, TArrString)    \
    FIELD(Integer, SystemStartupDelay, int32_t)               \
    FIELD(ListText, SystemStartupOptions, TArrString)         \
    FIELD(Integer, SystemStartupSetting, uint8_t)             \
    FIELD(Text, SystemType)                                   \
    FIELD(Code, ThermalState, kHealthState)                   \
    FIELD(Integer, TotalPhysicalMemory, int64_t)              \
    FIELD(Text, UserName)                                     \
    FIELD(Code, WakeUpType, kWakeUpType)                      \
    FIELD(Text, Workgroup)

class TComputerSystemProperties : public TPropertyRecord<TComputerSystemProperties> {
    SYSQUILL_RECORD(TComputerSystemProperties, SYSQUILL_COMPUTER_SYSTEM_FIELDS)
};

class TComputerSystemInfo : public TRecordComponent<TComputerSystemProperties> {
public:
    TComputerSystemInfo();
    TComputerSystemProperties& ComputerSystemProperties() const { return Record(); }

    // Renames the computer selected by instanceProp = instanceValue; the
    // method's return code unchanged, kNothingRan when nothing ran.
    int32_t Rename(const std::string& instanceProp, const wmi::OleVariant& instanceValue, const std::string& name,
                   const std::string& password, const std::string& userName);
};

}  // namespace components
