// Win32_IP4RouteTable: the IPv4 main routing table. On the live machine it
// is read over rtnetlink (LiveSources); a captured tree has the kernel's
// /proc/net/route.
//
//   Destination, Mask, NextHop  the route's addresses as dotted text
//   Name, Caption, Description  the destination, as WMI names a route
//   InterfaceIndex   the outgoing interface's index (netlink; in a tree
//                    /sys/class/net/<iface>/ifindex)
//   Metric1          the kernel's metric (priority); Metric2..5 -1, which the class
//                    documents for a metric that is not used
//   Type             ipRouteType: 2 invalid (reject, unreachable, blackhole), 4 indirect
//                    (through a gateway), 3 direct
//   Protocol         ipRouteProto from the route's origin (netlink's rtm_protocol): 2 local
//                    (kernel), 3 netmgmt (boot, static), 4 icmp (redirect), 8 rip, 9 is-is,
//                    13 ospf, 14 bgp, 16 ciscoEigrp, 1 other (dhcp and the rest); null where
//                    /proc/net/route does not say
//   Information      "0.0": the class's value when no routing MIB names the route
//   Age              null: the kernel keeps no time of last update for a route
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/LiveSources.h"
#include "cimv2/sources/NetTables.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

std::optional<uint32_t> RouteProtocolCode(std::optional<uint8_t> kernel) {
    if (!kernel) return std::nullopt;
    switch (*kernel) {
        case 2:
            return 2;  // RTPROT_KERNEL
        case 3:        // RTPROT_BOOT
        case 4:
            return 3;  // RTPROT_STATIC
        case 1:
            return 4;  // RTPROT_REDIRECT
        case 189:
            return 8;  // RTPROT_RIP
        case 187:
            return 9;  // RTPROT_ISIS
        case 188:
            return 13;  // RTPROT_OSPF
        case 186:
            return 14;  // RTPROT_BGP
        case 192:
            return 16;  // RTPROT_EIGRP
        default:
            return 1;
    }
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_IP4RouteTableSchema() {
    static const ClassSchema schema("Win32_IP4RouteTable", CIM_LogicalElement(), {
        {"Age", CimType::UInt32},
        {"Destination", CimType::String, kKey},
        {"Information", CimType::String},
        {"InterfaceIndex", CimType::SInt32, kKey},
        {"Mask", CimType::String, kKey},
        {"Metric1", CimType::SInt32},
        {"Metric2", CimType::SInt32},
        {"Metric3", CimType::SInt32},
        {"Metric4", CimType::SInt32},
        {"Metric5", CimType::SInt32},
        {"NextHop", CimType::String, kKey},
        {"Protocol", CimType::UInt32},
        {"Type", CimType::UInt32},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_IP4RouteTable(const ProviderContext& context) {
    std::vector<Instance> out;
    std::vector<net::Ip4Route> routes;
    if (auto live = context.Live().MainRoutes()) {
        routes = std::move(*live);
    } else if (auto text = context.root.ReadFile("/proc/net/route", 4 << 20)) {
        routes = net::ParseProcRoute(*text);
        for (auto& route : routes)
            if (route.interfaceName.find('/') == std::string::npos && route.interfaceName != "." &&
                route.interfaceName != "..")
                if (auto index = ReadSigned(context.root, "/sys/class/net/" + route.interfaceName + "/ifindex");
                    index && *index > 0 && *index <= INT32_MAX)
                    route.interfaceIndex = static_cast<int32_t>(*index);
    }
    for (const auto& route : routes) {
        Instance inst(Win32_IP4RouteTableSchema());
        const std::string destination = net::DottedQuad(route.destination);
        inst.SetText("Destination", destination);
        inst.SetText("Name", destination);
        inst.SetText("Caption", destination);
        inst.SetText("Description", destination);
        inst.SetText("Mask", net::DottedQuad(route.mask));
        inst.SetText("NextHop", net::DottedQuad(route.gateway));
        if (route.interfaceIndex) inst.SetInt("InterfaceIndex", *route.interfaceIndex);
        inst.SetInt("Metric1", static_cast<int32_t>(route.metric));
        for (const char* unused : {"Metric2", "Metric3", "Metric4", "Metric5"}) inst.SetInt(unused, -1);
        inst.Set("Type", Value::UInt(net::RouteTypeCode(route.flags)));
        if (auto code = RouteProtocolCode(route.protocol)) inst.Set("Protocol", Value::UInt(*code));
        inst.SetText("Information", "0.0");
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
