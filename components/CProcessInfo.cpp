#include "components/CProcessInfo.h"

#include "components/MethodResult.h"
#include "wmi/Notice.h"

namespace components {

namespace {

std::string OutText(const wmi::OleVariant& value) {
    const bool isNull =
        value.GetType() == wmi::OleVariant::Type::Empty || value.GetType() == wmi::OleVariant::Type::Null;
    return wmi::WMIVarToText(value, isNull);
}

}  // namespace

SYSQUILL_RECORD_TABLE(TProcessProperties, SYSQUILL_PROCESS_FIELDS)

TProcessInfo::TProcessInfo() : TRecordComponent("Win32_Process", "/en-us/library/aa394372(VS.85).aspx") {}

int32_t TProcessInfo::Terminate(const std::string& instanceProp, const wmi::OleVariant& instanceValue, int32_t reason) {
    wmi::TArrVariant values = {wmi::OleVariant::UInt(static_cast<uint32_t>(reason))};
    wmi::OleVariant result;
    ExecWMIMethod(instanceProp, instanceValue, "Terminate", {"Reason"}, values, {0}, {wmi::kCimUInt32}, result);
    return MethodReturnCode(result);
}

int32_t TProcessInfo::SetPriority(const std::string& instanceProp, const wmi::OleVariant& instanceValue,
                                  int32_t priority) {
    wmi::TArrVariant values = {wmi::OleVariant::Int(priority)};
    wmi::OleVariant result;
    ExecWMIMethod(instanceProp, instanceValue, "SetPriority", {"Priority"}, values, {0}, {wmi::kCimSInt32}, result);
    const int32_t code = MethodReturnCode(result);
    wmi::ShowNotice(wmi::NoticeKind::Information, "Resultado: " + std::to_string(code));
    return code;
}

int32_t TProcessInfo::GetOwner(const std::string& instanceProp, const wmi::OleVariant& instanceValue, std::string& user,
                               std::string& domain) {
    wmi::TArrVariant values(2);
    wmi::OleVariant result;
    ExecWMIMethod(instanceProp, instanceValue, "GetOwner", {"User", "Domain"}, values, {1, 1},
                  {wmi::kCimString, wmi::kCimString}, result);
    user = OutText(values[0]);
    domain = OutText(values[1]);
    return MethodReturnCode(result);
}

int32_t TProcessInfo::GetOwnerSID(const std::string& instanceProp, const wmi::OleVariant& instanceValue,
                                  std::string& sid) {
    wmi::TArrVariant values(1);
    wmi::OleVariant result;
    ExecWMIMethod(instanceProp, instanceValue, "GetOwnerSID", {"SID"}, values, {1}, {wmi::kCimString}, result);
    sid = OutText(values[0]);
    return MethodReturnCode(result);
}

int32_t TProcessInfo::CreateProcess(const std::string& commandLine, const std::string& currentDirectory,
                                    int32_t processStartupInformation, int32_t& processId) {
    (void)processStartupInformation;
    wmi::TArrVariant values = {wmi::OleVariant::Text(commandLine), wmi::OleVariant::Text(currentDirectory),
                               wmi::OleVariant::Null(), wmi::OleVariant()};
    wmi::OleVariant result;
    ExecWMIMethod("", wmi::OleVariant::Text(""), "Create",
                  {"CommandLine", "CurrentDirectory", "ProcessStartupInformation", "ProcessId"}, values, {0, 0, 0, 1},
                  {wmi::kCimString, wmi::kCimString, wmi::kCimObject, wmi::kCimUInt32}, result);
    const auto& pid = values[3];
    const bool isNull = pid.GetType() == wmi::OleVariant::Type::Empty || pid.GetType() == wmi::OleVariant::Type::Null;
    processId = isNull ? 0 : static_cast<int32_t>(wmi::WMIVarToInt64(pid, false));
    return MethodReturnCode(result);
}

}  // namespace components
