// Values of Win32_ComputerSystem that need more than one source to get right.
#include <gtest/gtest.h>

#include "cimv2/provider/Provider.h"
#include "tests/support/Fixtures.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

namespace {

Instance ComputerSystem(const std::string& root) {
    auto list = Provider(ProviderContext(SystemRoot(root))).ExecQuery("SELECT * FROM Win32_ComputerSystem").instances;
    if (list.size() != 1) throw std::runtime_error("expected one computer system");
    return list[0];
}

const char* kX86NoFlag = "processor\t: 0\nvendor_id\t: GenuineIntel\nflags\t\t: fpu vme de pse tsc msr\n\n";
const char* kX86Flag = "processor\t: 0\nvendor_id\t: GenuineIntel\nflags\t\t: fpu vme hypervisor tsc\n\n";
// A "flags" line only an x86 kernel's block would make a CPUID flag.
const char* kFlagsWithoutX86Vendor = "processor\t: 0\nflags\t\t: fpu vme de pse tsc msr\n\n";
// /proc/bus/pci/devices: bus and function, vendor and device, IRQ, the
// regions' addresses (shortened here), the driver.
const char* kProcPciVirtualBox =
    "0000\t80861237\t0\t0\t0\n"
    "0010\t80eebeef\t0\te0000008\t0\n"
    "0020\t80eecafe\t14\td010\tf0400000\tvboxguest\n";
const char* kProcPciIntel = "0000\t80863e0f\t0\t0\t0\n00f8\t8086a3c8\t0\t0\t0\tlpc_ich\n";
const char* kArm = "processor\t: 0\nFeatures\t: fp asimd evtstrm\nCPU implementer\t: 0x41\n\n";

}  // namespace

