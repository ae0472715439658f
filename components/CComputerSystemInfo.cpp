#include "components/CComputerSystemInfo.h"

#include "components/MethodResult.h"

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

SYSQUILL_RECORD_TABLE(TComputerSystemProperties, SYSQUILL_COMPUTER_SYSTEM_FIELDS)

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
    return MethodReturnCode(result);
}

}  // namespace components
