#pragma once
// The service component: class Win32_Service, its record, the decoder of its
// methods' return codes and the six service methods.
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_Service in reading order.
#define SYSQUILL_SERVICE_FIELDS(FIELD)                \
    FIELD(Boolean, AcceptPause)                       \
    FIELD(Boolean, AcceptStop)                        \
    FIELD(Text, Caption)                              \
    FIELD(Integer, CheckPoint, uint32_t)              \
    FIELD(Text, CreationClassName)                    \
    FIELD(Text, Description)                          \
    FIELD(Boolean, DesktopInteract)                   \
    FIELD(Text, DisplayName)                          \
    FIELD(Text, ErrorControl)                         \
    FIELD(Integer, ExitCode, uint32_t)                \
    FIELD(Date, InstallDate)                          \
    FIELD(Text, Name)                                 \
    FIELD(Text, PathName)                             \
    FIELD(Integer, ProcessId, uint32_t)               \
    FIELD(Integer, ServiceSpecificExitCode, uint32_t) \
    FIELD(Text, ServiceType)                          \
    FIELD(Boolean, Started)                           \
    FIELD(Text, StartMode)                            \
    FIELD(Text, StartName)                            \
    FIELD(Text, State)                                \
    FIELD(Text, Status)                               \
    FIELD(Text, SystemCreationClassName)              \
    FIELD(Text, SystemName)                           \
    FIELD(Integer, TagId, uint32_t)                   \
    FIELD(Integer, WaitHint, uint32_t)

class TServiceProperties : public TPropertyRecord<TServiceProperties> {
    SYSQUILL_RECORD(TServiceProperties, SYSQUILL_SERVICE_FIELDS)
};

class TServiceInfo : public TRecordComponent<TServiceProperties> {
public:
    TServiceInfo();
    TServiceProperties& ServiceProperties() const { return Record(); }

    // Each runs its method on the service selected by instanceProp =
    // instanceValue and gives the method's return code (kNothingRan when nothing ran).
    int32_t InterrogateService(const std::string& instanceProp, const wmi::OleVariant& instanceValue);
    int32_t StartService(const std::string& instanceProp, const wmi::OleVariant& instanceValue);
    int32_t StopService(const std::string& instanceProp, const wmi::OleVariant& instanceValue);
    int32_t PauseService(const std::string& instanceProp, const wmi::OleVariant& instanceValue);
    int32_t ResumeService(const std::string& instanceProp, const wmi::OleVariant& instanceValue);
    // Runs ChangeStartMode with startMode ("Automatic", "Manual", "Disabled", ...).
    int32_t ChangeStartModeService(const std::string& instanceProp, const wmi::OleVariant& instanceValue,
                                   const std::string& startMode);

    // The text of a return code of the methods above; empty outside the table.
    // (It decodes return codes, not the ErrorControl property.)
    static std::string GetErrorControlAsString(int32_t code);

private:
    int32_t Run(const std::string& instanceProp, const wmi::OleVariant& instanceValue, const std::string& method,
                const wmi::TArrString& names, wmi::TArrVariant values);
};

}  // namespace components
