#pragma once
// Services as systemd's manager knows them, over sd-bus: the seam the
// provider's Win32_Service reads through (a real implementation on a bus, a
// test one in memory), and the unit control its methods go through.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/SystemActions.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

// One service unit: loaded (with the manager's properties) or only a unit
// file (loadState empty, the rest read from the file by the class).
struct ServiceUnit {
    std::string name;                                   // "cups.service"
    std::optional<std::string> description;             // Description=
    std::string loadState;                              // "loaded", "not-found", "masked", ...; empty when not loaded
    std::optional<std::string> activeState;             // "active", "inactive", "failed", "activating", ...
    std::optional<std::string> freezerState;            // "running", "frozen", ...; asked only of an active unit
    std::optional<std::string> unitFileState;           // "enabled", "static", "disabled", "masked", ...
    std::optional<std::string> fragmentPath;            // the unit file where the manager's search path has it
    std::optional<std::vector<std::string>> execStart;  // argv of the first ExecStart=
    std::optional<std::string> user;                    // User=
    // Its main process and whether it can be stopped and frozen: asked only
    // of a unit that is not stopped (inactive or failed), as they matter only
    // while it runs (the manager drops the main process of a stopped unit).
    std::optional<uint32_t> mainPid;
    std::optional<bool> canStop;
    std::optional<bool> canFreeze;
    std::optional<int32_t> execMainStatus;      // the main process's exit status; asked only when it ran
    std::optional<uint64_t> execMainStartTime;  // µs; 0 when it never ran

    bool operator==(const ServiceUnit&) const = default;
};

class ServiceSource {
public:
    virtual ~ServiceSource() = default;
    // Every service unit, loaded or only installed; nothing when the
    // manager cannot be reached (not running, no bus).
    virtual std::optional<std::vector<ServiceUnit>> Services() const = 0;
};

// The service manager over sd-bus: reached directly on its own socket
// (systemd's private one, root's only: no broker between, as systemctl does)
// or else on a message bus. The unit files it has not loaded are read under
// a root, the file system as the manager sees it.
class SystemdServices : public ServiceSource {
public:
    // This machine's manager: its private socket, else the system bus.
    SystemdServices() : SystemdServices("", "unix:path=/run/systemd/private", SystemRoot()) {}
    // The manager on the bus at `busAddress` ("unix:path=..."; empty: the
    // system bus) and, unless `directAddress` is empty, on its own socket there.
    SystemdServices(std::string busAddress, std::string directAddress, SystemRoot root)
        : FBusAddress(std::move(busAddress)), FDirectAddress(std::move(directAddress)), FRoot(std::move(root)) {}
    std::optional<std::vector<ServiceUnit>> Services() const override;

private:
    std::string FBusAddress;
    std::string FDirectAddress;
    SystemRoot FRoot;
};

// The manager's unit search path when it does not say (systemd 252's for
// the system manager), highest priority first.
const std::vector<std::string>& DefaultUnitPath();

// The service unit files in a unit search path (highest priority first), as
// the manager lists them, and the state it gives a file where the files
// alone settle it; listing them all through the manager costs it a scan of
// every link directory per file.
class ServiceUnitFiles {
public:
    ServiceUnitFiles(const SystemRoot& root, const std::vector<std::string>& searchPath);
    // Each service unit file (templates aside) by name: the first path the
    // search path gives it.
    const std::map<std::string, std::string>& Paths() const { return FPaths; }
    // The unit file state ("masked", "masked-runtime", "alias", "static",
    // "disabled", "indirect") of a unit file that is masked (a link to
    // /dev/null or an empty file), an alias of another unit, or a plain file
    // without drop-ins that no generator wrote, that is no transient or
    // attached unit and that no link in /etc or /run refers to (links the
    // vendor ships beside its units enable nothing): its [Install] section
    // decides. Nothing for the others (enabled, linked, generated, ...):
    // those are the manager's to say.
    std::optional<std::string> PlainState(const std::string& name) const;

private:
    struct Found {
        size_t dir;                         // index in the search path
        std::optional<std::string> target;  // the link's text when it is a symbolic link
    };
    std::optional<std::string> StateOf(const std::string& name, int depth) const;

    SystemRoot FRoot;
    std::vector<std::string> FDirs;
    std::vector<SystemRoot::Directory> FHandles;  // each directory of the search path, held open
    std::map<std::string, Found> FFirst;          // every unit name in the search path: where it is first
    std::map<std::string, std::string> FPaths;
    std::vector<std::string> FReferenced;  // names a link in /etc or /run is called or points to, sorted
    std::vector<std::string> FDropInDirs;  // "name.service.d", "service.d", "prefix-.service.d"
};

// Whether a text is a service unit name systemd accepts ("name.service",
// "name@instance.service"): the characters of unit_name_is_valid, at most
// 255 of them. A name with a quote, a blank or a slash is not one.
bool IsValidServiceName(std::string_view name);

// WMI's start mode ("Auto", "Manual", "Disabled") of a unit file state;
// nothing for states with no counterpart ("bad", an unknown text).
std::optional<std::string> StartModeOfUnitFileState(std::string_view state);

// The outcome of one manager call.
struct UnitBusReply {
    int status = 0;         // 0 or a negative errno
    std::string errorName;  // the D-Bus error name, when the manager answered with one
};
// Maps a failed manager call to a WMI service return code.
uint32_t ServiceCodeOf(const UnitBusReply& reply);

// Unit control through the manager at `address` (empty: the system bus):
// what the live machine's service methods do.
class UnitManager {
public:
    explicit UnitManager(std::string address = "") : FAddress(std::move(address)) {}
    uint32_t ControlService(const std::string& name, ServiceControl control) const;
    uint32_t ChangeServiceStartMode(const std::string& name, ServiceStartMode mode) const;

private:
    std::string FAddress;
};

}  // namespace cimv2
