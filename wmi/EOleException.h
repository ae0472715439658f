#pragma once
// An automation error: the service's message and its 32-bit code.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace wmi {

class EOleException : public std::runtime_error {
public:
    EOleException(const std::string& message, uint32_t code) : std::runtime_error(message), FErrorCode(code) {}
    uint32_t ErrorCode() const { return FErrorCode; }

private:
    uint32_t FErrorCode;
};

// A late-bound read of a name the object does not have. It carries no
// automation error information, unlike EOleException.
class EPropertyNotFound : public std::runtime_error {
public:
    explicit EPropertyNotFound(const std::string& name) : std::runtime_error("Unknown name: " + name) {}
};

}  // namespace wmi
