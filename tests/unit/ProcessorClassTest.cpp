// Win32_Processor over machine trees: sockets, cores and threads of
// several shapes, offline CPUs, ARM cpuinfo, caches and clocks; the
// readers of the kernel's processor and memory files; the load sampler.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "cimv2/provider/Provider.h"
#include "cimv2/sources/CpuLoad.h"
#include "cimv2/sources/ProcFiles.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

namespace {

std::vector<Instance> Processors(const std::string& root) {
    return Provider(ProviderContext{SystemRoot(root)}).ExecQuery("SELECT * FROM Win32_Processor").instances;
}

std::string Fixture(const char* machine) { return std::string(SYSQUILL_FIXTURES) + "/" + machine + "/tree"; }

uint64_t U(const Instance& inst, const char* name) {
    const Value& v = inst.Get(name);
    EXPECT_EQ(v.kind, Value::Kind::UInt) << name;
    return v.u;
}

// The counts of the captured shapes, which scripts/check-cpu-fixture.py
// checks against lscpu on the same trees.
TEST(ProcessorClass, CountsEachMachineShape) {
    struct Case {
        const char* machine;
        size_t sockets;
        uint64_t cores, logical, l2, l3, maxMHz;
    };
    const Case cases[] = {
        {"two-socket-server", 2, 4, 8, 1024, 8192, 2534},
        {"hybrid-laptop", 1, 16, 22, 18432, 24576, 2300},
        {"kvm-guest", 1, 2, 2, 4096, 491520, 2600},
        {"physical-desktop", 1, 8, 16, 4096, 32768, 4850},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.machine);
        const auto cpus = Processors(Fixture(c.machine));
        ASSERT_EQ(cpus.size(), c.sockets);
        for (size_t n = 0; n < cpus.size(); ++n) {
            EXPECT_EQ(cpus[n].Get("DeviceID"), Value::Text("CPU" + std::to_string(n)));
            EXPECT_EQ(U(cpus[n], "NumberOfCores"), c.cores);
            EXPECT_EQ(U(cpus[n], "NumberOfLogicalProcessors"), c.logical);
            EXPECT_EQ(U(cpus[n], "L2CacheSize"), c.l2);
            EXPECT_EQ(U(cpus[n], "L3CacheSize"), c.l3);
            EXPECT_EQ(U(cpus[n], "MaxClockSpeed"), c.maxMHz);
        }
    }
    // CPUID leaf 1 as WMI writes it: EDX then EAX.
    EXPECT_EQ(Processors(Fixture("two-socket-server"))[1].Get("ProcessorId"), Value::Text("BFEBFBFF000106A5"));
    const auto laptop = Processors(Fixture("hybrid-laptop")).at(0);
    EXPECT_EQ(laptop.Get("ProcessorId"), Value::Text("BFEBFBFF000A06A4"));
    EXPECT_EQ(laptop.Get("Caption"), Value::Text("Intel64 Family 6 Model 170 Stepping 4"));
    EXPECT_EQ(laptop.Get("Revision"), Value::UInt(0xAA04));
    EXPECT_EQ(laptop.Get("Architecture"), Value::UInt(9));
    EXPECT_EQ(laptop.Get("VirtualizationFirmwareEnabled"), Value::Bool(true));
    EXPECT_EQ(laptop.Get("SecondLevelAddressTranslationExtensions"), Value::Bool(true));
    EXPECT_EQ(laptop.Get("CurrentClockSpeed"), Value::UInt(1242)) << "the fastest core's current clock";
}

// SMBIOS alone: the processor structure's cache handles and the CPUID
// signature in its ID, as dmidecode reads them from the same tables.
TEST(ProcessorClass, FirmwareAloneGivesCachesSignatureAndWidth) {
    const auto cpus = Processors(Fixture("smbios-only"));
    ASSERT_EQ(cpus.size(), 1u);
    const Instance& cpu = cpus[0];
    EXPECT_EQ(U(cpu, "L2CacheSize"), 4096u);
    EXPECT_EQ(U(cpu, "L3CacheSize"), 32768u);
    EXPECT_EQ(cpu.Get("Caption"), Value::Text("AMD64 Family 25 Model 33 Stepping 2"));
    EXPECT_EQ(cpu.Get("Description"), Value::Text("AMD64 Family 25 Model 33 Stepping 2"));
    EXPECT_EQ(U(cpu, "Level"), 25u);
    EXPECT_EQ(U(cpu, "Revision"), 0x2102u);
    EXPECT_EQ(cpu.Get("Stepping"), Value::Text("2"));
    EXPECT_EQ(U(cpu, "Family"), 107u) << "the firmware's family code (Zen)";
    EXPECT_EQ(U(cpu, "Architecture"), 9u);
    EXPECT_EQ(U(cpu, "DataWidth"), 64u);
}

