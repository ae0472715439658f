#include <gtest/gtest.h>

#include <cstdio>

#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/sources/DeviceTree.h"
#include "tests/unit/TempTree.h"

using namespace cimv2;

namespace {

std::vector<std::string> Texts(const Value& value) {
    std::vector<std::string> out;
    for (const auto& item : value.items) out.push_back(item.text);
    return out;
}

const Instance* FindById(const std::vector<Instance>& list, const std::string& id) {
    for (const auto& inst : list)
        if (inst.Get("DeviceID").text == id) return &inst;
    return nullptr;
}

// A PCI function under the root bridge, linked from the bus as sysfs does.
void AddPci(TempTree& tree, const std::string& slot, const std::string& vendor, const std::string& device,
            const std::string& subVendor, const std::string& subDevice, const std::string& revision,
            const std::string& cls, const char* driver) {
    const std::string dir = "/sys/devices/pci0000:00/" + slot;
    tree.File(dir + "/vendor", vendor + "\n")
        .File(dir + "/device", device + "\n")
        .File(dir + "/subsystem_vendor", subVendor + "\n")
        .File(dir + "/subsystem_device", subDevice + "\n")
        .File(dir + "/revision", revision + "\n")
        .File(dir + "/class", cls + "\n")
        .Link(dir + "/subsystem", "../../../bus/pci")
        .Link("/sys/bus/pci/devices/" + slot, "../../../devices/pci0000:00/" + slot);
    if (driver) tree.Link(dir + "/driver", std::string("../../../bus/pci/drivers/") + driver);
}

const char* kPciIds =
    "# comment\n"
    "1af4  Red Hat, Inc.\n"
    "\t1000  Virtio network device\n"
    "\t\t1af4 0001  Virtio network device\n"
    "8086  Intel Corporation\n"
    "\t29c0  82G33/G31/P35/P31 Express DRAM Controller\n"
    "zzzz  not a vendor\n"
    "\tgarbage\n"
    "C 02  Network controller\n"
    "\t00  Ethernet controller\n"
    "C 06  Bridge\n"
    "\t00  Host bridge\n"
    "\t04  PCI bridge\n";

std::vector<Instance> Entities(const TempTree& tree) {
    return EnumerateWin32_PnPEntity({SystemRoot(tree.Dir()), nullptr});
}

}  // namespace

TEST(DeviceTree, PciIdsNamesVendorsDevicesAndClasses) {
    auto ids = devtree::PciIds::FromText(kPciIds);
    EXPECT_EQ(ids.Vendor(0x1af4), "Red Hat, Inc.");
    EXPECT_EQ(ids.Device(0x1af4, 0x1000), "Virtio network device");
    EXPECT_EQ(ids.Device(0x8086, 0x29c0), "82G33/G31/P35/P31 Express DRAM Controller");
    EXPECT_EQ(ids.Device(0x8086, 0x1000), std::nullopt);
    EXPECT_EQ(ids.Class(0x02, 0x00), "Ethernet controller");
    EXPECT_EQ(ids.Class(0x06, 0x80), "Bridge");  // unlisted subclass: the base class
    EXPECT_EQ(ids.Class(0x03, 0x00), std::nullopt);
    // A copy outlives the original (the names point into shared text).
    devtree::PciIds copy;
    { copy = devtree::PciIds::FromText("1234  Tiny\n"); }
    EXPECT_EQ(copy.Vendor(0x1234), "Tiny");
}

