#pragma once
// Management methods change the machine; they all go through this one
// interface so tests can record the calls instead of making them.
#include <cstdint>
#include <string>

namespace cimv2 {

// WMI's return codes of the Win32_Service methods.
namespace service {
constexpr uint32_t Success = 0;
constexpr uint32_t NotSupported = 1;
constexpr uint32_t AccessDenied = 2;
constexpr uint32_t DependentServicesRunning = 3;
constexpr uint32_t InvalidServiceControl = 4;
constexpr uint32_t ServiceCannotAcceptControl = 5;
constexpr uint32_t ServiceNotActive = 6;
constexpr uint32_t ServiceRequestTimeout = 7;
constexpr uint32_t UnknownFailure = 8;
constexpr uint32_t PathNotFound = 9;
constexpr uint32_t ServiceAlreadyRunning = 10;
constexpr uint32_t ServiceDatabaseLocked = 11;
constexpr uint32_t ServiceDependencyFailure = 13;
constexpr uint32_t ServiceDisabled = 14;
constexpr uint32_t ServiceLogonFailure = 15;
constexpr uint32_t InvalidName = 20;
constexpr uint32_t InvalidParameter = 21;
constexpr uint32_t ServiceAlreadyPaused = 24;
}  // namespace service

enum class ServiceControl { Start, Stop, Pause, Resume, Interrogate };
// ChangeStartMode's modes that a service manager can honour.
enum class ServiceStartMode { Automatic, Manual, Disabled };

class SystemActions {
public:
    virtual ~SystemActions() = default;
    // Sets the static host name; returns a WMI-style code (0 success).
    virtual uint32_t SetStaticHostName(const std::string& name) = 0;
    // A control sent to the service unit `name`; a WMI service code. A
    // machine without a service manager supports none.
    virtual uint32_t ControlService(const std::string&, ServiceControl) { return service::NotSupported; }
    virtual uint32_t ChangeServiceStartMode(const std::string&, ServiceStartMode) { return service::NotSupported; }
};

}  // namespace cimv2
