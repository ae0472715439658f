#include "components/CComputerSystemInfo.h"

namespace components {

namespace {

constexpr TCodeText kPasswordStatus[] = {
    {0, "Disabled"},
    {1, "Enabled"},
    {2, "Not Implemented"},
    {3, "Unknown"},
};

constexpr TCodeText kBootOption[] = {
    {1, "Reserved"},
    {2, "Operating System"},
    {3, "System Utilities"},
    {4, "Do Not Reboot"},
};

constexpr TCodeText kChassisBootupState[] = {
    {1, "Other"}, {2, "Unknown"}, {3, "Safes"}, {4, "Warning"}, {5, "Critical"}, {6, "Nonrecoverable"},
};

constexpr TCodeText kDomainRole[] = {
    {0, "Standalone Workstation"}, {1, "Member Workstation"},       {2, "Standalone Server"},
    {3, "Member Server"},          {4, "Backup Domain Controller"}, {5, "Primary Domain Controller"},
};

constexpr TCodeText kPCSystemType[] = {
    {0, "Unspecified"},
    {1, "Desktop"},
    {2, "Mobile"},
    {3, "Workstation"},
    {4, "Enterprise Server"},
    {5, "Small Office and Home Office (SOHO) Server"},
    {6, "Appliance PC"},
    {7, "Performance Server"},
    {8, "Maximum"},
};

constexpr TCodeText kPowerState[] = {
    {0, "Unknown"},
    {1, "Full Power"},
    {2, "Power Save - Low Power Mode"},
    {3, "Power Save - Standby"},
    {4, "Power Save - Unknown"},
    {5, "Power Cycle"},
    {6, "Power Off"},
    {7, "Power Save - Warning"},
};

// Power supply and thermal states.
constexpr TCodeText kHealthState[] = {
    {1, "Other"}, {2, "Unknown"}, {3, "Safe"}, {4, "Warning"}, {5, "Critical"}, {6, "Nonrecoverable"},
};

constexpr TCodeText kResetCapability[] = {
    {1, "Other"}, {2, "Unknown"}, {3, "Disabled"}, {4, "Enabled"}, {5, "Nonrecoverable"},
};

constexpr TCodeText kWakeUpType[] = {
    {0, "Reserved"},   {1, "Other"},        {2, "Unknown"},  {3, "APM Timer"},         {4, "Modem Ring"},
    {5, "LAN Remote"}, {6, "Power Switch"}, {7, "PCI PME#"}, {8, "AC Power Restored"},
};

}  // namespace

std::span<const TFieldDef<TComputerSystemProperties>> TComputerSystemProperties::Fields() {
    using P = TComputerSystemProperties;
    static const TFieldDef<P> fields[] = {
        Code("AdminPasswordStatus", &P::FAdminPasswordStatus, kPasswordStatus),
        Boolean("AutomaticManagedPagefile", &P::FAutomaticManagedPagefile),
        Boolean("AutomaticResetBootOption", &P::FAutomaticResetBootOption),
        Boolean("AutomaticResetCapability", &P::FAutomaticResetCapability),
        Code("BootOptionOnLimit", &P::FBootOptionOnLimit, kBootOption),
        Code("BootOptionOnWatchDog", &P::FBootOptionOnWatchDog, kBootOption),
        Boolean("BootROMSupported", &P::FBootROMSupported),
        Text("BootupState", &P::FBootupState),
        Text("Caption", &P::FCaption),
        Code("ChassisBootupState", &P::FChassisBootupState, kChassisBootupState),
        Text("CreationClassName", &P::FCreationClassName),
        Integer("CurrentTimeZone", &P::FCurrentTimeZone),
        Boolean("DaylightInEffect", &P::FDaylightInEffect),
        Text("Description", &P::FDescription),
        Text("DNSHostName", &P::FDNSHostName),
        Text("Domain", &P::FDomain),
        Code("DomainRole", &P::FDomainRole, kDomainRole),
        Boolean("EnableDaylightSavingsTime", &P::FEnableDaylightSavingsTime),
        Code("FrontPanelResetStatus", &P::FFrontPanelResetStatus, kPasswordStatus),
        Boolean("InfraredSupported", &P::FInfraredSupported),
        Text("InitialLoadInfo", &P::FInitialLoadInfo),
        Date("InstallDate", &P::FInstallDate),
        Code("KeyboardPasswordStatus", &P::FKeyboardPasswordStatus, kPasswordStatus),
        Text("LastLoadInfo", &P::FLastLoadInfo),
        Text("Manufacturer", &P::FManufacturer),
        Text("Model", &P::FModel),
        Text("Name", &P::FName),
        Text("NameFormat", &P::FNameFormat),
        Boolean("NetworkServerModeEnabled", &P::FNetworkServerModeEnabled),
        Integer("NumberOfLogicalProcessors", &P::FNumberOfLogicalProcessors),
        Integer("NumberOfProcessors", &P::FNumberOfProcessors),
        ListText("OEMLogoBitmap", &P::FOEMLogoBitmapCount, &P::FOEMLogoBitmapAsString),
        ListText("OEMStringArray", &P::FOEMStringArray, &P::FOEMStringArrayCount, &P::FOEMStringArrayAsString),
        Boolean("PartOfDomain", &P::FPartOfDomain),
        Integer("PauseAfterReset", &P::FPauseAfterReset),
        Code("PCSystemType", &P::FPCSystemType, kPCSystemType),
        Unstored("PowerManagementCapabilities", &P::FPowerManagementCapabilities,
                 &P::FPowerManagementCapabilitiesCount),
        Boolean("PowerManagementSupported", &P::FPowerManagementSupported),
        Code("PowerOnPasswordStatus", &P::FPowerOnPasswordStatus, kPasswordStatus),
        Code("PowerState", &P::FPowerState, kPowerState),
        Code("PowerSupplyState", &P::FPowerSupplyState, kHealthState),
        Text("PrimaryOwnerContact", &P::FPrimaryOwnerContact),
        Text("PrimaryOwnerName", &P::FPrimaryOwnerName),
        Code("ResetCapability", &P::FResetCapability, kResetCapability),
        Integer("ResetCount", &P::FResetCount),
        Integer("ResetLimit", &P::FResetLimit),
        ListText("Roles", &P::FRoles, &P::FRolesCount, &P::FRolesAsString),
        Text("Status", &P::FStatus),
        ListText("SupportContactDescription", &P::FSupportContactDescription, &P::FSupportContactDescriptionCount,
                 &P::FSupportContactDescriptionAsString),
        Integer("SystemStartupDelay", &P::FSystemStartupDelay),
        ListText("SystemStartupOptions", &P::FSystemStartupOptions, &P::FSystemStartupOptionsCount,
                 &P::FSystemStartupOptionsAsString),
        Integer("SystemStartupSetting", &P::FSystemStartupSetting),
        Text("SystemType", &P::FSystemType),
        Code("ThermalState", &P::FThermalState, kHealthState),
        Integer("TotalPhysicalMemory", &P::FTotalPhysicalMemory),
        Text("UserName", &P::FUserName),
        Code("WakeUpType", &P::FWakeUpType, kWakeUpType),
        Text("Workgroup", &P::FWorkgroup),
    };
    return fields;
}

std::string TComputerSystemProperties::AdminPasswordStatusAsString() const {
    return Decode(kPasswordStatus, FAdminPasswordStatus);
}
std::string TComputerSystemProperties::BootOptionOnLimitAsString() const {
    return Decode(kBootOption, FBootOptionOnLimit);
}
std::string TComputerSystemProperties::BootOptionOnWatchDogAsString() const {
    return Decode(kBootOption, FBootOptionOnWatchDog);
}
std::string TComputerSystemProperties::ChassisBootupStateAsString() const {
    return Decode(kChassisBootupState, FChassisBootupState);
}
std::string TComputerSystemProperties::DomainRoleAsString() const { return Decode(kDomainRole, FDomainRole); }
std::string TComputerSystemProperties::FrontPanelResetStatusAsString() const {
    return Decode(kPasswordStatus, FFrontPanelResetStatus);
}
std::string TComputerSystemProperties::KeyboardPasswordStatusAsString() const {
    return Decode(kPasswordStatus, FKeyboardPasswordStatus);
}
std::string TComputerSystemProperties::PCSystemTypeAsString() const { return Decode(kPCSystemType, FPCSystemType); }
std::string TComputerSystemProperties::PowerOnPasswordStatusAsString() const {
    return Decode(kPasswordStatus, FPowerOnPasswordStatus);
}
std::string TComputerSystemProperties::PowerStateAsString() const { return Decode(kPowerState, FPowerState); }
std::string TComputerSystemProperties::PowerSupplyStateAsString() const {
    return Decode(kHealthState, FPowerSupplyState);
}
std::string TComputerSystemProperties::ResetCapabilityAsString() const {
    return Decode(kResetCapability, FResetCapability);
}
std::string TComputerSystemProperties::ThermalStateAsString() const { return Decode(kHealthState, FThermalState); }
std::string TComputerSystemProperties::WakeUpTypeAsString() const { return Decode(kWakeUpType, FWakeUpType); }

TComputerSystemInfo::TComputerSystemInfo()
    : TRecordComponent("Win32_ComputerSystem", "/en-us/library/aa394102(VS.85).aspx") {}

int32_t TComputerSystemInfo::Rename(const std::string& instanceProp, const wmi::OleVariant& instanceValue,
                                    const std::string& name, const std::string& password, const std::string& userName) {
    const wmi::TArrString names = {"Name", "Password", "UserName"};
    wmi::TArrVariant values = {wmi::OleVariant::Text(name), wmi::OleVariant::Text(password),
                               wmi::OleVariant::Text(userName)};
    const wmi::TArrByte directions = {0, 0, 0};
    const wmi::TArrInteger types = {wmi::kCimString, wmi::kCimString, wmi::kCimString};
    wmi::OleVariant result;
    ExecWMIMethod(instanceProp, instanceValue, "Rename", names, values, directions, types, result);
    switch (result.GetType()) {
        case wmi::OleVariant::Type::Empty:
        case wmi::OleVariant::Type::Null:
            return 0;
        case wmi::OleVariant::Type::Int:
            return static_cast<int32_t>(result.AsInt());
        case wmi::OleVariant::Type::UInt:
            return static_cast<int32_t>(result.AsUInt());
        default:
            return static_cast<int32_t>(wmi::WMIVarToInt64(result, false));
    }
}

}  // namespace components
