// Win32_TerminalService: the machine's remote login services: the SSH daemon
// (ssh.service, sshd.service), RDP servers (xrdp.service,
// gnome-remote-desktop.service) and VNC servers (x11vnc.service,
// wayvnc.service). Each is the service Win32_Service shows for the unit,
// from the service manager or the unit files (a unit neither knows gives no
// instance), with what only a terminal service has:
//   DesktopInteract false (system services have no desktop)
//   ErrorControl    "Critical" when the unit file's FailureAction= reboots or
//                   powers off, else "Normal" (the failure is logged)
//   TotalSessions, DisconnectedSessions   logind's sessions
//                   (/run/systemd/sessions/*) opened by the service's PAM
//                   name; closing sessions count as disconnected; null
//                   without logind
// DelayedAutoStart, WaitHint have no source and stay null.
#include <map>
#include <string>

#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/RootReaders.h"
#include "cimv2/sources/UnitSearchPath.h"

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

// Win32_Service's instances by name.
std::map<std::string, Instance> Services(const ProviderContext& context) {
    std::map<std::string, Instance> byName;
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
    const std::map<std::string, Instance> services = Services(context);
    for (const RemoteLogin& login : kRemoteLogins) {
        const auto known = services.find(login.unit);
        if (known == services.end()) continue;
        Instance inst(Win32_TerminalServiceSchema());
        for (const auto& property : Win32_ServiceSchema().Properties())
            inst.Set(property.name, known->second.Get(property.name));
        SetIdentity(inst, context);
        inst.SetBool("DesktopInteract", false);
        const std::string failure = UnitValue(FindUnit(root, login.unit).assignments, "Unit", "FailureAction");
        inst.SetText("ErrorControl",
                     failure.starts_with("reboot") || failure.starts_with("poweroff") ? "Critical" : "Normal");

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
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
