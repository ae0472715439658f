#pragma once
// The system software group of direct-query pages ("Operating System"
// menu): their row tables, which their catalogue lines carry.
#include "ui/pages/PageCatalogue.h"

namespace ui::software {

constexpr ValueRule kText = ValueRule::Text;
constexpr ValueRule kInteger = ValueRule::Integer;
constexpr ValueRule kStrictText = ValueRule::StrictText;
constexpr ValueRule kStrictInteger = ValueRule::StrictInteger;
constexpr ValueRule kStrictBoolean = ValueRule::StrictBoolean;

// Every row is strict: a driver's first null ends the page there.
inline constexpr RowEntry kSystemDriverRows[] = {
    {"System Driver Caption", "Caption", kStrictText},
    {"System Driver Description", "Description", kStrictText},
    {"System Driver Display Name", "DisplayName", kStrictText},
    {"System Driver Name", "Name", kStrictText},
    {"System Driver Path Name", "PathName", kStrictText},
    {"System Driver Service Type", "ServiceType", kStrictText},
    {"System Driver Desktop Interact", "DesktopInteract", kStrictBoolean},
    {"System Driver Started", "Started", kStrictBoolean},
    {"System Driver Start Mode", "StartMode", kStrictText},
    {"System Driver Start Name", "StartName", kStrictText},
    {"System Driver Accept Pause", "AcceptPause", kStrictBoolean},
    {"System Driver Accept Stop", "AcceptStop", kStrictBoolean},
    {"System Driver Error Control", "ErrorControl", kStrictText},
    {"System Driver Exit Code", "ExitCode", kStrictInteger},
    {"System Driver Service Specific ExitCode", "ServiceSpecificExitCode", kStrictInteger},
    {"System Driver State", "State", kStrictText},
    {"System Driver Status", "Status", kStrictText},
    {"System Driver Tag Id", "TagId", kStrictInteger},
};

inline constexpr RowEntry kLoadOrderGroupRows[] = {
    {"Load Order Group Caption", "Caption", kText},     {"Load Order Group Description", "Description", kText},
    {"Load Order Group Name", "Name", kText},           {"Load Order Group Driver Enabled", "DriverEnabled", kText},
    {"Load Order Group Order", "GroupOrder", kInteger}, {"Load Order Group Status", "Status", kText},
};

inline constexpr RowEntry kBootConfigurationRows[] = {
    {"Boot Configuration Caption", "Caption", kText},
    {"Boot Configuration Name", "Name", kText},
    {"Boot Configuration Description", "Description", kText},
    {"Boot Configuration Configuration Path", "ConfigurationPath", kText},
    {"Boot Configuration CLast Drive", "LastDrive", kText},
    {"Boot Configuration Boot Directory", "BootDirectory", kText},
    {"Boot Configuration Scratch Directory", "ScratchDirectory", kText},
    {"Boot Configuration Temp Directory", "TempDirectory", kText},
};

inline constexpr RowEntry kGroupRows[] = {
    {"Group Caption", "Caption", kText},           {"Group Name", "Name", kText},
    {"Group Description", "Description", kText},   {"Group Domain", "Domain", kText},
    {"Group LocalAccount", "LocalAccount", kText}, {"Group SID", "SID", kText},
    {"Group SID Type", "SIDType", kInteger},       {"Group Status", "Status", kText},
};

// The standard-time group has no second row; the daylight-time group has.
inline constexpr RowEntry kTimeZoneRows[] = {
    {"Time Zone Caption", "Caption", kStrictText},
    {"Time Zone Description", "Description", kStrictText},
    {"Time Zone Bias", "Bias", kInteger},
    {"Time Zone Standard Name", "StandardName", kStrictText},
    {"Time Zone Standard Bias", "StandardBias", kStrictInteger},
    {"Time Zone Standard Year", "StandardYear", kStrictInteger},
    {"Time Zone Standard Month", "StandardMonth", kStrictInteger},
    {"Time Zone Standard Day", "StandardDay", kStrictInteger},
    {"Time Zone Standard Day Of Week", "StandardDayOfWeek", kStrictInteger},
    {"Time Zone Standard Hour", "StandardHour", kStrictInteger},
    {"Time Zone Standard Minute", "StandardMinute", kStrictInteger},
    {"Time Zone Standard Millisecond", "StandardMillisecond", kStrictInteger},
    {"Time Zone Daylight Name", "DaylightName", kStrictText},
    {"Time Zone Daylight Bias", "DaylightBias", kStrictInteger},
    {"Time Zone Daylight Year", "DaylightYear", kStrictInteger},
    {"Time Zone Daylight Month", "DaylightMonth", kStrictInteger},
    {"Time Zone Daylight Day", "DaylightDay", kStrictInteger},
    {"Time Zone Daylight Day Of Week", "DaylightDayOfWeek", kStrictInteger},
    {"Time Zone Daylight Hour", "DaylightHour", kStrictInteger},
    {"Time Zone Daylight Minute", "DaylightMinute", kStrictInteger},
    {"Time Zone Daylight Second", "DaylightSecond", kStrictInteger},
    {"Time Zone Daylight Millisecond", "DaylightMillisecond", kStrictInteger},
};

// No caption row: the header row is the program's name.
inline constexpr RowEntry kInstalledWin32ProgramRows[] = {
    {"Win32 Program Name", "Name", kText},
    {"Win32 Program Vendor", "Vendor", kText},
    {"Win32 Program Program Id", "ProgramId", kText},
    {"Win32 Program Version", "Version", kText},
    {"Win32 Program Msi Product Code", "MsiProductCode", kText},
    {"Win32 Program Msi Package Code", "MsiPackageCode", kText},
    {"Win32 Program Language", "Language", kText},
};

inline constexpr RowEntry kInstalledProgramFrameworkRows[] = {
    {"Framework Name", "FrameworkName", kText},
    {"Framework Publisher", "FrameworkPublisher", kText},
    {"Framework Program Id", "ProgramId", kText},
    {"Framework Version", "FrameworkVersion", kText},
    {"Framework Version Actual", "FrameworkVersionActual", kText},
    {"Framework Is Private", "IsPrivate", kText},
};

inline constexpr RowEntry kCOMClassRows[] = {
    {"COM Class Caption", "Caption", kText},
    {"COM Class Description", "Description", kText},
};

inline constexpr RowEntry kCodecFileRows[] = {
    {"Codec File Caption", "Caption", kText},
    {"Codec File Description", "Description", kText},
    {"Codec File Group", "Group", kText},
    {"Codec File Name", "FileName", kText},
    {"Codec File Manufacturer", "Manufacturer", kText},
    {"Codec File Size", "FileSize", kInteger},
    {"Codec File Version", "Version", kText},
    {"Codec File Type", "FileType", kText},
    {"Codec File Extension", "Extension", kText},
    {"Codec File Drive", "Drive", kText},
    {"Codec File Path", "Path", kText},
    {"Codec File FS Name", "FSName", kText},
    {"Codec File Access Mask", "AccessMask", kInteger},
    {"Codec File Archive", "Archive", kText},
    {"Codec File System", "System", kText},
    {"Codec File Hidden", "Hidden", kText},
    {"Codec File Compressed", "Compressed", kText},
    {"Codec File Encrypted", "Encrypted", kText},
    {"Codec File Readable", "Readable", kText},
    {"Codec File Writeable", "Writeable", kText},
};

// Every row but the delayed start is strict.
inline constexpr RowEntry kTerminalServiceRows[] = {
    {"TS Caption", "Caption", kStrictText},
    {"TS Description", "Description", kStrictText},
    {"TS Name", "Name", kStrictText},
    {"TS Display Name", "DisplayName", kStrictText},
    {"TS Path Name", "PathName", kStrictText},
    {"TS Service Type", "ServiceType", kStrictText},
    {"TS Start Mode", "StartMode", kStrictText},
    {"TS Start Name", "StartName", kStrictText},
    {"TS Started", "Started", kStrictBoolean},
    {"TS Accept Pause", "AcceptPause", kStrictBoolean},
    {"TS Accept Stop", "AcceptStop", kStrictBoolean},
    {"TS Desktop Interact", "DesktopInteract", kStrictBoolean},
    {"TS Service Delayed Auto Start", "DelayedAutoStart", kText},
    {"TS Process Id", "ProcessId", kStrictInteger},
    {"TS Total Sessions", "TotalSessions", kStrictInteger},
    {"TS Disconnected Sessions", "DisconnectedSessions", kStrictInteger},
    {"TS Check Point", "CheckPoint", kStrictInteger},
    {"TS Error Control", "ErrorControl", kStrictText},
    {"TS Exit Code", "ExitCode", kStrictInteger},
    {"TS Service Specific Exit Code", "ServiceSpecificExitCode", kStrictInteger},
    {"TS State", "State", kStrictText},
    {"TS Status", "Status", kStrictText},
};

}  // namespace ui::software
