#include "cimv2/sources/SystemBusCall.h"

#include <cerrno>
#include <cstdarg>

#include "cimv2/sources/SystemdLibrary.h"

namespace cimv2 {

BusReply CallSystemBusMethod(const char* destination, const char* path, const char* interface, const char* member,
                             const char* types, ...) {
    BusReply reply;
    const SystemdApi* api = Systemd();
    if (!api) {
        reply.status = -ELIBACC;
        reply.message = SystemdApiLibrary().Error();
        return reply;
    }
    const SystemdApi& sd = *api;
    sd_bus* bus = nullptr;
    reply.status = sd.sd_bus_open_system(&bus);
    if (reply.status < 0) {
        reply.message = "cannot open the system bus";
        return reply;
    }
    sd_bus_message* call = nullptr;
    reply.status = sd.sd_bus_message_new_method_call(bus, &call, destination, path, interface, member);
    if (reply.status >= 0) {
        va_list args;
        va_start(args, types);
        reply.status = sd.sd_bus_message_appendv(call, types, args);
        va_end(args);
    }
    // Zeroed by hand: SD_BUS_ERROR_NULL is a C compound literal that C++ compilers warn about.
    sd_bus_error error{};
    sd_bus_message* answer = nullptr;
    if (reply.status >= 0) reply.status = sd.sd_bus_call(bus, call, 0, &error, &answer);
    if (reply.status < 0) {
        if (error.name) reply.errorName = error.name;
        if (error.message) reply.message = error.message;
    }
    sd.sd_bus_error_free(&error);
    sd.sd_bus_message_unref(answer);
    sd.sd_bus_message_unref(call);
    sd.sd_bus_flush_close_unref(bus);
    return reply;
}

}  // namespace cimv2
