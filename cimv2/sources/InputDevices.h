#pragma once
// The input devices the kernel lists in /proc/bus/input/devices, with their
// capability bitmaps, and what those bits make of each one: a keyboard,
// a mouse, a touchpad, a touch screen or a pointing stick (the rules udev's
// input_id uses).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2::input {

// A capability bitmap as the kernel prints it: words of the machine's long,
// most significant first, leading zero words left out.
class Bitmap {
public:
    Bitmap() = default;
    // Nothing when a word is not hexadecimal or too long for a word.
    static std::optional<Bitmap> Parse(std::string_view text);
    bool Test(unsigned bit) const;
    unsigned Count(unsigned first, unsigned last) const;  // set bits in [first, last]
    bool Empty() const;

private:
    std::vector<uint64_t> FWords;  // least significant first
};

struct InputDevice {
    uint32_t bus = 0, vendor = 0, product = 0, version = 0;
    std::string name;   // N: Name="..."
    std::string phys;   // P: Phys=
    std::string sysfs;  // S: Sysfs=/devices/.../input/input3
    std::string uniq;
    std::vector<std::string> handlers;
    Bitmap prop, ev, key, rel, abs;
};

// Every complete record of the file. A record whose I: or N: line is
// malformed, or whose bitmaps do not parse, is left out; the rest are kept.
std::vector<InputDevice> ParseDevices(std::string_view text);

// The kernel's bus numbers (linux/input.h) that the classes tell apart.
inline constexpr uint32_t kBusUsb = 0x03, kBusHil = 0x04, kBusBluetooth = 0x05, kBusVirtual = 0x06, kBusI8042 = 0x11,
                          kBusRs232 = 0x13, kBusAdb = 0x17;

enum class PointerKind { Mouse, Touchpad, Touchscreen, PointingStick };

// A full keyboard: the first 31 keys (Esc, digits, letters) are all there.
bool IsKeyboard(const InputDevice& device);
// What kind of pointer the device is; nothing when it is none.
std::optional<PointerKind> PointerOf(const InputDevice& device);
// The mouse buttons the device has (BTN_LEFT to BTN_TASK).
unsigned ButtonCount(const InputDevice& device);
// F1 to F12. F13 to F24 are left out: every AT and HID keyboard declares
// them in its key table whether or not it has the keys.
unsigned FunctionKeyCount(const InputDevice& device);

// The devices of /proc/bus/input/devices under the root; none without it.
std::vector<InputDevice> ReadDevices(const SystemRoot& root);

// What the keyboard and pointing classes report of one input device: its
// ids, from the device it sits on (serio port, HID device, USB interface),
// as the Plug and Play view names that device.
struct InputIdentity {
    std::string deviceId;              // unique among the input devices listed
    std::optional<std::string> pnpId;  // the parent device's PnP id
    std::optional<std::string> manufacturer;
    std::optional<std::string> parentPath;  // "/sys/devices/.../serio1"
};
// One per device, in the order given; a second device on the same parent
// gets its input node's name after the parent's id to stay apart.
// usbIds names the vendor of a USB device that its input node alone shows.
std::vector<InputIdentity> Identify(const SystemRoot& root, const devtree::PciIds& ids, const devtree::PciIds& usbIds,
                                    const std::vector<const InputDevice*>& devices);

}  // namespace cimv2::input
