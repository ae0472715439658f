#include "cimv2/sources/Smbios.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cimv2/sources/RootReaders.h"

namespace cimv2::smbios {

namespace {

uint8_t Checksum(Bytes data) {
    uint8_t sum = 0;
    for (uint8_t b : data) sum = static_cast<uint8_t>(sum + b);
    return sum;
}

uint64_t LittleEndian(Bytes data, size_t offset, size_t width) {
    uint64_t v = 0;
    for (size_t n = 0; n < width; ++n) v |= static_cast<uint64_t>(data[offset + n]) << (8 * n);
    return v;
}

bool StartsWith(Bytes data, const char* anchor) {
    size_t len = std::strlen(anchor);
    return data.size() >= len && std::memcmp(data.data(), anchor, len) == 0;
}

// Firmware strings may hold control bytes; they are shown as dots, as
// dmidecode does, so the text stays printable.
std::string Printable(const uint8_t* begin, const uint8_t* end) {
    std::string s(begin, end);
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '.';
    return s;
}

template <typename T>
std::optional<T> Unless(std::optional<T> value, T absent) {
    if (value && *value == absent) return std::nullopt;
    return value;
}

}  // namespace

std::optional<EntryPoint> ParseEntryPoint(Bytes data) {
    EntryPoint ep;
    if (StartsWith(data, "_SM3_")) {
        if (data.size() < 0x18) return std::nullopt;
        size_t length = data[0x06];
        if (length < 0x18 || length > data.size() || Checksum(data.first(length)) != 0) return std::nullopt;
        ep.is64 = true;
        ep.major = data[0x07];
        ep.minor = data[0x08];
        ep.docrev = data[0x09];
        ep.tableLength = static_cast<uint32_t>(LittleEndian(data, 0x0C, 4));
        ep.tableAddress = LittleEndian(data, 0x10, 8);
        return ep;
    }
    if (StartsWith(data, "_SM_")) {
        if (data.size() < 0x1F) return std::nullopt;
        size_t length = data[0x05];
        // 0x1E is a length some firmware gets wrong for the 31-byte structure.
        if ((length != 0x1F && length != 0x1E) || Checksum(data.first(length)) != 0) return std::nullopt;
        Bytes intermediate = data.subspan(0x10, 0x0F);
        if (!StartsWith(intermediate, "_DMI_") || Checksum(intermediate) != 0) return std::nullopt;
        ep.major = data[0x06];
        ep.minor = data[0x07];
        ep.tableLength = static_cast<uint32_t>(LittleEndian(data, 0x16, 2));
        ep.tableAddress = LittleEndian(data, 0x18, 4);
        ep.structureCount = static_cast<uint16_t>(LittleEndian(data, 0x1C, 2));
        return ep;
    }
    return std::nullopt;
}

std::optional<uint8_t> Structure::Byte(size_t offset) const {
    if (offset >= data.size()) return std::nullopt;
    return data[offset];
}

std::optional<uint16_t> Structure::Word(size_t offset) const {
    if (offset > data.size() || data.size() - offset < 2) return std::nullopt;
    return static_cast<uint16_t>(LittleEndian(data, offset, 2));
}

std::optional<uint32_t> Structure::Dword(size_t offset) const {
    if (offset > data.size() || data.size() - offset < 4) return std::nullopt;
    return static_cast<uint32_t>(LittleEndian(data, offset, 4));
}

std::optional<uint64_t> Structure::Qword(size_t offset) const {
    if (offset > data.size() || data.size() - offset < 8) return std::nullopt;
    return LittleEndian(data, offset, 8);
}

std::optional<std::string> Structure::StringAt(size_t index) const {
    if (!stringsValid || index == 0 || index > strings.size() || strings[index - 1].empty()) return std::nullopt;
    return strings[index - 1];
}

std::optional<std::string> Structure::String(size_t offset) const {
    auto index = Byte(offset);
    if (!index) return std::nullopt;
    return StringAt(*index);
}

WalkResult WalkStructures(Bytes table, size_t maxCount) {
    WalkResult result;
    const size_t size = table.size();
    size_t pos = 0;
    while (result.structures.size() < maxCount && size - pos >= 4) {
        const uint8_t type = table[pos];
        const size_t length = table[pos + 1];
        if (length < 4 || length > size - pos) {
            result.corrupt = true;
            break;
        }
        Structure s;
        s.type = type;
        s.handle = static_cast<uint16_t>(LittleEndian(table, pos + 2, 2));
        s.data.assign(table.begin() + static_cast<ptrdiff_t>(pos),
                      table.begin() + static_cast<ptrdiff_t>(pos + length));
        // The string set ends at the first pair of NULs after the formatted area.
        size_t end = pos + length;
        bool terminated = false;
        while (end + 1 < size) {
            if (table[end] == 0 && table[end + 1] == 0) {
                terminated = true;
                break;
            }
            ++end;
        }
        if (!terminated) {
            s.stringsValid = false;
            result.structures.push_back(std::move(s));
            result.corrupt = true;
            break;
        }
        const uint8_t* p = table.data() + pos + length;
        const uint8_t* stop = table.data() + end;
        while (p < stop) {
            const uint8_t* nul = std::find(p, stop, uint8_t{0});
            s.strings.push_back(Printable(p, nul));
            p = nul + 1;
        }
        // A set ending right at the pair holds a last string ended by its first NUL.
        pos = end + 2;
        result.structures.push_back(std::move(s));
        if (type == 127) break;
    }
    return result;
}

namespace {

BiosInfo DecodeBios(const Structure& s) {
    BiosInfo b;
    b.vendor = s.String(0x04);
    b.version = s.String(0x05);
    b.startingSegment = s.Word(0x06);
    b.releaseDate = s.String(0x08);
    if (auto rom = s.Byte(0x09)) {
        // 0xFF means the size is in the extended field (3.1): bits 15:14 unit (MB, GB).
        if (*rom != 0xFF) {
            b.romSizeKB = (static_cast<uint32_t>(*rom) + 1) * 64;
        } else if (auto ext = s.Word(0x18)) {
            uint32_t amount = *ext & 0x3FFF;
            uint32_t unit = (*ext >> 14) == 0 ? 1024u : (*ext >> 14) == 1 ? 1024u * 1024u : 0u;
            if (unit) b.romSizeKB = amount * unit;
        }
    }
    b.characteristics = s.Qword(0x0A);
    b.extension1 = s.Byte(0x12);
    b.extension2 = s.Byte(0x13);
    b.biosMajor = Unless(s.Byte(0x14), uint8_t{0xFF});
    b.biosMinor = Unless(s.Byte(0x15), uint8_t{0xFF});
    b.ecMajor = Unless(s.Byte(0x16), uint8_t{0xFF});
    b.ecMinor = Unless(s.Byte(0x17), uint8_t{0xFF});
    return b;
}

std::optional<std::string> FormatUuid(const Structure& s, size_t offset, bool littleEndianFields) {
    if (offset > s.data.size() || s.data.size() - offset < 16) return std::nullopt;
    const uint8_t* u = s.data.data() + offset;
    bool allZero = std::all_of(u, u + 16, [](uint8_t b) { return b == 0x00; });
    bool allOnes = std::all_of(u, u + 16, [](uint8_t b) { return b == 0xFF; });
    if (allZero || allOnes) return std::nullopt;
    int order[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    if (littleEndianFields) {
        int swapped[8] = {3, 2, 1, 0, 5, 4, 7, 6};
        std::copy(swapped, swapped + 8, order);
    }
    char text[37];
    char* out = text;
    for (int n = 0; n < 16; ++n) {
        if (n == 4 || n == 6 || n == 8 || n == 10) *out++ = '-';
        std::snprintf(out, 3, "%02X", u[order[n]]);
        out += 2;
    }
    return std::string(text, 36);
}

SystemInfo DecodeSystem(const Structure& s, std::optional<int> major, std::optional<int> minor) {
    SystemInfo i;
    i.manufacturer = s.String(0x04);
    i.productName = s.String(0x05);
    i.version = s.String(0x06);
    i.serialNumber = s.String(0x07);
    // From 2.6 on, the first three UUID fields are little-endian.
    bool le = !major || *major > 2 || (*major == 2 && minor.value_or(0) >= 6);
    i.uuid = FormatUuid(s, 0x08, le);
    i.wakeUpType = s.Byte(0x18);
    i.skuNumber = s.String(0x19);
    i.family = s.String(0x1A);
    return i;
}

BaseBoardInfo DecodeBaseBoard(const Structure& s) {
    BaseBoardInfo b;
    b.manufacturer = s.String(0x04);
    b.product = s.String(0x05);
    b.version = s.String(0x06);
    b.serialNumber = s.String(0x07);
    b.assetTag = s.String(0x08);
    b.featureFlags = s.Byte(0x09);
    b.locationInChassis = s.String(0x0A);
    b.chassisHandle = s.Word(0x0B);
    b.boardType = s.Byte(0x0D);
    return b;
}

ChassisInfo DecodeChassis(const Structure& s) {
    ChassisInfo c;
    c.manufacturer = s.String(0x04);
    if (auto t = s.Byte(0x05)) {
        c.type = static_cast<uint8_t>(*t & 0x7F);
        c.lockPresent = (*t & 0x80) != 0;
    }
    c.version = s.String(0x06);
    c.serialNumber = s.String(0x07);
    c.assetTag = s.String(0x08);
    c.bootUpState = s.Byte(0x09);
    c.powerSupplyState = s.Byte(0x0A);
    c.thermalState = s.Byte(0x0B);
    c.securityStatus = s.Byte(0x0C);
    c.oemDefined = s.Dword(0x0D);
    c.heightU = s.Byte(0x11);
    c.powerCords = s.Byte(0x12);
    // The SKU string follows the contained elements, n records of m bytes.
    auto count = s.Byte(0x13);
    auto recordLength = s.Byte(0x14);
    if (count && recordLength) c.skuNumber = s.String(0x15 + static_cast<size_t>(*count) * *recordLength);
    return c;
}

ProcessorInfo DecodeProcessor(const Structure& s) {
    ProcessorInfo p;
    p.handle = s.handle;
    p.socketDesignation = s.String(0x04);
    p.processorType = s.Byte(0x05);
    if (auto family = s.Byte(0x06)) {
        p.family = *family;
        if (*family == 0xFE)
            if (auto family2 = s.Word(0x28)) p.family = *family2;
    }
    p.manufacturer = s.String(0x07);
    p.processorId = s.Qword(0x08);
    p.version = s.String(0x10);
    p.voltage = s.Byte(0x11);
    p.externalClockMHz = Unless(s.Word(0x12), uint16_t{0});
    p.maxSpeedMHz = Unless(s.Word(0x14), uint16_t{0});
    p.currentSpeedMHz = Unless(s.Word(0x16), uint16_t{0});
    p.status = s.Byte(0x18);
    p.upgrade = s.Byte(0x19);
    p.l1CacheHandle = Unless(s.Word(0x1A), uint16_t{0xFFFF});
    p.l2CacheHandle = Unless(s.Word(0x1C), uint16_t{0xFFFF});
    p.l3CacheHandle = Unless(s.Word(0x1E), uint16_t{0xFFFF});
    p.serialNumber = s.String(0x20);
    p.assetTag = s.String(0x21);
    p.partNumber = s.String(0x22);
    // Counts above 254 live in the 3.0 word fields; the byte then says 0xFF.
    auto count = [&](size_t byteOffset, size_t wordOffset) -> std::optional<uint16_t> {
        auto b = s.Byte(byteOffset);
        if (!b || *b == 0) return std::nullopt;
        if (*b == 0xFF)
            if (auto w = s.Word(wordOffset); w && *w != 0 && *w != 0xFFFF) return *w;
        return *b;
    };
    p.coreCount = count(0x23, 0x2A);
    p.coreEnabled = count(0x24, 0x2C);
    p.threadCount = count(0x25, 0x2E);
    p.characteristics = s.Word(0x26);
    p.threadEnabled = Unless(Unless(s.Word(0x30), uint16_t{0}), uint16_t{0xFFFF});
    p.socketType = s.String(0x32);
    return p;
}

// Cache sizes: bit 15 (or 31 in the 3.1 fields) selects 64 KB granularity.
std::optional<uint64_t> CacheSizeKB(std::optional<uint16_t> size16, std::optional<uint32_t> size32) {
    if (size32 && size16 == uint16_t{0xFFFF}) {
        uint64_t amount = *size32 & 0x7FFFFFFFu;
        return (*size32 & 0x80000000u) ? amount * 64 : amount;
    }
    if (!size16) return std::nullopt;
    uint64_t amount = *size16 & 0x7FFFu;
    return (*size16 & 0x8000u) ? amount * 64 : amount;
}

CacheInfo DecodeCache(const Structure& s) {
    CacheInfo c;
    c.handle = s.handle;
    c.socketDesignation = s.String(0x04);
    c.configuration = s.Word(0x05);
    if (c.configuration) {
        uint16_t cfg = *c.configuration;
        c.level = (cfg & 0x7) + 1;
        c.socketed = (cfg & 0x8) != 0;
        c.location = static_cast<uint8_t>((cfg >> 5) & 0x3);
        c.enabled = (cfg & 0x80) != 0;
        c.operationalMode = static_cast<uint8_t>((cfg >> 8) & 0x3);
    }
    c.maxSizeKB = CacheSizeKB(s.Word(0x07), s.Dword(0x13));
    c.installedSizeKB = CacheSizeKB(s.Word(0x09), s.Dword(0x17));
    c.supportedSram = s.Word(0x0B);
    c.currentSram = s.Word(0x0D);
    c.speedNs = Unless(s.Byte(0x0F), uint8_t{0});
    c.errorCorrection = s.Byte(0x10);
    c.systemCacheType = s.Byte(0x11);
    c.associativity = s.Byte(0x12);
    return c;
}

SlotInfo DecodeSlot(const Structure& s) {
    SlotInfo slot;
    slot.designation = s.String(0x04);
    slot.slotType = s.Byte(0x05);
    slot.dataBusWidth = s.Byte(0x06);
    slot.currentUsage = s.Byte(0x07);
    slot.slotLength = s.Byte(0x08);
    slot.slotId = s.Word(0x09);
    slot.characteristics1 = s.Byte(0x0B);
    slot.characteristics2 = s.Byte(0x0C);
    slot.segmentGroup = Unless(s.Word(0x0D), uint16_t{0xFFFF});
    slot.busNumber = Unless(s.Byte(0x0F), uint8_t{0xFF});
    if (auto devfn = Unless(s.Byte(0x10), uint8_t{0xFF})) {
        slot.deviceNumber = static_cast<uint8_t>(*devfn >> 3);
        slot.functionNumber = static_cast<uint8_t>(*devfn & 0x7);
    }
    return slot;
}

MemoryArrayInfo DecodeMemoryArray(const Structure& s) {
    MemoryArrayInfo a;
    a.handle = s.handle;
    a.location = s.Byte(0x04);
    a.use = s.Byte(0x05);
    a.errorCorrection = s.Byte(0x06);
    if (auto max = s.Dword(0x07)) {
        if (*max != 0x80000000u) {
            a.maxCapacityKB = *max;
        } else if (auto extended = s.Qword(0x0F)) {
            a.maxCapacityKB = *extended / 1024;  // the extended field counts bytes
        }
    }
    a.errorInfoHandle = Unless(Unless(s.Word(0x0B), uint16_t{0xFFFE}), uint16_t{0xFFFF});
    a.deviceCount = s.Word(0x0D);
    return a;
}

MemoryDeviceInfo DecodeMemoryDevice(const Structure& s) {
    MemoryDeviceInfo d;
    d.handle = s.handle;
    d.arrayHandle = s.Word(0x04);
    d.errorInfoHandle = Unless(Unless(s.Word(0x06), uint16_t{0xFFFE}), uint16_t{0xFFFF});
    d.totalWidth = Unless(s.Word(0x08), uint16_t{0xFFFF});
    d.dataWidth = Unless(s.Word(0x0A), uint16_t{0xFFFF});
    if (auto size = s.Word(0x0C)) {
        d.installed = *size != 0;
        if (*size == 0x7FFF) {
            if (auto ext = s.Dword(0x1C)) d.sizeBytes = static_cast<uint64_t>(*ext & 0x7FFFFFFFu) << 20;
        } else if (*size != 0 && *size != 0xFFFF) {
            uint64_t amount = *size & 0x7FFFu;
            d.sizeBytes = (*size & 0x8000u) ? amount << 10 : amount << 20;  // bit 15: KB, else MB
        }
    }
    d.formFactor = s.Byte(0x0E);
    d.deviceSet = Unless(Unless(s.Byte(0x0F), uint8_t{0}), uint8_t{0xFF});
    d.deviceLocator = s.String(0x10);
    d.bankLocator = s.String(0x11);
    d.memoryType = s.Byte(0x12);
    d.typeDetail = s.Word(0x13);
    auto speed = [&](size_t wordOffset, size_t dwordOffset) -> std::optional<uint32_t> {
        auto w = s.Word(wordOffset);
        if (!w || *w == 0) return std::nullopt;
        if (*w == 0xFFFF) {
            auto ext = s.Dword(dwordOffset);
            if (!ext || (*ext & 0x7FFFFFFFu) == 0) return std::nullopt;
            return *ext & 0x7FFFFFFFu;
        }
        return *w;
    };
    d.speedMTs = speed(0x15, 0x54);
    d.manufacturer = s.String(0x17);
    d.serialNumber = s.String(0x18);
    d.assetTag = s.String(0x19);
    d.partNumber = s.String(0x1A);
    if (auto attributes = s.Byte(0x1B); attributes && (*attributes & 0x0F) != 0)
        d.rank = static_cast<uint8_t>(*attributes & 0x0F);
    d.configuredSpeedMTs = speed(0x20, 0x58);
    d.minVoltageMv = Unless(s.Word(0x22), uint16_t{0});
    d.maxVoltageMv = Unless(s.Word(0x24), uint16_t{0});
    d.configuredVoltageMv = Unless(s.Word(0x26), uint16_t{0});
    d.technology = s.Byte(0x28);
    d.operatingModeCapability = s.Word(0x29);
    d.firmwareVersion = s.String(0x2B);
    d.moduleManufacturerId = Unless(s.Word(0x2C), uint16_t{0});
    d.moduleProductId = Unless(s.Word(0x2E), uint16_t{0});
    d.controllerManufacturerId = Unless(s.Word(0x30), uint16_t{0});
    d.controllerProductId = Unless(s.Word(0x32), uint16_t{0});
    // 0xFFFFFFFFFFFFFFFF marks an unknown size in these fields.
    d.nonVolatileSize = Unless(s.Qword(0x34), ~uint64_t{0});
    d.volatileSize = Unless(s.Qword(0x3C), ~uint64_t{0});
    d.cacheSize = Unless(s.Qword(0x44), ~uint64_t{0});
    d.logicalSize = Unless(s.Qword(0x4C), ~uint64_t{0});
    return d;
}

LanguageInfo DecodeLanguage(const Structure& s) {
    LanguageInfo l;
    l.installableLanguages = s.Byte(0x04);
    l.flags = s.Byte(0x05);
    size_t count = std::min<size_t>(l.installableLanguages.value_or(0), s.strings.size());
    for (size_t n = 1; n <= count; ++n)
        if (auto text = s.StringAt(n)) l.languages.push_back(*text);
    l.currentLanguage = s.String(0x15);
    return l;
}

std::vector<std::string> DecodeStringList(const Structure& s) {
    std::vector<std::string> out;
    size_t count = std::min<size_t>(s.Byte(0x04).value_or(0), s.strings.size());
    for (size_t n = 1; n <= count; ++n)
        if (auto text = s.StringAt(n)) out.push_back(*text);
    return out;
}

SystemResetInfo DecodeSystemReset(const Structure& s) {
    SystemResetInfo r;
    r.capabilities = s.Byte(0x04);
    r.resetCount = Unless(s.Word(0x05), uint16_t{0xFFFF});
    r.resetLimit = Unless(s.Word(0x07), uint16_t{0xFFFF});
    r.timerInterval = Unless(s.Word(0x09), uint16_t{0xFFFF});
    r.timeout = Unless(s.Word(0x0B), uint16_t{0xFFFF});
    return r;
}

}  // namespace

SmbiosData DecodeStructures(const WalkResult& walk, std::optional<int> major, std::optional<int> minor) {
    SmbiosData d;
    d.fromTables = true;
    d.major = major;
    d.minor = minor;
    d.corrupt = walk.corrupt;
    for (const Structure& s : walk.structures) {
        switch (s.type) {
            case 0:
                if (!d.bios) d.bios = DecodeBios(s);
                break;
            case 1:
                if (!d.system) d.system = DecodeSystem(s, major, minor);
                break;
            case 2:
                d.baseBoards.push_back(DecodeBaseBoard(s));
                break;
            case 3:
                d.chassis.push_back(DecodeChassis(s));
                break;
            case 4:
                d.processors.push_back(DecodeProcessor(s));
                break;
            case 7:
                d.caches.push_back(DecodeCache(s));
                break;
            case 9:
                d.slots.push_back(DecodeSlot(s));
                break;
            case 11:
                for (auto& text : DecodeStringList(s)) d.oemStrings.push_back(std::move(text));
                break;
            case 12:
                for (auto& text : DecodeStringList(s)) d.configOptions.push_back(std::move(text));
                break;
            case 13:
                if (!d.language) d.language = DecodeLanguage(s);
                break;
            case 16:
                d.memoryArrays.push_back(DecodeMemoryArray(s));
                break;
            case 17:
                d.memoryDevices.push_back(DecodeMemoryDevice(s));
                break;
            case 23:
                if (!d.systemReset) d.systemReset = DecodeSystemReset(s);
                break;
            case 24:
                if (!d.hardwareSecurity) d.hardwareSecurity = HardwareSecurityInfo{s.Byte(0x04)};
                break;
            default:
                break;
        }
    }
    return d;
}

std::optional<SmbiosData> ParseSmbios(Bytes entryPoint, Bytes table) {
    auto ep = ParseEntryPoint(entryPoint);
    if (!ep) return std::nullopt;
    Bytes bounded = table.first(std::min<size_t>(table.size(), ep->tableLength));
    WalkResult walk = WalkStructures(bounded, ep->structureCount ? *ep->structureCount : SIZE_MAX);
    return DecodeStructures(walk, ep->major, ep->minor);
}

namespace {

constexpr const char* kDmiId = "/sys/class/dmi/id/";

std::optional<std::string> DmiId(const SystemRoot& root, const char* name) {
    return root.ReadAttribute(std::string(kDmiId) + name);
}

std::optional<uint8_t> DmiIdNumber(const SystemRoot& root, const char* name) {
    auto value = ReadUnsigned(root, std::string(kDmiId) + name);
    if (!value || *value > 255) return std::nullopt;
    return static_cast<uint8_t>(*value);
}

// "major.minor" as the kernel writes bios_release and ec_firmware_release.
void DmiIdRelease(const SystemRoot& root, const char* name, std::optional<uint8_t>& major,
                  std::optional<uint8_t>& minor) {
    auto text = DmiId(root, name);
    unsigned a = 0, b = 0;
    char extra = 0;
    if (text && std::sscanf(text->c_str(), "%3u.%3u%c", &a, &b, &extra) == 2 && a < 255 && b < 255) {
        major = static_cast<uint8_t>(a);
        minor = static_cast<uint8_t>(b);
    }
}

SmbiosData ReadDmiId(const SystemRoot& root) {
    SmbiosData d;
    if (!root.IsDirectory(kDmiId)) return d;
    BiosInfo bios;
    bios.vendor = DmiId(root, "bios_vendor");
    bios.version = DmiId(root, "bios_version");
    bios.releaseDate = DmiId(root, "bios_date");
    DmiIdRelease(root, "bios_release", bios.biosMajor, bios.biosMinor);
    DmiIdRelease(root, "ec_firmware_release", bios.ecMajor, bios.ecMinor);
    if (bios.vendor || bios.version || bios.releaseDate) d.bios = bios;

    SystemInfo sys;
    sys.manufacturer = DmiId(root, "sys_vendor");
    sys.productName = DmiId(root, "product_name");
    sys.version = DmiId(root, "product_version");
    sys.serialNumber = DmiId(root, "product_serial");
    sys.uuid = DmiId(root, "product_uuid");
    if (sys.uuid)
        for (char& c : *sys.uuid) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    sys.skuNumber = DmiId(root, "product_sku");
    sys.family = DmiId(root, "product_family");
    if (sys.manufacturer || sys.productName || sys.version || sys.uuid || sys.family) d.system = sys;

    BaseBoardInfo board;
    board.manufacturer = DmiId(root, "board_vendor");
    board.product = DmiId(root, "board_name");
    board.version = DmiId(root, "board_version");
    board.serialNumber = DmiId(root, "board_serial");
    board.assetTag = DmiId(root, "board_asset_tag");
    if (board.manufacturer || board.product || board.version) d.baseBoards.push_back(board);

    ChassisInfo chassis;
    chassis.manufacturer = DmiId(root, "chassis_vendor");
    chassis.type = DmiIdNumber(root, "chassis_type");
    chassis.version = DmiId(root, "chassis_version");
    chassis.serialNumber = DmiId(root, "chassis_serial");
    chassis.assetTag = DmiId(root, "chassis_asset_tag");
    if (chassis.manufacturer || chassis.type || chassis.version) d.chassis.push_back(chassis);
    return d;
}

std::vector<uint8_t> AsBytes(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

SmbiosData ReadSmbios(const SystemRoot& root, SourceNotes* notes) {
    constexpr const char* kEntryPoint = "/sys/firmware/dmi/tables/smbios_entry_point";
    constexpr const char* kTable = "/sys/firmware/dmi/tables/DMI";
    auto entry = root.ReadFile(kEntryPoint, 4096);
    auto table = root.ReadFile(kTable, 16u << 20);
    if (entry && table) {
        std::vector<uint8_t> e = AsBytes(*entry), t = AsBytes(*table);
        if (auto parsed = ParseSmbios(e, t)) return *parsed;
    } else if (notes) {
        const int error = root.ReadError(entry ? kTable : kEntryPoint);
        if (IsDeniedError(error)) notes->Add(NoteCause::NeedsPrivilege, "/sys/firmware/dmi/tables");
        // No firmware tables: a virtual machine without them, a board without SMBIOS.
        if (error == ENOENT) notes->Add(NoteCause::NoSource, "SMBIOS tables (/sys/firmware/dmi/tables)");
    }
    return ReadDmiId(root);
}

namespace {

// Processor family codes whose ID holds an x86 signature, by maker (the
// SMBIOS family table, as dmidecode groups it).
struct FamilyRange {
    uint16_t first, last;
    bool intel;
};
constexpr FamilyRange kX86Families[] = {
    {0x0B, 0x15, true},  {0x28, 0x2F, true},  {0xA1, 0xB3, true},  {0xB5, 0xB5, true},
    {0xB9, 0xC7, true},  {0xCD, 0xCF, true},  {0xD2, 0xDB, true},  {0xDD, 0xE0, true},
    {0x18, 0x1D, false}, {0x1F, 0x1F, false}, {0x38, 0x3F, false}, {0x46, 0x4F, false},
    {0x66, 0x6B, false}, {0x83, 0x8F, false}, {0xB6, 0xB7, false}, {0xE4, 0xEF, false},
};
// Version strings of processors that firmware files under family "Other"
// or "Unknown" although they answer CPUID.
struct KnownVersion {
    const char* prefix;
    bool intel;
    bool whole;  // the string must be exactly this
};
constexpr KnownVersion kX86Versions[] = {
    {"Pentium III MMX", true, false},
    {"Intel(R) Core(TM)2", true, false},
    {"Intel(R) Pentium(R)", true, false},
    {"Genuine Intel(R) CPU U1400", true, true},
    {"AMD Athlon(TM)", false, false},
    {"AMD Opteron(tm)", false, false},
    {"Dual-Core AMD Opteron(tm)", false, false},
};

std::optional<bool> X86Maker(const ProcessorInfo& p) {
    if (!p.family) return std::nullopt;
    for (const auto& range : kX86Families)
        if (*p.family >= range.first && *p.family <= range.last) return range.intel;
    if ((*p.family == 0x01 || *p.family == 0x02) && p.version)
        for (const auto& known : kX86Versions)
            if (known.whole ? *p.version == known.prefix : p.version->starts_with(known.prefix)) return known.intel;
    return std::nullopt;
}

}  // namespace

std::optional<X86Signature> DecodeX86Signature(const ProcessorInfo& processor) {
    const auto intel = X86Maker(processor);
    if (!intel || !processor.processorId) return std::nullopt;
    const auto eax = static_cast<uint32_t>(*processor.processorId);
    if (eax == 0) return std::nullopt;
    const uint32_t baseFamily = (eax >> 8) & 0xF, baseModel = (eax >> 4) & 0xF;
    const uint32_t extFamily = (eax >> 20) & 0xFF, extModel = (eax >> 16) & 0xF;
    X86Signature s;
    s.intel = *intel;
    s.stepping = eax & 0xF;
    // Intel adds the extended fields as they stand; AMD only past family 0Fh.
    const bool extended = *intel || baseFamily == 0xF;
    s.family = baseFamily + (extended ? extFamily : 0);
    s.model = baseModel | (extended ? extModel << 4 : 0);
    return s;
}

std::optional<std::string> BiosDateToCim(const std::string& date) {
    unsigned month = 0, day = 0, year = 0;
    int consumed = 0;
    if (std::sscanf(date.c_str(), "%2u/%2u/%4u%n", &month, &day, &year, &consumed) != 3) return std::nullopt;
    if (static_cast<size_t>(consumed) != date.size()) return std::nullopt;
    size_t yearDigits = date.size() - date.rfind('/') - 1;
    if (yearDigits == 2)
        year += 1900;  // two-digit years predate the 2.3 rule of four digits
    else if (yearDigits != 4)
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u000000.000000+000", year, month, day);
    return std::string(text);
}

}  // namespace cimv2::smbios
