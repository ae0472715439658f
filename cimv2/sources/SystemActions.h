#pragma once
// Management methods change the machine; they all go through this one
// interface so tests can record the calls instead of making them.
#include <cstdint>
#include <string>
#include <vector>

namespace cimv2 {

// Win32_Process method return codes (WMI's).
namespace processcode {
constexpr uint32_t Success = 0;
constexpr uint32_t AccessDenied = 2;
constexpr uint32_t InsufficientPrivilege = 3;
constexpr uint32_t UnknownFailure = 8;
constexpr uint32_t PathNotFound = 9;  // also: the process is gone
constexpr uint32_t InvalidParameter = 21;
}  // namespace processcode
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

    // ---- Processes. Each names its target by its process id and its start
    // time (clock ticks after boot, /proc/PID/stat field 22), so a process
    // id that was reused in between is never acted on. Codes are those of
    // processcode; an implementation that does not act on processes
    // refuses them all.

    // Ends the process with SIGKILL (WMI's Terminate is unconditional).
    virtual uint32_t TerminateProcess(uint32_t pid, uint64_t startTicks) {
        (void)pid, (void)startTicks;
        return processcode::AccessDenied;
    }
    // Gives every thread of the process this nice value (-20..19).
    virtual uint32_t SetProcessNice(uint32_t pid, uint64_t startTicks, int nice) {
        (void)pid, (void)startTicks, (void)nice;
        return processcode::AccessDenied;
    }
    // Starts argv[0] with these arguments, without a shell, in
    // currentDirectory (the caller's own when empty), detached from the
    // caller, with stdin, stdout and stderr on /dev/null.
    virtual uint32_t CreateProcess(const std::vector<std::string>& argv, const std::string& currentDirectory,
                                   uint32_t& processId) {
        (void)argv, (void)currentDirectory;
        processId = 0;
        return processcode::AccessDenied;
    }

    // Asks for the machine to restart; returns a WMI-style code (0: the
    // restart was accepted and is on its way). An implementation that does
    // not restart machines refuses with access denied.
    virtual uint32_t Reboot() { return 0x80041003; }
    // A control sent to the service unit `name`; a WMI service code. A
    // machine without a service manager supports none.
    virtual uint32_t ControlService(const std::string&, ServiceControl) { return service::NotSupported; }
    virtual uint32_t ChangeServiceStartMode(const std::string&, ServiceStartMode) { return service::NotSupported; }
};

}  // namespace cimv2