TEST(DeviceTree, PciIdsFromAFileAnswerAsFromText) {
    // A database of some 600 KB: vendors whose device blocks cross the
    // boundaries of the pieces the file is read in, comments and blank lines
    // inside blocks, a line longer than any entry, a vendor listed twice and
    // one out of order, and the class list at the end.
    auto hex = [](uint32_t value) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04x", value);
        return std::string(buf);
    };
    std::string text = "#\n#\tList of IDs\n#\n\n";
    std::vector<uint32_t> vendors;
    for (uint32_t v = 0x1000; v < 0x1000 + 3000; v += 1) vendors.push_back(v);
    vendors.push_back(0x0042);  // out of order
    for (uint32_t v : vendors) {
        text += hex(v) + "  Vendor " + hex(v) + "\n";
        for (uint32_t d = 0; d < v % 7; ++d) {
            text += "\t" + hex(d) + "  Device " + hex(v) + ":" + hex(d) + "\n";
            text += "\t\t" + hex(v) + " " + hex(d + 1) + "  Subsystem of " + hex(d) + "\n";
            if (d == 2) text += "# a comment inside the block\n\n";
            if (v == 0x1501 && d == 0) text += "#" + std::string(100000, 'x') + "\n";
        }
    }
    text += "1001  Vendor listed again\n\t0006  Device only in the second block\n";
    text += "C 01  Mass storage controller\n\t06  SATA controller\n\t\t01  AHCI 1.0\n";
    TempTree tree;
    tree.File("/usr/share/misc/pci.ids", text);
    const auto fromText = devtree::PciIds::FromText(text);
    const auto fromFile = devtree::PciIds::Load(SystemRoot(tree.Dir()));
    for (const auto* ids : {&fromText, &fromFile}) {
        for (uint32_t v : vendors) {
            ASSERT_EQ(ids->Vendor(v), "Vendor " + hex(v)) << hex(v);
            for (uint32_t d = 0; d < v % 7; ++d)
                ASSERT_EQ(ids->Device(v, d), "Device " + hex(v) + ":" + hex(d)) << hex(v) << ":" << hex(d);
            ASSERT_EQ(ids->Device(v, v % 7), std::nullopt) << hex(v);
        }
        // A vendor listed twice is its first entry, devices and all.
        EXPECT_EQ(ids->Device(0x1001, 6), std::nullopt);
        EXPECT_EQ(ids->Class(0x01, 0x06), "SATA controller");
        EXPECT_EQ(ids->Class(0x01, 0x80), "Mass storage controller");
    }
}

TEST(DeviceTree, PciIdsAreReadWhenTheFirstNameIsAskedFor) {
    TempTree tree;
    tree.File("/usr/share/hwdata/pci.ids.unused", "");
    const auto ids = devtree::PciIds::Load(SystemRoot(tree.Dir()));
    // Installed after Load and before the first name: found.
    tree.File("/usr/share/hwdata/pci.ids", "8086  Intel Corporation\n\t1237  440FX - 82441FX PMC [Natoma]\n");
    EXPECT_EQ(ids.Device(0x8086, 0x1237), "440FX - 82441FX PMC [Natoma]");
    EXPECT_EQ(ids.Vendor(0x8086), "Intel Corporation");
    // No database at all: no names.
    TempTree empty;
    EXPECT_EQ(devtree::PciIds::Load(SystemRoot(empty.Dir())).Vendor(0x8086), std::nullopt);
    EXPECT_EQ(devtree::PciIds().Class(0x01, 0x06), std::nullopt);
}

TEST(DeviceTree, ParseHexAcceptsSysfsFormsOnly) {
    EXPECT_EQ(ParseHex("0x1af4"), 0x1af4u);
    EXPECT_EQ(ParseHex("1AF4"), 0x1af4u);
    EXPECT_EQ(ParseHex(" 0x020000 "), 0x020000u);
    for (const char* bad : {"", "0x", "xyz", "0x123456789", "12 34", "-1"})
        EXPECT_EQ(ParseHex(bad), std::nullopt) << bad;
}

