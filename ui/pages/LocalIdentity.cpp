#include "ui/pages/LocalIdentity.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace ui {

std::string ChooseLocalIP(const std::vector<InterfaceAddress>& addresses) {
    for (const auto& a : addresses)
        if (a.ipv4 && a.up && !a.loopback && !a.address.empty()) return a.address;
    return "127.0.0.1";
}

std::vector<InterfaceAddress> ListInterfaceAddresses() {
    std::vector<InterfaceAddress> result;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return result;
    for (ifaddrs* p = list; p; p = p->ifa_next) {
        if (!p->ifa_addr) continue;
        InterfaceAddress a;
        a.adapter = p->ifa_name ? p->ifa_name : "";
        a.loopback = (p->ifa_flags & IFF_LOOPBACK) != 0;
        // "Preferred" for IPv4: the link is up and carries traffic.
        a.up = (p->ifa_flags & IFF_UP) != 0 && (p->ifa_flags & IFF_RUNNING) != 0;
        if (p->ifa_addr->sa_family == AF_INET) {
            a.ipv4 = true;
            char text[INET_ADDRSTRLEN] = {};
            const auto* in = reinterpret_cast<const sockaddr_in*>(p->ifa_addr);
            if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) a.address = text;
        }
        result.push_back(std::move(a));
    }
    freeifaddrs(list);
    return result;
}

std::string GetLocalIP() { return ChooseLocalIP(ListInterfaceAddresses()); }

std::string GetCurrentUserName() {
    std::vector<char> buffer(1024);
    passwd entry{};
    passwd* found = nullptr;
    for (;;) {
        int rc = getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found);
        if (rc == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != 0) throw std::system_error(rc, std::generic_category(), "Cannot read the user name");
        break;
    }
    if (!found || !found->pw_name)
        throw std::system_error(ENOENT, std::generic_category(), "Cannot read the user name");
    return found->pw_name;
}

std::string ComputerLine(const std::string& userName, const std::string& address) { return userName + " - " + address; }

}  // namespace ui
