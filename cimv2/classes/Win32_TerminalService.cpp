// Win32_TerminalService: the machine's remote login services, read from
// their systemd unit files (no running systemd needed): the SSH daemon
// (ssh.service, sshd.service), RDP servers (xrdp.service,
// gnome-remote-desktop.service) and VNC servers (x11vnc.service,
// wayvnc.service). A unit that is not installed gives no instance.
//   Name            the unit's name; DisplayName, Caption, Description its
//                   Description=
//   PathName        the first ExecStart= command, without systemd's prefixes
//   ServiceType     "Own Process" (a daemon of its own)
//   StartMode       "Disabled" when masked, "Auto" when a target's .wants/
//                   directory links it, else "Manual"
//   StartName       User=, else "root" (systemd's default)
//   Started, State, Status, ProcessId, ExitCode, ServiceSpecificExitCode,
//   CheckPoint, AcceptPause, AcceptStop   the service manager's, as
//                   Win32_Service shows the unit; null where no manager
//                   answers (a captured tree, a container): a process of the
//                   daemon's name says nothing of the unit's state
//   DesktopInteract false (system services have no desktop)
//   ErrorControl    "Critical" when FailureAction= reboots or powers off, else
//                   "Normal" (the failure is logged)
//   TotalSessions, DisconnectedSessions   logind's sessions
//                   (/run/systemd/sessions/*) opened by the service's PAM
//                   name; closing sessions count as disconnected; null
//                   without logind
// DelayedAutoStart, WaitHint have no source and stay null.
#include <algorithm>
#include <map>
#include <string>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/KeyFiles.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

// clang-format off
const ClassSchema& Win32_TerminalServiceSchema() {
    static const ClassSchema schema("Win32_TerminalService", Win32_Service(), {
        {"DisconnectedSessions", CimType::UInt32},
        {"TotalSessions", CimType::UInt32},
    });
    return schema;
}
// clang-format on

namespace {

struct RemoteLogin {
    const char* unit;
    const char* pamService;  // the SERVICE= of its logind sessions
};
constexpr RemoteLogin kRemoteLogins[] = {
    {"ssh.service", "sshd"},         {"sshd.service", "sshd"},
    {"xrdp.service", "xrdp-sesman"}, {"gnome-remote-desktop.service", "gnome-remote-desktop"},
    {"x11vnc.service", "x11vnc"},    {"wayvnc.service", "wayvnc"},
};

bool EnabledByATarget(const SystemRoot& root, const std::string& unit) {
    for (const char* dir : kUnitDirs) {
        if (std::string(dir) != "/etc/systemd/system") continue;  // enablement lives in /etc
        for (const auto& entry : root.List(dir)) {
            if (!entry.ends_with(".wants") && !entry.ends_with(".requires")) continue;
            if (root.Exists(std::string(dir) + "/" + entry + "/" + unit)) return true;
        }
    }
    return false;
}

std::string Command(std::string_view exec) {
    exec = Trim(exec);
    while (!exec.empty() && std::string_view("-@:+!").find(exec.front()) != std::string_view::npos)
        exec.remove_prefix(1);
    return std::string(exec.substr(0, exec.find(' ')));
}

// The properties of a unit's state and what it accepts while in it, which
// only the service manager knows.
constexpr const char* kStateProperties[] = {"Started",    "State",       "Status",
                                            "ProcessId",  "ExitCode",    "ServiceSpecificExitCode",
                                            "CheckPoint", "AcceptPause", "AcceptStop"};

// Win32_Service's instances by name where a service manager answers.
std::map<std::string, Instance> ManagedServices(const ProviderContext& context) {
    std::map<std::string, Instance> byName;
    if (!context.services) return byName;
    for (auto& inst : EnumerateWin32_Service(context)) {
        const Value& name = inst.Get("Name");
        if (name.kind == Value::Kind::Text) byName.emplace(name.text, std::move(inst));
    }
    return byName;
}

}  // namespace

std::vector<Instance> EnumerateWin32_TerminalService(const ProviderContext& context) {
    std::vector<Instance> out;
    const SystemRoot& root = context.root;
    const std::map<std::string, Instance> services = ManagedServices(context);
    for (const RemoteLogin& login : kRemoteLogins) {
        const UnitFile unit = FindUnit(root, login.unit);
        if (unit.path.empty()) continue;
        // Debian installs sshd.service as an alias link of ssh.service.
        if (auto link = root.ReadLink(unit.path); link && !unit.masked && std::string(login.unit) == "sshd.service")
            continue;
        const KeyFile& f = unit.file;
        Instance inst(Win32_TerminalServiceSchema());
        inst.SetText("Name", login.unit);
        const std::string description = f.Value("Unit", "Description");
        if (!description.empty()) {
            inst.SetText("DisplayName", description);
            inst.SetText("Caption", description);
            inst.SetText("Description", description);
        }
        if (auto path = Command(f.Value("Service", "ExecStart")); !path.empty()) inst.SetText("PathName", path);
        inst.SetText("ServiceType", "Own Process");
        inst.SetText("StartMode", unit.masked ? "Disabled" : EnabledByATarget(root, login.unit) ? "Auto" : "Manual");
        const std::string user = f.Value("Service", "User");
        inst.SetText("StartName", user.empty() ? "root" : user);
        inst.SetBool("DesktopInteract", false);
        const std::string failure = f.Value("Unit", "FailureAction");
        inst.SetText("ErrorControl",
                     failure.starts_with("reboot") || failure.starts_with("poweroff") ? "Critical" : "Normal");

        if (auto service = services.find(login.unit); service != services.end())
            for (const char* name : kStateProperties) inst.Set(name, service->second.Get(name));

        if (root.IsDirectory("/run/systemd/sessions")) {
            uint32_t total = 0, closing = 0;
            for (const auto& id : root.List("/run/systemd/sessions")) {
                if (id.ends_with(".ref")) continue;
                const auto session = ReadKeyValues(root, "/run/systemd/sessions/" + id);
                auto service = session.find("SERVICE");
                if (service == session.end() || service->second != login.pamService) continue;
                ++total;
                auto state = session.find("STATE");
                if (state != session.end() && state->second == "closing") ++closing;
            }
            inst.Set("TotalSessions", Value::UInt(total));
            inst.Set("DisconnectedSessions", Value::UInt(closing));
        }
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
