#pragma once
// The computer system component: class Win32_ComputerSystem, its record,
// its fourteen decoders and the Rename method.
#include "components/PropertyRecord.h"

namespace components {

class TComputerSystemProperties : public TPropertyRecord<TComputerSystemProperties> {
    SYSQUILL_CODE(AdminPasswordStatus)
    SYSQUILL_PROPERTY(bool, AutomaticManagedPagefile)
    SYSQUILL_PROPERTY(bool, AutomaticResetBootOption)
    SYSQUILL_PROPERTY(bool, AutomaticResetCapability)
    SYSQUILL_CODE(BootOptionOnLimit)
    SYSQUILL_CODE(BootOptionOnWatchDog)
    SYSQUILL_PROPERTY(bool, BootROMSupported)
    SYSQUILL_PROPERTY(std::string, BootupState)
    SYSQUILL_PROPERTY(std::string, Caption)
    SYSQUILL_CODE(ChassisBootupState)
    SYSQUILL_PROPERTY(std::string, CreationClassName)
    SYSQUILL_PROPERTY(int32_t, CurrentTimeZone)
    SYSQUILL_PROPERTY(bool, DaylightInEffect)
    SYSQUILL_PROPERTY(std::string, Description)
    SYSQUILL_PROPERTY(std::string, DNSHostName)
    SYSQUILL_PROPERTY(std::string, Domain)
    SYSQUILL_CODE(DomainRole)
    SYSQUILL_PROPERTY(bool, EnableDaylightSavingsTime)
    SYSQUILL_CODE(FrontPanelResetStatus)
    SYSQUILL_PROPERTY(bool, InfraredSupported)
    SYSQUILL_PROPERTY(std::string, InitialLoadInfo)
    SYSQUILL_PROPERTY(TDateTime, InstallDate)
    SYSQUILL_CODE(KeyboardPasswordStatus)
    SYSQUILL_PROPERTY(std::string, LastLoadInfo)
    SYSQUILL_PROPERTY(std::string, Manufacturer)
    SYSQUILL_PROPERTY(std::string, Model)
    SYSQUILL_PROPERTY(std::string, Name)
    SYSQUILL_PROPERTY(std::string, NameFormat)
    SYSQUILL_PROPERTY(bool, NetworkServerModeEnabled)
    SYSQUILL_PROPERTY(uint32_t, NumberOfLogicalProcessors)
    SYSQUILL_PROPERTY(uint32_t, NumberOfProcessors)
    SYSQUILL_PROPERTY(std::string, OEMLogoBitmapAsString)
    SYSQUILL_LIST(TArrString, OEMStringArray)
    SYSQUILL_PROPERTY(bool, PartOfDomain)
    SYSQUILL_PROPERTY(int64_t, PauseAfterReset)
    SYSQUILL_CODE(PCSystemType)
    SYSQUILL_PROPERTY(bool, PowerManagementSupported)
    SYSQUILL_CODE(PowerOnPasswordStatus)
    SYSQUILL_CODE(PowerState)
    SYSQUILL_CODE(PowerSupplyState)
    SYSQUILL_PROPERTY(std::string, PrimaryOwnerContact)
    SYSQUILL_PROPERTY(std::string, PrimaryOwnerName)
    SYSQUILL_CODE(ResetCapability)
    SYSQUILL_PROPERTY(int32_t, ResetCount)
    SYSQUILL_PROPERTY(int32_t, ResetLimit)
    SYSQUILL_LIST(TArrString, Roles)
    SYSQUILL_PROPERTY(std::string, Status)
    SYSQUILL_LIST(TArrString, SupportContactDescription)
    SYSQUILL_PROPERTY(int32_t, SystemStartupDelay)
    SYSQUILL_LIST(TArrString, SystemStartupOptions)
    SYSQUILL_PROPERTY(uint8_t, SystemStartupSetting)
    SYSQUILL_PROPERTY(std::string, SystemType)
    SYSQUILL_CODE(ThermalState)
    SYSQUILL_PROPERTY(int64_t, TotalPhysicalMemory)
    SYSQUILL_PROPERTY(std::string, UserName)
    SYSQUILL_CODE(WakeUpType)
    SYSQUILL_PROPERTY(std::string, Workgroup)

public:
    // Nothing sets these two: the logo's value is kept only as text and
    // the capabilities are read but not kept.
    int32_t OEMLogoBitmapCount() const { return FOEMLogoBitmapCount; }
    int32_t PowerManagementCapabilitiesCount() const { return FPowerManagementCapabilitiesCount; }
    int32_t GetPowerManagementCapabilities(int32_t index) const {
        return ListItem(FPowerManagementCapabilities, index);
    }

    // The record's fields in reading order (alphabetical).
    static std::span<const TFieldDef<TComputerSystemProperties>> Fields();

private:
    int32_t FOEMLogoBitmapCount = 0;
    TArrInteger FPowerManagementCapabilities;
    int32_t FPowerManagementCapabilitiesCount = 0;
};

class TComputerSystemInfo : public TRecordComponent<TComputerSystemProperties> {
public:
    TComputerSystemInfo();
    TComputerSystemProperties& ComputerSystemProperties() const { return Record(); }

    // Renames the computer selected by instanceProp = instanceValue; the
    // method's return code unchanged, 0 when nothing ran.
    int32_t Rename(const std::string& instanceProp, const wmi::OleVariant& instanceValue, const std::string& name,
                   const std::string& password, const std::string& userName);
};

}  // namespace components
