// The facts every class shares: one computer name wherever a class names
// the computer, and the provider's clock for what depends on the date.
#include <gtest/gtest.h>

#include "cimv2/provider/ClassRegistry.h"
#include "cimv2/provider/Provider.h"
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

// The system's name, the kernel's release and the boot time are one fact
// each: the process class names the system as the system class does.
TEST(MachineFacts, ProcessesAndTheSystemNameTheSystemAlike) {
    struct Case {
        const char* etc;     // /etc/os-release, or none
        const char* usrLib;  // /usr/lib/os-release, or none
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, "PRETTY_NAME=\"Fedora Linux 40\"\n", "Fedora Linux 40"},
        {"", "NAME=Arch\n", "Arch"},
        {"# nothing here\n", "PRETTY_NAME=Alpine\n", "Alpine"},
        {"NAME=Debian\nPRETTY_NAME=\n", "PRETTY_NAME=Other\n", "Debian"},
        {"PRETTY_NAME=\"Debian 12\"\n", "PRETTY_NAME=Other\n", "Debian 12"},
        {nullptr, nullptr, "Linux"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.etc ? c.etc : "-") + " / " + (c.usrLib ? c.usrLib : "-"));
        TempTree tree;
        tree.File("/proc/sys/kernel/ostype", "Linux\n")
            .File("/proc/sys/kernel/osrelease", "6.8.0-1-generic\n")
            .File("/proc/stat", "cpu0 1 1 1 1\nbtime 1704443412\n")
            // Started with the machine: created at its boot time.
            .File("/proc/1/stat", "1 (init) S 0 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 0 4096 0\n")
            .File("/proc/1/status", "Name:\tinit\n");
        if (c.etc) tree.File("/etc/os-release", c.etc);
        if (c.usrLib) tree.File("/usr/lib/os-release", c.usrLib);
        Provider provider(ProviderContext(SystemRoot(tree.Dir()), nullptr, [] { return int64_t{1721044800}; }));
        const auto processes = provider.ExecQuery("SELECT * FROM Win32_Process").instances;
        const auto systems = provider.ExecQuery("SELECT * FROM Win32_OperatingSystem").instances;
        ASSERT_EQ(processes.size(), 1u);
        ASSERT_EQ(systems.size(), 1u);
        EXPECT_EQ(systems[0].Get("Caption"), Value::Text(c.expected));
        EXPECT_EQ(processes[0].Get("OSName"), Value::Text(c.expected));
        EXPECT_EQ(systems[0].Get("Version"), Value::Text("6.8.0-1-generic"));
        EXPECT_EQ(processes[0].Get("WindowsVersion"), Value::Text("6.8.0-1-generic"));
        EXPECT_EQ(systems[0].Get("LastBootUpTime"), Value::Text("20240105083012.000000+000"));
        EXPECT_EQ(processes[0].Get("CreationDate"), Value::Text("20240105083012.000000+000"));
    }
}

TEST(MachineFacts, BootTimeRule) {
    struct Case {
        const char* stat;  // /proc/stat, or none
        std::optional<int64_t> expected;
    };
    const Case cases[] = {
        {"cpu 1 2 3 4\nbtime 1704443412\nprocesses 9\n", 1704443412},
        {"btime 0\n", std::nullopt},
        {"btime -5\n", std::nullopt},
        {"btime 17x\n", std::nullopt},
        {"cpu 1 2 3 4\n", std::nullopt},
        {nullptr, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stat ? c.stat : "-");
        TempTree tree;
        tree.MakeDir("/proc");
        if (c.stat) tree.File("/proc/stat", c.stat);
        EXPECT_EQ(ProviderContext(SystemRoot(tree.Dir())).Facts().bootTime, c.expected);
    }
}
