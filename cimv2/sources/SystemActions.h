#pragma once
// Management methods change the machine; they all go through this one
// interface so tests can record the calls instead of making them.
#include <cstdint>
#include <string>

namespace cimv2 {

class SystemActions {
public:
    virtual ~SystemActions() = default;
    // Sets the static host name; returns a WMI-style code (0 success).
    virtual uint32_t SetStaticHostName(const std::string& name) = 0;
    // Asks for the machine to restart; returns a WMI-style code (0: the
    // restart was accepted and is on its way).
    virtual uint32_t Reboot() = 0;
};

}  // namespace cimv2
