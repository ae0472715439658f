#include "components/CServiceInfo.h"

#include "components/MethodResult.h"

namespace components {

namespace {

constexpr TCodeText kServiceReturnCodes[] = {
    {0, "Success"},
    {1, "Not Supported"},
    {2, "Access Denied"},
    {3, "Dependent Services Running"},
    {4, "Invalid Service Control"},
    {5, "Service Cannot Accept Control"},
    {6, "Service Not Active"},
    {7, "Service Request Timeout"},
    {8, "Unknown Failure"},
    {9, "Path Not Found"},
    {10, "Service Already Running"},
    {11, "Service Database Locked"},
    {12, "Service Dependency Deleted"},
    {13, "Service Dependency Failure"},
    {14, "Service Disabled"},
    {15, "Service Logon Failure"},
    {16, "Service Marked For Deletion"},
    {17, "Service No Thread"},
    {18, "Status Circular Dependency"},
    {19, "Status Duplicate Name"},
    {20, "Status Invalid Name"},
    {21, "Status Invalid Parameter"},
    {22, "Status Invalid Service Account"},
    {23, "Status Service Exists"},
    {24, "Service Already Paused"},
};

}  // namespace

SYSQUILL_RECORD_TABLE(TServiceProperties, SYSQUILL_SERVICE_FIELDS)

TServiceInfo::TServiceInfo() : TRecordComponent("Win32_Service", "/en-us/library/aa394418(VS.85).aspx") {}

std::string TServiceInfo::GetErrorControlAsString(int32_t code) { return Decode(kServiceReturnCodes, code); }

int32_t TServiceInfo::Run(const std::string& instanceProp, const wmi::OleVariant& instanceValue,
                          const std::string& method, const wmi::TArrString& names, wmi::TArrVariant values) {
    const wmi::TArrByte directions(names.size(), 0);
    const wmi::TArrInteger types(names.size(), wmi::kCimString);
    wmi::OleVariant result;
    ExecWMIMethod(instanceProp, instanceValue, method, names, values, directions, types, result);
    return MethodReturnCode(result);
}

int32_t TServiceInfo::InterrogateService(const std::string& instanceProp, const wmi::OleVariant& instanceValue) {
    return Run(instanceProp, instanceValue, "InterrogateService", {}, {});
}

int32_t TServiceInfo::StartService(const std::string& instanceProp, const wmi::OleVariant& instanceValue) {
    return Run(instanceProp, instanceValue, "StartService", {}, {});
}

int32_t TServiceInfo::StopService(const std::string& instanceProp, const wmi::OleVariant& instanceValue) {
    return Run(instanceProp, instanceValue, "StopService", {}, {});
}

int32_t TServiceInfo::PauseService(const std::string& instanceProp, const wmi::OleVariant& instanceValue) {
    return Run(instanceProp, instanceValue, "PauseService", {}, {});
}

int32_t TServiceInfo::ResumeService(const std::string& instanceProp, const wmi::OleVariant& instanceValue) {
    return Run(instanceProp, instanceValue, "ResumeService", {}, {});
}

int32_t TServiceInfo::ChangeStartModeService(const std::string& instanceProp, const wmi::OleVariant& instanceValue,
                                             const std::string& startMode) {
    return Run(instanceProp, instanceValue, "ChangeStartMode", {"StartMode"}, {wmi::OleVariant::Text(startMode)});
}

}  // namespace components
