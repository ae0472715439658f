// The time zone from compiled zone files: fixed offsets, transition tables,
// the rule of the footer on both hemispheres, and files that are broken.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "cimv2/provider/Classes.h"
#include "cimv2/sources/TimeZone.h"
#include "tests/unit/TempTree.h"

using cimv2::tz::ZoneAt;

namespace {

struct Transition {
    int64_t at;
    uint8_t type;
};
struct Type {
    int32_t offset;
    bool dst;
};

void Be(std::string& out, uint64_t v, int bytes) {
    for (int n = bytes - 1; n >= 0; --n) out.push_back(static_cast<char>((v >> (8 * n)) & 0xFF));
}

// A zone file as zic writes one: version 1 data, then (version 2) the same
// with 64-bit times and the footer.
std::string ZoneFile(const std::vector<Transition>& transitions, const std::vector<Type>& types,
                     const std::string& footer, char version = '2') {
    auto block = [&](int timeSize) {
        std::string out = "TZif";
        out.push_back(version);
        out.append(15, '\0');
        for (uint64_t count : {0ul, 0ul, 0ul, transitions.size(), types.size(), 4ul}) Be(out, count, 4);
        for (const auto& t : transitions) Be(out, static_cast<uint64_t>(t.at), timeSize);
        for (const auto& t : transitions) out.push_back(static_cast<char>(t.type));
        for (const auto& t : types) {
            Be(out, static_cast<uint32_t>(t.offset), 4);
            out.push_back(t.dst ? 1 : 0);
            out.push_back(0);
        }
        out.append("ZZZ", 4);
        return out;
    };
    std::string file = block(4);
    if (version >= '2') file += block(8) + "\n" + footer + "\n";
    return file;
}

// UTC seconds of a moment, from `date -u -d ... +%s`.
constexpr int64_t k2026Jan15 = 1768478400;        // 2026-01-15 12:00:00
constexpr int64_t k2026Jul01 = 1782907200;        // 2026-07-01 12:00:00
constexpr int64_t k2026Mar29Switch = 1774746000;  // 2026-03-29 01:00:00, 02:00 CET
constexpr int64_t k2026Oct25Switch = 1792890000;  // 2026-10-25 01:00:00, 03:00 CEST

TEST(TimeZone, OffsetAndDaylightAtAMoment) {
    const std::string berlin = ZoneFile({}, {{3600, false}}, "CET-1CEST,M3.5.0,M10.5.0/3");
    const std::string sydney = ZoneFile({}, {{36000, false}}, "AEST-10AEDT,M10.1.0,M4.1.0/3");
    const std::string india = ZoneFile({}, {{19800, false}}, "IST-5:30");
    const std::string angled = ZoneFile({}, {{-12600, false}}, "<-0330>3:30");
    const std::string utc = ZoneFile({}, {{0, false}}, "UTC0");
    // Version 1 only: the table alone, type 0 before the first transition.
    const std::string table =
        ZoneFile({{k2026Mar29Switch, 1}, {k2026Oct25Switch, 0}}, {{3600, false}, {7200, true}}, "", '\0');
    // A file whose footer cannot be read falls back to its last transition.
    const std::string oddFooter = ZoneFile({{k2026Mar29Switch, 1}}, {{3600, false}, {7200, true}}, "CET-1CEST");

    const struct {
        const char* name;
        const std::string& file;
        int64_t when;
        int32_t offset;
        bool dst;
        bool observes;
    } cases[] = {
        {"Berlin winter", berlin, k2026Jan15, 3600, false, true},
        {"Berlin summer", berlin, k2026Jul01, 7200, true, true},
        {"Berlin a second before spring", berlin, k2026Mar29Switch - 1, 3600, false, true},
        {"Berlin at spring", berlin, k2026Mar29Switch, 7200, true, true},
        {"Berlin a second before autumn", berlin, k2026Oct25Switch - 1, 7200, true, true},
        {"Berlin at autumn", berlin, k2026Oct25Switch, 3600, false, true},
        {"Sydney in January", sydney, k2026Jan15, 39600, true, true},
        {"Sydney in July", sydney, k2026Jul01, 36000, false, true},
        {"India", india, k2026Jul01, 19800, false, false},
        {"angle-bracket name, west", angled, k2026Jan15, -12600, false, false},
        {"UTC", utc, k2026Jul01, 0, false, false},
        {"table before its first transition", table, k2026Jan15, 3600, false, true},
        {"table in summer", table, k2026Jul01, 7200, true, true},
        {"table after its last transition", table, k2026Oct25Switch + 86400, 3600, false, false},
        {"unreadable footer", oddFooter, k2026Jul01, 7200, true, true},
    };
    for (const auto& c : cases) {
        auto zone = ZoneAt(c.file, c.when);
        ASSERT_TRUE(zone) << c.name;
        EXPECT_EQ(zone->utcOffsetSeconds, c.offset) << c.name;
        EXPECT_EQ(zone->daylightInEffect, c.dst) << c.name;
        EXPECT_EQ(zone->observesDaylight, c.observes) << c.name;
    }
}

TEST(TimeZone, BrokenFilesGiveNothing) {
    const std::string good =
        ZoneFile({{k2026Mar29Switch, 1}}, {{3600, false}, {7200, true}}, "CET-1CEST,M3.5.0,M10.5.0/3");
    ASSERT_TRUE(ZoneAt(good, k2026Jul01));
    std::string badIndex = ZoneFile({{k2026Mar29Switch, 2}}, {{3600, false}, {7200, true}}, "", '\0');
    std::string noTypes = ZoneFile({}, {}, "", '\0');
    std::string hugeCount = good;
    hugeCount[32] = '\x7f';  // timecnt of the first header far past the end
    for (const std::string& bad : {std::string(), std::string("TZif2"), std::string("Xzif") + good.substr(4),
                                   good.substr(0, good.size() / 2), good.substr(0, 60), badIndex, noTypes, hugeCount})
        EXPECT_FALSE(ZoneAt(bad, k2026Jul01)) << bad.size() << " bytes";
}

TEST(TimeZone, CimDateTimesOfMomentsAndOffsets) {
    using cimv2::tz::CimDateTime;
    EXPECT_EQ(CimDateTime(0), "19700101000000.000000+000");
    EXPECT_EQ(CimDateTime(0, 60), "19700101010000.000000+060");
    EXPECT_EQ(CimDateTime(0, -300), "19691231190000.000000-300");
    EXPECT_EQ(CimDateTime(1709210096, 0, 123456), "20240229123456.123456+000");  // a leap day
    EXPECT_EQ(CimDateTime(253402300799), "99991231235959.000000+000");
    EXPECT_EQ(CimDateTime(-62135596800), "00010101000000.000000+000");
    // No year CIM cannot write, no offset or fraction that does not fit.
    for (auto nothing : {CimDateTime(253402300800), CimDateTime(-62135596801), CimDateTime(INT64_MAX),
                         CimDateTime(INT64_MIN), CimDateTime(0, 1000), CimDateTime(0, 0, 1'000'000)})
        EXPECT_FALSE(nothing.has_value()) << *nothing;
    // The calendar agrees with the C library's over the years CIM writes.
    std::mt19937_64 random(20261211);
    std::uniform_int_distribution<int64_t> moments(-62135596800, 253402300799);
    for (int n = 0; n < 5000; ++n) {
        const int64_t moment = moments(random);
        const time_t t = static_cast<time_t>(moment);
        std::tm tm{};
        ASSERT_TRUE(gmtime_r(&t, &tm));
        char expected[80];
        std::snprintf(expected, sizeof expected, "%04d%02d%02d%02d%02d%02d.000000+000", tm.tm_year + 1900,
                      tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
        EXPECT_EQ(CimDateTime(moment), expected) << moment;
    }
}

TEST(TimeZone, ComputerSystemReadsLocaltimeThroughTheRoot) {
    TempTree tree;
    tree.File("/proc/sys/kernel/hostname", "box\n")
        .File("/usr/share/zoneinfo/Asia/Kolkata", ZoneFile({}, {{19800, false}}, "IST-5:30"))
        .Link("/etc/localtime", "/usr/share/zoneinfo/Asia/Kolkata");  // absolute, as distributions link it
    auto list = cimv2::EnumerateWin32_ComputerSystem({cimv2::SystemRoot(tree.Dir()), nullptr});
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Get("CurrentTimeZone"), cimv2::Value::Int(330));
    EXPECT_EQ(list[0].Get("DaylightInEffect"), cimv2::Value::Bool(false));
    EXPECT_EQ(list[0].Get("EnableDaylightSavingsTime"), cimv2::Value::Bool(false));

    TempTree none;
    none.File("/proc/sys/kernel/hostname", "box\n");
    auto bare = cimv2::EnumerateWin32_ComputerSystem({cimv2::SystemRoot(none.Dir()), nullptr});
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_TRUE(bare[0].Get("CurrentTimeZone").IsNull());
}

}  // namespace
