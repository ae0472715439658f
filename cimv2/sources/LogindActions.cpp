#include "cimv2/sources/LogindActions.h"

#include <systemd/sd-bus.h>

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
    LogindBusReply reply;
    sd_bus* bus = nullptr;
    reply.status = sd_bus_open_system(&bus);
    if (reply.status < 0) {
        reply.message = "cannot open the system bus";
        return reply;
    }
    sd_bus_error error{};
    sd_bus_message* answer = nullptr;
    reply.status = sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                                      "org.freedesktop.login1.Manager", "Reboot", &error, &answer, "b", 0);
    if (reply.status < 0) {
        if (error.name) reply.errorName = error.name;
        if (error.message) reply.message = error.message;
    }
    sd_bus_error_free(&error);
    sd_bus_message_unref(answer);
    sd_bus_flush_close_unref(bus);
    return reply;
}

uint32_t SystemdActions::Reboot() {
    if (!FReboot) return reboot::NotAvailable;
    return RebootCodeOf(FReboot());
}

}  // namespace cimv2
