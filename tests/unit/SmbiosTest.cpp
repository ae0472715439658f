#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "cimv2/sources/Smbios.h"

using namespace cimv2;
using namespace cimv2::smbios;

namespace {

using ByteVec = std::vector<uint8_t>;

// Body bytes written little-endian, as SMBIOS stores them.
struct Body {
    ByteVec bytes;
    Body& U8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    Body& U16(uint16_t v) { return U8(v & 0xFF).U8(static_cast<uint8_t>(v >> 8)); }
    Body& U32(uint32_t v) { return U16(v & 0xFFFF).U16(static_cast<uint16_t>(v >> 16)); }
    Body& U64(uint64_t v) { return U32(v & 0xFFFFFFFF).U32(static_cast<uint32_t>(v >> 32)); }
    Body& Raw(const ByteVec& v) {
        bytes.insert(bytes.end(), v.begin(), v.end());
        return *this;
    }
};

ByteVec Struct(uint8_t type, uint16_t handle, const Body& body, const std::vector<std::string>& strings = {}) {
    ByteVec out = {type, static_cast<uint8_t>(4 + body.bytes.size()), static_cast<uint8_t>(handle & 0xFF),
                   static_cast<uint8_t>(handle >> 8)};
    out.insert(out.end(), body.bytes.begin(), body.bytes.end());
    for (const auto& s : strings) {
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
    }
    if (strings.empty()) out.push_back(0);
    out.push_back(0);
    return out;
}

ByteVec Concat(std::initializer_list<ByteVec> parts) {
    ByteVec out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

ByteVec BiosStruct() {
    return Struct(0, 0,
                  Body()
                      .U8(1)
                      .U8(2)
                      .U16(0xF000)
                      .U8(3)
                      .U8(0x3F)
                      .U64((1ull << 7) | (1ull << 11) | (1ull << 50))
                      .U8(0x01)
                      .U8(0x08)
                      .U8(2)
                      .U8(15)
                      .U8(0xFF)
                      .U8(0xFF),
                  {"Dell Inc.", "A12", "06/26/2014"});
}

ByteVec SystemStruct() {
    Body b;
    b.U8(1).U8(2).U8(0).U8(3);
    b.Raw({0x44, 0x45, 0x4C, 0x4C, 0x33, 0x00, 0x10, 0x48, 0x80, 0x36, 0xB4, 0xC0, 0x4F, 0x4A, 0x59, 0x31});
    b.U8(6).U8(0).U8(0);
    return Struct(1, 1, b, {"Dell Inc.", "OptiPlex 9020", "4JY1MX1"});
}

ByteVec End() { return Struct(127, 0xFEFF, Body()); }

ByteVec EntryPoint3(uint32_t maxSize) {
    Body b;
    b.Raw({'_', 'S', 'M', '3', '_'}).U8(0).U8(0x18).U8(3).U8(2).U8(0).U8(1).U8(0).U32(maxSize).U64(0x7AEB0000);
    uint8_t sum = 0;
    for (uint8_t v : b.bytes) sum = static_cast<uint8_t>(sum + v);
    b.bytes[5] = static_cast<uint8_t>(-sum);
    return b.bytes;
}

ByteVec EntryPoint2(uint16_t tableLength, uint16_t count) {
    Body b;
    b.Raw({'_', 'S', 'M', '_'}).U8(0).U8(0x1F).U8(2).U8(8).U16(0x80).U8(0).Raw({0, 0, 0, 0, 0});
    b.Raw({'_', 'D', 'M', 'I', '_'}).U8(0).U16(tableLength).U32(0xF0000).U16(count).U8(0x28);
    uint8_t inner = 0;
    for (size_t n = 0x10; n < 0x1F; ++n) inner = static_cast<uint8_t>(inner + b.bytes[n]);
    b.bytes[0x15] = static_cast<uint8_t>(-inner);
    uint8_t outer = 0;
    for (uint8_t v : b.bytes) outer = static_cast<uint8_t>(outer + v);
    b.bytes[4] = static_cast<uint8_t>(-outer);
    return b.bytes;
}

}  // namespace

TEST(Smbios, ParsesVersion3EntryPointAndTable) {
    ByteVec table = Concat({BiosStruct(), SystemStruct(), End()});
    auto data = ParseSmbios(EntryPoint3(static_cast<uint32_t>(table.size())), table);
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->fromTables);
    EXPECT_FALSE(data->corrupt);
    EXPECT_EQ(data->major, 3);
    EXPECT_EQ(data->minor, 2);
    ASSERT_TRUE(data->bios);
    EXPECT_EQ(data->bios->vendor, "Dell Inc.");
    EXPECT_EQ(data->bios->version, "A12");
    EXPECT_EQ(data->bios->releaseDate, "06/26/2014");
    EXPECT_EQ(data->bios->romSizeKB, 64u * 64u);
    EXPECT_EQ(data->bios->characteristics, (1ull << 7) | (1ull << 11) | (1ull << 50));
    EXPECT_EQ(data->bios->extension2, 0x08);
    EXPECT_EQ(data->bios->biosMajor, 2);
    EXPECT_EQ(data->bios->biosMinor, 15);
    EXPECT_FALSE(data->bios->ecMajor);  // 0xFF: no embedded controller
    ASSERT_TRUE(data->system);
    EXPECT_EQ(data->system->productName, "OptiPlex 9020");
    EXPECT_FALSE(data->system->version);  // string index 0
    EXPECT_EQ(data->system->uuid, "4C4C4544-0033-4810-8036-B4C04F4A5931");
    EXPECT_EQ(data->system->wakeUpType, 6);
}

