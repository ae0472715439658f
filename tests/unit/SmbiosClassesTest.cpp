// The SMBIOS-backed classes and the computer system against captured trees.
#include <gtest/gtest.h>

#include <map>

#include "cimv2/provider/Provider.h"

using namespace cimv2;

namespace {

const std::string kPhysical = std::string(SYSQUILL_FIXTURES) + "/physical-desktop/tree";
const std::string kCorrupt = std::string(SYSQUILL_FIXTURES) + "/corrupt-smbios/tree";

std::vector<Instance> Query(const std::string& root, const std::string& wql, SystemActions* actions = nullptr) {
    return Provider(ProviderContext{SystemRoot(root), actions}).ExecQuery(wql).instances;
}

std::vector<uint64_t> UInts(const Value& v) {
    std::vector<uint64_t> out;
    for (const auto& item : v.items) out.push_back(item.u);
    return out;
}

class RecordingActions : public SystemActions {
public:
    uint32_t SetStaticHostName(const std::string& name) override {
        FNames.push_back(name);
        return FResult;
    }
    uint32_t Reboot() override {
        FNames.push_back("<reboot>");
        return FResult;
    }
    std::vector<std::string> FNames;
    uint32_t FResult = 0;
};

}  // namespace

TEST(SmbiosClasses, BiosFromType0) {
    auto bios = Query(kPhysical, "SELECT * FROM Win32_BIOS");
    ASSERT_EQ(bios.size(), 1u);
    const Instance& b = bios[0];
    // SMBIOS bits 7..30, extension byte 1 (ACPI, USB legacy) and byte 2 (boot spec, targeted content, UEFI).
    EXPECT_EQ(UInts(b.Get("BiosCharacteristics")), (std::vector<uint64_t>{7,  9,  11, 12, 15, 16, 17, 19, 23, 24, 25,
                                                                          26, 27, 28, 29, 30, 32, 33, 40, 42, 43}));
    EXPECT_EQ(b.Get("ReleaseDate"), Value::Text("20221108000000.000000+000"));
    EXPECT_EQ(b.Get("SMBIOSBIOSVersion"), Value::Text("1.A0"));
    EXPECT_EQ(b.Get("Name"), Value::Text("1.A0"));
    EXPECT_EQ(b.Get("Manufacturer"), Value::Text("American Megatrends International, LLC."));
    EXPECT_EQ(b.Get("SMBIOSMajorVersion"), Value::UInt(3));
    EXPECT_EQ(b.Get("SMBIOSMinorVersion"), Value::UInt(3));
    EXPECT_EQ(b.Get("SMBIOSPresent"), Value::Bool(true));
    EXPECT_EQ(b.Get("SerialNumber"), Value::Text("To be filled by O.E.M."));
    EXPECT_EQ(b.Get("SystemBiosMajorVersion"), Value::UInt(5));
    EXPECT_EQ(b.Get("SystemBiosMinorVersion"), Value::UInt(27));
    EXPECT_TRUE(b.Get("EmbeddedControllerMajorVersion").IsNull());
    EXPECT_EQ(b.Get("CurrentLanguage"), Value::Text("en|US|iso8859-1"));
    EXPECT_EQ(b.Get("ListOfLanguages").items.size(), 2u);
    EXPECT_EQ(b.Get("SoftwareElementState"), Value::UInt(3));
    EXPECT_TRUE(b.Get("InstallDate").IsNull());
    EXPECT_TRUE(b.Get("BuildNumber").IsNull());
}