// The same tables under a kernel whose cpuinfo says otherwise: cpuinfo wins,
// the firmware fills only what the kernel leaves out (here the caches).
TEST(ProcessorClass, CpuinfoWinsOverTheFirmware) {
    TempTree tree;
    for (const char* file : {"DMI", "smbios_entry_point"}) {
        std::ifstream in(Fixture("smbios-only") + "/sys/firmware/dmi/tables/" + file, std::ios::binary);
        tree.File(std::string("/sys/firmware/dmi/tables/") + file, std::string(std::istreambuf_iterator<char>(in), {}));
    }
    tree.File("/sys/devices/system/cpu/online", "0\n");
    tree.File("/proc/cpuinfo",
              "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 158\n"
              "model name\t: Intel(R) Core(TM) i7-8700\nstepping\t: 10\nflags\t\t: fpu tsc\n\n");
    const auto cpus = Processors(tree.Dir());
    ASSERT_EQ(cpus.size(), 1u);
    const Instance& cpu = cpus[0];
    EXPECT_EQ(cpu.Get("Caption"), Value::Text("x86 Family 6 Model 158 Stepping 10"));
    EXPECT_EQ(U(cpu, "Level"), 6u);
    EXPECT_EQ(U(cpu, "Revision"), 0x9E0Au);
    EXPECT_EQ(cpu.Get("Stepping"), Value::Text("10"));
    EXPECT_EQ(U(cpu, "Architecture"), 0u) << "the flags lack lm";
    EXPECT_EQ(U(cpu, "DataWidth"), 32u);
    EXPECT_EQ(U(cpu, "L2CacheSize"), 4096u);
    EXPECT_EQ(U(cpu, "L3CacheSize"), 32768u);
}

// A tree of CPUs: (cpu, package, core) online or not, with a cpuinfo block each.
void AddCpu(TempTree& tree, int cpu, int package, int core, const std::string& coreCpus) {
    const std::string dir = "/sys/devices/system/cpu/cpu" + std::to_string(cpu);
    tree.File(dir + "/topology/physical_package_id", std::to_string(package) + "\n");
    tree.File(dir + "/topology/core_id", std::to_string(core) + "\n");
    tree.File(dir + "/topology/core_cpus_list", coreCpus + "\n");
}

TEST(ProcessorClass, OfflineCpusAndEmptySocketsAreNotCounted) {
    TempTree tree;
    // Two packages of two cores with two threads; CPU 3 (package 0) and
    // the whole of package 1 but CPU 5 are offline.
    for (int cpu = 0; cpu < 8; ++cpu) {
        const int package = cpu / 4, core = (cpu % 4) / 2;
        const int first = package * 4 + core * 2;
        AddCpu(tree, cpu, package, core, std::to_string(first) + "-" + std::to_string(first + 1));
    }
    tree.File("/sys/devices/system/cpu/online", "0-2,5\n");
    const auto cpus = Processors(tree.Dir());
    ASSERT_EQ(cpus.size(), 2u);
    EXPECT_EQ(U(cpus[0], "NumberOfLogicalProcessors"), 3u);
    EXPECT_EQ(U(cpus[0], "NumberOfCores"), 2u);
    EXPECT_EQ(U(cpus[1], "NumberOfLogicalProcessors"), 1u);
    EXPECT_EQ(U(cpus[1], "NumberOfCores"), 1u);

    tree.File("/sys/devices/system/cpu/online", "0-3\n");
    EXPECT_EQ(Processors(tree.Dir()).size(), 1u) << "a package with no online CPU is not listed";
}

