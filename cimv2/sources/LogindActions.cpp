#include "cimv2/sources/LogindActions.h"

#include <cerrno>

namespace cimv2 {

uint32_t RebootCodeOf(const LogindBusReply& reply) {
    if (reply.status >= 0 && reply.errorName.empty()) return reboot::Success;
    const std::string& e = reply.errorName;
    if (e == "org.freedesktop.DBus.Error.AccessDenied" ||
        e == "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired" || reply.status == -EACCES ||
        reply.status == -EPERM)
        return reboot::AccessDenied;
    if (e == "org.freedesktop.DBus.Error.ServiceUnknown" || e == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
        e == "org.freedesktop.DBus.Error.NoServer" || e == "org.freedesktop.DBus.Error.FileNotFound" ||
        reply.status == -ENOENT || reply.status == -ECONNREFUSED || reply.status == -EHOSTDOWN)
        return reboot::NotAvailable;
    // Inhibitors, a shutdown already under way, anything else logind refuses.
    return reboot::Failed;
}

LogindBusReply CallLogindReboot() {
    return CallSystemBusMethod("org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                               "Reboot", "b", 0);
}

uint32_t SystemdActions::Reboot() {
    if (!FReboot) return reboot::NotAvailable;
    return RebootCodeOf(FReboot());
}

}  // namespace cimv2
