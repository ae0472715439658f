#include "cimv2/core/WbemError.h"

#include <cstdio>

namespace cimv2 {

std::string FormatWbemError(const std::string& message, uint32_t code) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", code);
    return message + " (" + hex + ")";
}

}  // namespace cimv2