TEST(ProcessorClass, Aarch64CpuinfoGivesWhatItCan) {
    TempTree tree;
    std::string cpuinfo;
    for (int cpu = 0; cpu < 4; ++cpu)
        cpuinfo += "processor\t: " + std::to_string(cpu) +
                   "\nBogoMIPS\t: 50.00\nFeatures\t: fp asimd evtstrm aes pmull sha1 sha2 crc32 atomics\n"
                   "CPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x3\nCPU part\t: 0xd0c\n"
                   "CPU revision\t: 1\n\n";
    tree.File("/proc/cpuinfo", cpuinfo);
    tree.File("/proc/sys/kernel/arch", "aarch64\n");
    tree.File("/sys/devices/system/cpu/online", "0-3\n");
    for (int cpu = 0; cpu < 4; ++cpu)  // an older kernel's unknown package
        AddCpu(tree, cpu, -1, cpu, std::to_string(cpu));
    const auto cpus = Processors(tree.Dir());
    ASSERT_EQ(cpus.size(), 1u);
    const Instance& c = cpus[0];
    EXPECT_EQ(c.Get("Name"), Value::Text("Neoverse-N1"));
    EXPECT_EQ(c.Get("Manufacturer"), Value::Text("ARM"));
    EXPECT_EQ(c.Get("Architecture"), Value::UInt(12));
    EXPECT_EQ(c.Get("DataWidth"), Value::UInt(64));
    EXPECT_EQ(c.Get("Caption"), Value::Text("ARMv8 (64-bit) Family 8 Model D0C Revision 1"));
    EXPECT_EQ(U(c, "NumberOfCores"), 4u);
    EXPECT_TRUE(c.Get("ProcessorId").IsNull()) << "no CPUID on ARM";
    EXPECT_TRUE(c.Get("VirtualizationFirmwareEnabled").IsNull());

    // Damaged or foreign cpuinfo: no crash, still the kernel's counts.
    tree.File("/proc/cpuinfo", "processor : x\nCPU part : 0xzz\n\n:::\nmodel name\n");
    ASSERT_EQ(Processors(tree.Dir()).size(), 1u);
    EXPECT_EQ(U(Processors(tree.Dir())[0], "NumberOfLogicalProcessors"), 4u);
}

TEST(ProcessorClass, LoadIsTheBusyShareOfTheLastInterval) {
    TempTree tree;
    AddCpu(tree, 0, 0, 0, "0");
    AddCpu(tree, 1, 1, 0, "1");
    tree.File("/sys/devices/system/cpu/online", "0-1\n");
    // user nice system idle iowait irq softirq steal
    tree.File("/proc/stat", "cpu 0 0 0 0\ncpu0 300 0 100 600 0 0 0 0\ncpu1 100 0 0 900 0 0 0 0\nbtime 1700000000\n");
    auto cpus = Processors(tree.Dir());
    ASSERT_EQ(cpus.size(), 2u);
    EXPECT_EQ(U(cpus[0], "LoadPercentage"), 40u) << "since boot, the first time";
    EXPECT_EQ(U(cpus[1], "LoadPercentage"), 10u);
    EXPECT_EQ(U(Processors(tree.Dir())[0], "LoadPercentage"), 40u) << "counters that did not move change nothing";

    // A quarter second later package 0 was busy throughout, package 1 idle.
    tree.File("/proc/stat", "cpu0 325 0 100 600 0 0 0 0\ncpu1 100 0 0 925 0 0 0 0\n");
    cpus = Processors(tree.Dir());
    EXPECT_EQ(U(cpus[0], "LoadPercentage"), 100u);
    EXPECT_EQ(U(cpus[1], "LoadPercentage"), 0u);
}