TEST(SmbiosClasses, BaseBoardFromType2) {
    auto boards = Query(kPhysical, "SELECT * FROM Win32_BaseBoard");
    ASSERT_EQ(boards.size(), 1u);
    const Instance& b = boards[0];
    EXPECT_EQ(b.Get("Product"), Value::Text("MAG B550 TOMAHAWK (MS-7C91)"));
    EXPECT_EQ(b.Get("Manufacturer"), Value::Text("Micro-Star International Co., Ltd."));
    EXPECT_EQ(b.Get("SerialNumber"), Value::Text("07C9111_L91E123456"));
    EXPECT_EQ(b.Get("Caption"), Value::Text("Base Board"));
    EXPECT_EQ(b.Get("Tag"), Value::Text("Base Board"));
    // Feature flags 0x09: hosting board and replaceable.
    const std::pair<const char*, bool> flags[] = {{"HostingBoard", true},
                                                  {"RequiresDaughterBoard", false},
                                                  {"Removable", false},
                                                  {"Replaceable", true},
                                                  {"HotSwappable", false}};
    for (const auto& [name, expected] : flags) EXPECT_EQ(b.Get(name), Value::Bool(expected)) << name;
    // A captured tree is not running: nothing says its board is powered, nor how it is.
    EXPECT_TRUE(b.Get("PoweredOn").IsNull());
    EXPECT_TRUE(b.Get("Status").IsNull());
}

TEST(SmbiosClasses, FourSystemSlotsWithWmiCodes) {
    auto slots = Query(kPhysical, "SELECT * FROM Win32_SystemSlot");
    ASSERT_EQ(slots.size(), 4u);
    struct Expect {
        const char* designation;
        std::optional<uint64_t> usage, width, bus, device, function;
        bool pme, hotPlug, shared;
    };
    const Expect expected[] = {
        {"PCI_E1", 4, std::nullopt, 0x2D, 0, 0, true, false, false},  // x16 lanes: no WMI width
        {"PCI_E2", 3, std::nullopt, std::nullopt, std::nullopt, std::nullopt, true, true, false},
        {"PCI1", 4, 2, 5, 4, 0, true, false, true},               // 32-bit PCI is code 2
        {"M2_1", 1, std::nullopt, 2, 0, 0, false, false, false},  // unavailable reads as other
    };
    auto opt = [](const Value& v) { return v.IsNull() ? std::nullopt : std::optional<uint64_t>(v.u); };
    for (size_t n = 0; n < 4; ++n) {
        const Instance& s = slots[n];
        const Expect& e = expected[n];
        EXPECT_EQ(s.Get("SlotDesignation"), Value::Text(e.designation));
        EXPECT_EQ(s.Get("Tag"), Value::Text("System Slot " + std::to_string(n)));
        EXPECT_EQ(opt(s.Get("CurrentUsage")), e.usage) << e.designation;
        EXPECT_EQ(opt(s.Get("MaxDataWidth")), e.width) << e.designation;
        EXPECT_EQ(opt(s.Get("BusNumber")), e.bus) << e.designation;
        EXPECT_EQ(opt(s.Get("DeviceNumber")), e.device) << e.designation;
        EXPECT_EQ(opt(s.Get("FunctionNumber")), e.function) << e.designation;
        EXPECT_EQ(s.Get("PMESignal"), Value::Bool(e.pme)) << e.designation;
        EXPECT_EQ(s.Get("SupportsHotPlug"), Value::Bool(e.hotPlug)) << e.designation;
        EXPECT_EQ(s.Get("Shared"), Value::Bool(e.shared)) << e.designation;
        EXPECT_EQ(s.Get("SegmentGroupNumber"), Value::UInt(0));
        EXPECT_EQ(UInts(s.Get("VccMixedVoltageSupport")), std::vector<uint64_t>{2}) << "3.3 V";
    }
}