TEST(Smbios, ParsesVersion2EntryPointAndHonoursItsCounts) {
    ByteVec table = Concat({BiosStruct(), SystemStruct(), End()});
    // The entry point counts one structure: the system structure is not read.
    auto data = ParseSmbios(EntryPoint2(static_cast<uint16_t>(table.size()), 1), table);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->major, 2);
    EXPECT_EQ(data->minor, 8);
    EXPECT_TRUE(data->bios);
    EXPECT_FALSE(data->system);
    // A table length shorter than the file bounds the walk too.
    auto shortened = ParseSmbios(EntryPoint2(static_cast<uint16_t>(BiosStruct().size()), 3), table);
    ASSERT_TRUE(shortened);
    EXPECT_TRUE(shortened->bios);
    EXPECT_FALSE(shortened->system);
}

TEST(Smbios, RejectsBadEntryPoints) {
    ByteVec table = Concat({BiosStruct(), End()});
    struct Case {
        const char* name;
        ByteVec entry;
    };
    std::vector<Case> cases;
    ByteVec e3 = EntryPoint3(static_cast<uint32_t>(table.size()));
    ByteVec e2 = EntryPoint2(static_cast<uint16_t>(table.size()), 2);
    cases.push_back({"empty", {}});
    cases.push_back({"wrong anchor", [&] {
                         auto e = e3;
                         e[1] = 'X';
                         return e;
                     }()});
    cases.push_back({"3.x checksum", [&] {
                         auto e = e3;
                         e[0x08] ^= 1;
                         return e;
                     }()});
    cases.push_back({"3.x length too small", [&] {
                         auto e = e3;
                         e[6] = 0x10;
                         return e;
                     }()});
    cases.push_back({"3.x length past buffer", [&] {
                         auto e = e3;
                         e[6] = 0x40;
                         return e;
                     }()});
    cases.push_back({"3.x truncated", ByteVec(e3.begin(), e3.begin() + 20)});
    cases.push_back({"2.x checksum", [&] {
                         auto e = e2;
                         e[0x07] ^= 1;
                         return e;
                     }()});
    cases.push_back({"2.x length", [&] {
                         auto e = e2;
                         e[5] = 0x20;
                         return e;
                     }()});
    cases.push_back({"2.x intermediate anchor", [&] {
                         auto e = e2;
                         e[0x11] = 'X';
                         return e;
                     }()});
    cases.push_back({"2.x intermediate checksum", [&] {
                         auto e = e2;
                         e[0x16] ^= 1;
                         return e;
                     }()});
    cases.push_back({"2.x truncated", ByteVec(e2.begin(), e2.begin() + 0x1A)});
    for (const auto& c : cases) EXPECT_FALSE(ParseSmbios(c.entry, table)) << c.name;
    EXPECT_TRUE(ParseSmbios(e3, table));
    EXPECT_TRUE(ParseSmbios(e2, table));
}

