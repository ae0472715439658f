#pragma once
// The process component: class Win32_Process, its record and the five
// process methods.
#include "components/PropertyRecord.h"

namespace components {

#define SYSQUILL_PROCESS_FIELDS(FIELD)                   \
    FIELD(Text, Caption)                                 \
    FIELD(Text, CommandLine)                             \
    FIELD(Text, CreationClassName)                       \
    FIELD(Date, CreationDate)                            \
    FIELD(Text, CSCreationClassName)                     \
    FIELD(Text, CSName)                                  \
    FIELD(Text, Description)                             \
    FIELD(Text, ExecutablePath)                          \
    FIELD(Integer, ExecutionState, int32_t)              \
    FIELD(Text, Handle)                                  \
    FIELD(Integer, HandleCount, uint32_t)                \
    FIELD(Date, InstallDate)                             \
    FIELD(Integer, KernelModeTime, int64_t)              \
    FIELD(Integer, MaximumWorkingSetSize, uint32_t)      \
    FIELD(Integer, MinimumWorkingSetSize, uint32_t)      \
    FIELD(Text, Name)                                    \
    FIELD(Text, OSCreationClassName)                     \
    FIELD(Text, OSName)                                  \
    FIELD(Integer, OtherOperationCount, int64_t)         \
    FIELD(Integer, OtherTransferCount, int64_t)          \
    FIELD(Integer, PageFaults, uint32_t)                 \
    FIELD(Integer, PageFileUsage, uint32_t)              \
    FIELD(Integer, ParentProcessId, uint32_t)            \
    FIELD(Integer, PeakPageFileUsage, uint32_t)          \
    FIELD(Integer, PeakVirtualSize, int64_t)             \
    FIELD(Integer, PeakWorkingSetSize, uint32_t)         \
    FIELD(Integer, Priority, uint32_t)                   \
    FIELD(Integer, PrivatePageCount, int64_t)            \
    FIELD(Integer, ProcessId, uint32_t)                  \
    FIELD(Integer, QuotaNonPagedPoolUsage, uint32_t)     \
    FIELD(Integer, QuotaPagedPoolUsage, uint32_t)        \
    FIELD(Integer, QuotaPeakNonPagedPoolUsage, uint32_t) \
    FIELD(Integer, QuotaPeakPagedPoolUsage, uint32_t)    \
    FIELD(Integer, ReadOperationCount, int64_t)          \
    FIELD(Integer, ReadTransferCount, int64_t)           \
    FIELD(Integer, SessionId, uint32_t)                  \
    FIELD(Text, Status)                                  \
    FIELD(Date, TerminationDate)                         \
    FIELD(Integer, ThreadCount, uint32_t)                \
    FIELD(Integer, UserModeTime, int64_t)                \
    FIELD(Integer, VirtualSize, int64_t)                 \
    FIELD(Text, WindowsVersion)                          \
    FIELD(Integer, WorkingSetSize, int64_t)              \
    FIELD(Integer, WriteOperationCount, int64_t)         \
    FIELD(Integer, WriteTransferCount, int64_t)

class TProcessProperties : public TPropertyRecord<TProcessProperties> {
    SYSQUILL_RECORD(TProcessProperties, SYSQUILL_PROCESS_FIELDS)
};

class TProcessInfo : public TRecordComponent<TProcessProperties> {
public:
    TProcessInfo();
    TProcessProperties& ProcessProperties() const { return Record(); }

    // Each targets the process whose instanceProp equals instanceValue and
    // returns the method's code (kNothingRan when nothing ran).
    int32_t Terminate(const std::string& instanceProp, const wmi::OleVariant& instanceValue, int32_t reason);
    // Also shows "Resultado: " and the code in an information notice.
    int32_t SetPriority(const std::string& instanceProp, const wmi::OleVariant& instanceValue, int32_t priority);
    int32_t GetOwner(const std::string& instanceProp, const wmi::OleVariant& instanceValue, std::string& user,
                     std::string& domain);
    int32_t GetOwnerSID(const std::string& instanceProp, const wmi::OleVariant& instanceValue, std::string& sid);
    // Starts commandLine (split as the provider documents, no shell);
    // processStartupInformation is not used.
    int32_t CreateProcess(const std::string& commandLine, const std::string& currentDirectory,
                          int32_t processStartupInformation, int32_t& processId);
};

}  // namespace components
