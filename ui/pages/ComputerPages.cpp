#include "ui/pages/ComputerPages.h"

#include "components/CBiosInfo.h"
#include "components/CComputerSystemInfo.h"

namespace ui {

namespace {

constexpr RecordFormat kText = RecordFormat::Text;
constexpr RecordFormat kYesNo = RecordFormat::YesNo;
constexpr RecordFormat kNumber = RecordFormat::Number;
constexpr RecordFormat kDate = RecordFormat::Date;
constexpr RecordFormat kDecoded = RecordFormat::Decoded;

constexpr RecordRow kBiosRows[] = {
    {"BIOS Caption", "Caption", kText},
    {"BIOS Version", "BIOSVersionAsString", kText},
    {"BIOS Current Language", "CurrentLanguage", kText},
    {"BIOS Description", "Description", kText},
    {"BIOS Manufacturer", "Manufacturer", kText},
    {"BIOS Build Numner", "BuildNumber", kText},
    {"BIOS Code Set", "CodeSet", kText},
    {"BIOS ID Code", "IdentificationCode", kText},
    {"Install Date", "InstallDate", kDate},
    {"BIOS Name", "Name", kText},
    {"Primary BIOS", "PrimaryBIOS", kYesNo},
    {"BIOS Release Date", "ReleaseDate", kDate},
    {"BIOS Serial Number", "SerialNumber", kText},
    {"SMBIOS present", "SMBIOSPresent", kYesNo},
    {"SMBIOS BIOS Version", "SMBIOSBIOSVersion", kText},
    {"SMBIOS Major Version", "SMBIOSMajorVersion", kNumber},
    {"SMBIOS Minor Version", "SMBIOSMinorVersion", kNumber},
    {"BIOS Software Element ID", "SoftwareElementID", kText},
    {"BIOS Software Element State Code", "SoftwareElementState", kNumber},
    {"BIOS Software Element State", "SoftwareElementStateAsString", kDecoded},
    {"BIOS Status", "Status", kText},
    {"BIOS Target OS Code", "TargetOperatingSystem", kNumber},
    {"BIOS Target OS", "TargetOperatingSystemAsString", kDecoded},
};

constexpr RecordRow kComputerSystemRows[] = {
    {"Computer Caption", "Caption", kText},
    {"Computer Manufacturer", "Manufacturer", kText},
    {"Computer Model", "Model", kText},
    {"Computer User Name", "UserName", kText},
    {"Computer DNS Host Name", "DNSHostName", kText},
    {"Computer Description", "Description", kText},
    {"Computer Domain", "Domain", kText},
    {"Computer Workgroup", "Workgroup", kText},
    {"Computer Domain Role Code", "DomainRole", kNumber},
    {"Computer Domain Role", "DomainRoleAsString", kDecoded},
    {"Computer Roles", "RolesAsString", kText},
    {"Computer Admin Password Status Code", "AdminPasswordStatus", kNumber},
    {"Computer Admin Password Status", "AdminPasswordStatusAsString", kDecoded},
    {"Computer Auto Manage Pagefile", "AutomaticManagedPagefile", kYesNo},
    {"Computer Auto Reset Boot Option", "AutomaticResetBootOption", kYesNo},
    {"Computer Auto Reset Capability", "AutomaticResetCapability", kYesNo},
    {"Computer Boot Option On Limit Code", "BootOptionOnLimit", kNumber},
    {"Computer Boot Option On Limit", "BootOptionOnLimitAsString", kDecoded},
    {"Computer Admin Boot Option On Watchdog Code", "BootOptionOnWatchDog", kNumber},
    {"Computer Admin Boot Option On Watchdog", "BootOptionOnWatchDogAsString", kDecoded},
    {"Computer Boot ROM supported", "BootROMSupported", kYesNo},
    {"Computer Bootup State", "BootupState", kText},
    {"Computer Chassis Bootup State Code", "ChassisBootupState", kNumber},
    {"Computer Chassis Bootup State", "ChassisBootupStateAsString", kDecoded},
    {"Computer Current Time Zone", "CurrentTimeZone", kNumber},
    {"Computer Daylight In Effect", "DaylightInEffect", kYesNo},
    {"Computer Enable Daylight Saving Time", "EnableDaylightSavingsTime", kYesNo},
    {"Computer Front Panel Reset Status Code", "FrontPanelResetStatus", kNumber},
    {"Computer Front Panel Reset Status", "FrontPanelResetStatusAsString", kDecoded},
    {"Computer Infrared Supported", "InfraredSupported", kYesNo},
    {"Computer Initial Load Info", "InitialLoadInfo", kText},
    {"Computer Install Date", "InstallDate", kDate},
    {"Computer Keyboard Password Status Code", "KeyboardPasswordStatus", kNumber},
    {"Computer Keyboard Password Status", "KeyboardPasswordStatusAsString", kDecoded},
    {"Computer Network Server Mode Enalbed", "NetworkServerModeEnabled", kYesNo},
    {"Computer Number of Processors", "NumberOfProcessors", kNumber},
    {"Computer Number Of Logical Processors", "NumberOfLogicalProcessors", kNumber},
    {"Computer OEM String", "OEMStringArrayAsString", kText},
    {"Computer Part Of Doamin", "PartOfDomain", kYesNo},
    {"Computer Pause After Reset", "PauseAfterReset", kNumber},
    {"Computer PC System Type Code", "PCSystemType", kNumber},
    {"Computer PC System Type", "PCSystemTypeAsString", kDecoded},
    {"Computer Power Manager supported", "PowerManagementSupported", kYesNo},
    {"Computer Power State Code", "PowerState", kNumber},
    {"Computer Power Stat", "PowerStateAsString", kDecoded},
    {"Computer Power On Password Status Code", "PowerOnPasswordStatus", kNumber},
    {"Computer Power On Password Status", "PowerOnPasswordStatusAsString", kDecoded},
    {"Computer Power Supply State Code", "PowerSupplyState", kNumber},
    {"Computer Power Supply State", "PowerSupplyStateAsString", kDecoded},
    {"Computer Primary Owner Contact", "PrimaryOwnerContact", kText},
    {"Computer Primary Owner Name", "PrimaryOwnerName", kText},
    {"Computer Reset Capability Code", "ResetCapability", kNumber},
    {"Computer Reset Capability", "ResetCapabilityAsString", kDecoded},
    {"Computer Reset Count", "ResetCount", kNumber},
    {"Computer Reset Limit", "ResetLimit", kNumber},
    {"Computer System Startup Delay", "SystemStartupDelay", kNumber},
    {"Computer System Startup Options", "SystemStartupOptionsAsString", kText},
    {"Computer System Startup Setting Code", "SystemStartupSetting", kNumber},
    {"Computer System Type", "SystemType", kText},
    {"Computer Thermal State Code", "ThermalState", kNumber},
    {"Computer Thermal State", "ThermalStateAsString", kDecoded},
    {"Computer Total Physical Memory", "TotalPhysicalMemory", kNumber},
    {"Computer Wake Up Type Code", "WakeUpType", kNumber},
    {"Computer Wake Up Type", "WakeUpTypeAsString", kDecoded},
};

const components::TWMIProperties& BiosRecord(const components::TBiosInfo& c) { return c.BiosProperties(); }
const components::TWMIProperties& ComputerSystemRecord(const components::TComputerSystemInfo& c) {
    return c.ComputerSystemProperties();
}

}  // namespace

void GetBiosInfo(PageList& list, const std::string& host) {
    FillComponentPage(list, host, kBiosRows, BiosRecord, PageObjects::First);
}

void GetComputerSystemInfo(PageList& list, const std::string& host) {
    FillComponentPage(list, host, kComputerSystemRows, ComputerSystemRecord, PageObjects::First);
}

std::span<const RecordRow> BiosRows() { return kBiosRows; }
std::span<const RecordRow> ComputerSystemRows() { return kComputerSystemRows; }

}  // namespace ui
