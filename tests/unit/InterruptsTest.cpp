#include <gtest/gtest.h>

#include "cimv2/provider/Classes.h"
#include "cimv2/sources/Interrupts.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

namespace {

struct LineCase {
    const char* text;
    uint32_t irq;
    const char* chip;
    std::optional<uint32_t> hwirq;
    const char* trigger;
    std::vector<std::string> actions;
};

std::vector<Instance> Irqs(const TempTree& tree) {
    return EnumerateWin32_IRQResource({SystemRoot(tree.Dir()), nullptr});
}

const Instance* FindIrq(const std::vector<Instance>& list, uint64_t irq) {
    for (const auto& inst : list)
        if (inst.Get("IRQNumber").u == irq) return &inst;
    return nullptr;
}

const char* kHeader = "           CPU0       CPU1\n";

}  // namespace

TEST(Interrupts, ParsesTheLineFormatsOfKernelsAndArchitectures) {
    const LineCase cases[] = {
        {"  9:   0   3   IO-APIC   9-fasteoi   acpi", 9, "IO-APIC", 9, "fasteoi", {"acpi"}},
        {" 16:   1   2   IO-APIC  16-fasteoi   ehci_hcd:usb1, uhci_hcd:usb3",
         16,
         "IO-APIC",
         16,
         "fasteoi",
         {"ehci_hcd:usb1", "uhci_hcd:usb3"}},
        {"  0:  123  44  IO-APIC-edge      timer", 0, "IO-APIC", std::nullopt, "edge", {"timer"}},
        {" 11:   5   5   GICv3  27 Level     arch_timer", 11, "GICv3", 27, "level", {"arch_timer"}},
        {" 120:  9   0   PCI-MSI 512000-edge      ahci[0000:00:1f.2]",
         120,
         "PCI-MSI",
         512000,
         "edge",
         {"ahci[0000:00:1f.2]"}},
        {" 27:   0   0   IO-APIC   1-edge", 27, "IO-APIC", 1, "edge", {}},
        {" 28:   0   0 PCI-MSIX-0000:00:01.0   0-edge      virtio0-config",
         28,
         "PCI-MSIX-0000:00:01.0",
         0,
         "edge",
         {"virtio0-config"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto lines = ParseInterrupts(std::string(kHeader) + c.text + "\n");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].irq, c.irq);
        EXPECT_EQ(lines[0].chip, c.chip);
        EXPECT_EQ(lines[0].hwirq, c.hwirq);
        EXPECT_EQ(lines[0].trigger, c.trigger);
        EXPECT_EQ(lines[0].actions, c.actions);
    }
}

TEST(Interrupts, SkipsNamedRowsAndGarbage) {
    const std::string text = std::string(kHeader) +
                             "NMI:          0          0   Non-maskable interrupts\n"
                             "LOC:      12687      11599   Local timer interrupts\n"
                             "ERR:          0\n"
                             "garbage without a colon\n"
                             " 12\n"
                             " 13:\n"
                             " 14:   x   y   IO-APIC 14-edge ata_piix\n"
                             "99999999999:  1  2  IO-APIC 1-edge big\n"
                             "-1:  0  0  IO-APIC 1-edge negative\n"
                             "\n\n\t\n"
                             "  4:   7   0   IO-APIC   4-edge      ttyS0\n"
                             "\x01\xff:\x02\n";
    auto lines = ParseInterrupts(text);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].irq, 4u);
    EXPECT_EQ(lines[0].actions, std::vector<std::string>{"ttyS0"});
    // Without the header line every leading number counts as a counter.
    auto headless = ParseInterrupts("  4:   7   0   1   IO-APIC   4-edge      ttyS0\n");
    ASSERT_EQ(headless.size(), 1u);
    EXPECT_EQ(headless[0].chip, "IO-APIC");
    EXPECT_EQ(headless[0].hwirq, 4u);
}

