#pragma once
// The kernel's network tables as text: the protocols it offers
// (/proc/net/protocols) and its IPv4 routes (/proc/net/route), and the
// main routing table over rtnetlink on the live machine.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2::net {

// The protocol names of /proc/net/protocols ("TCP", "UDPv6", ...), in the
// kernel's order; the header line and malformed lines are skipped.
std::vector<std::string> ParseProtocols(std::string_view text);

// One IPv4 route. Addresses are in network byte order as the kernel keeps
// them (so 192.0.2.1 reads 0x010200C0 on a little-endian machine);
// protocol is the kernel's RTPROT_* code when the source says it.
struct Ip4Route {
    std::string interfaceName;
    std::optional<int32_t> interfaceIndex;
    uint32_t destination = 0;
    uint32_t gateway = 0;
    uint32_t mask = 0;
    uint32_t flags = 0;  // RTF_* (RTF_UP 0x1, RTF_GATEWAY 0x2, RTF_HOST 0x4, RTF_REJECT 0x200)
    uint32_t metric = 0;
    std::optional<uint8_t> protocol;
};

// /proc/net/route: the main table's IPv4 routes. Columns are found by the
// header's names; a line whose fields are not whole hexadecimal or decimal
// numbers is skipped, as is everything when the header is missing.
std::vector<Ip4Route> ParseProcRoute(std::string_view text);

// ipRouteType of a route by its RTF_* flags: 2 invalid (reject), 4 indirect
// (through a gateway), 3 direct.
uint32_t RouteTypeCode(uint32_t flags);

// Dotted text of an address kept in network byte order.
std::string DottedQuad(uint32_t networkOrder);

// The main routing table of the running kernel (rtnetlink dump); nothing
// when the socket cannot be opened or the dump fails.
std::optional<std::vector<Ip4Route>> ReadLiveMainTable();

}  // namespace cimv2::net
