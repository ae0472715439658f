#include "cimv2/sources/Edid.h"

#include "cimv2/core/SafeText.h"

namespace cimv2::edid {

namespace {

constexpr size_t kBlock = 128;
constexpr size_t kDescriptor = 18;
constexpr uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr uint8_t kCtaTag = 0x02;

bool ChecksumOk(Bytes block) {
    uint8_t sum = 0;
    for (uint8_t b : block) sum = static_cast<uint8_t>(sum + b);
    return sum == 0;
}

// A display descriptor's text: up to 13 bytes, ended by a line feed and
// padded with blanks.
std::string DescriptorText(Bytes d) {
    std::string text;
    for (uint8_t b : d.subspan(5, 13)) {
        if (b == 0x0A) break;
        text.push_back(static_cast<char>(b));
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return ValidUtf8(text);
}

DetailedTiming Timing(Bytes d) {
    DetailedTiming t;
    t.pixelClockKHz = (static_cast<uint32_t>(d[0]) | static_cast<uint32_t>(d[1]) << 8) * 10;
    t.hActive = d[2] | (d[4] & 0xF0u) << 4;
    t.hBlank = d[3] | (d[4] & 0x0Fu) << 8;
    t.vActive = d[5] | (d[7] & 0xF0u) << 4;
    t.vBlank = d[6] | (d[7] & 0x0Fu) << 8;
    t.widthMm = d[12] | (d[14] & 0xF0u) << 4;
    t.heightMm = d[13] | (d[14] & 0x0Fu) << 8;
    t.interlaced = (d[17] & 0x80) != 0;
    return t;
}

// An 18-byte descriptor of the base block: a timing, or a display
// descriptor (pixel clock 0) whose text fields we keep.
void ReadDescriptor(Edid& out, Bytes d) {
    if (d[0] != 0 || d[1] != 0) {
        out.timings.push_back(Timing(d));
        return;
    }
    if (d[2] != 0) return;  // reserved: not a display descriptor
    switch (d[3]) {
        case 0xFC:
            out.monitorName = DescriptorText(d);
            break;
        case 0xFF:
            out.serialText = DescriptorText(d);
            break;
        case 0xFE:
            out.unspecifiedText = DescriptorText(d);
            break;
        case 0xFD:
            if (d[9] != 0) out.maxPixelClockMHz = d[9] * 10u;
            break;
        default:
            break;
    }
}

// CTA-861: byte 2 is where the detailed timings start (4 when there is no
// data block collection, 0 when there are neither); the data blocks lie
// between byte 4 and there, each a header byte (tag in bits 7-5, length in
// bits 4-0) and its payload.
void ReadCta(Edid& out, Bytes block, size_t index) {
    CtaBlock cta;
    cta.revision = block[1];
    const size_t dtdStart = block[2];
    if (dtdStart != 0 && (dtdStart < 4 || dtdStart > kBlock - 1)) {
        out.warnings.push_back("extension block " + std::to_string(index) + ": detailed timing offset " +
                               std::to_string(dtdStart) + " outside the block");
        return;
    }
    if (dtdStart > 4) {
        size_t at = 4;
        while (at < dtdStart) {
            const uint8_t tag = block[at] >> 5;
            const size_t length = block[at] & 0x1F;
            if (at + 1 + length > dtdStart) {
                out.warnings.push_back("extension block " + std::to_string(index) +
                                       ": a data block runs past the detailed timings");
                break;
            }
            Bytes payload = block.subspan(at + 1, length);
            if (tag == 2) {
                for (uint8_t svd : payload) {
                    // VICs 1-64 may carry the native flag in bit 7; 129-192 are VICs 1-64 with it.
                    const uint8_t vic = (svd >= 129 && svd <= 192) ? static_cast<uint8_t>(svd & 0x7F) : svd;
                    if (vic != 0) cta.videoCodes.push_back(vic);
                }
            } else if (tag == 3 && length >= 3 && payload[0] == 0x03 && payload[1] == 0x0C && payload[2] == 0x00) {
                cta.hdmi = true;
            }
            at += 1 + length;
        }
    }
    if (dtdStart != 0) {
        // The timings end at the first zero pixel clock or where the checksum byte begins.
        for (size_t at = dtdStart; at + kDescriptor <= kBlock - 1; at += kDescriptor) {
            Bytes d = block.subspan(at, kDescriptor);
            if (d[0] == 0 && d[1] == 0) break;
            out.timings.push_back(Timing(d));
        }
    }
    out.cta.push_back(std::move(cta));
}

}  // namespace

std::optional<uint32_t> DetailedTiming::RefreshHz() const {
    const uint64_t total = static_cast<uint64_t>(hActive + hBlank) * (vActive + vBlank);
    if (total == 0) return std::nullopt;
    return static_cast<uint32_t>((static_cast<uint64_t>(pixelClockKHz) * 1000 + total / 2) / total);
}

std::optional<Edid> Parse(Bytes data, std::string* error) {
    auto fail = [&](const char* why) -> std::optional<Edid> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (data.size() < kBlock) return fail("shorter than an EDID block (128 bytes)");
    for (size_t n = 0; n < sizeof kHeader; ++n)
        if (data[n] != kHeader[n]) return fail("not an EDID: wrong header");
    Bytes base = data.first(kBlock);
    if (!ChecksumOk(base)) return fail("EDID base block checksum fails");

    Edid out;
    const uint16_t id = static_cast<uint16_t>(base[8] << 8 | base[9]);
    const uint8_t letters[3] = {static_cast<uint8_t>(id >> 10 & 0x1F), static_cast<uint8_t>(id >> 5 & 0x1F),
                                static_cast<uint8_t>(id & 0x1F)};
    if ((id & 0x8000) == 0 && letters[0] >= 1 && letters[0] <= 26 && letters[1] >= 1 && letters[1] <= 26 &&
        letters[2] >= 1 && letters[2] <= 26)
        for (uint8_t l : letters) out.manufacturerId.push_back(static_cast<char>('A' + l - 1));
    out.productCode = static_cast<uint16_t>(base[10] | base[11] << 8);
    out.serialNumber = static_cast<uint32_t>(base[12]) | static_cast<uint32_t>(base[13]) << 8 |
                       static_cast<uint32_t>(base[14]) << 16 | static_cast<uint32_t>(base[15]) << 24;
    out.week = base[16];
    if (base[17] != 0) out.year = static_cast<uint16_t>(1990 + base[17]);
    out.version = base[18];
    out.revision = base[19];
    out.digital = (base[20] & 0x80) != 0;
    out.dpmsModes = base[24] & 0xE0;
    // Both sizes or neither: one of them zero makes the other an aspect ratio (EDID 1.4).
    if (base[21] != 0 && base[22] != 0) {
        out.widthCm = base[21];
        out.heightCm = base[22];
    }
    for (size_t at = 54; at + kDescriptor <= 126; at += kDescriptor) ReadDescriptor(out, base.subspan(at, kDescriptor));

    out.extensionsDeclared = base[126];
    const size_t present = (data.size() - kBlock) / kBlock;
    if (present < out.extensionsDeclared)
        out.warnings.push_back("declares " + std::to_string(out.extensionsDeclared) + " extension blocks, has " +
                               std::to_string(present));
    for (size_t n = 1; n <= out.extensionsDeclared && n <= present; ++n) {
        Bytes block = data.subspan(n * kBlock, kBlock);
        if (!ChecksumOk(block)) {
            out.warnings.push_back("extension block " + std::to_string(n) + ": checksum fails");
            continue;
        }
        if (block[0] == kCtaTag) ReadCta(out, block, n);
    }
    return out;
}

PnpIds PnpIds::FromText(std::string_view text) {
    PnpIds ids;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // Three capital letters, a tab, the name; anything else is not an entry.
        if (line.size() < 5 || line[3] != '\t') continue;
        bool letters = true;
        for (char c : line.substr(0, 3)) letters = letters && c >= 'A' && c <= 'Z';
        std::string_view name = line.substr(4);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
        if (!letters || name.empty()) continue;
        ids.FNames.emplace(std::string(line.substr(0, 3)), ValidUtf8(name));
    }
    return ids;
}

std::optional<std::string> PnpIds::Name(std::string_view id) const {
    auto found = FNames.find(id);
    if (found == FNames.end()) return std::nullopt;
    return found->second;
}

}  // namespace cimv2::edid