TEST(Win32_PnPEntity, PciDeviceIdsFollowTheWindowsForm) {
    TempTree tree;
    tree.File("/proc/sys/kernel/hostname", "box\n").File("/usr/share/misc/pci.ids", kPciIds);
    AddPci(tree, "0000:00:03.0", "0x1af4", "0x1000", "0x1af4", "0x0001", "0x00", "0x020000", "virtio-pci");
    auto list = Entities(tree);
    ASSERT_EQ(list.size(), 1u);
    const Instance& nic = list[0];
    EXPECT_EQ(nic.Get("DeviceID").text, "PCI\\VEN_1AF4&DEV_1000&SUBSYS_00011AF4&REV_00\\0000:00:03.0");
    EXPECT_EQ(nic.Get("PNPDeviceID").text, nic.Get("DeviceID").text);
    EXPECT_EQ(Texts(nic.Get("HardwareID")),
              (std::vector<std::string>{"PCI\\VEN_1AF4&DEV_1000&SUBSYS_00011AF4&REV_00",
                                        "PCI\\VEN_1AF4&DEV_1000&SUBSYS_00011AF4", "PCI\\VEN_1AF4&DEV_1000&CC_020000",
                                        "PCI\\VEN_1AF4&DEV_1000&CC_0200"}));
    EXPECT_EQ(
        Texts(nic.Get("CompatibleID")),
        (std::vector<std::string>{"PCI\\VEN_1AF4&DEV_1000&REV_00", "PCI\\VEN_1AF4&DEV_1000", "PCI\\VEN_1AF4&CC_020000",
                                  "PCI\\VEN_1AF4&CC_0200", "PCI\\VEN_1AF4", "PCI\\CC_020000", "PCI\\CC_0200"}));
    EXPECT_EQ(nic.Get("Name").text, "Virtio network device");
    EXPECT_EQ(nic.Get("Caption").text, "Virtio network device");
    EXPECT_EQ(nic.Get("Manufacturer").text, "Red Hat, Inc.");
    EXPECT_EQ(nic.Get("PNPClass").text, "Net");
    EXPECT_EQ(nic.Get("ClassGuid").text, "{4d36e972-e325-11ce-bfc1-08002be10318}");
    EXPECT_EQ(nic.Get("Service").text, "virtio-pci");
    EXPECT_EQ(nic.Get("ConfigManagerErrorCode").u, 0u);
    EXPECT_EQ(nic.Get("Status").text, "OK");
    EXPECT_TRUE(nic.Get("Present").b);
    EXPECT_TRUE(nic.Get("ConfigManagerUserConfig").IsNull()) << "the machine does not say";
    EXPECT_EQ(nic.Get("SystemName").text, "box");
    EXPECT_EQ(nic.Get("CreationClassName").text, "Win32_PnPEntity");
}

// A device that needs a driver and has none is "drivers not installed";
// bridges and other system devices work without one.
TEST(Win32_PnPEntity, OnlyDevicesThatNeedADriverAreErrorsWithoutOne) {
    struct Case {
        const char* ids;  // pci.ids text, or none
        const char* classCode;
        const char* name;
        const char* pnpClass;
        uint64_t errorCode;
        const char* status;
    };
    const Case cases[] = {
        {kPciIds, "0x060000", "Host bridge", "System", 0, "OK"},
        {nullptr, "0x060000", "Bridge", "System", 0, "OK"},
        {nullptr, "0x020000", "Network controller", "Net", 28, "Error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempTree tree;
        if (c.ids) tree.File("/usr/share/misc/pci.ids", c.ids);
        AddPci(tree, "0000:00:00.0", "0x8086", "0x0d57", "0x0000", "0x0000", "0x00", c.classCode, nullptr);
        auto list = Entities(tree);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].Get("ConfigManagerErrorCode").u, c.errorCode);
        EXPECT_EQ(list[0].Get("Status").text, c.status);
        EXPECT_TRUE(list[0].Get("Service").IsNull());
        EXPECT_EQ(list[0].Get("Name").text, c.name);
        EXPECT_EQ(list[0].Get("PNPClass").text, c.pnpClass);
        EXPECT_EQ(list[0].Get("DeviceID").text, "PCI\\VEN_8086&DEV_0D57&SUBSYS_00000000&REV_00\\0000:00:00.0");
    }
}

TEST(Win32_PnPEntity, MalformedPciAttributesSkipTheDeviceOrDropTheirPart) {
    TempTree tree;
    AddPci(tree, "0000:00:01.0", "banana", "0x1000", "0x1af4", "0x0001", "0x00", "0x020000", nullptr);
    AddPci(tree, "0000:00:02.0", "0x1af4", "0x1001", "junk", "0x0001", "0x1ff", "0x02", "virtio-pci");
    auto list = Entities(tree);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Get("DeviceID").text, "PCI\\VEN_1AF4&DEV_1001\\0000:00:02.0");
}

