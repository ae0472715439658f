#pragma once
// Setting the static host name through systemd-hostnamed, the way the
// provider's Win32_ComputerSystem.Rename changes the machine (the live
// machine's actions, SystemdActions, use it).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "cimv2/sources/SystemBusCall.h"

namespace cimv2 {

// WMI-style return codes of the rename (Win32 error numbers).
namespace rename {
constexpr uint32_t Success = 0;
constexpr uint32_t AccessDenied = 5;         // ERROR_ACCESS_DENIED
constexpr uint32_t GeneralFailure = 31;      // ERROR_GEN_FAILURE
constexpr uint32_t InvalidName = 87;         // ERROR_INVALID_PARAMETER
constexpr uint32_t ServiceNotActive = 1062;  // ERROR_SERVICE_NOT_ACTIVE: no bus or no hostnamed
}  // namespace rename

// A host name as hostnamed accepts it for the static name: dot-separated
// RFC 1123 labels (letters, digits, inner hyphens, 1 to 63 characters),
// at most 64 characters in all.
bool IsValidStaticHostName(std::string_view name);

// The outcome of one SetStaticHostname call on the bus.
using HostnameBusReply = BusReply;

// Maps a bus reply to the rename's return code.
uint32_t RenameCodeOf(const HostnameBusReply& reply);

// The real call: org.freedesktop.hostname1 SetStaticHostname(name, false)
// on the system bus.
HostnameBusReply CallHostnamedSetStaticHostname(const std::string& name);

class HostnamedActions {
public:
    using BusCall = std::function<HostnameBusReply(const std::string& name)>;
    // The bus call is a seam so the mapping can be checked without a bus.
    explicit HostnamedActions(BusCall call = CallHostnamedSetStaticHostname) : FCall(std::move(call)) {}

    // Invalid names are refused before anything reaches the bus.
    uint32_t SetStaticHostName(const std::string& name);

private:
    BusCall FCall;
};

}  // namespace cimv2