TEST(Smbios, WalkSurvivesCorruptTables) {
    ByteVec good = BiosStruct();
    struct Case {
        const char* name;
        ByteVec table;
        size_t structures;
        bool corrupt;
    };
    std::vector<Case> cases = {
        {"clean with end marker", Concat({good, End(), good}), 2, false},
        {"length past the end", Concat({good, ByteVec{2, 0x40, 1, 0, 1, 2, 3, 0, 0}}), 1, true},
        {"header shorter than 4", Concat({good, ByteVec{2, 3, 1, 0, 0, 0}}), 1, true},
        {"zero length", Concat({good, ByteVec{2, 0, 0, 0, 0, 0}}), 1, true},
        {"missing string terminator", Concat({good, ByteVec{2, 5, 1, 0, 1, 'a', 'b', 'c'}}), 2, true},
        {"terminator cut to one byte", Concat({good, ByteVec{2, 5, 1, 0, 1, 0}}), 2, true},
        {"trailing bytes under a header", Concat({good, ByteVec{1, 2}}), 1, false},
        {"empty table", {}, 0, false},
    };
    for (const auto& c : cases) {
        WalkResult walk = WalkStructures(c.table);
        EXPECT_EQ(walk.structures.size(), c.structures) << c.name;
        EXPECT_EQ(walk.corrupt, c.corrupt) << c.name;
    }
    // The unterminated structure keeps its formatted fields, but none of its strings.
    WalkResult walk = WalkStructures(Concat({good, ByteVec{2, 6, 7, 0, 1, 0x09, 'a', 'b'}}));
    ASSERT_EQ(walk.structures.size(), 2u);
    EXPECT_EQ(walk.structures[1].handle, 7);
    EXPECT_EQ(walk.structures[1].Byte(5), 0x09);
    EXPECT_FALSE(walk.structures[1].String(4));
    EXPECT_FALSE(walk.structures[1].Byte(6));
}

TEST(Smbios, FieldsOutsideTheStructureAreNull) {
    // A base board structure of an old layout: only its four strings.
    ByteVec table = Concat({Struct(2, 2, Body().U8(1).U8(2).U8(9).U8(0), {"ASUSTeK", "P8H61"}), End()});
    WalkResult walk = WalkStructures(table);
    ASSERT_EQ(walk.structures.size(), 2u);
    const Structure& s = walk.structures[0];
    EXPECT_EQ(s.String(4), "ASUSTeK");
    EXPECT_FALSE(s.String(6)) << "index 9 is past the two strings";
    EXPECT_FALSE(s.String(7)) << "index 0 means no string";
    EXPECT_FALSE(s.Byte(8));
    EXPECT_FALSE(s.Word(7));
    EXPECT_FALSE(s.Dword(6));
    EXPECT_FALSE(s.Qword(1));
    SmbiosData data = DecodeStructures(walk, 3, 0);
    ASSERT_EQ(data.baseBoards.size(), 1u);
    EXPECT_EQ(data.baseBoards[0].product, "P8H61");
    EXPECT_FALSE(data.baseBoards[0].version);
    EXPECT_FALSE(data.baseBoards[0].featureFlags);
}

TEST(Smbios, DecodesCacheSizesAndConfiguration) {
    struct Case {
        uint16_t config, size16;
        std::optional<uint32_t> size32;
        int level;
        uint8_t mode;
        uint64_t kb;
    };
    const Case cases[] = {
        {0x0180, 0x0020, std::nullopt, 1, 1, 32},          // 1 KB granularity
        {0x0281, 0x8008, std::nullopt, 2, 2, 512},         // 64 KB granularity
        {0x0182, 0xFFFF, 0x80001000u, 3, 1, 0x1000 * 64},  // 3.1 field, 64 KB granularity
        {0x0082, 0xFFFF, 0x00004000u, 3, 0, 0x4000},       // 3.1 field, 1 KB granularity
    };
    for (const auto& c : cases) {
        Body b;
        b.U8(1).U16(c.config).U16(c.size16).U16(c.size16).U16(0x20).U16(0x20).U8(0).U8(6).U8(5).U8(8);
        if (c.size32) b.U32(*c.size32).U32(*c.size32);
        WalkResult walk = WalkStructures(Struct(7, 9, b, {"L2 Cache"}));
        SmbiosData data = DecodeStructures(walk, 3, 2);
        ASSERT_EQ(data.caches.size(), 1u);
        const CacheInfo& cache = data.caches[0];
        EXPECT_EQ(cache.level, c.level) << c.config;
        EXPECT_EQ(cache.operationalMode, c.mode) << c.config;
        EXPECT_EQ(cache.enabled, (c.config & 0x80) != 0);
        EXPECT_EQ(cache.maxSizeKB, c.kb) << c.config;
        EXPECT_EQ(cache.installedSizeKB, c.kb) << c.config;
        EXPECT_EQ(cache.socketDesignation, "L2 Cache");
        EXPECT_FALSE(cache.speedNs);
    }
}

