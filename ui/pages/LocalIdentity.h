#pragma once
// The Home page's computer line: who is signed in and the local address.
#include <string>
#include <vector>

namespace ui {

struct InterfaceAddress {
    std::string adapter;
    bool ipv4 = false;
    bool loopback = false;
    bool up = false;
    std::string address;  // dotted text for IPv4
};

// The first usable IPv4 address in adapter order, "127.0.0.1" when none.
std::string ChooseLocalIP(const std::vector<InterfaceAddress>& addresses);
// The addresses as the network layer lists them (getifaddrs).
std::vector<InterfaceAddress> ListInterfaceAddresses();
std::string GetLocalIP();

// The signed-in user's name; std::system_error when the system has none.
std::string GetCurrentUserName();

// "user - address".
std::string ComputerLine(const std::string& userName, const std::string& address);

}  // namespace ui