TEST(ComputerSystemValues, HypervisorPresentFromEverySource) {
    struct Case {
        const char* name;
        const char* cpuinfo;  // or none
        const char* vendor;   // /sys/class/dmi/id/sys_vendor, or none
        const char* product;  // /sys/class/dmi/id/product_name, or none
        const char* xen;      // /sys/hypervisor/type, or none
        const char* pciVendor;
        const char* procPci;  // /proc/bus/pci/devices, or none
        std::optional<bool> expected;
    };
    const Case cases[] = {
        {"cpu flag", kX86Flag, "Dell Inc.", "OptiPlex 7070", nullptr, nullptr, nullptr, true},
        {"VirtualBox without the flag", kX86NoFlag, "innotek GmbH", "VirtualBox", nullptr, nullptr, nullptr, true},
        {"KVM product", kX86NoFlag, "Red Hat", "KVM", nullptr, nullptr, nullptr, true},
        {"/sys/hypervisor", kX86NoFlag, "Dell Inc.", "PowerEdge", "xen", nullptr, nullptr, true},
        {"virtio device", kX86NoFlag, "Dell Inc.", "PowerEdge", nullptr, "0x1af4", nullptr, true},
        {"bare metal", kX86NoFlag, "Dell Inc.", "OptiPlex 7070", nullptr, "0x8086", nullptr, false},
        {"no flags to go by", kArm, "Raspberry Pi Foundation", "Raspberry Pi 4", nullptr, nullptr, nullptr,
         std::nullopt},
        {"no firmware strings", kX86NoFlag, nullptr, nullptr, nullptr, nullptr, nullptr, std::nullopt},
        {"flags, but not x86's", kFlagsWithoutX86Vendor, "Dell Inc.", "OptiPlex 7070", nullptr, nullptr, nullptr,
         std::nullopt},
        {"nothing at all", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, std::nullopt},
        // A VirtualBox capture whose PCI functions only /proc lists.
        {"VirtualBox devices in /proc", kX86NoFlag, nullptr, nullptr, nullptr, nullptr, kProcPciVirtualBox, true},
        {"bare metal in /proc", kX86NoFlag, "Dell Inc.", "OptiPlex 7070", nullptr, nullptr, kProcPciIntel, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempTree tree;
        tree.MakeDir("/proc");
        if (c.cpuinfo) tree.File("/proc/cpuinfo", c.cpuinfo);
        if (c.vendor) tree.File("/sys/class/dmi/id/sys_vendor", std::string(c.vendor) + "\n");
        if (c.product) tree.File("/sys/class/dmi/id/product_name", std::string(c.product) + "\n");
        if (c.xen) tree.File("/sys/hypervisor/type", std::string(c.xen) + "\n");
        if (c.pciVendor) {
            tree.File("/sys/devices/pci0000:00/0000:00:03.0/vendor", std::string(c.pciVendor) + "\n");
            tree.Link("/sys/bus/pci/devices/0000:00:03.0", "../../../devices/pci0000:00/0000:00:03.0");
        }
        if (c.procPci) tree.File("/proc/bus/pci/devices", c.procPci);
        const Value value = ComputerSystem(tree.Dir()).Get("HypervisorPresent");
        if (c.expected)
            EXPECT_EQ(value, Value::Bool(*c.expected));
        else
            EXPECT_TRUE(value.IsNull());
    }
}

// A tree with SMBIOS tables and nothing of the kernel's view: both counts
// come from the populated processor sockets, as they do with the kernel.
TEST(ComputerSystemValues, ProcessorCountsFallBackToSmbiosTogether) {
    const auto fixtures = std::filesystem::path(SYSQUILL_FIXTURES);
    const Instance tablesOnly = ComputerSystem((fixtures / "smbios-only" / "tree").string());
    const Instance whole = ComputerSystem((fixtures / "physical-desktop" / "tree").string());
    EXPECT_EQ(tablesOnly.Get("NumberOfProcessors"), Value::UInt(1));
    EXPECT_EQ(tablesOnly.Get("NumberOfLogicalProcessors"), Value::UInt(16));
    EXPECT_EQ(tablesOnly.Get("NumberOfLogicalProcessors"), whole.Get("NumberOfLogicalProcessors"));
}

// The counts are those of Win32_Processor: its instances and the CPUs they
// hold, online ones only, whichever part of the kernel's view was captured.
TEST(ComputerSystemValues, ProcessorCountsAreWin32ProcessorsOnes) {
    struct Cpu {
        int id;
        const char* package;  // topology/physical_package_id, or none
        const char* online;   // cpuN/online, or none
    };
    struct Case {
        const char* name;
        const char* onlineList;  // /sys/devices/system/cpu/online, or none
        std::vector<Cpu> cpus;   // cpuN directories
        const char* cpuinfo;     // or none
        uint64_t packages, logical;
    };
    const char* twoSockets = "processor\t: 0\nphysical id\t: 0\n\nprocessor\t: 1\nphysical id\t: 1\n\n";
    const Case cases[] = {
        {"two sockets",
         "0-3\n",
         {{0, "0", nullptr}, {1, "0", nullptr}, {2, "1", nullptr}, {3, "1", nullptr}},
         nullptr,
         2,
         4},
        {"second socket offline",
         "0-1\n",
         {{0, "0", nullptr}, {1, "0", nullptr}, {2, "1", "0"}, {3, "1", "0"}},
         nullptr,
         1,
         2},
        {"no online list", nullptr, {{0, "0", nullptr}, {1, "0", "0"}, {2, "-1", "1"}}, nullptr, 1, 2},
        {"cpuinfo alone", nullptr, {}, twoSockets, 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempTree tree;
        tree.MakeDir("/proc");
        if (c.onlineList) tree.File("/sys/devices/system/cpu/online", c.onlineList);
        for (const auto& cpu : c.cpus) {
            const std::string dir = "/sys/devices/system/cpu/cpu" + std::to_string(cpu.id);
            tree.MakeDir(dir);
            if (cpu.package) tree.File(dir + "/topology/physical_package_id", std::string(cpu.package) + "\n");
            if (cpu.online) tree.File(dir + "/online", std::string(cpu.online) + "\n");
        }
        if (c.cpuinfo) tree.File("/proc/cpuinfo", c.cpuinfo);
        Provider provider(ProviderContext(SystemRoot(tree.Dir())));
        const auto system = provider.ExecQuery("SELECT * FROM Win32_ComputerSystem").instances;
        const auto processors = provider.ExecQuery("SELECT * FROM Win32_Processor").instances;
        ASSERT_EQ(system.size(), 1u);
        EXPECT_EQ(system[0].Get("NumberOfProcessors"), Value::UInt(c.packages));
        EXPECT_EQ(system[0].Get("NumberOfLogicalProcessors"), Value::UInt(c.logical));
        uint64_t logical = 0;
        for (const auto& p : processors) logical += p.Get("NumberOfLogicalProcessors").u;
        EXPECT_EQ(processors.size(), c.packages);
        EXPECT_EQ(logical, c.logical);
    }
}