TEST(SmbiosClasses, CacheLevelsAndSizesFromType7) {
    auto caches = Query(kPhysical, "SELECT * FROM Win32_CacheMemory");
    ASSERT_EQ(caches.size(), 4u);
    struct Expect {
        uint64_t level, type, kb, associativity;
    };
    const Expect expected[] = {{3, 4, 256, 7}, {3, 3, 256, 7}, {4, 5, 4096, 7}, {5, 5, 32768, 8}};
    for (size_t n = 0; n < 4; ++n) {
        const Instance& c = caches[n];
        EXPECT_EQ(c.Get("DeviceID"), Value::Text("Cache Memory " + std::to_string(n)));
        EXPECT_EQ(c.Get("Level"), Value::UInt(expected[n].level)) << n;
        EXPECT_EQ(c.Get("CacheType"), Value::UInt(expected[n].type)) << n;
        EXPECT_EQ(c.Get("MaxCacheSize"), Value::UInt(expected[n].kb)) << n;
        EXPECT_EQ(c.Get("InstalledSize"), Value::UInt(expected[n].kb)) << n;
        EXPECT_EQ(c.Get("Associativity"), Value::UInt(expected[n].associativity)) << n;
        // The class's block size for memory is 1: the blocks are bytes.
        EXPECT_EQ(c.Get("BlockSize"), Value::UInt(1));
        EXPECT_EQ(c.Get("NumberOfBlocks"), Value::UInt(expected[n].kb * 1024));
        EXPECT_EQ(c.Get("WritePolicy"), Value::UInt(3)) << "write back";
        EXPECT_EQ(c.Get("Location"), Value::UInt(0)) << "internal";
        EXPECT_EQ(c.Get("StatusInfo"), Value::UInt(3)) << "enabled";
        EXPECT_EQ(c.Get("Availability"), Value::UInt(3)) << "running, from the enabled bit";
        EXPECT_EQ(c.Get("SystemName"), Value::Text("workstation-07"));
    }
}

TEST(SmbiosClasses, CachesFromSysfsCountSharedCachesOnce) {
    // The corrupt table holds no cache structures: the kernel's view is used.
    // Two cores with two threads each: L1d, L1i and L2 per core, one L3.
    auto caches = Query(kCorrupt, "SELECT * FROM Win32_CacheMemory");
    std::map<std::pair<uint64_t, uint64_t>, int> count;
    for (const auto& c : caches) {
        ++count[{c.Get("Level").u, c.Get("CacheType").u}];
        EXPECT_EQ(c.Get("LineSize"), Value::UInt(64));
        EXPECT_EQ(c.Get("MaxCacheSize"), c.Get("InstalledSize"));
    }
    EXPECT_EQ(caches.size(), 7u);
    EXPECT_EQ((count[{3, 4}]), 2);
    EXPECT_EQ((count[{3, 3}]), 2);
    EXPECT_EQ((count[{4, 5}]), 2);
    EXPECT_EQ((count[{5, 5}]), 1);
    auto l3 = Query(kCorrupt, "SELECT * FROM Win32_CacheMemory WHERE Level = 5");
    ASSERT_EQ(l3.size(), 1u);
    EXPECT_EQ(l3[0].Get("MaxCacheSize"), Value::UInt(3072));
    EXPECT_EQ(l3[0].Get("Associativity"), Value::UInt(8)) << "16 ways";
}

TEST(SmbiosClasses, ComputerSystemCountsAndMemory) {
    auto systems = Query(kPhysical, "SELECT * FROM Win32_ComputerSystem");
    ASSERT_EQ(systems.size(), 1u);
    const Instance& s = systems[0];
    EXPECT_EQ(s.Get("TotalPhysicalMemory"), Value::UInt(32795696ull * 1024));
    EXPECT_EQ(s.Get("NumberOfProcessors"), Value::UInt(1));
    EXPECT_EQ(s.Get("NumberOfLogicalProcessors"), Value::UInt(16));
    EXPECT_EQ(s.Get("Name"), Value::Text("workstation-07"));
    EXPECT_EQ(s.Get("Caption"), Value::Text("workstation-07"));
    EXPECT_EQ(s.Get("Domain"), Value::Text("lab.example.org"));
    EXPECT_EQ(s.Get("PartOfDomain"), Value::Bool(true));
    EXPECT_EQ(s.Get("Manufacturer"), Value::Text("Micro-Star International Co., Ltd."));
    EXPECT_EQ(s.Get("Model"), Value::Text("MS-7C91"));
    EXPECT_EQ(s.Get("SystemType"), Value::Text("x64-based PC"));
    EXPECT_EQ(s.Get("PCSystemType"), Value::UInt(1)) << "desktop chassis";
    EXPECT_EQ(s.Get("WakeUpType"), Value::UInt(6)) << "power switch";
    EXPECT_EQ(s.Get("ThermalState"), Value::UInt(3));
    EXPECT_EQ(s.Get("HypervisorPresent"), Value::Bool(false));
    EXPECT_EQ(s.Get("OEMStringArray").items.size(), 2u);
    EXPECT_TRUE(s.Get("CurrentTimeZone").IsNull());
    EXPECT_TRUE(s.Get("AdminPasswordStatus").IsNull()) << "the table has no type 24";
}

