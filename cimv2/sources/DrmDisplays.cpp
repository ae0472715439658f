#include "cimv2/sources/DrmDisplays.h"

#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "cimv2/core/TextFields.h"
#include "cimv2/sources/DrmLibrary.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2::drm {

namespace {

constexpr const char* kClass = "/sys/class/drm";
// 256 blocks of 128 bytes: the most an EDID can declare.
constexpr size_t kMaxEdid = 256 * 128;

// "card0-eDP-1" -> "card0"; nothing for "card0", "renderD128", "version".
std::optional<std::string> CardOf(const std::string& name) {
    if (name.rfind("card", 0) != 0) return std::nullopt;
    size_t at = 4;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9') ++at;
    if (at == 4 || at >= name.size() - 1 || name[at] != '-') return std::nullopt;
    return name.substr(0, at);
}

// "1920x1080", "1920x1080i" (interlaced).
std::optional<Mode> ParseModeLine(std::string_view line) {
    Mode mode;
    if (!line.empty() && line.back() == 'i') {
        mode.interlaced = true;
        line.remove_suffix(1);
    }
    const size_t x = line.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    auto width = ParseUnsigned(line.substr(0, x)), height = ParseUnsigned(line.substr(x + 1));
    if (!width || !height || *width == 0 || *height == 0 || *width > UINT32_MAX || *height > UINT32_MAX)
        return std::nullopt;
    mode.width = static_cast<uint32_t>(*width);
    mode.height = static_cast<uint32_t>(*height);
    return mode;
}

class SysfsModes : public ModeSource {
public:
    std::optional<Mode> CurrentMode(const SystemRoot& root, const Connector& connector) const override {
        return ModeFromSysfs(root, connector);
    }
};

struct DrmFd {
    int fd = -1;
    ~DrmFd() {
        if (fd >= 0) close(fd);
    }
};

// The live machine: the connector's CRTC mode and its frame buffer, through
// the GET ioctls that any client may call.
class LibdrmModes : public ModeSource {
public:
    std::optional<Mode> CurrentMode(const SystemRoot& root, const Connector& connector) const override {
        if (auto mode = FromDrm(connector)) return mode;
        return ModeFromSysfs(root, connector);
    }

private:
    // `Free` names the libdrm function that releases the object.
    template <auto Free>
    struct Deleter {
        template <typename T>
        void operator()(T* p) const {
            (Drm()->*Free)(p);
        }
    };
    template <typename T, auto Free>
    using Owned = std::unique_ptr<T, Deleter<Free>>;

    static std::optional<Mode> FromDrm(const Connector& connector) {
        const DrmApi* api = Drm();
        if (!connector.enabled || !api) return std::nullopt;
        const DrmApi& drm = *api;
        DrmFd card;
        card.fd = open(("/dev/dri/" + connector.card).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (card.fd < 0) return std::nullopt;
        Owned<drmModeRes, &DrmApi::drmModeFreeResources> resources(drm.drmModeGetResources(card.fd));
        if (!resources) return std::nullopt;
        const std::string wanted = connector.name.substr(connector.card.size() + 1);
        for (int n = 0; n < resources->count_connectors; ++n) {
            // The current state only: no probe of the outputs.
            Owned<drmModeConnector, &DrmApi::drmModeFreeConnector> c(
                drm.drmModeGetConnectorCurrent(card.fd, resources->connectors[n]));
            if (!c) continue;
            const char* type = drm.drmModeGetConnectorTypeName(c->connector_type);
            if (!type || std::string(type) + "-" + std::to_string(c->connector_type_id) != wanted) continue;
            if (!c->encoder_id) return std::nullopt;
            Owned<drmModeEncoder, &DrmApi::drmModeFreeEncoder> encoder(drm.drmModeGetEncoder(card.fd, c->encoder_id));
            if (!encoder || !encoder->crtc_id) return std::nullopt;
            Owned<drmModeCrtc, &DrmApi::drmModeFreeCrtc> crtc(drm.drmModeGetCrtc(card.fd, encoder->crtc_id));
            if (!crtc || !crtc->mode_valid) return std::nullopt;
            Mode mode;
            mode.width = crtc->mode.hdisplay;
            mode.height = crtc->mode.vdisplay;
            if (crtc->mode.vrefresh) mode.refreshHz = crtc->mode.vrefresh;
            mode.interlaced = (crtc->mode.flags & DRM_MODE_FLAG_INTERLACE) != 0;
            if (crtc->buffer_id) {
                Owned<drmModeFB, &DrmApi::drmModeFreeFB> fb(drm.drmModeGetFB(card.fd, crtc->buffer_id));
                if (fb && fb->bpp) mode.bitsPerPixel = fb->bpp;
            }
            return mode;
        }
        return std::nullopt;
    }
};

}  // namespace

std::vector<Connector> Connectors(const SystemRoot& root) {
    std::vector<Connector> found;
    for (const auto& name : root.List(kClass)) {
        auto card = CardOf(name);
        if (!card) continue;
        Connector c;
        c.name = name;
        c.card = *card;
        c.path = std::string(kClass) + "/" + name;
        if (!root.IsDirectory(c.path)) continue;
        c.connected = ReadLine(root, c.path + "/status") == std::string("connected");
        c.enabled = ReadLine(root, c.path + "/enabled") == std::string("enabled");
        c.dpms = ReadLine(root, c.path + "/dpms");
        if (auto bytes = root.ReadFile(c.path + "/edid", kMaxEdid + 1); bytes && !bytes->empty()) {
            std::string error;
            if (bytes->size() > kMaxEdid) {
                c.edidError = "EDID longer than 256 blocks";
            } else if (auto parsed =
                           edid::Parse({reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()}, &error)) {
                c.edid = std::move(*parsed);
            } else {
                c.edidError = error;
            }
        }
        found.push_back(std::move(c));
    }
    return found;
}

std::optional<Mode> ModeFromSysfs(const SystemRoot& root, const Connector& connector) {
    if (!connector.enabled) return std::nullopt;
    auto modes = root.ReadFile(connector.path + "/modes", 1 << 16);
    if (!modes) return std::nullopt;
    std::string_view rest = *modes;
    auto mode = ParseModeLine(Trim(NextLine(rest)));
    if (!mode) return std::nullopt;
    const std::string device = std::string(kClass) + "/" + connector.card + "/device/graphics";
    for (const auto& fb : root.List(device)) {
        if (fb.rfind("fb", 0) != 0) continue;
        if (auto bpp = ReadUnsigned(root, device + "/" + fb + "/bits_per_pixel"); bpp && *bpp > 0 && *bpp <= 64)
            mode->bitsPerPixel = static_cast<uint32_t>(*bpp);
        break;
    }
    return mode;
}

const ModeSource& ModeSourceFor(const SystemRoot& root) {
    static const LibdrmModes live;
    static const SysfsModes tree;
    return root.IsThisComputer() ? static_cast<const ModeSource&>(live) : tree;
}

}  // namespace cimv2::drm