TEST(Smbios, DecodesMemoryDeviceSizesAndSpeeds) {
    struct Case {
        uint16_t size;
        uint32_t extendedSize;
        uint16_t speed;
        uint32_t extendedSpeed;
        bool installed;
        std::optional<uint64_t> bytes;
        std::optional<uint32_t> mts;
    };
    const Case cases[] = {
        {0x4000, 0, 3200, 0, true, 16ull << 30, 3200},              // MB
        {0x8000 | 512, 0, 0, 0, true, 512ull << 10, std::nullopt},  // KB granularity, speed unknown
        {0x7FFF, 65536, 0xFFFF, 70000, true, 64ull << 30, 70000},   // extended size and speed
        {0, 0, 0, 0, false, std::nullopt, std::nullopt},            // empty socket
        {0xFFFF, 0, 2400, 0, true, std::nullopt, 2400},             // size unknown
    };
    for (const auto& c : cases) {
        Body b;
        b.U16(0x30).U16(0xFFFE).U16(72).U16(64).U16(c.size).U8(0x09).U8(0).U8(1).U8(2).U8(0x1A).U16(0x80);
        b.U16(c.speed).U8(0).U8(0).U8(0).U8(0).U8(0x02).U32(c.extendedSize).U16(c.speed);
        b.U16(1200).U16(1200).U16(1200).U8(3).U16(0).U8(0).U16(0).U16(0).U16(0).U16(0);
        b.U64(0).U64(16ull << 30).U64(0).U64(~0ull).U32(c.extendedSpeed).U32(c.extendedSpeed);
        SmbiosData data = DecodeStructures(WalkStructures(Struct(17, 0x31, b, {"DIMM_A1", "BANK 0"})), 3, 7);
        ASSERT_EQ(data.memoryDevices.size(), 1u);
        const MemoryDeviceInfo& d = data.memoryDevices[0];
        EXPECT_EQ(d.installed, c.installed) << c.size;
        EXPECT_EQ(d.sizeBytes, c.bytes) << c.size;
        EXPECT_EQ(d.speedMTs, c.mts) << c.size;
        EXPECT_EQ(d.configuredSpeedMTs, c.mts) << c.size;
        EXPECT_EQ(d.deviceLocator, "DIMM_A1");
        EXPECT_EQ(d.bankLocator, "BANK 0");
        EXPECT_EQ(d.rank, 2);
        EXPECT_EQ(d.totalWidth, 72);
        EXPECT_EQ(d.memoryType, 0x1A);
        EXPECT_EQ(d.volatileSize, 16ull << 30);
        EXPECT_EQ(d.nonVolatileSize, 0u);
        EXPECT_FALSE(d.logicalSize) << "all ones: unknown";
        EXPECT_FALSE(d.errorInfoHandle) << "0xFFFE: no error information";
    }
}

