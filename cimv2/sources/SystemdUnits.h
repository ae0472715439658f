#pragma once
// Services as systemd's manager knows them, over sd-bus: the seam the
// provider's Win32_Service reads through (a real implementation on a bus, a
// test one in memory), and the unit control its methods go through.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/SystemActions.h"

namespace cimv2 {

// One service unit: loaded (with the manager's properties) or only a unit
// file (loadState empty, the rest read from the file by the class).
struct ServiceUnit {
    std::string name;                          // "cups.service"
    std::optional<std::string> description;    // Description=
    std::string loadState;                     // "loaded", "not-found", "masked", ...; empty when not loaded
    std::optional<std::string> activeState;    // "active", "inactive", "failed", "activating", ...
    std::optional<std::string> freezerState;   // "running", "frozen", "freezing", "thawing"
    std::optional<std::string> unitFileState;  // "enabled", "static", "disabled", "masked", ...
    std::optional<std::string> fragmentPath;   // the unit file
    std::optional<uint32_t> mainPid;
    std::optional<std::vector<std::string>> execStart;  // argv of the first ExecStart=
    std::optional<std::string> user;                    // User=
    std::optional<bool> canStop;
    std::optional<bool> canFreeze;
    std::optional<int32_t> execMainStatus;      // the main process's exit status
    std::optional<uint64_t> execMainStartTime;  // µs; 0 when it never ran
    std::optional<std::string> result;          // "success", "exit-code", "timeout", ...
};

class ServiceSource {
public:
    virtual ~ServiceSource() = default;
    // Every service unit, loaded or only installed; nothing when the
    // manager cannot be reached (not running, no bus).
    virtual std::optional<std::vector<ServiceUnit>> Services() const = 0;
};

// The manager on the message bus at an address ("unix:path=..."); an empty
// address is the system bus.
class SystemdServices : public ServiceSource {
public:
    explicit SystemdServices(std::string address = "") : FAddress(std::move(address)) {}
    std::optional<std::vector<ServiceUnit>> Services() const override;

private:
    std::string FAddress;
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
