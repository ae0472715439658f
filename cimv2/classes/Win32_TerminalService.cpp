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
//   Started, State, ProcessId   from the unit's PIDFile= and /proc/PID, or
//                   without PIDFile= the process of the unit's program whose
//                   parent is pid 1: running ("Running", the pid) or not
//                   ("Stopped", 0); null when /proc cannot be read
//   ExitCode, ServiceSpecificExitCode, CheckPoint   0 while it runs, null
//                   otherwise (only a running systemd knows the last exit)
//   AcceptPause     false (systemd cannot pause a service)
//   AcceptStop      false with RefuseManualStop=yes, else true
//   DesktopInteract false (system services have no desktop)
//   ErrorControl    "Critical" when FailureAction= reboots or powers off, else
//                   "Normal" (the failure is logged)
//   Status          "OK" while it runs, "Stopped" when not
//   TotalSessions, DisconnectedSessions   logind's sessions
//                   (/run/systemd/sessions/*) opened by the service's PAM
//                   name; closing sessions count as disconnected; null
//                   without logind
// DelayedAutoStart, WaitHint have no source and stay null.
#include <algorithm>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/Classes.h"
#include "cimv2/core/Identity.h"
#include "cimv2/core/TextFields.h"
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

bool HasProcesses(const SystemRoot& root) { return root.Exists("/proc/1/stat"); }

// A unit without PIDFile=: its daemon is the process that runs the unit's
// program and whose parent is the service manager (pid 1).
std::optional<uint64_t> DaemonOf(const SystemRoot& root, const std::string& program) {
    const std::string comm = program.substr(program.rfind('/') + 1).substr(0, 15);
    for (const auto& entry : root.List("/proc")) {
        auto pid = ParseUnsigned(entry);
        if (!pid || *pid <= 1) continue;
        if (ReadLine(root, "/proc/" + entry + "/comm") != comm) continue;
        auto stat = ReadLine(root, "/proc/" + entry + "/stat");
        if (!stat) continue;
        // "pid (comm) state ppid ...": the name may hold blanks, so read after its ')'.
        const size_t close = stat->rfind(')');
        if (close == std::string::npos) continue;
        std::string_view rest = std::string_view(*stat).substr(close + 1);
        rest = Trim(rest);
        const size_t blank = rest.find(' ');
        if (blank == std::string_view::npos) continue;
        rest = Trim(rest.substr(blank + 1));
        if (ParseUnsigned(rest.substr(0, rest.find(' '))) == 1u) return pid;
    }
    return std::nullopt;
}

}  // namespace

std::vector<Instance> EnumerateWin32_TerminalService(const ProviderContext& context) {
    std::vector<Instance> out;
    const SystemRoot& root = context.root;
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
        inst.SetBool("AcceptPause", false);
        inst.SetBool("AcceptStop", f.Value("Unit", "RefuseManualStop") != "yes");
        inst.SetBool("DesktopInteract", false);
        const std::string failure = f.Value("Unit", "FailureAction");
        inst.SetText("ErrorControl",
                     failure.starts_with("reboot") || failure.starts_with("poweroff") ? "Critical" : "Normal");

        uint64_t pid = 0;  // 0: not running
        bool known = false;
        const std::string pidFile = f.Value("Service", "PIDFile");
        if (!pidFile.empty() && pidFile.front() == '/') {
            known = true;
            pid = ReadUnsigned(root, pidFile).value_or(0);
            if (pid != 0 && !root.Exists("/proc/" + std::to_string(pid))) pid = 0;
        } else if (const std::string path = Command(f.Value("Service", "ExecStart")); !path.empty()) {
            known = HasProcesses(root);
            if (known) pid = DaemonOf(root, path).value_or(0);
        }
        if (known) {
            const bool running = pid != 0;
            inst.SetBool("Started", running);
            inst.SetText("State", running ? "Running" : "Stopped");
            inst.SetText("Status", running ? "OK" : "Stopped");
            inst.Set("ProcessId", Value::UInt(pid));
            if (running) {
                inst.Set("ExitCode", Value::UInt(0));
                inst.Set("ServiceSpecificExitCode", Value::UInt(0));
                inst.Set("CheckPoint", Value::UInt(0));
            }
        }

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