TEST(Smbios, DecodesProcessorCountsAndFamily) {
    Body b;
    b.U8(1).U8(3).U8(0xFE).U8(2).U64(0x000306C3BFEBFBFFull).U8(3).U8(0x8B).U16(100).U16(4400).U16(3400);
    b.U8(0x41).U8(0x2D).U16(0x0005).U16(0x0006).U16(0xFFFF).U8(0).U8(0).U8(0).U8(0xFF).U8(0xFF).U8(0xFF);
    b.U16(0xFC).U16(0x0200).U16(300).U16(300).U16(600).U16(600);
    SmbiosData data = DecodeStructures(WalkStructures(Struct(4, 4, b, {"CPU0", "Intel(R) Corporation", "Xeon"})), 3, 6);
    ASSERT_EQ(data.processors.size(), 1u);
    const ProcessorInfo& p = data.processors[0];
    EXPECT_EQ(p.family, 0x0200) << "0xFE defers to the family 2 word";
    EXPECT_EQ(p.coreCount, 300);
    EXPECT_EQ(p.threadCount, 600);
    EXPECT_EQ(p.threadEnabled, 600);
    EXPECT_EQ(p.l2CacheHandle, 6);
    EXPECT_FALSE(p.l3CacheHandle);
    EXPECT_EQ(p.maxSpeedMHz, 4400);
    EXPECT_EQ(p.manufacturer, "Intel(R) Corporation");
}

TEST(Smbios, ConvertsBiosDates) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"06/26/2014", "20140626000000.000000+000"},
        {"11/08/22", "19221108000000.000000+000"},
        {"1/2/2003", "20030102000000.000000+000"},
        {"13/01/2014", std::nullopt},
        {"06/26/2014x", std::nullopt},
        {"2014-06-26", std::nullopt},
        {"06/26/123", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(BiosDateToCim(text), expected) << text;
}

TEST(Smbios, FallsBackToDmiIdFiles) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("sysquill-dmi-" + std::to_string(::getpid()));
    fs::create_directories(dir / "sys/class/dmi/id");
    const std::pair<const char*, const char*> files[] = {
        {"bios_vendor", "LENOVO\n"},    {"bios_version", "N2HET63W (1.46 )\n"},
        {"bios_date", "02/24/2022\n"},  {"bios_release", "1.46\n"},
        {"board_name", "20QDS3E200\n"}, {"chassis_type", "10\n"},
        {"sys_vendor", "LENOVO\n"},     {"product_uuid", "4c4c4544-0033-4810-8036-b4c04f4a5931\n"},
    };
    for (const auto& [name, text] : files) std::ofstream(dir / "sys/class/dmi/id" / name) << text;
    // The tables exist but are unreadable garbage: the entry point fails its checks.
    fs::create_directories(dir / "sys/firmware/dmi/tables");
    std::ofstream(dir / "sys/firmware/dmi/tables/smbios_entry_point") << "_SM3_ garbage";
    std::ofstream(dir / "sys/firmware/dmi/tables/DMI") << "x";

    SmbiosData data = ReadSmbios(SystemRoot(dir.string()));
    fs::remove_all(dir);
    EXPECT_FALSE(data.fromTables);
    EXPECT_FALSE(data.major);
    ASSERT_TRUE(data.bios);
    EXPECT_EQ(data.bios->version, "N2HET63W (1.46 )");
    EXPECT_EQ(data.bios->biosMajor, 1);
    EXPECT_EQ(data.bios->biosMinor, 46);
    ASSERT_EQ(data.baseBoards.size(), 1u);
    EXPECT_EQ(data.baseBoards[0].product, "20QDS3E200");
    EXPECT_FALSE(data.baseBoards[0].serialNumber) << "board_serial is root only and absent here";
    ASSERT_EQ(data.chassis.size(), 1u);
    EXPECT_EQ(data.chassis[0].type, 10);
    ASSERT_TRUE(data.system);
    EXPECT_EQ(data.system->uuid, "4C4C4544-0033-4810-8036-B4C04F4A5931");
}

TEST(Smbios, NoSourceGivesEmptyData) {
    SmbiosData data = ReadSmbios(SystemRoot("/nonexistent-sysquill-root"));
    EXPECT_TRUE(data.Empty());
    EXPECT_FALSE(data.fromTables);
}

