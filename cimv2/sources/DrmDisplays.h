#pragma once
// The display outputs that the kernel's DRM drivers make: every connector
// in /sys/class/drm (card0-eDP-1, card0-HDMI-A-1, ...) with its state and
// its monitor's EDID, and the mode a connector shows. The mode comes from
// libdrm on the live machine (read-only calls that need no DRM master) and
// from the sysfs files in a captured tree; tests hand their own source to
// the provider's context.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cimv2/sources/Edid.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2::drm {

struct Connector {
    std::string name;  // "card0-eDP-1"
    std::string card;  // "card0"
    std::string path;  // "/sys/class/drm/card0-eDP-1"
    bool connected = false;
    bool enabled = false;             // a CRTC drives it
    std::optional<std::string> dpms;  // "On", "Standby", "Suspend", "Off"
    std::optional<edid::Edid> edid;
    std::optional<std::string> edidError;  // why the EDID the connector has could not be read
};

// Every connector, in name order.
std::vector<Connector> Connectors(const SystemRoot& root);

struct Mode {
    uint32_t width = 0, height = 0;
    std::optional<uint32_t> refreshHz;
    std::optional<uint32_t> bitsPerPixel;
    bool interlaced = false;
};

// A connector's mode from sysfs: the first line of its "modes" file (the
// mode the driver prefers, which the console and a desktop without its own
// choice set) and the bits per pixel of the card's frame buffer.
std::optional<Mode> ModeFromSysfs(const SystemRoot& root, const Connector& connector);

class ModeSource {
public:
    virtual ~ModeSource() = default;
    // The mode the connector shows now; nothing when it shows none.
    virtual std::optional<Mode> CurrentMode(const SystemRoot& root, const Connector& connector) const = 0;
};

// libdrm for the root "/" (sysfs when the card cannot be opened), sysfs for
// a tree.
const ModeSource& ModeSourceFor(const SystemRoot& root);

}  // namespace cimv2::drm