TEST(Win32_PnPEntity, UsbDevicesAndInterfaces) {
    TempTree tree;
    const std::string dev = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";
    tree.File(dev + "/idVendor", "046d\n")
        .File(dev + "/idProduct", "c52b\n")
        .File(dev + "/bcdDevice", "1211\n")
        .File(dev + "/bDeviceClass", "00\n")
        .File(dev + "/product", "USB Receiver\n")
        .File(dev + "/manufacturer", "Logitech\n")
        .File(dev + "/serial", "ABC123\n")
        .Link(dev + "/driver", "../../../../../bus/usb/drivers/usb")
        .File(dev + "/1-2:1.1/bInterfaceNumber", "01\n")
        .File(dev + "/1-2:1.1/bInterfaceClass", "03\n")
        .File(dev + "/1-2:1.1/bInterfaceSubClass", "01\n")
        .File(dev + "/1-2:1.1/bInterfaceProtocol", "02\n")
        .Link("/sys/bus/usb/devices/1-2", "../../../devices/pci0000:00/0000:00:14.0/usb1/1-2")
        .Link("/sys/bus/usb/devices/1-2:1.1", "../../../devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1");
    auto list = Entities(tree);
    ASSERT_EQ(list.size(), 2u);
    const Instance* device = FindById(list, "USB\\VID_046D&PID_C52B\\ABC123");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->Get("Name").text, "USB Receiver");
    EXPECT_EQ(device->Get("Manufacturer").text, "Logitech");
    EXPECT_EQ(Texts(device->Get("HardwareID")),
              (std::vector<std::string>{"USB\\VID_046D&PID_C52B&REV_1211", "USB\\VID_046D&PID_C52B"}));
    EXPECT_EQ(device->Get("PNPClass").text, "USB");
    EXPECT_EQ(device->Get("ConfigManagerErrorCode").u, 0u);

    const Instance* mouse = FindById(list, "USB\\VID_046D&PID_C52B&MI_01\\1-2:1.1");
    ASSERT_NE(mouse, nullptr);
    EXPECT_EQ(
        Texts(mouse->Get("CompatibleID")),
        (std::vector<std::string>{"USB\\Class_03&SubClass_01&Prot_02", "USB\\Class_03&SubClass_01", "USB\\Class_03"}));
    EXPECT_EQ(mouse->Get("PNPClass").text, "HIDClass");
    EXPECT_EQ(mouse->Get("Name").text, "USB Receiver");  // no interface string: the device's product
    EXPECT_EQ(mouse->Get("ConfigManagerErrorCode").u, 28u);
}

