#pragma once
// Failures of the service carry WBEM's 32-bit codes, as WMI reports them.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace cimv2 {

namespace wbem {
constexpr uint32_t Failed = 0x80041001;
constexpr uint32_t NotFound = 0x80041002;
constexpr uint32_t AccessDenied = 0x80041003;
constexpr uint32_t ProviderFailure = 0x80041004;
constexpr uint32_t InvalidParameter = 0x80041008;
constexpr uint32_t InvalidNamespace = 0x8004100E;
constexpr uint32_t InvalidClass = 0x80041010;
constexpr uint32_t InvalidOperation = 0x80041016;
constexpr uint32_t InvalidQuery = 0x80041017;
constexpr uint32_t InvalidQueryType = 0x80041018;
constexpr uint32_t InvalidMethod = 0x8004102E;
constexpr uint32_t RpcServerUnavailable = 0x800706BA;
constexpr uint32_t ConnectAccessDenied = 0x80070005;
}  // namespace wbem

class WbemError : public std::runtime_error {
public:
    WbemError(uint32_t code, const std::string& message)
        : std::runtime_error(message), FCode(code), FMessage(message) {}
    uint32_t Code() const { return FCode; }
    // The whole message; what() ends at a NUL the text may hold.
    const std::string& Message() const { return FMessage; }

private:
    uint32_t FCode;
    std::string FMessage;
};

// "message (0x8004xxxx)", the form the command-line tool prints.
std::string FormatWbemError(const std::string& message, uint32_t code);

}  // namespace cimv2
