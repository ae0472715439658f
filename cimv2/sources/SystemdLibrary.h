#pragma once
// libsystemd's sd-bus, loaded when the service manager or another system
// service is first asked something.

#include <systemd/sd-bus.h>

#include "cimv2/sources/SharedLibrary.h"

// clang-format off
#define SYSQUILL_SYSTEMD_FUNCTIONS(X) \
    X(sd_bus_call) \
    X(sd_bus_call_method) \
    X(sd_bus_call_method_async) \
    X(sd_bus_error_free) \
    X(sd_bus_flush_close_unref) \
    X(sd_bus_get_property) \
    X(sd_bus_get_property_string) \
    X(sd_bus_get_property_strv) \
    X(sd_bus_get_property_trivial) \
    X(sd_bus_message_append) \
    X(sd_bus_message_append_strv) \
    X(sd_bus_message_appendv) \
    X(sd_bus_message_enter_container) \
    X(sd_bus_message_exit_container) \
    X(sd_bus_message_is_method_error) \
    X(sd_bus_message_new_method_call) \
    X(sd_bus_message_peek_type) \
    X(sd_bus_message_read) \
    X(sd_bus_message_read_strv) \
    X(sd_bus_message_skip) \
    X(sd_bus_message_unref) \
    X(sd_bus_new) \
    X(sd_bus_open_system) \
    X(sd_bus_process) \
    X(sd_bus_set_address) \
    X(sd_bus_set_bus_client) \
    X(sd_bus_set_method_call_timeout) \
    X(sd_bus_start) \
    X(sd_bus_unref) \
    X(sd_bus_wait)
// clang-format on

namespace cimv2 {
SYSQUILL_SHARED_LIBRARY(SystemdApi, Systemd, SYSQUILL_SYSTEMD_FUNCTIONS)
}  // namespace cimv2
