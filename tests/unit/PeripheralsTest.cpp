// Network adapters, batteries, keyboards and pointing devices: the input
// device parser and its rules, the four classes over the captured machines,
// their components' decoders and their pages.
#include <gtest/gtest.h>

#include "cimv2/provider/Provider.h"
#include "cimv2/sources/InputDevices.h"
#include "cimv2/sources/NetLinks.h"
#include "components/CBatteryInfo.h"
#include "components/CKeyboardInfo.h"
#include "components/CNetworkAdapterInfo.h"
#include "components/CPointingDeviceInfo.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LocalComputer.h"
#include "tests/unit/TempTree.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/PageCatalogue.h"
#include "ui/pages/PageList.h"
#include "ui/pages/PeripheralPages.h"
#include "wmi/WbemScripting.h"

using namespace cimv2;

namespace {

std::filesystem::path Fixture(const char* name) { return std::filesystem::path(SYSQUILL_FIXTURES) / name; }

std::vector<Instance> Query(const char* machine, const std::string& className) {
    return Provider(testsupport::FixtureContext(Fixture(machine))).ExecQuery("SELECT * FROM " + className).instances;
}

std::string Text(const Instance& inst, const char* name) { return inst.Get(name).ToText(); }

const Instance* Find(const std::vector<Instance>& list, const char* key, const std::string& value) {
    for (const auto& inst : list)
        if (Text(inst, key) == value) return &inst;
    return nullptr;
}

std::string ReadFixtureFile(const char* machine, const char* path) {
    std::ifstream in(Fixture(machine) / "tree" / path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

// ---- /proc/bus/input/devices

TEST(InputBitmap, WordsAreMostSignificantFirst) {
    auto bitmap = input::Bitmap::Parse("70000 0 0 0 0");
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(bitmap->Test(0x110));
    EXPECT_TRUE(bitmap->Test(0x112));
    EXPECT_FALSE(bitmap->Test(0x113));
    EXPECT_FALSE(bitmap->Test(16));
    EXPECT_EQ(bitmap->Count(0, 1000), 3u);
    EXPECT_FALSE(bitmap->Test(100000));
    EXPECT_TRUE(input::Bitmap::Parse("")->Empty());
    for (const char* bad : {"12g4", "11111111111111111", "1 -2", "0x10"})
        EXPECT_FALSE(input::Bitmap::Parse(bad)) << bad;
}

TEST(InputDevices, ParsesEveryRecordAndSortsOutKeyboardsAndPointers) {
    const auto devices = input::ParseDevices(ReadFixtureFile("laptop-usb", "proc/bus/input/devices"));
    ASSERT_EQ(devices.size(), 8u);
    struct Case {
        const char* name;
        bool keyboard;
        std::optional<input::PointerKind> pointer;
        unsigned buttons;
        unsigned functionKeys;
    };
    const Case cases[] = {
        {"Lid Switch", false, std::nullopt, 0, 0},
        {"Power Button", false, std::nullopt, 0, 0},
        {"AT Translated Set 2 keyboard", true, std::nullopt, 0, 12},
        {"TPPS/2 Elan TrackPoint", false, input::PointerKind::PointingStick, 3, 0},
        {"ELAN0676:00 04F3:31C0 Mouse", false, input::PointerKind::Mouse, 2, 0},
        {"ELAN0676:00 04F3:31C0 Touchpad", false, input::PointerKind::Touchpad, 1, 0},
        {"Logitech USB Optical Mouse", false, input::PointerKind::Mouse, 3, 0},
        {"Keyboard K380", true, std::nullopt, 0, 12},
    };
    for (size_t n = 0; n < devices.size(); ++n) {
        SCOPED_TRACE(cases[n].name);
        EXPECT_EQ(devices[n].name, cases[n].name);
        EXPECT_EQ(input::IsKeyboard(devices[n]), cases[n].keyboard);
        EXPECT_EQ(input::PointerOf(devices[n]), cases[n].pointer);
        EXPECT_EQ(input::ButtonCount(devices[n]), cases[n].buttons);
        EXPECT_EQ(input::FunctionKeyCount(devices[n]), cases[n].functionKeys);
    }
    EXPECT_EQ(devices[2].bus, input::kBusI8042);
    EXPECT_EQ(devices[2].version, 0xab54u);
    EXPECT_EQ(devices[2].sysfs, "/devices/platform/i8042/serio0/input/input3");
    EXPECT_EQ(devices[2].handlers, (std::vector<std::string>{"sysrq", "kbd", "leds", "event3"}));
}

TEST(InputDevices, ADamagedRecordIsLeftOutAndTheRestKept) {
    const auto devices = input::ParseDevices(
        "I: Bus=0011 Vendor=0001 Product=0001 Version=ab41\n"
        "N: Name=\"no closing quote\n"
        "B: EV=3\n"
        "\n"
        "I: Bus=0003 Vendor=zz Product=0001 Version=0001\n"  // ids not hexadecimal
        "N: Name=\"bad ids\"\n"
        "\n"
        "I: Bus=0003 Vendor=046d Product=c077 Version=0111\n"
        "N: Name=\"bitmap too wide\"\n"
        "B: KEY=11111111111111111\n"
        "\n"
        "I: Bus=0003 Vendor=046d Product=c077 Version=0111\n"
        "N: Name=\"Mouse\"\n"
        "B: EV=17\n"
        "B: KEY=70000 0 0 0 0\n"
        "B: REL=3\n");  // the last record needs no blank line after it
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, "Mouse");
    EXPECT_EQ(devices[0].vendor, 0x046du);
    EXPECT_EQ(input::PointerOf(devices[0]), input::PointerKind::Mouse);
}

TEST(InputDevices, PointerRules) {
    struct Case {
        const char* bitmaps;
        std::optional<input::PointerKind> kind;
    };
    const Case cases[] = {
        // A touch screen: absolute axes, BTN_TOUCH, direct.
        {"B: PROP=2\nB: EV=b\nB: KEY=400 0 0 0 0 0\nB: ABS=3\n", input::PointerKind::Touchscreen},
        // A pen tablet is no pointer of these kinds.
        {"B: PROP=1\nB: EV=b\nB: KEY=1c03 0 0 0 0 0\nB: ABS=3\n", std::nullopt},
        // A virtual machine's tablet: absolute axes and mouse buttons.
        {"B: PROP=0\nB: EV=1f\nB: KEY=70000 0 0 0 0\nB: ABS=3\n", input::PointerKind::Mouse},
        // Relative axes without a button: a scroll wheel, not a mouse.
        {"B: PROP=0\nB: EV=7\nB: REL=3\n", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::string text =
            std::string("I: Bus=0003 Vendor=0001 Product=0002 Version=0003\nN: Name=\"x\"\n") + c.bitmaps;
        const auto devices = input::ParseDevices(text);
        ASSERT_EQ(devices.size(), 1u) << c.bitmaps;
        EXPECT_EQ(input::PointerOf(devices[0]), c.kind) << c.bitmaps;
    }
}

// ---- the classes over the captured machines

TEST(KeyboardClass, LayoutFromLocaledWhereDebiansFileIsMissing) {
    TempTree tree;
    tree.File("/proc/bus/input/devices",
              "I: Bus=0003 Vendor=046d Product=c31c Version=0110\n"
              "N: Name=\"Logitech USB Keyboard\"\n"
              "H: Handlers=sysrq kbd leds event4\n"
              "B: EV=120013\n"
              "B: KEY=1000000000007 ff9f207ac14057ff febeffdfffefffff fffffffffffffffe\n");
    tree.File("/etc/vconsole.conf", "KEYMAP=fr\nXKBLAYOUT=fr,us\nXKBVARIANT=oss,\n");
    const auto keyboards = Provider(ProviderContext(SystemRoot(tree.Dir()))).ExecQuery("SELECT * FROM Win32_Keyboard");
    ASSERT_EQ(keyboards.instances.size(), 1u);
    EXPECT_EQ(Text(keyboards.instances[0], "Layout"), "fr,us");            // two layouts: no single variant to name
    EXPECT_EQ(Text(keyboards.instances[0], "DeviceID"), "INPUT\\event4");  // no Sysfs line: its event node
}

TEST(KeyboardClass, LaptopKeyboardsWithTheSystemLayout) {
    const auto keyboards = Query("laptop-usb", "Win32_Keyboard");
    ASSERT_EQ(keyboards.size(), 2u);
    const Instance& builtIn = keyboards[0];
    EXPECT_EQ(Text(builtIn, "Name"), "AT Translated Set 2 keyboard");
    EXPECT_EQ(Text(builtIn, "DeviceID"), "SERIO\\serio0");
    EXPECT_EQ(Text(builtIn, "PNPDeviceID"), "SERIO\\serio0");
    EXPECT_EQ(Text(builtIn, "Layout"), "de(nodeadkeys)");
    EXPECT_EQ(builtIn.Get("NumberOfFunctionKeys").u, 12u);
    const Instance& bluetooth = keyboards[1];
    EXPECT_EQ(Text(bluetooth, "PNPDeviceID"), "HID\\VID_046D&PID_B342\\0005:046D:B342.0003");
    EXPECT_TRUE(Query("this-vm", "Win32_Keyboard").empty());
}

TEST(PointingDeviceClass, TrackPointTouchpadAndUsbMouse) {
    const auto pointers = Query("laptop-usb", "Win32_PointingDevice");
    ASSERT_EQ(pointers.size(), 4u);
    struct Case {
        const char* name;
        uint64_t type, buttons, interface;
        const char* resolution;
        const char* rate;
    };
    const Case cases[] = {
        {"TPPS/2 Elan TrackPoint", 5, 3, 4, "200", "100"},
        {"ELAN0676:00 04F3:31C0 Mouse", 3, 2, 1, "", ""},
        {"ELAN0676:00 04F3:31C0 Touchpad", 7, 1, 1, "", ""},
        {"Logitech USB Optical Mouse", 3, 3, 162, "", ""},
    };
    for (size_t n = 0; n < pointers.size(); ++n) {
        SCOPED_TRACE(cases[n].name);
        EXPECT_EQ(Text(pointers[n], "Name"), cases[n].name);
        EXPECT_EQ(Text(pointers[n], "HardwareType"), cases[n].name);
        EXPECT_EQ(pointers[n].Get("PointingType").u, cases[n].type);
        EXPECT_EQ(pointers[n].Get("NumberOfButtons").u, cases[n].buttons);
        EXPECT_EQ(pointers[n].Get("DeviceInterface").u, cases[n].interface);
        EXPECT_EQ(Text(pointers[n], "Resolution"), cases[n].resolution);
        EXPECT_EQ(Text(pointers[n], "SampleRate"), cases[n].rate);
    }
    EXPECT_EQ(Text(pointers[3], "PNPDeviceID"), "HID\\VID_046D&PID_C077\\0003:046D:C077.0002");
    EXPECT_EQ(Text(pointers[3], "Manufacturer"), "Logitech, Inc.");
    // The touchpad's two input nodes sit on one HID device: the second keeps apart by its node.
    EXPECT_EQ(Text(pointers[1], "DeviceID"), "HID\\VID_04F3&PID_31C0\\0018:04F3:31C0.0001");
    EXPECT_EQ(Text(pointers[2], "DeviceID"), "HID\\VID_04F3&PID_31C0\\0018:04F3:31C0.0001\\input9");
    EXPECT_EQ(Text(pointers[2], "PNPDeviceID"), Text(pointers[1], "PNPDeviceID"));
}

TEST(BatteryClass, ChargingOnMainsAndDischargingByCharge) {
    const auto charging = Query("laptop-usb", "Win32_Battery");
    ASSERT_EQ(charging.size(), 1u);
    const Instance& bat0 = charging[0];
    EXPECT_EQ(Text(bat0, "DeviceID"), "BAT0");
    EXPECT_EQ(Text(bat0, "Name"), "5B10W51867");
    EXPECT_EQ(Text(bat0, "PNPDeviceID"), "ACPI\\PNP0C0A\\1");
    EXPECT_EQ(Text(bat0, "BatteryStatus"), "6");
    EXPECT_EQ(Text(bat0, "Chemistry"), "8");
    EXPECT_EQ(Text(bat0, "EstimatedChargeRemaining"), "64");
    EXPECT_EQ(Text(bat0, "DesignCapacity"), "50500");
    EXPECT_EQ(Text(bat0, "FullChargeCapacity"), "47210");
    EXPECT_EQ(Text(bat0, "DesignVoltage"), "15440");
    EXPECT_EQ(Text(bat0, "EstimatedRunTime"), "71582788");  // on mains: the class's "unknown"
    EXPECT_EQ(Text(bat0, "TimeToFullCharge"), "39");        // 17000 mWh at 25.87 W
    EXPECT_TRUE(bat0.Get("Status").IsNull());               // an ACPI battery reports no health

    // A charge-counting battery on its own; the mouse's cell is not the computer's.
    const auto discharging = Query("hybrid-laptop", "Win32_Battery");
    ASSERT_EQ(discharging.size(), 1u);
    const Instance& bat1 = discharging[0];
    EXPECT_EQ(Text(bat1, "DeviceID"), "BAT1");
    EXPECT_EQ(Text(bat1, "BatteryStatus"), "1");
    EXPECT_EQ(Text(bat1, "Chemistry"), "6");
    EXPECT_EQ(Text(bat1, "DesignCapacity"), "72187");  // 6.25 Ah at 11.55 V
    EXPECT_EQ(Text(bat1, "FullChargeCapacity"), "69138");
    EXPECT_EQ(Text(bat1, "EstimatedRunTime"), "176");  // 4.13 Ah at 1.402 A
    EXPECT_TRUE(bat1.Get("TimeToFullCharge").IsNull());
    EXPECT_EQ(Text(bat1, "Status"), "OK");

    EXPECT_TRUE(Query("this-vm", "Win32_Battery").empty());
}

TEST(NetworkAdapterClass, VmInterfacesInIndexOrder) {
    const auto adapters = Query("this-vm", "Win32_NetworkAdapter");
    ASSERT_EQ(adapters.size(), 4u);
    EXPECT_EQ(Text(adapters[0], "NetConnectionID"), "lo");
    EXPECT_EQ(Text(adapters[3], "NetConnectionID"), "eth0");
    const Instance& lo = adapters[0];
    EXPECT_EQ(Text(lo, "DeviceID"), "1");
    EXPECT_EQ(Text(lo, "PhysicalAdapter"), "False");
    EXPECT_TRUE(lo.Get("MACAddress").IsNull());
    EXPECT_TRUE(lo.Get("AdapterType").IsNull());
    EXPECT_EQ(Text(lo, "NetConnectionStatus"), "2");
    const Instance& ifb0 = adapters[1];
    EXPECT_EQ(Text(ifb0, "NetEnabled"), "False");
    EXPECT_EQ(Text(ifb0, "NetConnectionStatus"), "0");
    EXPECT_EQ(Text(ifb0, "MACAddress"), "B6:C4:4C:85:91:65");
    EXPECT_TRUE(ifb0.Get("PermanentAddress").IsNull());  // a random address
    const Instance& eth0 = adapters[3];
    EXPECT_EQ(Text(eth0, "PhysicalAdapter"), "True");
    EXPECT_EQ(Text(eth0, "InterfaceIndex"), "4");
    EXPECT_EQ(Text(eth0, "MACAddress"), "02:FC:00:00:00:01");
    EXPECT_EQ(Text(eth0, "PermanentAddress"), "02:FC:00:00:00:01");
    EXPECT_EQ(Text(eth0, "AdapterType"), "Ethernet 802.3");
    EXPECT_EQ(Text(eth0, "AdapterTypeID"), "0");
    EXPECT_EQ(Text(eth0, "ServiceName"), "virtio_net");
    EXPECT_EQ(Text(eth0, "PNPDeviceID"), "VIRTIO\\VEN_1AF4&DEV_0001\\virtio2");
    EXPECT_TRUE(eth0.Get("Speed").IsNull());  // the driver says -1
    EXPECT_TRUE(eth0.Get("AutoSense").IsNull());
    EXPECT_TRUE(eth0.Get("NetworkAddresses").IsNull());
}

// Damaged attribute files: what they held is null, the rest is kept.
TEST(PeripheralClasses, DamagedAttributesLoseOnlyThemselves) {
    TempTree tree;
    const std::string bat = "/sys/devices/platform/test/power_supply/BAT0";
    tree.File(bat + "/type", "Battery\n")
        .File(bat + "/status", "Discharging\n")
        .File(bat + "/capacity", "12x\n")                       // not a number
        .File(bat + "/voltage_min_design", "99999999999999\n")  // absurd voltage: no capacity from charge
        .File(bat + "/charge_full_design", "5000000\n")
        .File(bat + "/technology", "Plutonium\n")  // no chemistry of the list
        .File(bat + "/time_to_empty_now", "600\n")
        .Link("/sys/class/power_supply/BAT0", "../../devices/platform/test/power_supply/BAT0");
    const std::string net = "/sys/devices/virtual/net/veth0";
    tree.File(net + "/ifindex", "7\n")
        .File(net + "/address", "zz:00:00:00:00:01\n")
        .File(net + "/speed", "fast\n")
        .File(net + "/flags", "0x1003\n")
        .File(net + "/operstate", "up\n")
        .Link("/sys/class/net/veth0", "../../devices/virtual/net/veth0");
    tree.File("/proc/bus/input/devices", "I: Bus=0011 Vendor=0001\nN: Name=\"cut short\"\nB: EV=3\n");
    const Provider provider(ProviderContext(SystemRoot(tree.Dir())));

    const auto batteries = provider.ExecQuery("SELECT * FROM Win32_Battery").instances;
    ASSERT_EQ(batteries.size(), 1u);
    EXPECT_TRUE(batteries[0].Get("EstimatedChargeRemaining").IsNull());
    EXPECT_TRUE(batteries[0].Get("DesignCapacity").IsNull());
    EXPECT_TRUE(batteries[0].Get("Chemistry").IsNull());
    EXPECT_EQ(Text(batteries[0], "BatteryStatus"), "1");
    EXPECT_EQ(Text(batteries[0], "EstimatedRunTime"), "10");
    EXPECT_EQ(Text(batteries[0], "DesignVoltage"), "99999999999");

    const auto adapters = provider.ExecQuery("SELECT * FROM Win32_NetworkAdapter").instances;
    ASSERT_EQ(adapters.size(), 1u);
    EXPECT_TRUE(adapters[0].Get("MACAddress").IsNull());
    EXPECT_TRUE(adapters[0].Get("Speed").IsNull());
    EXPECT_EQ(Text(adapters[0], "NetConnectionStatus"), "2");
    EXPECT_EQ(Text(adapters[0], "DeviceID"), "7");

    EXPECT_TRUE(provider.ExecQuery("SELECT * FROM Win32_Keyboard").instances.empty());
}

namespace {

class FakeLinks : public net::LinkSource {
public:
    std::optional<net::LinkSettings> Settings(const std::string& name) const override {
        if (name != "eno1") return std::nullopt;
        return net::LinkSettings{true, 40000000000ull};
    }
};

}  // namespace

TEST(NetworkAdapterClass, ServerPortsSpeedsAndTheDriversSettings) {
    FakeLinks links;
    ProviderContext server = testsupport::FixtureContext(Fixture("server-storage"));
    server.links = &links;
    const auto adapters = Provider(server).ExecQuery("SELECT * FROM Win32_NetworkAdapter").instances;
    const Instance* eno1 = Find(adapters, "NetConnectionID", "eno1");
    const Instance* eno2 = Find(adapters, "NetConnectionID", "eno2");
    ASSERT_TRUE(eno1 && eno2);
    EXPECT_EQ(Text(*eno1, "Name"), "Ethernet Controller X710 for 10GbE SFP+");
    EXPECT_EQ(Text(*eno1, "ProductName"), "Ethernet Controller X710 for 10GbE SFP+");
    EXPECT_EQ(Text(*eno1, "Manufacturer"), "Intel Corporation");
    EXPECT_EQ(Text(*eno1, "ServiceName"), "i40e");
    EXPECT_EQ(eno1->Get("Speed").u, 10000000000ull);
    EXPECT_EQ(Text(*eno1, "AutoSense"), "True");
    EXPECT_EQ(eno1->Get("MaxSpeed").u, 40000000000ull);
    EXPECT_EQ(Text(*eno2, "NetConnectionStatus"), "7");  // enabled, no cable
    EXPECT_TRUE(eno2->Get("Speed").IsNull());
    EXPECT_TRUE(eno2->Get("MaxSpeed").IsNull());
}

TEST(NetworkAdapterClass, LaptopWiFiAndTheDocksUsbAdapter) {
    const auto adapters = Query("laptop-usb", "Win32_NetworkAdapter");
    ASSERT_EQ(adapters.size(), 3u);
    const Instance& wifi = adapters[1];
    EXPECT_EQ(Text(wifi, "NetConnectionID"), "wlp0s20f3");
    EXPECT_EQ(Text(wifi, "Name"), "Wi-Fi 6 AX201");
    EXPECT_EQ(Text(wifi, "AdapterType"), "Ethernet 802.3");
    EXPECT_EQ(Text(wifi, "ServiceName"), "iwlwifi");
    EXPECT_TRUE(wifi.Get("Speed").IsNull());  // Wi-Fi drivers give no ethtool speed
    const Instance& usb = adapters[2];
    EXPECT_EQ(Text(usb, "NetConnectionID"), "enx00e04c680a1b");
    EXPECT_EQ(Text(usb, "Name"), "RTL8153 Gigabit Ethernet Adapter");  // usb.ids, not the device's own string
    EXPECT_EQ(Text(usb, "Manufacturer"), "Realtek Semiconductor Corp.");
    EXPECT_EQ(Text(usb, "ServiceName"), "r8152");
    EXPECT_EQ(Text(usb, "PNPDeviceID"), "USB\\VID_0BDA&PID_8153&MI_00\\2-1.2:1.0");
    EXPECT_EQ(usb.Get("Speed").u, 1000000000u);
}

// ---- decoders

TEST(PeripheralDecoders, EdgeCodes) {
    components::TBatteryProperties battery;
    battery.SetBatteryStatus(2);
    EXPECT_EQ(battery.BatteryStatusAsString(),
              "The system has access to AC so no battery is being discharged. However, the battery is not "
              "necessarily charging.");
    for (int32_t code : {0, 12}) {
        battery.SetBatteryStatus(code);
        EXPECT_EQ(battery.BatteryStatusAsString(), "") << code;
    }
    battery.SetChemistry(8);
    EXPECT_EQ(battery.ChemistryAsString(), "Lithium Polymer");
    EXPECT_EQ(battery.ConfigManagerErrorCodeAsString(), "") << "a code never given has no meaning";
    battery.SetConfigManagerErrorCode(0);
    EXPECT_EQ(battery.ConfigManagerErrorCodeAsString(), "Device is working properly.");
    battery.SetConfigManagerErrorCode(4294967295u);
    EXPECT_EQ(battery.ConfigManagerErrorCode(), 4294967295u) << "an unsigned 32-bit code";
    EXPECT_EQ(battery.PropertyValue("ConfigManagerErrorCode").AsInt(), 4294967295);
    battery.SetConfigManagerErrorCode(27);
    EXPECT_EQ(battery.ConfigManagerErrorCodeAsString(), "Device does not have valid log configuration.");

    components::TKeyboardProperties keyboard;
    EXPECT_EQ(keyboard.PasswordAsString(), "");
    keyboard.SetPassword(5);
    EXPECT_EQ(keyboard.PasswordAsString(), "Not Implemented");
    keyboard.SetAvailability(8);
    EXPECT_EQ(keyboard.AvailabilityAsString(), "Off Line");

    components::TPointingDeviceProperties pointer;
    EXPECT_EQ(pointer.PointingTypeAsString(), "");
    EXPECT_EQ(pointer.HandednessAsString(), "");
    pointer.SetHandedness(0);
    EXPECT_EQ(pointer.HandednessAsString(), "Unknown");
    struct Case {
        int32_t code;
        const char* text;
    } interfaces[] = {{9, ""}, {159, ""}, {160, "Bus Mouse DB-9"}, {162, "USB"}, {4, "PS/2"}};
    for (const auto& c : interfaces) {
        pointer.SetDeviceInterface(c.code);
        EXPECT_EQ(pointer.DeviceInterfaceAsString(), c.text) << c.code;
    }
    pointer.SetPointingType(9);
    EXPECT_EQ(pointer.PointingTypeAsString(), "Mouse - Optical Sensor");
    pointer.SetStatusInfo(3);
    EXPECT_EQ(pointer.StatusInfoAsString(), "Enabled");
}

// ---- pages

namespace {

// The rows a page writes over a captured machine, as label and value.
std::vector<std::pair<std::string, std::string>> PageRows(const char* machine, int index) {
    std::optional<std::string> message;
    const ui::PageInfo& page = ui::Page(index);
    ui::PageList list(page.headerLabel);
    {
        testsupport::LocalComputer local(testsupport::FixtureContext(Fixture(machine)));
        message = ui::RunPageFill(page, list, ".");
    }
    EXPECT_EQ(message, std::nullopt);
    std::vector<std::pair<std::string, std::string>> rows;
    for (size_t n = 0; n < list.Count(); ++n) rows.emplace_back(list.Row(n).property, list.Row(n).value);
    return rows;
}

std::vector<std::string> ValuesOf(const std::vector<std::pair<std::string, std::string>>& rows, const char* label) {
    std::vector<std::string> values;
    for (const auto& [property, value] : rows)
        if (property == label) values.push_back(value);
    return values;
}

}  // namespace

TEST(PeripheralPages, TablesAsShipped) {
    struct Case {
        int page;
        const char* caption;
        size_t rows;
    } cases[] = {{13, "Network Adapters", 22}, {14, "Battery", 34}, {17, "Keyboard", 23}, {19, "Pointing Device", 35}};
    for (const auto& c : cases) {
        const ui::PageInfo& page = ui::Page(c.page);
        EXPECT_STREQ(page.caption, c.caption);
        EXPECT_EQ(page.fill.queryRows.size() + page.fill.recordRows.size(), c.rows) << c.caption;
    }
    EXPECT_EQ(ui::Page(13).guard, ui::Guard::Guarded);
    EXPECT_EQ(ui::Page(14).fill.objects, ui::PageObjects::Every);
    EXPECT_EQ(ui::Page(17).fill.objects, ui::PageObjects::Every);
    // The pages' own spellings, misspellings kept.
    EXPECT_STREQ(ui::peripherals::kPointingDeviceRows[10].label, "Pointing Device Number If Buttons");
    EXPECT_STREQ(ui::peripherals::kPointingDeviceRows[21].label, "Pointing Device Config Manage Error Code");
}

TEST(PeripheralPages, TenGigabitSpeedInFullAndUnknownSpeedAsZero) {
    const auto rows = PageRows("server-storage", 13);
    ASSERT_EQ(rows.size() % 22, 0u);
    const auto speeds = ValuesOf(rows, "Network Adapter Speed");
    EXPECT_EQ(speeds, (std::vector<std::string>{"0", "10000000000", "0"}));  // lo, eno1, eno2
    EXPECT_EQ(ValuesOf(rows, "Network Adapter Physical Adapter"), (std::vector<std::string>{"False", "True", "True"}));
    EXPECT_EQ(ValuesOf(rows, "Network Adapter Network Addresses"), (std::vector<std::string>{"", "", ""}));
}

TEST(PeripheralPages, NoBatteryGivesNoBatteryBlock) {
    EXPECT_TRUE(PageRows("this-vm", 14).empty()) << "no rows of a battery that is not there";

    const auto laptop = PageRows("laptop-usb", 14);
    ASSERT_EQ(laptop.size(), 34u);
    EXPECT_EQ(ValuesOf(laptop, "Battery Status"), (std::vector<std::string>{"Charging", ""}));
    EXPECT_EQ(ValuesOf(laptop, "Battery Chemistry"), (std::vector<std::string>{"Lithium Polymer"}));
}

TEST(PeripheralPages, TwoBatteriesGiveTwoBlocks) {
    TempTree tree;
    for (const char* name : {"BAT0", "BAT1"}) {
        const std::string dir = std::string("/sys/devices/platform/test/power_supply/") + name;
        tree.File(dir + "/type", "Battery\n").File(dir + "/capacity", "50\n");
        tree.Link(std::string("/sys/class/power_supply/") + name,
                  std::string("../../devices/platform/test/power_supply/") + name);
    }
    testsupport::LocalComputer local(ProviderContext(SystemRoot(tree.Dir())));
    ui::PageList list(ui::Page(14).headerLabel);
    const auto message = ui::RunPageFill(ui::Page(14), list, ".");
    EXPECT_EQ(message, std::nullopt);
    ASSERT_EQ(list.Count(), 2 * 34u);
    EXPECT_EQ(list.Row(4).property, "Battery Device ID");
    EXPECT_EQ(list.Row(4).value, "BAT0");
    EXPECT_TRUE(list.IsHeaderRow(34));
    EXPECT_EQ(list.Row(34 + 4).value, "BAT1");
}

TEST(PeripheralPages, TwoKeyboardsGiveTwoBlocks) {
    const auto rows = PageRows("laptop-usb", 17);
    ASSERT_EQ(rows.size(), 46u);
    EXPECT_EQ(ValuesOf(rows, "Keyboard Caption"),
              (std::vector<std::string>{"AT Translated Set 2 keyboard", "Keyboard K380"}));
    EXPECT_EQ(ValuesOf(rows, "Keyboard Availability"),
              (std::vector<std::string>{"Running or Full Power", "Running or Full Power"}));
    const auto pointers = PageRows("laptop-usb", 19);
    ASSERT_EQ(pointers.size(), 4 * 35u);
    EXPECT_EQ(ValuesOf(pointers, "Pointing Device Pointing Type"),
              (std::vector<std::string>{"Track Point", "Mouse", "Touch Pad", "Mouse"}));
    EXPECT_EQ(ValuesOf(pointers, "Pointing Device Interface"),
              (std::vector<std::string>{"PS/2", "Other", "Other", "USB"}));
}
