// Values of Win32_ComputerSystem that need more than one source to get right.
#include <gtest/gtest.h>

#include "cimv2/core/Provider.h"
#include "tests/support/Fixtures.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

namespace {

Instance ComputerSystem(const std::string& root) {
    auto list = Provider(ProviderContext(SystemRoot(root))).ExecQuery("SELECT * FROM Win32_ComputerSystem").instances;
    if (list.size() != 1) throw std::runtime_error("expected one computer system");
    return list[0];
}

const char* kX86NoFlag = "processor\t: 0\nflags\t\t: fpu vme de pse tsc msr\n\n";
const char* kX86Flag = "processor\t: 0\nflags\t\t: fpu vme hypervisor tsc\n\n";
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
        std::optional<bool> expected;
    };
    const Case cases[] = {
        {"cpu flag", kX86Flag, "Dell Inc.", "OptiPlex 7070", nullptr, nullptr, true},
        {"VirtualBox without the flag", kX86NoFlag, "innotek GmbH", "VirtualBox", nullptr, nullptr, true},
        {"KVM product", kX86NoFlag, "Red Hat", "KVM", nullptr, nullptr, true},
        {"/sys/hypervisor", kX86NoFlag, "Dell Inc.", "PowerEdge", "xen", nullptr, true},
        {"virtio device", kX86NoFlag, "Dell Inc.", "PowerEdge", nullptr, "0x1af4", true},
        {"bare metal", kX86NoFlag, "Dell Inc.", "OptiPlex 7070", nullptr, "0x8086", false},
        {"no flags to go by", kArm, "Raspberry Pi Foundation", "Raspberry Pi 4", nullptr, nullptr, std::nullopt},
        {"no firmware strings", kX86NoFlag, nullptr, nullptr, nullptr, nullptr, std::nullopt},
        {"nothing at all", nullptr, nullptr, nullptr, nullptr, nullptr, std::nullopt},
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
