#pragma once
// One method call on the system bus to a system service (logind, hostnamed)
// whose answer carries nothing the caller reads: only whether it worked.

#include <string>

namespace cimv2 {

struct BusReply {
    int status = 0;         // 0 or a negative errno
    std::string errorName;  // the D-Bus error name, when the service answered with one
    std::string message;
};

// `types` and the arguments after it are sd-bus's message signature and values.
BusReply CallSystemBusMethod(const char* destination, const char* path, const char* interface, const char* member,
                             const char* types, ...);

}  // namespace cimv2