TEST(Smbios, PhysicalFixtureHoldsProcessorCachesAndMemory) {
    SmbiosData data = ReadSmbios(SystemRoot(std::string(SYSQUILL_FIXTURES) + "/physical-desktop/tree"));
    ASSERT_TRUE(data.fromTables);
    EXPECT_FALSE(data.corrupt);
    ASSERT_EQ(data.processors.size(), 1u);
    const ProcessorInfo& cpu = data.processors[0];
    EXPECT_EQ(cpu.version, "AMD Ryzen 7 5800X 8-Core Processor");
    EXPECT_EQ(cpu.coreCount, 8);
    EXPECT_EQ(cpu.threadCount, 16);
    EXPECT_EQ(cpu.currentSpeedMHz, 3800);
    // The processor's cache handles name the type 7 structures of L1, L2 and L3.
    ASSERT_EQ(data.caches.size(), 4u);
    const std::pair<std::optional<uint16_t>, int> links[] = {
        {cpu.l1CacheHandle, 1}, {cpu.l2CacheHandle, 2}, {cpu.l3CacheHandle, 3}};
    for (const auto& [handle, level] : links) {
        auto it = std::find_if(data.caches.begin(), data.caches.end(),
                               [&, wanted = handle](const CacheInfo& c) { return wanted && c.handle == *wanted; });
        ASSERT_NE(it, data.caches.end()) << level;
        EXPECT_EQ(it->level, level);
    }
    ASSERT_EQ(data.memoryArrays.size(), 1u);
    EXPECT_EQ(data.memoryArrays[0].maxCapacityKB, 128ull << 20);
    EXPECT_EQ(data.memoryArrays[0].deviceCount, 4);
    ASSERT_EQ(data.memoryDevices.size(), 4u);
    uint64_t installed = 0;
    for (const auto& d : data.memoryDevices) {
        EXPECT_EQ(d.arrayHandle, data.memoryArrays[0].handle);
        if (d.installed) installed += d.sizeBytes.value_or(0);
        EXPECT_EQ(d.installed, d.speedMTs.has_value()) << d.deviceLocator.value_or("?");
    }
    EXPECT_EQ(installed, 32ull << 30);
}

TEST(Smbios, ReadsTheX86SignatureOfTheProcessorId) {
    struct Case {
        uint16_t family;
        const char* version;
        uint64_t id;
        std::optional<X86Signature> expected;
    };
    // The ID is EDX:EAX; EAX is the signature.
    const Case cases[] = {
        {0xC6, "Intel(R) Core(TM) i7-4770", 0xBFEBFBFF000306C3, X86Signature{true, 6, 60, 3}},
        {0xB2, "Intel(R) Pentium(R) 4", 0xBFEBFBFF00000F29, X86Signature{true, 15, 2, 9}},
        {0x6B, "AMD Ryzen 7 5800X", 0x178BFBFF00A20F12, X86Signature{false, 25, 33, 2}},
        {0x83, "AMD Athlon(tm) 64", 0x078BFBFF00020F32, X86Signature{false, 15, 35, 2}},
        // Below family 0Fh AMD leaves the extended fields out; Intel adds them.
        {0x1D, "AMD Athlon(tm)", 0x0383FBFF00010662, X86Signature{false, 6, 6, 2}},
        {0x0B, "Pentium Pro", 0x0383FBFF00010662, X86Signature{true, 6, 22, 2}},
        // Family "Unknown" or "Other": only versions known to answer CPUID.
        {0x02, "AMD Opteron(tm) Processor 246", 0x078BFBFF00000F51, X86Signature{false, 15, 5, 1}},
        {0x01, "Genuine Intel(R) CPU U1400", 0xBFE9FBFF000006EC, X86Signature{true, 6, 14, 12}},
        {0x01, "Genuine Intel(R) CPU U1400 x", 0xBFE9FBFF000006EC, std::nullopt},
        {0x02, "Some processor", 0x078BFBFF00000F51, std::nullopt},
        // ARMv8's ID is its MIDR, no x86 signature.
        {0x101, "Neoverse-N1", 0x000000000413D0C1, std::nullopt},
        {0x6B, "AMD Ryzen 7 5800X", 0, std::nullopt},
    };
    for (const Case& c : cases) {
        ProcessorInfo p;
        p.family = c.family;
        p.version = c.version;
        p.processorId = c.id;
        const auto got = DecodeX86Signature(p);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.version;
        if (!got) continue;
        EXPECT_EQ(got->intel, c.expected->intel) << c.version;
        EXPECT_EQ(got->family, c.expected->family) << c.version;
        EXPECT_EQ(got->model, c.expected->model) << c.version;
        EXPECT_EQ(got->stepping, c.expected->stepping) << c.version;
    }
    ProcessorInfo noFamily;
    noFamily.processorId = 0x178BFBFF00A20F12;
    EXPECT_FALSE(DecodeX86Signature(noFamily));
}
