#include "cimv2/sources/SystemdUnits.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "cimv2/sources/SystemdLibrary.h"
#include "cimv2/sources/UnitFileText.h"

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

// Opens the message bus at an address (empty: the system bus), or with
// `direct` a connection to the manager's own socket there; status < 0 on
// failure. Everything else here runs on an open bus, so libsystemd is loaded.
Bus OpenBus(const std::string& address, int& status, bool direct = false) {
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
        if (status >= 0) status = Systemd()->sd_bus_set_bus_client(raw, direct ? 0 : 1);
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

// Calls on one connection, sent without waiting for each answer and
// answered as they come: about one round trip for the lot. Over a message
// bus no more than 64 wait at once, under its limit on a connection's
// pending replies (128 by default), beyond which it refuses calls.
class Batch {
public:
    using Reader = std::function<void(sd_bus_message*)>;
    Batch(sd_bus* bus, bool direct) : FBus(bus), FInFlightMax(direct ? 4096 : 64) {}

    // A manager method with no argument or one text; `read` gets the reply,
    // never an error.
    void Call(const char* member, Reader read, const std::optional<std::string>& argument = std::nullopt) {
        Queue({kManagerPath, kManager, member, argument, std::nullopt, std::move(read)});
    }
    // One property; `read` gets the reply at its variant.
    void Get(const std::string& path, const char* interface, const char* property, Reader read) {
        Queue({path, "org.freedesktop.DBus.Properties", "Get", interface, property, std::move(read)});
    }
    // Whether every call has been answered. Calls still waiting when the
    // batch goes keep it as their userdata: after a Wait that left some, the
    // connection must not be processed again, only closed.
    bool Done() const { return FRemaining == 0; }
    // Until every answer is in, the connection fails or the call timeout passes.
    void Wait() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(kCallTimeoutUs);
        while (FRemaining > 0 && std::chrono::steady_clock::now() < end) {
            int r = Systemd()->sd_bus_process(FBus, nullptr);
            if (r < 0) break;
            if (r > 0) continue;
            if (Systemd()->sd_bus_wait(FBus, 100'000) < 0) break;
        }
    }

private:
    struct Request {
        std::string path;
        const char* interface;
        const char* member;
        std::optional<std::string> first, second;  // text arguments
        Reader read;
    };

    void Queue(Request request) {
        FQueued.push_back(std::move(request));
        ++FRemaining;
        SendQueued();
    }
    void SendQueued() {
        while (FInFlight < FInFlightMax && !FQueued.empty()) {
            Request& next = FQueued.front();
            FSent.push_back({this, std::move(next.read)});
            Slot* slot = &FSent.back();
            const char* path = next.path.c_str();
            int r = next.second ? Systemd()->sd_bus_call_method_async(FBus, nullptr, kDestination, path, next.interface,
                                                                      next.member, OnReply, slot, "ss",
                                                                      next.first->c_str(), next.second->c_str())
                    : next.first
                        ? Systemd()->sd_bus_call_method_async(FBus, nullptr, kDestination, path, next.interface,
                                                              next.member, OnReply, slot, "s", next.first->c_str())
                        : Systemd()->sd_bus_call_method_async(FBus, nullptr, kDestination, path, next.interface,
                                                              next.member, OnReply, slot, "");
            FQueued.pop_front();
            if (r >= 0) {
                ++FInFlight;
            } else {
                FSent.pop_back();
                --FRemaining;
            }
        }
    }

    struct Slot {
        Batch* batch;
        Reader read;
    };
    static int OnReply(sd_bus_message* m, void* userdata, sd_bus_error*) {
        auto* slot = static_cast<Slot*>(userdata);
        Batch& batch = *slot->batch;
        // A unit that went away between the list and the read keeps what the list said.
        if (!Systemd()->sd_bus_message_is_method_error(m, nullptr)) slot->read(m);
        --batch.FRemaining;
        --batch.FInFlight;
        batch.SendQueued();
        return 0;
    }

    sd_bus* FBus;
    size_t FInFlightMax;
    std::deque<Request> FQueued;
    std::deque<Slot> FSent;  // stable addresses: each is a pending call's userdata
    size_t FRemaining = 0;   // queued or in flight
    size_t FInFlight = 0;
};

bool StartsWithDir(std::string_view path, std::string_view dir) {
    return path.size() >= dir.size() && path.substr(0, dir.size()) == dir &&
           (path.size() == dir.size() || path[dir.size()] == '/');
}

std::string BaseName(std::string_view path) {
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// A unit name of any type ("name.service", "name.target"), for what lies in a
// unit directory.
bool IsUnitName(std::string_view name) {
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size() || name.size() > 255) return false;
    for (char c : name.substr(0, dot))
        if (!IsUnitNameChar(c)) return false;
    for (char c : name.substr(dot + 1))
        if (c < 'a' || c > 'z') return false;
    return true;
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

const std::vector<std::string>& DefaultUnitPath() {
    static const std::vector<std::string> path = {
        "/etc/systemd/system.control",   "/run/systemd/system.control",  "/run/systemd/transient",
        "/run/systemd/generator.early",  "/etc/systemd/system",          "/etc/systemd/system.attached",
        "/run/systemd/system",           "/run/systemd/system.attached", "/run/systemd/generator",
        "/usr/local/lib/systemd/system", "/lib/systemd/system",          "/usr/lib/systemd/system",
        "/run/systemd/generator.late"};
    return path;
}

ServiceUnitFiles::ServiceUnitFiles(const SystemRoot& root, const std::vector<std::string>& searchPath)
    : FRoot(root), FDirs(searchPath) {
    using Kind = SystemRoot::Directory::Kind;
    std::set<std::string> referenced, dropIns;
    std::set<std::pair<uint64_t, uint64_t>> seen;
    for (size_t i = 0; i < FDirs.size(); ++i) {
        const std::string& dir = FDirs[i];
        FHandles.push_back(FRoot.OpenDirectory(dir));
        const SystemRoot::Directory& handle = FHandles.back();
        // One directory twice in the path (/lib as a link to /usr/lib) has
        // nothing new the second time.
        auto identity = handle.Identity();
        if (!identity || !seen.insert(*identity).second) continue;
        // The vendor's links (aliases, .wants of its targets) enable nothing:
        // only the configuration's and the run time's count.
        const bool vendor = !StartsWithDir(dir, "/etc") && !StartsWithDir(dir, "/run");
        for (const auto& entry : handle.Entries()) {
            const std::string& name = entry.name;
            if (entry.kind == Kind::Directory) {
                if (!vendor &&
                    (EndsWith(name, ".wants") || EndsWith(name, ".requires") || EndsWith(name, ".upholds"))) {
                    const SystemRoot::Directory links = FRoot.OpenDirectory(dir + "/" + name);
                    for (const auto& link : links.Entries())
                        if (link.kind == Kind::Link)
                            if (auto target = links.ReadLink(link.name)) {
                                referenced.insert(link.name);
                                referenced.insert(BaseName(*target));
                            }
                } else if (EndsWith(name, ".d")) {
                    dropIns.insert(name);
                }
                continue;
            }
            if ((entry.kind != Kind::File && entry.kind != Kind::Link) || !IsUnitName(name)) continue;
            const bool first = !FFirst.count(name);
            if (!first && (vendor || entry.kind != Kind::Link)) continue;
            std::optional<std::string> target;
            if (entry.kind == Kind::Link) {
                target = handle.ReadLink(name);
                if (!target) continue;
                if (!vendor) {
                    referenced.insert(name);
                    referenced.insert(BaseName(*target));
                }
            }
            if (!first) continue;
            FFirst.emplace(name, Found{i, target});
            // Templates ("getty@.service") are no service until instantiated.
            if (EndsWith(name, ".service") && !EndsWith(name, "@.service")) FPaths.emplace(name, dir + "/" + name);
        }
    }
    FReferenced.assign(referenced.begin(), referenced.end());
    FDropInDirs.assign(dropIns.begin(), dropIns.end());
}

std::optional<std::string> ServiceUnitFiles::PlainState(const std::string& name) const {
    if (!EndsWith(name, ".service")) return std::nullopt;
    return StateOf(name, 0);
}

std::optional<std::string> ServiceUnitFiles::StateOf(const std::string& name, int depth) const {
    // Instances and templates have rules of their own; a chain of aliases that long is the manager's.
    if (name.find('@') != std::string::npos || depth > 8) return std::nullopt;
    auto found = FFirst.find(name);
    if (found == FFirst.end()) return std::nullopt;
    const std::string& dir = FDirs[found->second.dir];
    const char* masked = StartsWithDir(dir, "/run") ? "masked-runtime" : "masked";
    if (const auto& target = found->second.target) {
        if (*target == "/dev/null") return masked;
        const std::string other = BaseName(*target);
        // A link to a file of its own name is a linked unit file.
        if (other == name || !EndsWith(other, ".service")) return std::nullopt;
        // A link to an empty file masks; the manager sees to such a link.
        auto text = FRoot.ReadFile(dir + "/" + name, 1u << 20);
        if (!text || text->empty()) return std::nullopt;
        // An alias: the manager follows it by name, so masking the unit it
        // names masks the alias too.
        auto state = StateOf(other, depth + 1);
        if (!state) return std::nullopt;
        if (*state == "masked" || *state == "masked-runtime") return state;
        return "alias";
    }
    auto text = FHandles[found->second.dir].ReadFile(name, 1u << 20);
    if (!text) return std::nullopt;
    if (text->empty()) return masked;
    if (depth > 0) return "alias";  // the unit an alias names: a file of its own
    // Generated, transient, attached and control units have states of their own.
    for (const char* tail :
         {"/generator", "/generator.early", "/generator.late", "/transient", ".attached", ".control"})
        if (EndsWith(dir, tail)) return std::nullopt;
    // Links to the unit (enabled, linked, known under another name) and
    // drop-ins are the manager's to weigh.
    if (std::binary_search(FReferenced.begin(), FReferenced.end(), name)) return std::nullopt;
    auto hasDropIns = [&](const std::string& dropIn) {
        return std::binary_search(FDropInDirs.begin(), FDropInDirs.end(), dropIn);
    };
    if (hasDropIns(name + ".d") || hasDropIns("service.d")) return std::nullopt;
    for (size_t dash = name.find('-'); dash != std::string::npos; dash = name.find('-', dash + 1))
        if (hasDropIns(name.substr(0, dash + 1) + ".service.d")) return std::nullopt;
    return InstallState(ReadUnitFile(*text));
}

namespace {

// The state of a unit file, asked of the manager.
void AskFileState(Batch& batch, const std::string& name, ServiceUnit& unit) {
    batch.Call(
        "GetUnitFileState",
        [&unit](sd_bus_message* m) {
            const char* text = nullptr;
            if (Systemd()->sd_bus_message_read(m, "s", &text) >= 0 && text && *text) unit.unitFileState = text;
        },
        name);
}

// What the class reads of a loaded unit beyond what ListUnits says, a few
// properties each: not GetAll of its Service interface (hundreds of them,
// its cgroup's counters read for each).
void AskLoaded(Batch& batch, const std::string& path, ServiceUnit& unit) {
    auto reader = [&unit](const char* key) {
        return [&unit, key](sd_bus_message* m) { ReadUnitProperty(m, key, unit); };
    };
    // Its main process and what controls it accepts matter only while it
    // runs, its freezer only while it is active.
    if (unit.activeState != "inactive" && unit.activeState != "failed") {
        batch.Get(path, kUnit, "CanStop", reader("CanStop"));
        batch.Get(path, kUnit, "CanFreeze", reader("CanFreeze"));
        batch.Get(path, kService, "MainPID", reader("MainPID"));
    }
    if (unit.activeState == "active" || unit.activeState == "reloading")
        batch.Get(path, kUnit, "FreezerState", reader("FreezerState"));
    for (const char* property : {"ExecStart", "User"}) batch.Get(path, kService, property, reader(property));
    batch.Get(path, kService, "ExecMainStartTimestamp", [&batch, &unit, path](sd_bus_message* m) {
        ReadUnitProperty(m, "ExecMainStartTimestamp", unit);
        // The exit status of a process that never ran says nothing.
        if (unit.execMainStartTime.value_or(0) != 0)
            batch.Get(path, kService, "ExecMainStatus",
                      [&unit](sd_bus_message* s) { ReadUnitProperty(s, "ExecMainStatus", unit); });
    });
}

// A loaded unit's file state: as its file has it where the files settle
// that, else the one the manager keeps for it (or, keeping none, works out).
void AskLoadedFileState(Batch& batch, const ServiceUnitFiles& files, const std::string& name, const std::string& path,
                        ServiceUnit& unit) {
    const bool hasFile = files.Paths().count(name) > 0;
    if (hasFile && (unit.unitFileState = files.PlainState(name))) return;
    batch.Get(path, kUnit, "UnitFileState", [&batch, &unit, name, hasFile](sd_bus_message* m) {
        ReadUnitProperty(m, "UnitFileState", unit);
        if (!unit.unitFileState && hasFile) AskFileState(batch, name, unit);
    });
}

// Every service unit of the manager on an open connection; nothing when it
// does not answer.
std::optional<std::vector<ServiceUnit>> ReadServices(sd_bus* bus, bool direct, const SystemRoot& root) {
    std::map<std::string, ServiceUnit> units;
    std::map<std::string, std::string> paths;  // loaded units: their object paths
    bool listed = false;
    std::vector<std::string> searchPath;
    {
        Batch batch(bus, direct);
        batch.Call("ListUnits", [&](sd_bus_message* m) {
            if (Systemd()->sd_bus_message_enter_container(m, 'a', "(ssssssouso)") < 0) return;
            const char *name, *description, *load, *active, *sub, *following, *path, *jobType, *jobPath;
            uint32_t jobId;
            int r;
            while ((r = Systemd()->sd_bus_message_read(m, "(ssssssouso)", &name, &description, &load, &active, &sub,
                                                       &following, &path, &jobId, &jobType, &jobPath)) > 0) {
                if (!EndsWith(name, ".service")) continue;
                ServiceUnit& unit = units[name];
                unit.name = name;
                if (*description) unit.description = description;
                unit.loadState = load;
                if (*active) unit.activeState = active;
                paths[name] = path;
            }
            listed = r >= 0;
        });
        batch.Get(kManagerPath, kManager, "UnitPath", [&](sd_bus_message* m) {
            char** dirs = nullptr;
            if (Systemd()->sd_bus_message_enter_container(m, 'v', "as") < 0) return;
            if (Systemd()->sd_bus_message_read_strv(m, &dirs) < 0) return;
            for (char** d = dirs; d && *d; ++d) {
                searchPath.emplace_back(*d);
                free(*d);
            }
            free(dirs);
        });
        batch.Wait();
        if (!batch.Done()) return std::nullopt;
    }
    if (!listed) return std::nullopt;
    Batch batch(bus, direct);
    // Units something refers to but no file defines are no installed
    // services: nothing is asked about them unless a file is there now.
    for (const auto& [name, path] : paths)
        if (units[name].loadState != "not-found" && IsValidServiceName(name)) AskLoaded(batch, path, units[name]);
    // The unit files, read while the manager answers.
    const ServiceUnitFiles files(root, searchPath.empty() ? DefaultUnitPath() : searchPath);
    for (const auto& [name, path] : paths) {
        ServiceUnit& unit = units[name];
        const bool notFound = unit.loadState == "not-found";
        if (!IsValidServiceName(name) || (notFound && !files.Paths().count(name))) continue;
        if (notFound) AskLoaded(batch, path, unit);
        AskLoadedFileState(batch, files, name, path, unit);
    }
    for (const auto& [name, file] : files.Paths()) {
        auto [it, added] = units.try_emplace(name);
        ServiceUnit& unit = it->second;
        unit.name = name;
        unit.fragmentPath = file;
        if (!added) continue;
        if (!(unit.unitFileState = files.PlainState(name))) AskFileState(batch, name, unit);
    }
    batch.Wait();
    std::vector<ServiceUnit> result;
    result.reserve(units.size());
    for (auto& [name, unit] : units) result.push_back(std::move(unit));
    return result;
}

}  // namespace

std::optional<std::vector<ServiceUnit>> SystemdServices::Services() const {
    int status = 0;
    // The manager's own socket first (root may use it): no broker between.
    if (!FDirectAddress.empty())
        if (Bus bus = OpenBus(FDirectAddress, status, true))
            if (auto units = ReadServices(bus.get(), true, FRoot)) return units;
    Bus bus = OpenBus(FBusAddress, status);
    if (!bus) return std::nullopt;
    return ReadServices(bus.get(), false, FRoot);
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
