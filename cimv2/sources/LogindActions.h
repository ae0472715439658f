#pragma once
// Restarting the machine through systemd-logind, the way the provider's
// Win32_OperatingSystem.Reboot does it, and the live machine's actions
// (host name through hostnamed, restart through logind).
#include <cstdint>
#include <functional>
#include <string>

#include "cimv2/sources/HostnameActions.h"
#include "cimv2/sources/SystemActions.h"
#include "cimv2/sources/SystemBusCall.h"
#include "cimv2/sources/SystemdUnits.h"

namespace cimv2 {

// Reboot's return codes: WMI's error constants, as the class documents.
namespace reboot {
constexpr uint32_t Success = 0;
constexpr uint32_t Failed = 0x80041001;        // wbemErrFailed
constexpr uint32_t AccessDenied = 0x80041003;  // wbemErrAccessDenied
constexpr uint32_t NotAvailable = 0x80041009;  // wbemErrNotAvailable: no bus or no logind
}  // namespace reboot

// The outcome of one Reboot call on the bus.
using LogindBusReply = BusReply;

// Maps a bus reply to Reboot's return code.
uint32_t RebootCodeOf(const LogindBusReply& reply);

// The real call: org.freedesktop.login1.Manager Reboot(false) on the
// system bus. false: polkit may not prompt, so a caller without the right
// gets an access-denied answer at once.
LogindBusReply CallLogindReboot();

// The live machine's management actions over D-Bus: the host name through
// hostnamed, restarts through logind, services through systemd's manager.
class SystemdActions : public SystemActions {
public:
    using RebootCall = std::function<LogindBusReply()>;
    // The bus calls are seams so the mapping can be checked without a bus;
    // `units` may name a manager other than the system's.
    explicit SystemdActions(HostnamedActions::BusCall rename = CallHostnamedSetStaticHostname,
                            RebootCall reboot = CallLogindReboot, UnitManager units = UnitManager())
        : FHostname(std::move(rename)), FReboot(std::move(reboot)), FUnits(std::move(units)) {}

    uint32_t SetStaticHostName(const std::string& name) override { return FHostname.SetStaticHostName(name); }
    uint32_t Reboot() override;
    uint32_t ControlService(const std::string& name, ServiceControl control) override {
        return FUnits.ControlService(name, control);
    }
    uint32_t ChangeServiceStartMode(const std::string& name, ServiceStartMode mode) override {
        return FUnits.ChangeServiceStartMode(name, mode);
    }

private:
    HostnamedActions FHostname;
    RebootCall FReboot;
    UnitManager FUnits;
};

}  // namespace cimv2
