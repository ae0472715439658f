#include "cimv2/sources/InputDevices.h"

#include <set>

#include "cimv2/core/TextFields.h"

namespace cimv2::input {

namespace {

// The kernel prints its bitmaps in longs of its own width.
constexpr unsigned kWordBits = sizeof(long) * 8;
// KEY_MAX is 0x2ff: twelve 64-bit words. More than this is not a bitmap.
constexpr size_t kMaxWords = 64;

// Event types, keys, axes and properties of linux/input-event-codes.h.
constexpr unsigned kEvKey = 0x01, kEvRel = 0x02, kEvAbs = 0x03;
constexpr unsigned kRelX = 0x00, kRelY = 0x01;
constexpr unsigned kAbsX = 0x00, kAbsY = 0x01, kAbsMtPositionX = 0x35, kAbsMtPositionY = 0x36;
constexpr unsigned kBtnLeft = 0x110, kBtnRight = 0x111, kBtnMiddle = 0x112, kBtnTask = 0x117;
constexpr unsigned kBtnToolPen = 0x140, kBtnToolFinger = 0x145, kBtnTouch = 0x14a, kBtnStylus = 0x14b;
constexpr unsigned kPropPointer = 0, kPropDirect = 1, kPropPointingStick = 5;
constexpr unsigned kKeyF1 = 59, kKeyF10 = 68, kKeyF11 = 87, kKeyF12 = 88;

// "Bus=0011 Vendor=0001 Product=0001 Version=ab41"
bool ParseIds(std::string_view line, InputDevice& device) {
    const std::pair<const char*, uint32_t*> fields[] = {{"Bus=", &device.bus},
                                                        {"Vendor=", &device.vendor},
                                                        {"Product=", &device.product},
                                                        {"Version=", &device.version}};
    for (const auto& [key, target] : fields) {
        line = Trim(line);
        const std::string_view prefix(key);
        if (line.substr(0, prefix.size()) != prefix) return false;
        line.remove_prefix(prefix.size());
        const size_t gap = line.find(' ');
        auto value = ParseHex(line.substr(0, gap), 4);
        if (!value) return false;
        *target = *value;
        line = gap == std::string_view::npos ? std::string_view{} : line.substr(gap);
    }
    return true;
}

// The text after "Key=" when the line starts with it.
std::optional<std::string_view> After(std::string_view line, std::string_view key) {
    if (line.substr(0, key.size()) != key) return std::nullopt;
    return line.substr(key.size());
}

}  // namespace

std::optional<Bitmap> Bitmap::Parse(std::string_view text) {
    Bitmap bitmap;
    std::vector<uint64_t> words;
    text = Trim(text);
    while (!text.empty()) {
        const size_t gap = text.find(' ');
        const std::string_view word = text.substr(0, gap);
        if (word.empty() || word.size() > kWordBits / 4 || words.size() == kMaxWords) return std::nullopt;
        uint64_t value = 0;
        for (char c : word) {
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return std::nullopt;
            value = value << 4 | static_cast<uint64_t>(digit);
        }
        words.push_back(value);
        text = gap == std::string_view::npos ? std::string_view{} : Trim(text.substr(gap));
    }
    bitmap.FWords.assign(words.rbegin(), words.rend());
    return bitmap;
}

bool Bitmap::Test(unsigned bit) const {
    const size_t word = bit / kWordBits;
    return word < FWords.size() && (FWords[word] >> (bit % kWordBits) & 1) != 0;
}

unsigned Bitmap::Count(unsigned first, unsigned last) const {
    unsigned count = 0;
    for (unsigned bit = first; bit <= last; ++bit) count += Test(bit) ? 1 : 0;
    return count;
}

bool Bitmap::Empty() const {
    for (uint64_t word : FWords)
        if (word) return false;
    return true;
}

std::vector<InputDevice> ParseDevices(std::string_view text) {
    std::vector<InputDevice> devices;
    std::optional<InputDevice> current;
    bool valid = false;
    auto finish = [&] {
        if (current && valid && !current->name.empty()) devices.push_back(std::move(*current));
        current.reset();
        valid = false;
    };
    while (!text.empty()) {
        const std::string_view line = NextLine(text);
        if (Trim(line).empty()) {
            finish();
            continue;
        }
        if (line.size() < 3 || line[1] != ':' || line[2] != ' ') {
            valid = false;
            continue;
        }
        const std::string_view body = line.substr(3);
        if (line[0] == 'I') {
            finish();
            current.emplace();
            valid = ParseIds(body, *current);
            continue;
        }
        if (!current) continue;
        switch (line[0]) {
            case 'N':
                if (auto name = After(body, "Name=\""); name && !name->empty() && name->back() == '"')
                    current->name = std::string(name->substr(0, name->size() - 1));
                else
                    valid = false;
                break;
            case 'P':
                if (auto phys = After(body, "Phys=")) current->phys = std::string(*phys);
                break;
            case 'S':
                if (auto sysfs = After(body, "Sysfs=")) current->sysfs = std::string(*sysfs);
                break;
            case 'U':
                if (auto uniq = After(body, "Uniq=")) current->uniq = std::string(*uniq);
                break;
            case 'H':
                if (auto handlers = After(body, "Handlers=")) {
                    std::string_view rest = Trim(*handlers);
                    while (!rest.empty()) {
                        const size_t gap = rest.find(' ');
                        current->handlers.emplace_back(rest.substr(0, gap));
                        rest = gap == std::string_view::npos ? std::string_view{} : Trim(rest.substr(gap));
                    }
                }
                break;
            case 'B': {
                const size_t equals = body.find('=');
                if (equals == std::string_view::npos) {
                    valid = false;
                    break;
                }
                const std::string_view kind = body.substr(0, equals);
                Bitmap* target = kind == "PROP"  ? &current->prop
                                 : kind == "EV"  ? &current->ev
                                 : kind == "KEY" ? &current->key
                                 : kind == "REL" ? &current->rel
                                 : kind == "ABS" ? &current->abs
                                                 : nullptr;
                if (!target) break;  // MSC, LED, SND, FF, SW: not needed
                auto bitmap = Bitmap::Parse(body.substr(equals + 1));
                if (bitmap)
                    *target = std::move(*bitmap);
                else
                    valid = false;
                break;
            }
            default:
                break;
        }
    }
    finish();
    return devices;
}

bool IsKeyboard(const InputDevice& device) { return device.ev.Test(kEvKey) && device.key.Count(1, 31) == 31; }

std::optional<PointerKind> PointerOf(const InputDevice& device) {
    const InputDevice& d = device;
    const bool keys = d.ev.Test(kEvKey);
    const bool mouseButton = keys && (d.key.Test(kBtnLeft) || d.key.Test(kBtnRight) || d.key.Test(kBtnMiddle));
    const bool absolute = d.ev.Test(kEvAbs) && ((d.abs.Test(kAbsX) && d.abs.Test(kAbsY)) ||
                                                (d.abs.Test(kAbsMtPositionX) && d.abs.Test(kAbsMtPositionY)));
    const bool relative = d.ev.Test(kEvRel) && d.rel.Test(kRelX) && d.rel.Test(kRelY);
    const bool pen = keys && (d.key.Test(kBtnToolPen) || d.key.Test(kBtnStylus));
    const bool direct = d.prop.Test(kPropDirect);
    if (d.prop.Test(kPropPointingStick) && (relative || mouseButton)) return PointerKind::PointingStick;
    if (absolute && !pen) {
        if (keys && d.key.Test(kBtnToolFinger) && !direct) return PointerKind::Touchpad;
        if (d.prop.Test(kPropPointer) && !direct) return PointerKind::Touchpad;
        if (mouseButton) return PointerKind::Mouse;
        if ((keys && d.key.Test(kBtnTouch)) || direct) return PointerKind::Touchscreen;
    }
    if (relative && mouseButton) return PointerKind::Mouse;
    return std::nullopt;
}

unsigned ButtonCount(const InputDevice& device) { return device.key.Count(kBtnLeft, kBtnTask); }

unsigned FunctionKeyCount(const InputDevice& device) {
    return device.key.Count(kKeyF1, kKeyF10) + device.key.Count(kKeyF11, kKeyF12);
}

std::vector<InputDevice> ReadDevices(const SystemRoot& root) {
    auto text = root.ReadFile("/proc/bus/input/devices", 4u << 20);
    return text ? ParseDevices(*text) : std::vector<InputDevice>{};
}

std::vector<InputIdentity> Identify(const SystemRoot& root, const devtree::PciIds& ids, const devtree::PciIds& usbIds,
                                    const std::vector<const InputDevice*>& devices) {
    std::vector<InputIdentity> out;
    std::set<std::string> taken;
    for (const InputDevice* device : devices) {
        InputIdentity identity;
        const size_t slash = device->sysfs.rfind('/');
        std::string node = slash == std::string::npos ? device->sysfs : device->sysfs.substr(slash + 1);
        for (const auto& handler : device->handlers)
            if (node.empty() && handler.rfind("event", 0) == 0) node = handler;
        // Sysfs= is the kernel's own path under /sys; one that climbs out is not.
        const bool sane = device->sysfs.rfind("/devices/", 0) == 0 && device->sysfs.find("/..") == std::string::npos;
        if (sane) {
            const std::string parent = "/sys" + device->sysfs + "/device";
            if (auto pnp = devtree::DescribeDeviceAt(root, ids, parent)) {
                identity.pnpId = pnp->deviceId;
                identity.manufacturer = pnp->manufacturer;
            }
            if (root.ReadLink(parent)) identity.parentPath = parent;
        }
        // A USB device's input node carries its USB vendor ID.
        if (!identity.manufacturer && device->bus == kBusUsb) {
            identity.manufacturer = usbIds.Vendor(device->vendor);
        }
        std::string id = identity.pnpId ? *identity.pnpId : "INPUT\\" + node;
        if (!taken.insert(id).second) {
            id += "\\" + node;
            taken.insert(id);
        }
        identity.deviceId = id;
        out.push_back(std::move(identity));
    }
    return out;
}

}  // namespace cimv2::input
