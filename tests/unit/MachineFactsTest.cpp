// The facts every class shares: one computer name wherever a class names
// the computer, and the provider's clock for what depends on the date.
#include <gtest/gtest.h>

#include "cimv2/provider/ClassRegistry.h"
#include "cimv2/provider/Provider.h"
#include "cimv2/sources/MachineFacts.h"
#include "tests/support/Fixtures.h"
#include "tests/support/InstanceText.h"
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

// The first processor's x86 flags are one fact: the system class's
// hypervisor flag and its data execution prevention read the same line,
// however long the first block and whichever of the two is asked first.
TEST(MachineFacts, X86FlagsRule) {
    const std::string longBlock =
        "processor\t: 0\nvendor_id\t: AuthenticAMD\npower management: " + std::string(5000, 'x') +
        "\nflags\t\t: fpu nx hypervisor\n\nprocessor\t: 1\n";
    struct Case {
        std::string cpuinfo;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"processor\t: 0\nvendor_id\t: GenuineIntel\nflags\t\t: fpu nx\n\nprocessor\t: 1\nflags\t: pae\n\n", "fpu nx"},
        {longBlock, "fpu nx hypervisor"},
        {"processor\t: 0\nflags\t\t: fpu nx\n\n", std::nullopt},  // no x86 kernel wrote it
        {"processor\t: 0\nvendor_id\t: GenuineIntel\n\n", std::nullopt},
        {"processor\t: 0\nFeatures\t: fp asimd\nCPU implementer\t: 0x41\n\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cpuinfo.substr(0, 60));
        TempTree tree;
        tree.File("/proc/cpuinfo", c.cpuinfo);
        for (bool allFirst : {false, true}) {
            MachineFacts facts{SystemRoot(tree.Dir())};
            if (allFirst) (void)facts.CpuInfo();
            EXPECT_EQ(facts.X86Flags(), c.expected) << (allFirst ? "after every block" : "alone");
        }
    }
}

TEST(MachineFacts, CpuInfoBlocksAndProcStatCounters) {
    TempTree tree;
    tree.File("/proc/cpuinfo", "processor\t: 0\nmodel name\t: A\n\nprocessor\t: 1\nmodel name\t: B\n\n")
        .File("/proc/stat", "cpu 9 0 9 9\ncpu0 300 0 100 600 0 0 0 0\ncpu1 100 0 0 900\nbtime 1700000000\n");
    const MachineFacts facts{SystemRoot(tree.Dir())};
    ASSERT_EQ(facts.CpuInfo().size(), 2u);
    EXPECT_EQ(procfs::Field(facts.CpuInfo()[1], "model name"), "B");
    ASSERT_TRUE(facts.cpuTimes.has_value());
    ASSERT_EQ(facts.cpuTimes->size(), 2u);
    EXPECT_EQ(facts.cpuTimes->at(0).busy, 400u);
    EXPECT_EQ(facts.cpuTimes->at(0).total, 1000u);
    EXPECT_EQ(facts.bootTime, 1700000000);

    TempTree empty;
    empty.MakeDir("/proc");
    const MachineFacts none{SystemRoot(empty.Dir())};
    EXPECT_TRUE(none.CpuInfo().empty());
    EXPECT_FALSE(none.cpuTimes.has_value());
    EXPECT_FALSE(none.X86Flags().has_value());
}

// The system class's hypervisor flag and the operating system's data
// execution prevention come from one reading of the same flags.
TEST(MachineFacts, SystemClassesReadTheSameFlags) {
    struct Case {
        const char* cpuinfo;
        const char* hypervisor;  // HypervisorPresent
        const char* dep;         // DataExecutionPrevention_Available
    };
    const Case cases[] = {
        {"processor\t: 0\nvendor_id\t: GenuineIntel\nflags\t\t: fpu nx hypervisor\n\n", "True", "True"},
        {"processor\t: 0\nvendor_id\t: GenuineIntel\nflags\t\t: fpu\n\n", "False", "False"},
        {"processor\t: 0\nflags\t\t: fpu nx hypervisor\n\n", "<null>", "<null>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cpuinfo);
        TempTree tree;
        tree.File("/proc/cpuinfo", c.cpuinfo)
            .File("/proc/sys/kernel/arch", "x86_64\n")
            .File("/etc/os-release", "NAME=Debian\n")
            .File("/sys/class/dmi/id/sys_vendor", "Dell Inc.\n")
            .File("/sys/class/dmi/id/product_name", "OptiPlex 7070\n");
        Provider provider(ProviderContext(SystemRoot(tree.Dir())));
        const auto system = provider.ExecQuery("SELECT HypervisorPresent FROM Win32_ComputerSystem").instances;
        const auto os = provider.ExecQuery("SELECT * FROM Win32_OperatingSystem").instances;
        ASSERT_EQ(system.size(), 1u);
        ASSERT_EQ(os.size(), 1u);
        EXPECT_EQ(testsupport::Text(system[0], "HypervisorPresent"), c.hypervisor);
        EXPECT_EQ(testsupport::Text(os[0], "DataExecutionPrevention_Available"), c.dep);
    }
}
