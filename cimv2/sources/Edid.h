#pragma once
// A monitor's EDID (VESA E-EDID 1.3/1.4, as the kernel gives it in
// /sys/class/drm/card*-*/edid): the 128-byte base block and the CTA-861
// extension blocks that follow it. Every length and offset is checked
// against the bytes read; a block that fails its checks is skipped and
// named in the warnings, never guessed at.
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2::edid {

using Bytes = std::span<const uint8_t>;

// A detailed timing descriptor: one video mode with its blanking.
struct DetailedTiming {
    uint32_t pixelClockKHz = 0;
    uint32_t hActive = 0, hBlank = 0, vActive = 0, vBlank = 0;
    uint32_t widthMm = 0, heightMm = 0;  // the image size; 0 when not given
    bool interlaced = false;
    // Frames (fields, when interlaced) per second, rounded; nothing when the
    // totals are zero.
    std::optional<uint32_t> RefreshHz() const;
};

struct CtaBlock {
    uint8_t revision = 0;
    std::vector<uint8_t> videoCodes;  // short video descriptors' VICs, in order
    bool hdmi = false;                // an HDMI vendor-specific data block (OUI 00-0C-03)
};

struct Edid {
    std::string manufacturerId;  // three letters ("DEL"); empty when the field is not letters
    uint16_t productCode = 0;
    uint32_t serialNumber = 0;  // the numeric serial; 0 when not given
    uint8_t week = 0;           // 0 unknown, 0xFF: year is a model year
    uint16_t year = 0;          // 0 when not given
    uint8_t version = 0, revision = 0;
    bool digital = false;
    uint8_t widthCm = 0, heightCm = 0;           // the screen size; 0 when unknown or an aspect ratio
    uint8_t dpmsModes = 0;                       // feature bits 7-5: standby, suspend, active off
    std::optional<uint32_t> maxPixelClockMHz;    // the range limits descriptor (0xFD)
    std::optional<std::string> monitorName;      // display descriptor 0xFC
    std::optional<std::string> serialText;       // display descriptor 0xFF
    std::optional<std::string> unspecifiedText;  // display descriptor 0xFE
    // The base block's detailed timings (the first is the preferred mode),
    // then those of the CTA blocks.
    std::vector<DetailedTiming> timings;
    std::vector<CtaBlock> cta;
    uint8_t extensionsDeclared = 0;
    std::vector<std::string> warnings;  // blocks skipped and why
};

// The EDID in data, or nothing with the reason in *error: shorter than a
// block, a wrong header or a base block whose checksum fails.
std::optional<Edid> Parse(Bytes data, std::string* error = nullptr);

// hwdata's pnp.ids: "ABC<tab>Company name" per line, the names of the
// manufacturer IDs that EDIDs carry.
class PnpIds {
public:
    static PnpIds FromText(std::string_view text);
    std::optional<std::string> Name(std::string_view id) const;
    size_t Size() const { return FNames.size(); }

private:
    std::map<std::string, std::string, std::less<>> FNames;
};

}  // namespace cimv2::edid