TEST(Win32_PnPEntity, FirmwareDevicesAppearOnceWithTheBusDriver) {
    TempTree tree;
    const std::string acpi = "/sys/devices/LNXSYSTM:00/LNXSYBUS:00/PNP0501:00";
    const std::string pnp = "/sys/devices/pnp0/00:01";
    tree.File(acpi + "/hid", "PNP0501\n")
        .File(acpi + "/uid", "1\n")
        .File(acpi + "/modalias", "acpi:PNP0501:PNP0500:\n")
        .Link(acpi + "/physical_node", "../../../pnp0/00:01")
        .Link("/sys/bus/acpi/devices/PNP0501:00", "../../../devices/LNXSYSTM:00/LNXSYBUS:00/PNP0501:00")
        .File(acpi + "/../device:00/adr", "0x00010000\n")
        .Link("/sys/bus/acpi/devices/device:00", "../../../devices/LNXSYSTM:00/LNXSYBUS:00/device:00")
        .File(pnp + "/id", "PNP0501\n")
        .Link(pnp + "/firmware_node", "../../LNXSYSTM:00/LNXSYBUS:00/PNP0501:00")
        .Link(pnp + "/driver", "../../../bus/pnp/drivers/serial")
        .Link("/sys/bus/pnp/devices/00:01", "../../../devices/pnp0/00:01")
        .File("/sys/devices/platform/pcspkr/modalias", "platform:pcspkr\n")
        .Link("/sys/devices/platform/pcspkr/driver", "../../../bus/platform/drivers/pcspkr")
        .Link("/sys/bus/platform/devices/pcspkr", "../../../devices/platform/pcspkr");
    auto list = Entities(tree);
    ASSERT_EQ(list.size(), 2u);  // the serial port once, the speaker; device:00 has no hardware ID
    EXPECT_EQ(list[0].Get("DeviceID").text, "ACPI\\PNP0501\\1");
    EXPECT_EQ(list[0].Get("Service").text, "serial");
    EXPECT_EQ(list[0].Get("PNPClass").text, "Ports");
    EXPECT_EQ(Texts(list[0].Get("HardwareID")), (std::vector<std::string>{"ACPI\\PNP0501", "*PNP0501"}));
    EXPECT_EQ(Texts(list[0].Get("CompatibleID")), (std::vector<std::string>{"ACPI\\PNP0500", "*PNP0500"}));
    EXPECT_EQ(list[1].Get("DeviceID").text, "PLATFORM\\pcspkr");
    EXPECT_EQ(list[1].Get("Service").text, "pcspkr");
    for (const auto& inst : list) EXPECT_FALSE(inst.Get("ConfigManagerErrorCode").IsNull());
}

TEST(Win32_PnPEntity, NoSysfsGivesNoInstances) {
    TempTree tree;
    EXPECT_TRUE(Entities(tree).empty());
}

TEST(Win32_Bus, PciBusesNamedByTheirBridgesAndUsbRootHubs) {
    TempTree tree;
    tree.File("/proc/sys/kernel/hostname", "box\n");
    AddPci(tree, "0000:00:1c.0", "0x8086", "0xa110", "0x8086", "0x7270", "0xf1", "0x060400", "pcieport");
    tree.File("/sys/devices/LNXSYSTM:00/LNXSYBUS:00/PNP0A08:00/hid", "PNP0A08\n")
        .File("/sys/devices/LNXSYSTM:00/LNXSYBUS:00/PNP0A08:00/uid", "0\n")
        .Link("/sys/devices/pci0000:00/firmware_node", "../LNXSYSTM:00/LNXSYBUS:00/PNP0A08:00")
        .MakeDir("/sys/devices/pci0000:00/pci_bus/0000:00")
        .Link("/sys/devices/pci0000:00/pci_bus/0000:00/device", "../../../pci0000:00")
        .Link("/sys/class/pci_bus/0000:00", "../../devices/pci0000:00/pci_bus/0000:00")
        .MakeDir("/sys/devices/pci0000:00/0000:00:1c.0/pci_bus/0000:02")
        .Link("/sys/devices/pci0000:00/0000:00:1c.0/pci_bus/0000:02/device", "../../../0000:00:1c.0")
        .Link("/sys/class/pci_bus/0000:02", "../../devices/pci0000:00/0000:00:1c.0/pci_bus/0000:02")
        .File("/sys/devices/pci0000:00/0000:00:14.0/usb3/busnum", "3\n")
        .File("/sys/devices/pci0000:00/0000:00:14.0/usb3/idVendor", "1d6b\n")
        .File("/sys/devices/pci0000:00/0000:00:14.0/usb3/idProduct", "0003\n")
        .Link("/sys/devices/pci0000:00/0000:00:14.0/usb3/subsystem", "../../../../bus/usb")
        .Link("/sys/bus/usb/devices/usb3", "../../../devices/pci0000:00/0000:00:14.0/usb3");
    auto list = EnumerateWin32_Bus({SystemRoot(tree.Dir()), nullptr});
    ASSERT_EQ(list.size(), 3u);
    struct Expect {
        const char* id;
        uint64_t number;
        std::optional<uint64_t> type;
        const char* pnp;
    };
    const Expect expected[] = {
        {"PCI_BUS_0", 0, 5, "ACPI\\PNP0A08\\0"},
        {"PCI_BUS_2", 2, 5, "PCI\\VEN_8086&DEV_A110&SUBSYS_72708086&REV_F1\\0000:00:1c.0"},
        {"USB_BUS_3", 3, std::nullopt, "USB\\VID_1D6B&PID_0003\\usb3"},
    };
    for (size_t n = 0; n < list.size(); ++n) {
        SCOPED_TRACE(expected[n].id);
        EXPECT_EQ(list[n].Get("DeviceID").text, expected[n].id);
        EXPECT_EQ(list[n].Get("BusNum").u, expected[n].number);
        if (expected[n].type) {
            EXPECT_EQ(list[n].Get("BusType").u, *expected[n].type);
        } else {
            EXPECT_TRUE(list[n].Get("BusType").IsNull());
        }
        EXPECT_EQ(list[n].Get("PNPDeviceID").text, expected[n].pnp);
        EXPECT_EQ(list[n].Get("SystemName").text, "box");
        EXPECT_FALSE(list[n].Get("Caption").IsNull());
    }
}

