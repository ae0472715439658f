#include "cimv2/sources/SystemdUnits.h"

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <map>
#include <memory>
#include <thread>

#include "cimv2/sources/SystemdLibrary.h"

namespace cimv2 {

namespace {

constexpr const char* kDestination = "org.freedesktop.systemd1";
constexpr const char* kManagerPath = "/org/freedesktop/systemd1";
constexpr const char* kManager = "org.freedesktop.systemd1.Manager";
constexpr const char* kUnit = "org.freedesktop.systemd1.Unit";
constexpr const char* kService = "org.freedesktop.systemd1.Service";
constexpr uint64_t kCallTimeoutUs = 10'000'000;
// How long a start or stop may take before the method answers "timeout".
constexpr auto kJobTimeout = std::chrono::seconds(30);

struct BusCloser {
    void operator()(sd_bus* bus) const { Systemd()->sd_bus_flush_close_unref(bus); }
};
using Bus = std::unique_ptr<sd_bus, BusCloser>;
struct MessageUnref {
    void operator()(sd_bus_message* m) const { Systemd()->sd_bus_message_unref(m); }
};
using Message = std::unique_ptr<sd_bus_message, MessageUnref>;

// A zeroed error (SD_BUS_ERROR_NULL is a C compound literal C++ warns about).
struct BusError {
    sd_bus_error e{};
    ~BusError() {
        // Only a call on an open bus fills it, and that needs the library.
        if (e.name || e.message) Systemd()->sd_bus_error_free(&e);
    }
    std::string Name() const { return e.name ? e.name : ""; }
};

// Opens the message bus at an address (empty: the system bus); status < 0 on
// failure. Everything else here runs on an open bus, so libsystemd is loaded.
Bus OpenBus(const std::string& address, int& status) {
    if (!Systemd()) {
        status = -ELIBACC;
        return nullptr;
    }
    sd_bus* raw = nullptr;
    if (address.empty()) {
        status = Systemd()->sd_bus_open_system(&raw);
    } else {
        status = Systemd()->sd_bus_new(&raw);
        if (status >= 0) status = Systemd()->sd_bus_set_address(raw, address.c_str());
        if (status >= 0) status = Systemd()->sd_bus_set_bus_client(raw, 1);
        if (status >= 0) status = Systemd()->sd_bus_start(raw);
    }
    Bus bus(status >= 0 ? raw : nullptr);
    if (status < 0 && raw) Systemd()->sd_bus_unref(raw);
    if (bus) Systemd()->sd_bus_set_method_call_timeout(bus.get(), kCallTimeoutUs);
    return bus;
}

bool IsUnitNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' || c == '-' ||
           c == '_' || c == '.' || c == '\\' || c == '@';
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Reads the variant at the reader's position into the unit's field named
// `key`, or skips it.
int ReadUnitProperty(sd_bus_message* m, const std::string& key, ServiceUnit& unit) {
    char type = 0;
    const char* contents = nullptr;
    int r = Systemd()->sd_bus_message_peek_type(m, &type, &contents);
    if (r < 0) return r;
    const std::string sig = contents ? contents : "";
    auto text = [&](std::optional<std::string>& field) {
        const char* s = nullptr;
        int rr = Systemd()->sd_bus_message_read(m, "v", "s", &s);
        if (rr >= 0 && s && *s) field = s;
        return rr;
    };
    auto flag = [&](std::optional<bool>& field) {
        int b = 0;
        int rr = Systemd()->sd_bus_message_read(m, "v", "b", &b);
        if (rr >= 0) field = b != 0;
        return rr;
    };
    if (key == "Description" && sig == "s") return text(unit.description);
    if (key == "LoadState" && sig == "s") {
        std::optional<std::string> s;
        int rr = text(s);
        unit.loadState = s.value_or("");
        return rr;
    }
    if (key == "ActiveState" && sig == "s") return text(unit.activeState);
    if (key == "FreezerState" && sig == "s") return text(unit.freezerState);
    if (key == "UnitFileState" && sig == "s") return text(unit.unitFileState);
    if (key == "FragmentPath" && sig == "s") return text(unit.fragmentPath);
    if (key == "User" && sig == "s") return text(unit.user);
    if (key == "Result" && sig == "s") return text(unit.result);
    if (key == "CanStop" && sig == "b") return flag(unit.canStop);
    if (key == "CanFreeze" && sig == "b") return flag(unit.canFreeze);
    if (key == "MainPID" && sig == "u") {
        uint32_t pid = 0;
        int rr = Systemd()->sd_bus_message_read(m, "v", "u", &pid);
        if (rr >= 0) unit.mainPid = pid;
        return rr;
    }
    if (key == "ExecMainStatus" && sig == "i") {
        int32_t status = 0;
        int rr = Systemd()->sd_bus_message_read(m, "v", "i", &status);
        if (rr >= 0) unit.execMainStatus = status;
        return rr;
    }
    if (key == "ExecMainStartTimestamp" && sig == "t") {
        uint64_t t = 0;
        int rr = Systemd()->sd_bus_message_read(m, "v", "t", &t);
        if (rr >= 0) unit.execMainStartTime = t;
        return rr;
    }
    if (key == "ExecStart" && sig == "a(sasbttttuii)") {
        // The first command's argv.
        if ((r = Systemd()->sd_bus_message_enter_container(m, 'v', sig.c_str())) < 0) return r;
        if ((r = Systemd()->sd_bus_message_enter_container(m, 'a', "(sasbttttuii)")) < 0) return r;
        bool first = true;
        while ((r = Systemd()->sd_bus_message_enter_container(m, 'r', "sasbttttuii")) > 0) {
            const char* path = nullptr;
            char** argv = nullptr;
            if ((r = Systemd()->sd_bus_message_read(m, "s", &path)) < 0) return r;
            if ((r = Systemd()->sd_bus_message_read_strv(m, &argv)) < 0) return r;
            if (first) {
                std::vector<std::string> args;
                for (char** a = argv; a && *a; ++a) args.emplace_back(*a);
                if (args.empty() && path) args.emplace_back(path);
                unit.execStart = std::move(args);
                first = false;
            }
            for (char** a = argv; a && *a; ++a) free(*a);
            free(argv);
            if ((r = Systemd()->sd_bus_message_skip(m, "bttttuii")) < 0) return r;
            if ((r = Systemd()->sd_bus_message_exit_container(m)) < 0) return r;
        }
        if (r < 0) return r;
        if ((r = Systemd()->sd_bus_message_exit_container(m)) < 0) return r;
        return Systemd()->sd_bus_message_exit_container(m);
    }
    return Systemd()->sd_bus_message_skip(m, "v");
}

// The answer of GetAll (a{sv}) into `unit`.
int ParseAll(sd_bus_message* m, ServiceUnit& unit) {
    int r = Systemd()->sd_bus_message_enter_container(m, 'a', "{sv}");
    if (r < 0) return r;
    while ((r = Systemd()->sd_bus_message_enter_container(m, 'e', "sv")) > 0) {
        const char* key = nullptr;
        if ((r = Systemd()->sd_bus_message_read(m, "s", &key)) < 0) return r;
        if ((r = ReadUnitProperty(m, key, unit)) < 0) return r;
        if ((r = Systemd()->sd_bus_message_exit_container(m)) < 0) return r;
    }
    return r;
}

struct PendingRead {
    ServiceUnit* unit;
    size_t* remaining;
};

int OnGetAll(sd_bus_message* m, void* userdata, sd_bus_error*) {
    auto* pending = static_cast<PendingRead*>(userdata);
    // A unit that went away between the list and the read keeps what the lists said.
    if (!Systemd()->sd_bus_message_is_method_error(m, nullptr)) ParseAll(m, *pending->unit);
    --*pending->remaining;
    return 0;
}

// GetAll of the unit and service interfaces of every loaded unit, all asked
// at once and answered as they come: one round trip, not two per unit.
void ReadAllLoaded(sd_bus* bus, std::map<std::string, ServiceUnit>& units,
                   const std::map<std::string, std::string>& paths) {
    std::vector<PendingRead> pending;
    pending.reserve(paths.size() * 2);
    size_t remaining = 0;
    for (const auto& [name, path] : paths)
        for (const char* interface : {kUnit, kService}) {
            pending.push_back({&units[name], &remaining});
            if (Systemd()->sd_bus_call_method_async(bus, nullptr, kDestination, path.c_str(),
                                                    "org.freedesktop.DBus.Properties", "GetAll", OnGetAll,
                                                    &pending.back(), "s", interface) >= 0)
                ++remaining;
            else
                pending.pop_back();
        }
    const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(kCallTimeoutUs);
    while (remaining > 0 && std::chrono::steady_clock::now() < end) {
        int r = Systemd()->sd_bus_process(bus, nullptr);
        if (r < 0) break;
        if (r > 0) continue;
        if (Systemd()->sd_bus_wait(bus, 100'000) < 0) break;
    }
}

}  // namespace

bool IsValidServiceName(std::string_view name) {
    if (name.size() > 255 || !EndsWith(name, ".service")) return false;
    std::string_view prefix = name.substr(0, name.size() - 8);
    if (prefix.empty() || prefix.front() == '@') return false;
    for (char c : prefix)
        if (!IsUnitNameChar(c)) return false;
    return true;
}

std::optional<std::string> StartModeOfUnitFileState(std::string_view state) {
    if (state == "enabled" || state == "enabled-runtime") return "Auto";
    if (state == "static" || state == "indirect" || state == "generated" || state == "transient" || state == "alias" ||
        state == "linked" || state == "linked-runtime")
        return "Manual";
    if (state == "disabled" || state == "masked" || state == "masked-runtime") return "Disabled";
    return std::nullopt;
}

std::optional<std::vector<ServiceUnit>> SystemdServices::Services() const {
    int status = 0;
    Bus bus = OpenBus(FAddress, status);
    if (!bus) return std::nullopt;

    std::map<std::string, ServiceUnit> units;
    std::map<std::string, std::string> paths;  // loaded units: their object paths
    {
        BusError error;
        sd_bus_message* raw = nullptr;
        int r = Systemd()->sd_bus_call_method(bus.get(), kDestination, kManagerPath, kManager, "ListUnits", &error.e,
                                              &raw, "");
        Message reply(raw);
        if (r < 0) return std::nullopt;
        if (Systemd()->sd_bus_message_enter_container(raw, 'a', "(ssssssouso)") < 0) return std::nullopt;
        const char *name, *description, *load, *active, *sub, *following, *path, *jobType, *jobPath;
        uint32_t jobId;
        while ((r = Systemd()->sd_bus_message_read(raw, "(ssssssouso)", &name, &description, &load, &active, &sub,
                                                   &following, &path, &jobId, &jobType, &jobPath)) > 0) {
            if (!EndsWith(name, ".service")) continue;
            ServiceUnit& unit = units[name];
            unit.name = name;
            paths[name] = path;
        }
        if (r < 0) return std::nullopt;
    }
    {
        BusError error;
        sd_bus_message* raw = nullptr;
        int r = Systemd()->sd_bus_call_method(bus.get(), kDestination, kManagerPath, kManager, "ListUnitFiles",
                                              &error.e, &raw, "");
        Message reply(raw);
        if (r < 0) return std::nullopt;
        if (Systemd()->sd_bus_message_enter_container(raw, 'a', "(ss)") < 0) return std::nullopt;
        const char *path, *state;
        while ((r = Systemd()->sd_bus_message_read(raw, "(ss)", &path, &state)) > 0) {
            std::string_view file(path);
            std::string name(file.substr(file.rfind('/') + 1));
            // Templates ("getty@.service") are no service until instantiated.
            if (!EndsWith(name, ".service") || EndsWith(name, "@.service")) continue;
            ServiceUnit& unit = units[name];
            unit.name = name;
            if (!unit.fragmentPath) unit.fragmentPath = path;
            if (!unit.unitFileState && *state) unit.unitFileState = state;
        }
        if (r < 0) return std::nullopt;
    }
    ReadAllLoaded(bus.get(), units, paths);
    std::vector<ServiceUnit> result;
    result.reserve(units.size());
    for (auto& [name, unit] : units) result.push_back(std::move(unit));
    return result;
}

uint32_t ServiceCodeOf(const UnitBusReply& reply) {
    if (reply.status >= 0 && reply.errorName.empty()) return service::Success;
    const std::string& e = reply.errorName;
    if (e == "org.freedesktop.DBus.Error.AccessDenied" ||
        e == "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired" || reply.status == -EACCES ||
        reply.status == -EPERM)
        return service::AccessDenied;
    if (e == "org.freedesktop.systemd1.UnitMasked") return service::ServiceDisabled;
    if (e == "org.freedesktop.systemd1.NoSuchUnit" || e == "org.freedesktop.systemd1.LoadFailed" ||
        e == "org.freedesktop.DBus.Error.FileNotFound" || reply.status == -ENOENT)
        return service::PathNotFound;
    if (e == "org.freedesktop.systemd1.JobTypeNotApplicable" || e == "org.freedesktop.systemd1.OnlyByDependency")
        return service::InvalidServiceControl;
    if (e == "org.freedesktop.DBus.Error.InvalidArgs" || reply.status == -EINVAL) return service::InvalidParameter;
    if (e == "org.freedesktop.DBus.Error.ServiceUnknown" || e == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
        e == "org.freedesktop.DBus.Error.NoServer" || reply.status == -ECONNREFUSED)
        return service::NotSupported;
    if (e == "org.freedesktop.DBus.Error.Timeout" || e == "org.freedesktop.DBus.Error.NoReply" ||
        reply.status == -ETIMEDOUT)
        return service::ServiceRequestTimeout;
    return service::UnknownFailure;
}

namespace {

// One connection to the manager for one method.
class Manager {
public:
    explicit Manager(const std::string& address) { FBus = OpenBus(address, FOpenStatus); }
    bool Open() const { return FBus != nullptr; }
    uint32_t OpenCode() const {
        // No manager to talk to: this machine supports no service control.
        if (FOpenStatus == -ENOENT || FOpenStatus == -ECONNREFUSED) return service::NotSupported;
        return ServiceCodeOf({FOpenStatus, ""});
    }

    // Calls a manager method whose reply is ignored or is one object path.
    UnitBusReply Call(const char* member, std::string* path, const char* types, ...) {
        BusError error;
        sd_bus_message* raw = nullptr;
        va_list ap;
        va_start(ap, types);
        UnitBusReply reply;
        Message call;
        sd_bus_message* m = nullptr;
        reply.status =
            Systemd()->sd_bus_message_new_method_call(FBus.get(), &m, kDestination, kManagerPath, kManager, member);
        call.reset(m);
        if (reply.status >= 0) reply.status = Systemd()->sd_bus_message_appendv(m, types, ap);
        va_end(ap);
        if (reply.status >= 0) reply.status = Systemd()->sd_bus_call(FBus.get(), m, kCallTimeoutUs, &error.e, &raw);
        Message answer(raw);
        if (reply.status < 0) {
            reply.errorName = error.Name();
            return reply;
        }
        const char* o = nullptr;
        if (path && Systemd()->sd_bus_message_read(raw, "o", &o) >= 0 && o) *path = o;
        return reply;
    }

    // Calls a unit-file method that takes the names as a list.
    UnitBusReply CallFiles(const char* member, const std::string& name, bool withForce) {
        BusError error;
        sd_bus_message* m = nullptr;
        sd_bus_message* raw = nullptr;
        UnitBusReply reply;
        reply.status =
            Systemd()->sd_bus_message_new_method_call(FBus.get(), &m, kDestination, kManagerPath, kManager, member);
        Message call(m);
        const char* names[] = {name.c_str(), nullptr};
        if (reply.status >= 0) reply.status = Systemd()->sd_bus_message_append_strv(m, const_cast<char**>(names));
        if (reply.status >= 0) reply.status = Systemd()->sd_bus_message_append(m, "b", 0);  // not only until reboot
        if (reply.status >= 0 && withForce) reply.status = Systemd()->sd_bus_message_append(m, "b", 0);
        if (reply.status >= 0) reply.status = Systemd()->sd_bus_call(FBus.get(), m, kCallTimeoutUs, &error.e, &raw);
        Message answer(raw);
        if (reply.status < 0) reply.errorName = error.Name();
        return reply;
    }

    // The loaded unit's object path; empty when the unit is not loaded.
    std::string UnitPath(const std::string& name) {
        std::string path;
        Call("GetUnit", &path, "s", name.c_str());
        return path;
    }

    std::string Text(const std::string& path, const char* interface, const char* property) {
        BusError error;
        char* value = nullptr;
        if (Systemd()->sd_bus_get_property_string(FBus.get(), kDestination, path.c_str(), interface, property, &error.e,
                                                  &value) < 0)
            return "";
        std::string text = value ? value : "";
        free(value);
        return text;
    }

    bool Flag(const std::string& path, const char* property) {
        BusError error;
        int value = 0;
        if (Systemd()->sd_bus_get_property_trivial(FBus.get(), kDestination, path.c_str(), kUnit, property, &error.e,
                                                   'b', &value) < 0)
            return false;
        return value != 0;
    }

    std::vector<std::string> Names(const std::string& path, const char* property) {
        BusError error;
        char** values = nullptr;
        std::vector<std::string> names;
        if (Systemd()->sd_bus_get_property_strv(FBus.get(), kDestination, path.c_str(), kUnit, property, &error.e,
                                                &values) < 0)
            return names;
        for (char** v = values; v && *v; ++v) {
            names.emplace_back(*v);
            free(*v);
        }
        free(values);
        return names;
    }

    bool HasJob(const std::string& path) {
        BusError error;
        sd_bus_message* raw = nullptr;
        if (Systemd()->sd_bus_get_property(FBus.get(), kDestination, path.c_str(), kUnit, "Job", &error.e, &raw,
                                           "(uo)") < 0)
            return false;
        Message reply(raw);
        uint32_t id = 0;
        const char* job = nullptr;
        if (Systemd()->sd_bus_message_read(raw, "(uo)", &id, &job) < 0) return false;
        return id != 0;
    }

    // Waits for the unit's job to finish; false on timeout.
    bool WaitForJob(const std::string& path) {
        const auto end = std::chrono::steady_clock::now() + kJobTimeout;
        while (HasJob(path)) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

private:
    Bus FBus;
    int FOpenStatus = 0;
};

bool IsActive(const std::string& state) { return state == "active" || state == "reloading"; }

}  // namespace

uint32_t UnitManager::ControlService(const std::string& name, ServiceControl control) const {
    if (!IsValidServiceName(name)) return service::InvalidName;
    Manager manager(FAddress);
    if (!manager.Open()) return manager.OpenCode();
    std::string path = manager.UnitPath(name);
    const std::string active = path.empty() ? "inactive" : manager.Text(path, kUnit, "ActiveState");
    const std::string freezer = path.empty() ? "" : manager.Text(path, kUnit, "FreezerState");
    switch (control) {
        case ServiceControl::Interrogate:
            return IsActive(active) ? service::Success : service::ServiceNotActive;
        case ServiceControl::Start: {
            if (IsActive(active) || active == "activating") return service::ServiceAlreadyRunning;
            UnitBusReply reply = manager.Call("StartUnit", nullptr, "ss", name.c_str(), "replace");
            if (uint32_t code = ServiceCodeOf(reply)) return code;
            if (path.empty()) path = manager.UnitPath(name);
            if (!manager.WaitForJob(path)) return service::ServiceRequestTimeout;
            const std::string now = manager.Text(path, kUnit, "ActiveState");
            if (IsActive(now)) return service::Success;
            const std::string result = manager.Text(path, kService, "Result");
            if (result == "timeout") return service::ServiceRequestTimeout;
            // Still inactive without a failure of its own: a unit it needs did not start.
            if (now == "inactive" && result == "success") return service::ServiceDependencyFailure;
            return service::UnknownFailure;
        }
        case ServiceControl::Stop: {
            if (!IsActive(active) && active != "activating") return service::ServiceNotActive;
            if (!manager.Flag(path, "CanStop")) return service::ServiceCannotAcceptControl;
            // As WMI does, a service that running services need is not stopped under them.
            for (const char* property : {"RequiredBy", "BoundBy"})
                for (const auto& dependent : manager.Names(path, property)) {
                    std::string dependentPath = manager.UnitPath(dependent);
                    if (!dependentPath.empty() && IsActive(manager.Text(dependentPath, kUnit, "ActiveState")))
                        return service::DependentServicesRunning;
                }
            UnitBusReply reply = manager.Call("StopUnit", nullptr, "ss", name.c_str(), "replace");
            if (uint32_t code = ServiceCodeOf(reply)) return code;
            if (!manager.WaitForJob(path)) return service::ServiceRequestTimeout;
            return IsActive(manager.Text(path, kUnit, "ActiveState")) ? service::UnknownFailure : service::Success;
        }
        case ServiceControl::Pause:
        case ServiceControl::Resume: {
            if (!IsActive(active)) return service::ServiceNotActive;
            // systemd pauses a service by freezing its cgroup.
            if (!manager.Flag(path, "CanFreeze")) return service::NotSupported;
            const bool pause = control == ServiceControl::Pause;
            if (pause && freezer == "frozen") return service::ServiceAlreadyPaused;
            if (!pause && freezer != "frozen") return service::ServiceCannotAcceptControl;
            return ServiceCodeOf(manager.Call(pause ? "FreezeUnit" : "ThawUnit", nullptr, "s", name.c_str()));
        }
    }
    return service::InvalidServiceControl;
}

uint32_t UnitManager::ChangeServiceStartMode(const std::string& name, ServiceStartMode mode) const {
    if (!IsValidServiceName(name)) return service::InvalidName;
    Manager manager(FAddress);
    if (!manager.Open()) return manager.OpenCode();
    UnitBusReply reply;
    switch (mode) {
        case ServiceStartMode::Automatic:
            reply = manager.CallFiles("UnmaskUnitFiles", name, false);
            if (reply.status >= 0) reply = manager.CallFiles("EnableUnitFiles", name, true);
            break;
        case ServiceStartMode::Manual:
            reply = manager.CallFiles("UnmaskUnitFiles", name, false);
            if (reply.status >= 0) reply = manager.CallFiles("DisableUnitFiles", name, false);
            break;
        case ServiceStartMode::Disabled:
            // Masked first: when that is refused, nothing has changed.
            reply = manager.CallFiles("MaskUnitFiles", name, true);
            if (reply.status >= 0) reply = manager.CallFiles("DisableUnitFiles", name, false);
            break;
    }
    if (uint32_t code = ServiceCodeOf(reply)) return code;
    // As systemctl does after changing unit files.
    return ServiceCodeOf(manager.Call("Reload", nullptr, ""));
}

}  // namespace cimv2
