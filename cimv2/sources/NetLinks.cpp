#include "cimv2/sources/NetLinks.h"

#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace cimv2::net {

namespace {

// The legacy "supported" mask's speeds (Mb/s), bit by bit.
struct ModeSpeed {
    unsigned bit;
    uint64_t megabits;
};
constexpr ModeSpeed kModes[] = {
    {0, 10},     {1, 10},     {2, 100},    {3, 100},    {4, 1000},   {5, 1000},   {12, 10000}, {15, 2500},
    {17, 1000},  {18, 10000}, {19, 10000}, {20, 10000}, {21, 20000}, {22, 20000}, {23, 40000}, {24, 40000},
    {25, 40000}, {26, 40000}, {27, 56000}, {28, 56000}, {29, 56000}, {30, 56000},
};

class RunningDrivers : public LinkSource {
public:
    std::optional<LinkSettings> Settings(const std::string& interfaceName) const override {
        if (interfaceName.empty() || interfaceName.size() >= IFNAMSIZ) return std::nullopt;
        const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return std::nullopt;
        // ETHTOOL_GSET needs no privilege; the kernel fills it from the
        // driver's link settings (modes past the first 32 bits are left out).
        ethtool_cmd cmd{};
        cmd.cmd = ETHTOOL_GSET;
        ifreq request{};
        std::memcpy(request.ifr_name, interfaceName.data(), interfaceName.size());
        request.ifr_data = reinterpret_cast<char*>(&cmd);
        const int result = ioctl(fd, SIOCETHTOOL, &request);
        close(fd);
        if (result != 0) return std::nullopt;
        LinkSettings settings;
        settings.autoNegotiation = cmd.autoneg == AUTONEG_ENABLE;
        uint64_t fastest = 0;
        for (const auto& mode : kModes)
            if (cmd.supported & (1u << mode.bit)) fastest = std::max(fastest, mode.megabits);
        if (fastest) settings.maxSpeed = fastest * 1000000;
        return settings;
    }
};

class NoDrivers : public LinkSource {
public:
    std::optional<LinkSettings> Settings(const std::string&) const override { return std::nullopt; }
};

}  // namespace

const LinkSource& LinkSourceFor(const SystemRoot& root) {
    static const RunningDrivers running;
    static const NoDrivers none;
    return root.IsThisComputer() ? static_cast<const LinkSource&>(running) : none;
}

}  // namespace cimv2::net