TEST(Win32_PnPEntity, ScsiUnitsVirtioAndOtherBuses) {
    TempTree tree;
    tree.File("/usr/share/misc/pci.ids", kPciIds);
    const std::string lun = "/sys/devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0";
    tree.File(lun + "/type", "0\n")
        .File(lun + "/vendor", "ATA     \n")
        .File(lun + "/model", "Samsung SSD 860\n")
        .Link(lun + "/driver", "../../../../../../../bus/scsi/drivers/sd")
        .Link("/sys/bus/scsi/devices/0:0:0:0",
              "../../../devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0")
        // Hosts and targets share the bus but are not devices of their own.
        .MakeDir("/sys/devices/pci0000:00/0000:00:1f.2/ata1/host0/scsi_host")
        .Link("/sys/bus/scsi/devices/host0", "../../../devices/pci0000:00/0000:00:1f.2/ata1/host0")
        .File("/sys/devices/pci0000:00/0000:00:03.0/virtio2/vendor", "0x1af4\n")
        .File("/sys/devices/pci0000:00/0000:00:03.0/virtio2/device", "0x0001\n")
        .Link("/sys/devices/pci0000:00/0000:00:03.0/virtio2/driver", "../../../../bus/virtio/drivers/virtio_net")
        .Link("/sys/bus/virtio/devices/virtio2", "../../../devices/pci0000:00/0000:00:03.0/virtio2")
        .File("/sys/devices/pci0000:00/0000:00:1f.3/i2c-0/name", "SMBus I801 adapter at f040\n")
        .Link("/sys/bus/i2c/devices/i2c-0", "../../../devices/pci0000:00/0000:00:1f.3/i2c-0")
        .File("/sys/devices/system/memory/memory0/online", "1\n")
        .Link("/sys/bus/memory/devices/memory0", "../../../devices/system/memory/memory0");
    auto list = Entities(tree);
    ASSERT_EQ(list.size(), 3u);  // memory blocks are not Plug and Play devices
    EXPECT_EQ(list[0].Get("DeviceID").text, "VIRTIO\\VEN_1AF4&DEV_0001\\virtio2");
    EXPECT_EQ(list[0].Get("Name").text, "VirtIO Network Device");
    EXPECT_EQ(list[0].Get("Manufacturer").text, "Red Hat, Inc.");
    EXPECT_EQ(list[0].Get("Service").text, "virtio_net");
    EXPECT_EQ(list[1].Get("DeviceID").text, "SCSI\\Disk&Ven_ATA&Prod_Samsung_SSD_860\\0:0:0:0");
    EXPECT_EQ(list[1].Get("Name").text, "ATA Samsung SSD 860");
    EXPECT_EQ(list[1].Get("PNPClass").text, "DiskDrive");
    EXPECT_EQ(list[1].Get("Service").text, "sd");
    EXPECT_EQ(list[2].Get("DeviceID").text, "I2C\\i2c-0");
    EXPECT_EQ(list[2].Get("Name").text, "SMBus I801 adapter at f040");
    EXPECT_EQ(list[2].Get("ConfigManagerErrorCode").u, 28u);
}
