// The facts every class shares: one computer name wherever a class names
// the computer, and the provider's clock for what depends on the date.
#include <gtest/gtest.h>

#include "cimv2/core/ClassRegistry.h"
#include "cimv2/core/Provider.h"
#include "tests/support/Fixtures.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

namespace {

const std::filesystem::path kGuest = std::filesystem::path(SYSQUILL_FIXTURES) / "virtualbox-guest";

// Every value of the properties that name the computer, over every class.
std::set<std::string> NamesOfTheComputer(const Provider& provider) {
    std::set<std::string> names;
    for (const auto& entry : AllClasses()) {
        for (const auto& inst : provider.ExecQuery("SELECT * FROM " + entry.schema().Name()).instances) {
            for (const char* property : {"SystemName", "CSName"})
                if (inst.schema->IndexOf(property) >= 0 && !inst.Get(property).IsNull())
                    names.insert(inst.Get(property).text);
            if (entry.schema().Name() == "Win32_ComputerSystem") names.insert(inst.Get("Name").text);
        }
    }
    return names;
}

}  // namespace

TEST(MachineFacts, EveryClassNamesTheComputerAlike) {
    // The kernel's host name there is fully qualified: box.example.org.
    Provider provider(testsupport::FixtureContext(kGuest));
    EXPECT_EQ(NamesOfTheComputer(provider), std::set<std::string>{"box"});
    auto system = provider.ExecQuery("SELECT Domain, DNSHostName FROM Win32_ComputerSystem").instances;
    ASSERT_EQ(system.size(), 1u);
    EXPECT_EQ(system[0].Get("Domain").text, "example.org");
    EXPECT_EQ(system[0].Get("DNSHostName").text, "box");
}

TEST(MachineFacts, ComputerNameRule) {
    struct Case {
        const char* kernel;    // /proc/sys/kernel/hostname, or none
        const char* etc;       // /etc/hostname, or none
        const char* expected;  // or none
    };
    const Case cases[] = {
        {"box.example.org\n", nullptr, "box"}, {"plain\n", "other\n", "plain"}, {nullptr, "from-etc.lan\n", "from-etc"},
        {"(none)\n", "named\n", "named"},      {"\n", nullptr, nullptr},        {".example.org\n", nullptr, nullptr},
        {nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kernel ? c.kernel : "-") + " / " + (c.etc ? c.etc : "-"));
        TempTree tree;
        tree.MakeDir("/proc");
        if (c.kernel) tree.File("/proc/sys/kernel/hostname", c.kernel);
        if (c.etc) tree.File("/etc/hostname", c.etc);
        const auto name = ProviderContext(SystemRoot(tree.Dir())).Facts().computerName;
        if (c.expected)
            EXPECT_EQ(name, std::optional<std::string>(c.expected));
        else
            EXPECT_EQ(name, std::nullopt);
    }
}

TEST(MachineFacts, FactsAreReadAnewForEachQuery) {
    TempTree tree;
    tree.File("/proc/sys/kernel/hostname", "first\n");
    Provider provider(ProviderContext(SystemRoot(tree.Dir())));
    EXPECT_EQ(provider.ExecQuery("SELECT Name FROM Win32_ComputerSystem").instances[0].Get("Name").text, "first");
    tree.File("/proc/sys/kernel/hostname", "second\n");
    EXPECT_EQ(provider.ExecQuery("SELECT Name FROM Win32_ComputerSystem").instances[0].Get("Name").text, "second");
}

// The guest's zone keeps summer time: the answer follows the provider's
// clock, never the day the tests run.
TEST(MachineFacts, TimeZoneFollowsTheProvidersClock) {
    struct Case {
        int64_t moment;
        int64_t offsetMinutes;
        bool daylight;
    };
    const Case cases[] = {{1768478400 /* 2026-01-15 12:00 UTC */, 60, false},
                          {1784116800 /* 2026-07-15 12:00 UTC */, 120, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.moment);
        ProviderContext context = testsupport::FixtureContext(kGuest);
        context.clock = [moment = c.moment] { return moment; };
        auto system = Provider(context).ExecQuery("SELECT * FROM Win32_ComputerSystem").instances;
        ASSERT_EQ(system.size(), 1u);
        EXPECT_EQ(system[0].Get("CurrentTimeZone"), Value::Int(c.offsetMinutes));
        EXPECT_EQ(system[0].Get("DaylightInEffect"), Value::Bool(c.daylight));
        EXPECT_EQ(system[0].Get("EnableDaylightSavingsTime"), Value::Bool(true));
    }
}