// A live machine without an earlier reading is read again after a short
// pause: the share is the one of now, not since boot. The pause is a seam,
// so the counters move here without any waiting.
TEST(CpuLoad, FirstLookAtALiveMachineMeasuresAShortIntervalNow) {
    const CpuLoadSampler::Reading sinceBoot = {{0, {900, 1000}}, {1, {100, 1000}}};
    const CpuLoadSampler::Reading later = {{0, {905, 1025}}, {1, {125, 1025}}};
    std::vector<std::chrono::milliseconds> pauses;
    CpuLoadSampler sampler([&pauses](std::chrono::milliseconds time) { pauses.push_back(time); });
    int rereads = 0;
    const CpuLoadSampler::Reread reread = [&]() -> std::optional<CpuLoadSampler::Reading> {
        ++rereads;
        return pauses.empty() ? sinceBoot : later;
    };

    auto interval = sampler.Interval("/", sinceBoot, reread);
    EXPECT_EQ(rereads, 1);
    EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>{CpuLoadSampler::kShortInterval});
    EXPECT_EQ(BusyPercent(interval, {0}), 20u) << "not 90 since boot";
    EXPECT_EQ(BusyPercent(interval, {1}), 100u) << "not 10 since boot";
    EXPECT_EQ(BusyPercent(interval, {0, 1}), 60u);

    // A later look finds that reading and does not wait.
    const CpuLoadSampler::Reading third = {{0, {930, 1050}}, {1, {125, 1050}}};
    interval = sampler.Interval("/", third, reread);
    EXPECT_EQ(rereads, 1);
    EXPECT_EQ(BusyPercent(interval, {0}), 100u);
    EXPECT_EQ(BusyPercent(interval, {1}), 0u);

    // Counters that do not move in the pause, or cannot be read again: since boot.
    CpuLoadSampler still([](std::chrono::milliseconds) {});
    EXPECT_EQ(BusyPercent(still.Interval("/", sinceBoot, [&] { return std::optional(sinceBoot); }), {0}), 90u);
    CpuLoadSampler unreadable([](std::chrono::milliseconds) {});
    EXPECT_EQ(
        BusyPercent(unreadable.Interval("/", sinceBoot, [] { return std::optional<CpuLoadSampler::Reading>(); }), {1}),
        10u);
    // A captured tree gives no way to read again: since boot, without a pause.
    int treePauses = 0;
    CpuLoadSampler tree([&treePauses](std::chrono::milliseconds) { ++treePauses; });
    EXPECT_EQ(BusyPercent(tree.Interval("/tree", sinceBoot), {0}), 90u);
    EXPECT_EQ(treePauses, 0);
}

TEST(ProcFiles, ReadersRefuseWhatTheyCannotRead) {
    EXPECT_EQ(procfs::ParseCpuList("0-3,8,10-11\n"), (std::set<uint32_t>{0, 1, 2, 3, 8, 10, 11}));
    EXPECT_EQ(procfs::ParseCpuList(""), std::set<uint32_t>{});
    for (const char* bad : {"3-1", "0-", "a", "0,,1", "0-4294967295", "-1"})
        EXPECT_EQ(procfs::ParseCpuList(bad), std::nullopt) << bad;

    const auto stat = procfs::ParseProcStat(
        "cpu  1 2 3 4\ncpu0 10 0 5 80 5 0 0 0 0 0\ncpu1 x 1 1 1\ncpu2 1 2\ncpux 1 2 3 4\nbtime 1700000000\n");
    ASSERT_EQ(stat.cpus.size(), 1u) << "malformed lines are skipped";
    EXPECT_EQ(stat.cpus.at(0).busy, 15u);
    EXPECT_EQ(stat.cpus.at(0).total, 100u);

    const auto mem = procfs::ParseMeminfo("MemTotal:       24683712 kB\nHugePages_Total:       0\nBad: x kB\n");
    EXPECT_EQ(mem.at("MemTotal"), 24683712u);
    EXPECT_EQ(mem.at("HugePages_Total"), 0u);
    EXPECT_EQ(mem.count("Bad"), 0u);

    auto swaps = procfs::ParseSwaps(
        "Filename\tType\tSize\tUsed\tPriority\n/swap file\tfile\t1024\t24\t-2\n/dev/zram0 partition 2048 0 100\n");
    ASSERT_TRUE(swaps);
    EXPECT_EQ(swaps->sizeKB, 3072u);
    EXPECT_EQ(swaps->usedKB, 24u);
    EXPECT_EQ(procfs::ParseSwaps("Filename Type Size Used Priority\n/dev/sda2 partition 10 20 -2\n"), std::nullopt)
        << "more used than there is";
    EXPECT_EQ(procfs::ParseSwaps("garbage"), std::nullopt);
}

}  // namespace
