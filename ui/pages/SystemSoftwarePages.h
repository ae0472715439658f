#pragma once
// The system software pages read through their components, every object
// in turn, by these row tables, which their catalogue lines carry.
#include "ui/pages/ComponentPages.h"

namespace ui::systemsoftware {

constexpr RecordFormat kText = RecordFormat::Text;
constexpr RecordFormat kYesNo = RecordFormat::YesNo;
constexpr RecordFormat kNumber = RecordFormat::Number;
constexpr RecordFormat kDate = RecordFormat::Date;
constexpr RecordFormat kDecoded = RecordFormat::Decoded;

inline constexpr RecordRow kProcessRows[] = {
    {"Process Caption", "Caption", kText},
    {"Process Description", "Description", kText},
    {"Process Crreation Date", "CreationDate", kDate},
    {"Process Kernel Mode Time", "KernelModeTime", kNumber},
    {"Process User Mode Time", "UserModeTime", kNumber},
    {"Process Executeable Path", "ExecutablePath", kText},
    {"Process Command Line", "CommandLine", kText},
    {"Process Execution State", "ExecutionState", kNumber},
    {"Process Handle", "Handle", kText},
    {"Process Handle Count", "HandleCount", kNumber},
    {"Process Thread Count", "ThreadCount", kNumber},
    {"Process Parent Process ID", "ParentProcessId", kNumber},
    {"Process Priority", "Priority", kNumber},
    {"Process Virtual Size", "VirtualSize", kNumber},
    {"Process Peak Virtual Size", "PeakVirtualSize", kNumber},
    {"Process Peak Working Set Size", "PeakWorkingSetSize", kNumber},
    {"Process Maximum Working Set Size", "MaximumWorkingSetSize", kNumber},
    {"Process Minimum Working Set Size", "MinimumWorkingSetSize", kNumber},
    {"Process Page File Usage", "PageFileUsage", kNumber},
    {"Process Page Faults", "PageFaults", kNumber},
    {"Process Peak Page File Usage", "PeakPageFileUsage", kNumber},
    {"Process Quota None Paged Pool Usage", "QuotaNonPagedPoolUsage", kNumber},
    {"Process Quota Peak None Paged Pool Usage", "QuotaPeakNonPagedPoolUsage", kNumber},
    {"Process Quota Paged Pool Usage", "QuotaPagedPoolUsage", kNumber},
    {"Process Qouta Peak Paged Pool Usage", "QuotaPeakPagedPoolUsage", kNumber},
    {"Process Private Page Count", "PrivatePageCount", kNumber},
    {"Process Write Operation Count", "WriteOperationCount", kNumber},
    {"Process Write Transfer Count", "WriteTransferCount", kNumber},
    {"Process Read Operation Count", "ReadOperationCount", kNumber},
    {"Process Read Transfer Count", "ReadTransferCount", kNumber},
    {"Process OS Name", "OSName", kText},
    {"Process Windows Version", "WindowsVersion", kText},
};

inline constexpr RecordRow kEnvironmentRows[] = {
    {"Environment Caption", "Caption", kText},
    {"Environment Name", "Name", kText},
    {"Environment Variable Value", "VariableValue", kText},
    {"Environment User Name", "UserName", kText},
    {"Environment Status", "Status", kText},
    {"Environment System Variable", "SystemVariable", kYesNo},
};

inline constexpr RecordRow kStartupCommandRows[] = {
    {"Startup Command Caption", "Caption", kText},   {"Startup Command Description", "Description", kText},
    {"Startup Command Name", "Name", kText},         {"Startup Command", "Command", kText},
    {"Startup Command location", "Location", kText}, {"Startup Command Setting ID", "SettingID", kText},
    {"Startup Command User", "User", kText},         {"Startup User ID", "UserSIDAsString", kText},
};

inline constexpr RecordRow kAccountRows[] = {
    {"Account Caption", "Caption", kText},
    {"Account Type Code", "AccountType", kNumber},
    {"Account Type", "AccountTypeAsString", kDecoded},
    {"Account Description", "Description", kText},
    {"Account Domain", "Domain", kText},
    {"Account Full Name", "FullName", kText},
    {"Account SID", "SID", kText},
    {"Account SID Type", "SIDTypeAsString", kDecoded},
    {"Account Local Account", "LocalAccount", kYesNo},
    {"Account Disabled", "Disabled", kYesNo},
    {"Account Password Changeable", "PasswordChangeable", kYesNo},
    {"Account Password Expires", "PasswordExpires", kYesNo},
    {"Account Password Required", "PasswordRequired", kYesNo},
    {"Account Lockout", "Lockout", kYesNo},
};

inline constexpr RecordRow kShareRows[] = {
    {"Share Caption", "Caption", kText},
    {"Share Description", "Description", kText},
    {"Share Name", "Name", kText},
    {"Share Path", "Path", kText},
    {"Share Type Code", "ShareType", kNumber},
    {"Share Type", "ShareTypeAsString", kDecoded},
    {"Share Allow Maximum", "AllowMaximum", kYesNo},
    {"Share Maximum Allowed", "MaximumAllowed", kNumber},
    {"Share Access Mask", "AccessMask", kNumber},
    {"Share Status", "Status", kText},
    {"Share Install Date", "InstallDate", kDate},
};

}  // namespace ui::systemsoftware
