#include "cimv2/sources/NetTables.h"

#include <arpa/inet.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <map>

#include "cimv2/core/TextFields.h"

namespace cimv2::net {

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

}  // namespace

std::vector<std::string> ParseProtocols(std::string_view text) {
    std::vector<std::string> names;
    std::string_view header = NextLine(text);
    if (Fields(header).empty() || Fields(header)[0] != "protocol") return names;
    while (!text.empty()) {
        const auto fields = Fields(NextLine(text));
        // name, size, sockets, memory, press, maxhdr, slab, module, then the method flags
        if (fields.size() < 8 || !ParseUnsigned(fields[1])) continue;
        names.emplace_back(fields[0]);
    }
    return names;
}

std::vector<Ip4Route> ParseProcRoute(std::string_view text) {
    std::vector<Ip4Route> routes;
    const auto header = Fields(NextLine(text));
    std::map<std::string_view, size_t> column;
    for (size_t n = 0; n < header.size(); ++n) column[header[n]] = n;
    for (const char* needed : {"Iface", "Destination", "Gateway", "Flags", "Metric", "Mask"})
        if (!column.count(needed)) return routes;
    while (!text.empty()) {
        const auto fields = Fields(NextLine(text));
        if (fields.size() < header.size()) continue;
        auto hex = [&](const char* name) { return ParseHex(fields[column[name]], 8); };
        const auto destination = hex("Destination"), gateway = hex("Gateway"), flags = hex("Flags"), mask = hex("Mask");
        const auto metric = ParseUnsigned(fields[column["Metric"]]);
        if (!destination || !gateway || !flags || !mask || !metric || *metric > UINT32_MAX) continue;
        Ip4Route route;
        route.interfaceName = std::string(fields[column["Iface"]]);
        route.destination = *destination;
        route.gateway = *gateway;
        route.flags = *flags;
        route.mask = *mask;
        route.metric = static_cast<uint32_t>(*metric);
        routes.push_back(std::move(route));
    }
    return routes;
}

uint32_t RouteTypeCode(uint32_t flags) {
    if (flags & 0x200) return 2;
    return (flags & 0x2) ? 4 : 3;
}

std::string DottedQuad(uint32_t networkOrder) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr address{};
    address.s_addr = networkOrder;
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

std::optional<std::vector<Ip4Route>> ReadLiveMainTable() {
    const int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0) return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    struct {
        nlmsghdr header;
        rtmsg message;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtmsg));
    request.header.nlmsg_type = RTM_GETROUTE;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = 1;
    request.message.rtm_family = AF_INET;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (sendto(fd, &request, request.header.nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) < 0)
        return std::nullopt;
    std::vector<Ip4Route> routes;
    alignas(nlmsghdr) char buffer[32768];
    for (;;) {
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) return std::nullopt;
        size_t left = static_cast<size_t>(got);
        for (auto* header = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(header, left);
             header = NLMSG_NEXT(header, left)) {
            if (header->nlmsg_type == NLMSG_DONE) return routes;
            if (header->nlmsg_type == NLMSG_ERROR) return std::nullopt;
            if (header->nlmsg_type != RTM_NEWROUTE) continue;
            const auto* message = static_cast<const rtmsg*>(NLMSG_DATA(header));
            if (message->rtm_family != AF_INET || message->rtm_dst_len > 32) continue;
            Ip4Route route;
            route.mask = message->rtm_dst_len == 0 ? 0 : htonl(~uint32_t{0} << (32 - message->rtm_dst_len));
            route.protocol = message->rtm_protocol;
            uint32_t table = message->rtm_table;
            route.flags = 0x1;  // RTF_UP: the kernel lists live routes only
            if (message->rtm_type == RTN_UNREACHABLE || message->rtm_type == RTN_PROHIBIT ||
                message->rtm_type == RTN_BLACKHOLE)
                route.flags |= 0x200;
            if (message->rtm_dst_len == 32) route.flags |= 0x4;
            int attrLength = static_cast<int>(RTM_PAYLOAD(header));
            for (auto* attr = RTM_RTA(message); RTA_OK(attr, attrLength); attr = RTA_NEXT(attr, attrLength)) {
                const void* data = RTA_DATA(attr);
                const size_t size = RTA_PAYLOAD(attr);
                switch (attr->rta_type) {
                    case RTA_DST:
                        if (size == 4) std::memcpy(&route.destination, data, 4);
                        break;
                    case RTA_GATEWAY:
                        if (size == 4) {
                            std::memcpy(&route.gateway, data, 4);
                            route.flags |= 0x2;
                        }
                        break;
                    case RTA_OIF:
                        if (size == 4) {
                            int32_t index = 0;
                            std::memcpy(&index, data, 4);
                            route.interfaceIndex = index;
                            char name[IF_NAMESIZE] = {};
                            if (if_indextoname(static_cast<unsigned>(index), name)) route.interfaceName = name;
                        }
                        break;
                    case RTA_PRIORITY:
                        if (size == 4) std::memcpy(&route.metric, data, 4);
                        break;
                    case RTA_TABLE:
                        if (size == 4) std::memcpy(&table, data, 4);
                        break;
                    default:
                        break;
                }
            }
            if (table == RT_TABLE_MAIN) routes.push_back(std::move(route));
        }
    }
}

}  // namespace cimv2::net
