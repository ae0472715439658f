#pragma once
// What the network drivers answer only on the running machine, through
// ethtool's ioctl: whether the link negotiates its speed and the fastest
// mode it supports. A captured tree has no drivers to ask, so both are
// null there. Tests hand their own answers to the provider's context.
#include <cstdint>
#include <optional>
#include <string>

#include "cimv2/sources/SystemRoot.h"

namespace cimv2::net {

struct LinkSettings {
    std::optional<bool> autoNegotiation;
    std::optional<uint64_t> maxSpeed;  // bits per second
};

class LinkSource {
public:
    virtual ~LinkSource() = default;
    // Nothing when the interface has no ethtool settings (loopback, most virtual links).
    virtual std::optional<LinkSettings> Settings(const std::string& interfaceName) const = 0;
};

// The running machine's drivers for the root "/"; none for a tree.
const LinkSource& LinkSourceFor(const SystemRoot& root);

}  // namespace cimv2::net
