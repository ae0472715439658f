#pragma once
// The operating system component: class Win32_OperatingSystem, its record,
// its decoders and the Reboot method.
#include "components/MethodResult.h"
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_OperatingSystem in reading order (alphabetical,
// without letter case). The MUI languages are kept only as text.
#define SYSQUILL_OPERATING_SYSTEM_FIELDS(FIELD)                      \
    FIELD(Text, BootDevice)                                          \
    FIELD(Text, BuildNumber)                                         \
    FIELD(Text, BuildType)                                           \
    FIELD(Text, Caption)                                             \
    FIELD(Text, CodeSet)                                             \
    FIELD(Text, CountryCode)                                         \
    FIELD(Text, CreationClassName)                                   \
    FIELD(Text, CSCreationClassName)                                 \
    FIELD(Text, CSDVersion)                                          \
    FIELD(Text, CSName)                                              \
    FIELD(Integer, CurrentTimeZone, int32_t)                         \
    FIELD(Boolean, DataExecutionPrevention_32BitApplication)         \
    FIELD(Boolean, DataExecutionPrevention_Available)                \
    FIELD(Boolean, DataExecutionPrevention_Drivers)                  \
    FIELD(Integer, DataExecutionPrevention_SupportPolicy, uint8_t)   \
    FIELD(Boolean, Debug)                                            \
    FIELD(Text, Description)                                         \
    FIELD(Boolean, Distributed)                                      \
    FIELD(Integer, EncryptionLevel, uint32_t)                        \
    FIELD(Integer, ForegroundApplicationBoost, uint8_t)              \
    FIELD(Integer, FreePhysicalMemory, int64_t)                      \
    FIELD(Integer, FreeSpaceInPagingFiles, int64_t)                  \
    FIELD(Integer, FreeVirtualMemory, int64_t)                       \
    FIELD(Date, InstallDate)                                         \
    FIELD(Integer, LargeSystemCache, uint32_t)                       \
    FIELD(Date, LastBootUpTime)                                      \
    FIELD(Date, LocalDateTime)                                       \
    FIELD(Text, Locale)                                              \
    FIELD(Text, Manufacturer)                                        \
    FIELD(Integer, MaxNumberOfProcesses, uint32_t)                   \
    FIELD(Integer, MaxProcessMemorySize, int64_t)                    \
    FIELD(ListText, MUILanguages, TArrString)                        \
    FIELD(Text, Name)                                                \
    FIELD(Integer, NumberOfLicensedUsers, uint32_t)                  \
    FIELD(Integer, NumberOfProcesses, uint32_t)                      \
    FIELD(Integer, NumberOfUsers, uint32_t)                          \
    FIELD(CodeAs, OperatingSystemSKU, kOperatingSystemSKU, uint32_t) \
    FIELD(Text, Organization)                                        \
    FIELD(Text, OSArchitecture)                                      \
    FIELD(CodeAs, OSLanguage, kOSLanguage, uint32_t)                 \
    FIELD(Integer, OSProductSuite, uint32_t)                         \
    FIELD(Code, OSType, kOSType)                                     \
    FIELD(Text, OtherTypeDescription)                                \
    FIELD(Boolean, PAEEnabled)                                       \
    FIELD(Text, PlusProductID)                                       \
    FIELD(Text, PlusVersionNumber)                                   \
    FIELD(Boolean, Primary)                                          \
    FIELD(CodeAs, ProductType, kProductType, uint32_t)               \
    FIELD(Text, RegisteredUser)                                      \
    FIELD(Text, SerialNumber)                                        \
    FIELD(Integer, ServicePackMajorVersion, int32_t)                 \
    FIELD(Integer, ServicePackMinorVersion, int32_t)                 \
    FIELD(Integer, SizeStoredInPagingFiles, int64_t)                 \
    FIELD(Text, Status)                                              \
    FIELD(CodeAs, SuiteMask, kSuiteMask, uint32_t)                   \
    FIELD(Text, SystemDevice)                                        \
    FIELD(Text, SystemDirectory)                                     \
    FIELD(Text, SystemDrive)                                         \
    FIELD(Integer, TotalSwapSpaceSize, int64_t)                      \
    FIELD(Integer, TotalVirtualMemorySize, int64_t)                  \
    FIELD(Integer, TotalVisibleMemorySize, int64_t)                  \
    FIELD(Text, Version)                                             \
    FIELD(Text, WindowsDirectory)

class TOperatingSystemProperties : public TPropertyRecord<TOperatingSystemProperties> {
    SYSQUILL_RECORD(TOperatingSystemProperties, SYSQUILL_OPERATING_SYSTEM_FIELDS)

public:
    // The text of the current OSProductSuite (a single suite code; a
    // combination of several is no row of the table and gives empty text).
    std::string GetOSProductSuiteAsString() const;
};

class TOperatingSystemInfo : public TRecordComponent<TOperatingSystemProperties> {
public:
    TOperatingSystemInfo();
    TOperatingSystemProperties& OperatingSystemProperties() const { return Record(); }

    static constexpr uint32_t kNothingRan = components::kNothingRan;

    // Restarts the system selected by instanceProp = instanceValue; the
    // method's return code unchanged (0: the restart is under way), and
    // kNothingRan when the component was not active or nothing matched.
    int32_t Reboot(const std::string& instanceProp, const wmi::OleVariant& instanceValue);
};

}  // namespace components
