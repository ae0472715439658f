// Win32_NetworkProtocol: one instance per protocol the kernel offers, as
// /proc/net/protocols lists it, for the protocols of the table below.
//
//   Name                  /proc/net/protocols, first column ("TCP", "UDPv6", ...)
//   Caption, Description  the table's description of that protocol
//   capabilities          the table: what the protocol guarantees by its RFC / socket type
//   Maximum/MinimumAddressSize  size of the protocol's socket address (sockaddr_in 16,
//                         sockaddr_in6 28, sockaddr_un 2..110)
//   MaximumMessageSize    0 for byte streams (no message boundaries); for datagrams the
//                         largest payload of one IP datagram (65535 less the IPv4 header
//                         and the protocol header; IPv6's payload length excludes its header)
//   Status                "OK": the kernel offers it
//
// Protocols not in the table (NETLINK, PACKET, AF_VSOCK, XDP, UNIX datagrams, ...) are left
// out: their largest message depends on buffers or the link, not on the protocol.
#include <string_view>

#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/NetTables.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

struct Capabilities {
    const char* kernelName;
    const char* description;
    bool connectionless, delivery, sequencing, messageOriented, broadcast, multicast, fragmentation, graceful,
        expedited;
    uint32_t maxMessage, minAddress, maxAddress;
};

// clang-format off
//  name           description                          conn-  deliv seq   msg   bcast mcast frag  grace exped maxMsg minA maxA
//                                                      less
const Capabilities kProtocols[] = {
    {"TCP",        "TCP/IP version 4 (TCP)",             false, true,  true,  false, false, false, false, true,  true,  0,     16, 16},
    {"TCPv6",      "TCP/IP version 6 (TCP)",             false, true,  true,  false, false, false, false, true,  true,  0,     28, 28},
    {"MPTCP",      "Multipath TCP over IP version 4",    false, true,  true,  false, false, false, false, true,  true,  0,     16, 16},
    {"MPTCPv6",    "Multipath TCP over IP version 6",    false, true,  true,  false, false, false, false, true,  true,  0,     28, 28},
    {"UDP",        "TCP/IP version 4 (UDP)",             true,  false, false, true,  true,  true,  true,  false, false, 65507, 16, 16},
    {"UDPv6",      "TCP/IP version 6 (UDP)",             true,  false, false, true,  false, true,  true,  false, false, 65527, 28, 28},
    {"UDP-Lite",   "UDP-Lite over IP version 4",         true,  false, false, true,  true,  true,  true,  false, false, 65507, 16, 16},
    {"UDPLITEv6",  "UDP-Lite over IP version 6",         true,  false, false, true,  false, true,  true,  false, false, 65527, 28, 28},
    {"RAW",        "Raw IP version 4",                   true,  false, false, true,  true,  true,  true,  false, false, 65515, 16, 16},
    {"RAWv6",      "Raw IP version 6",                   true,  false, false, true,  false, true,  true,  false, false, 65535, 28, 28},
    {"PING",       "ICMP echo over IP version 4",        true,  false, false, true,  false, false, true,  false, false, 65507, 16, 16},
    {"PINGv6",     "ICMPv6 echo over IP version 6",      true,  false, false, true,  false, false, true,  false, false, 65527, 28, 28},
    {"UNIX-STREAM","Unix domain stream",                 false, true,  true,  false, false, false, false, true,  false, 0,      2, 110},
};
// clang-format on

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_NetworkProtocolSchema() {
    static const ClassSchema schema("Win32_NetworkProtocol", CIM_LogicalElement(), {
        {"ConnectionlessService", CimType::Boolean},
        {"GuaranteesDelivery", CimType::Boolean},
        {"GuaranteesSequencing", CimType::Boolean},
        {"MaximumAddressSize", CimType::UInt32},
        {"MaximumMessageSize", CimType::UInt32},
        {"MessageOriented", CimType::Boolean},
        {"MinimumAddressSize", CimType::UInt32},
        {"Name", CimType::String, kKey},
        {"PseudoStreamOriented", CimType::Boolean},
        {"SupportsBroadcasting", CimType::Boolean},
        {"SupportsConnectData", CimType::Boolean},
        {"SupportsDisconnectData", CimType::Boolean},
        {"SupportsEncryption", CimType::Boolean},
        {"SupportsExpeditedData", CimType::Boolean},
        {"SupportsFragmentation", CimType::Boolean},
        {"SupportsGracefulClosing", CimType::Boolean},
        {"SupportsGuaranteedBandwidth", CimType::Boolean},
        {"SupportsMulticasting", CimType::Boolean},
        {"SupportsQualityofService", CimType::Boolean},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_NetworkProtocol(const ProviderContext& context) {
    std::vector<Instance> out;
    const auto text = context.root.ReadFile("/proc/net/protocols", 1 << 20);
    if (!text) return out;
    for (const std::string& name : net::ParseProtocols(*text)) {
        const Capabilities* found = nullptr;
        for (const auto& entry : kProtocols)
            if (name == entry.kernelName) found = &entry;
        if (!found) continue;
        Instance inst(Win32_NetworkProtocolSchema());
        inst.SetText("Name", name);
        inst.SetText("Caption", found->description);
        inst.SetText("Description", found->description);
        inst.SetBool("ConnectionlessService", found->connectionless);
        inst.SetBool("GuaranteesDelivery", found->delivery);
        inst.SetBool("GuaranteesSequencing", found->sequencing);
        inst.SetBool("MessageOriented", found->messageOriented);
        // A stream reader may take a message in pieces only when it is message oriented.
        inst.SetBool("PseudoStreamOriented", false);
        inst.SetBool("SupportsBroadcasting", found->broadcast);
        inst.SetBool("SupportsMulticasting", found->multicast);
        // Encryption, QoS and bandwidth are IPsec's, tc's and the link's, not the protocol's.
        inst.SetBool("SupportsEncryption", false);
        inst.SetBool("SupportsQualityofService", false);
        inst.SetBool("SupportsGuaranteedBandwidth", false);
        // Berkeley sockets carry no data with a connect or a disconnect.
        inst.SetBool("SupportsConnectData", false);
        inst.SetBool("SupportsDisconnectData", false);
        inst.SetBool("SupportsFragmentation", found->fragmentation);
        inst.SetBool("SupportsGracefulClosing", found->graceful);
        inst.SetBool("SupportsExpeditedData", found->expedited);
        inst.Set("MaximumMessageSize", Value::UInt(found->maxMessage));
        inst.Set("MinimumAddressSize", Value::UInt(found->minAddress));
        inst.Set("MaximumAddressSize", Value::UInt(found->maxAddress));
        inst.SetText("Status", "OK");
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