TEST(SmbiosClasses, RenameGoesThroughSystemActions) {
    Provider noActions(ProviderContext{SystemRoot(kPhysical), nullptr});
    auto target = noActions.ExecQuery("SELECT * FROM Win32_ComputerSystem").instances.at(0);
    auto returnValue = [](const ParamList& out) {
        EXPECT_EQ(out.at(0).first, "ReturnValue");
        return out.at(0).second;
    };
    EXPECT_EQ(
        returnValue(noActions.ExecMethod("Win32_ComputerSystem", target, "Rename", {{"Name", Value::Text("newname")}})),
        Value::UInt(5))
        << "refused without a system-actions seam";

    RecordingActions actions;
    actions.FResult = 0;
    Provider provider(ProviderContext{SystemRoot(kPhysical), &actions});
    EXPECT_EQ(
        returnValue(provider.ExecMethod(
            "Win32_ComputerSystem", target, "Rename",
            {{"Name", Value::Text("bench-12")}, {"Password", Value::Text("x")}, {"UserName", Value::Text("admin")}})),
        Value::UInt(0));
    actions.FResult = 1326;
    EXPECT_EQ(
        returnValue(provider.ExecMethod("Win32_ComputerSystem", target, "rename", {{"name", Value::Text("lab-3")}})),
        Value::UInt(1326))
        << "the action's code comes back unchanged";
    EXPECT_EQ(returnValue(provider.ExecMethod("Win32_ComputerSystem", target, "Rename", {})), Value::UInt(87));
    EXPECT_EQ(actions.FNames, (std::vector<std::string>{"bench-12", "lab-3"}));
}

TEST(SmbiosClasses, CorruptTableStillAnswersWithNulls) {
    auto bios = Query(kCorrupt, "SELECT * FROM Win32_BIOS");
    ASSERT_EQ(bios.size(), 1u);
    EXPECT_EQ(bios[0].Get("Manufacturer"), Value::Text("American Megatrends Inc."));
    EXPECT_TRUE(bios[0].Get("SMBIOSBIOSVersion").IsNull()) << "string index out of range";
    EXPECT_TRUE(bios[0].Get("Name").IsNull());
    EXPECT_EQ(bios[0].Get("ReleaseDate"), Value::Text("20150401000000.000000+000"));

    auto boards = Query(kCorrupt, "SELECT * FROM Win32_BaseBoard");
    ASSERT_EQ(boards.size(), 1u);
    EXPECT_EQ(boards[0].Get("Product"), Value::Text("P8H61-M LE"));
    EXPECT_TRUE(boards[0].Get("HostingBoard").IsNull()) << "structure ends before the feature flags";

    // The second slot's length runs past the table: only the first is read.
    auto slots = Query(kCorrupt, "SELECT * FROM Win32_SystemSlot");
    ASSERT_EQ(slots.size(), 1u);
    EXPECT_EQ(slots[0].Get("SlotDesignation"), Value::Text("PCIEX16_1"));

    auto systems = Query(kCorrupt, "SELECT * FROM Win32_ComputerSystem");
    ASSERT_EQ(systems.size(), 1u);
    EXPECT_TRUE(systems[0].Get("Manufacturer").IsNull());
    EXPECT_EQ(systems[0].Get("NumberOfLogicalProcessors"), Value::UInt(4));
    EXPECT_TRUE(systems[0].Get("SystemType").IsNull()) << "no /proc/sys/kernel/arch in this tree";
}

TEST(SmbiosClasses, NothingToReadGivesNoSmbiosInstances) {
    const std::string empty = "/nonexistent-sysquill-root";
    for (const char* cls : {"Win32_BIOS", "Win32_BaseBoard", "Win32_SystemSlot", "Win32_CacheMemory"})
        EXPECT_TRUE(Query(empty, std::string("SELECT * FROM ") + cls).empty()) << cls;
}
