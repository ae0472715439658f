#include "cimv2/sources/HostnameActions.h"

#include <cerrno>

namespace cimv2 {

namespace {

bool IsAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

}  // namespace

bool IsValidStaticHostName(std::string_view name) {
    if (name.empty() || name.size() > 64) return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('.', start);
        if (end == std::string_view::npos) end = name.size();
        const std::string_view label = name.substr(start, end - start);
        if (label.empty() || label.size() > 63) return false;
        if (label.front() == '-' || label.back() == '-') return false;
        for (char c : label)
            if (!IsAlnum(c) && c != '-') return false;
        start = end + 1;
    }
    return true;
}

uint32_t RenameCodeOf(const HostnameBusReply& reply) {
    if (reply.status >= 0 && reply.errorName.empty()) return rename::Success;
    const std::string& e = reply.errorName;
    if (e == "org.freedesktop.DBus.Error.AccessDenied" ||
        e == "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired" || reply.status == -EACCES ||
        reply.status == -EPERM)
        return rename::AccessDenied;
    if (e == "org.freedesktop.DBus.Error.InvalidArgs" || reply.status == -EINVAL) return rename::InvalidName;
    if (e == "org.freedesktop.DBus.Error.ServiceUnknown" || e == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
        e == "org.freedesktop.DBus.Error.NoServer" || e == "org.freedesktop.DBus.Error.FileNotFound" ||
        reply.status == -ENOENT || reply.status == -ECONNREFUSED || reply.status == -EHOSTDOWN)
        return rename::ServiceNotActive;
    return rename::GeneralFailure;
}

HostnameBusReply CallHostnamedSetStaticHostname(const std::string& name) {
    // The second argument asks polkit not to prompt: this runs without a terminal.
    return CallSystemBusMethod("org.freedesktop.hostname1", "/org/freedesktop/hostname1", "org.freedesktop.hostname1",
                               "SetStaticHostname", "sb", name.c_str(), 0);
}

uint32_t HostnamedActions::SetStaticHostName(const std::string& name) {
    if (!IsValidStaticHostName(name)) return rename::InvalidName;
    if (!FCall) return rename::ServiceNotActive;
    return RenameCodeOf(FCall(name));
}

}  // namespace cimv2