TEST(Interrupts, DmaLinesGiveChannelAndOwner) {
    auto lines = ParseDma(" 4: cascade\n2: floppy\nnot a channel\n:\n 7 : \n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].channel, 4u);
    EXPECT_EQ(lines[0].device, "cascade");
    EXPECT_EQ(lines[1].channel, 2u);
    EXPECT_EQ(lines[1].device, "floppy");
    EXPECT_EQ(lines[2].channel, 7u);
    EXPECT_EQ(lines[2].device, "");
}

TEST(Win32_IRQResource, BuildsOneInstancePerNumberedLine) {
    TempTree tree;
    tree.File("/proc/sys/kernel/hostname", "box\n")
        .File("/proc/interrupts", std::string(kHeader) +
                                      "  0:  35   0   IO-APIC   2-edge      timer\n"
                                      "  9:   0   3   IO-APIC   9-fasteoi   acpi\n"
                                      " 16:   1   2   IO-APIC  16-fasteoi   ehci_hcd:usb1, uhci_hcd:usb3\n"
                                      " 17:   0   0   IO-APIC  17-fasteoi\n"
                                      " 30:   5   5   GICv3  30 percpu      arch_timer\n"
                                      "NMI:   0   0   Non-maskable interrupts\n"
                                      "junk line\n");
    auto list = Irqs(tree);
    ASSERT_EQ(list.size(), 5u);

    struct Expect {
        uint64_t irq;
        bool shareable;
        uint64_t availability;
        std::optional<uint64_t> trigger;
    };
    const Expect expected[] = {
        {0, false, 4, 4}, {9, false, 4, 3}, {16, true, 5, 3}, {17, false, 3, 3}, {30, false, 4, 2},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.irq);
        const Instance* inst = FindIrq(list, e.irq);
        ASSERT_NE(inst, nullptr);
        EXPECT_EQ(inst->Get("Name").text, "IRQ" + std::to_string(e.irq));
        EXPECT_EQ(inst->Get("Caption").text, inst->Get("Name").text);
        EXPECT_EQ(inst->Get("Shareable").b, e.shareable);
        EXPECT_EQ(inst->Get("Availability").u, e.availability);
        if (e.trigger) {
            EXPECT_EQ(inst->Get("TriggerType").u, *e.trigger);
        }
        EXPECT_TRUE(inst->Get("Hardware").b);
        EXPECT_TRUE(inst->Get("Status").IsNull()) << "the kernel says nothing of an interrupt's health";
        EXPECT_EQ(inst->Get("CSName").text, "box");
        // No debugfs in the tree: no vector and no polarity.
        EXPECT_TRUE(inst->Get("Vector").IsNull());
        EXPECT_TRUE(inst->Get("TriggerLevel").IsNull());
    }
}

TEST(Win32_IRQResource, SysfsDescriptorAndDebugfsRefineTheLine) {
    TempTree tree;
    tree.File("/proc/interrupts", std::string(kHeader) + " 40:   0   0   GICv3  40 fasteoi   eth0\n")
        .File("/sys/kernel/irq/40/type", "level\n")
        .File("/sys/kernel/irq/40/chip_name", "GICv3\n")
        .File("/sys/kernel/irq/40/actions", "eth0,eth0-tx\n")
        .File("/sys/kernel/debug/irq/irqs/40",
              "handler:  handle_fasteoi_irq\ndstate:   0x3400004\n            IRQ_TYPE_LEVEL_HIGH\n"
              "domain:  GICv3\n vector: 33\n");
    auto list = Irqs(tree);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Get("TriggerType").u, 3u);
    EXPECT_EQ(list[0].Get("TriggerLevel").u, 4u);
    EXPECT_EQ(list[0].Get("Vector").u, 33u);
    EXPECT_TRUE(list[0].Get("Shareable").b);
    EXPECT_EQ(list[0].Get("Availability").u, 5u);
}

TEST(Win32_IRQResource, MissingOrEmptyFilesGiveNoInstances) {
    TempTree empty;
    EXPECT_TRUE(Irqs(empty).empty());
    TempTree blank;
    blank.File("/proc/interrupts", "");
    EXPECT_TRUE(Irqs(blank).empty());
}

TEST(Win32_DMAChannel, ListsHeldChannelsAndNothingWithoutTheFile) {
    TempTree tree;
    tree.File("/proc/dma", " 4: cascade\n 2: floppy\ngarbage\n");
    auto list = EnumerateWin32_DMAChannel({SystemRoot(tree.Dir()), nullptr});
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Get("DMAChannel").u, 4u);
    EXPECT_EQ(list[0].Get("Caption").text, "Channel 4");
    EXPECT_EQ(list[0].Get("Name").text, "Channel 4");
    EXPECT_EQ(list[0].Get("Description").text, "cascade");
    EXPECT_EQ(list[1].Get("Description").text, "floppy");
    // The kernel says nothing about transfer modes.
    for (const char* prop : {"Port", "AddressSize", "BurstMode", "ByteMode", "WordMode", "ChannelTiming",
                             "MaxTransferSize", "TypeCTiming", "CSName"})
        EXPECT_TRUE(list[0].Get(prop).IsNull()) << prop;

    TempTree missing;
    EXPECT_TRUE(EnumerateWin32_DMAChannel({SystemRoot(missing.Dir()), nullptr}).empty());
}
