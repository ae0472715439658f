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

}  // namespace ui::systemsoftware
