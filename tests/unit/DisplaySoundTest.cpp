// Displays, monitors, USB controllers and sound devices: the EDID parser,
// the pnp.ids and /proc/asound/cards readers, the four classes over the
// captured machines (the mode source replaced where it matters), their
// decoders and their pages.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "cimv2/provider/Classes.h"
#include "cimv2/sources/DrmDisplays.h"
#include "cimv2/sources/Edid.h"
#include "cimv2/sources/SoundCards.h"
#include "components/Components.h"
#include "tests/support/ComponentFakes.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LocalComputer.h"
#include "tests/unit/TempTree.h"
#include "ui/pages/DateFormat.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/PageCatalogue.h"

using namespace cimv2;

namespace {

const char* kCard = "laptop-usb/tree/sys/devices/pci0000:00/0000:00:02.0/drm/card0/";

std::vector<uint8_t> FixtureBytes(const std::string& path) {
    std::ifstream in(std::filesystem::path(SYSQUILL_FIXTURES) / path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> Panel() { return FixtureBytes(std::string(kCard) + "card0-eDP-1/edid"); }
std::vector<uint8_t> Monitor() { return FixtureBytes(std::string(kCard) + "card0-HDMI-A-1/edid"); }

// A changed byte with the block's checksum put right again.
void SetByte(std::vector<uint8_t>& edid, size_t at, uint8_t value) {
    const size_t sum = at / 128 * 128 + 127;
    edid[sum] = static_cast<uint8_t>(edid[sum] + edid[at] - value);
    edid[at] = value;
}

ProviderContext Machine(const char* name) {
    return testsupport::FixtureContext(std::filesystem::path(SYSQUILL_FIXTURES) / name);
}

std::string Text(const Instance& inst, const char* name) { return inst.Get(name).ToText(); }

}  // namespace

// ---- EDID

TEST(Edid, ReadsAPanelAndAMonitorWithItsCtaBlock) {
    const auto panelBytes = Panel(), monitorBytes = Monitor();
    ASSERT_EQ(panelBytes.size(), 128u);
    ASSERT_EQ(monitorBytes.size(), 256u);
    std::string error;
    auto panel = edid::Parse(panelBytes, &error);
    ASSERT_TRUE(panel) << error;
    EXPECT_EQ(panel->manufacturerId, "AUO");
    EXPECT_EQ(panel->productCode, 0x408D);
    EXPECT_EQ(panel->year, 2021);
    EXPECT_TRUE(panel->digital);
    EXPECT_FALSE(panel->monitorName);
    EXPECT_EQ(panel->unspecifiedText, "B140HAN04.0");  // the last of its two texts
    EXPECT_EQ(panel->dpmsModes, 0);
    ASSERT_EQ(panel->timings.size(), 1u);
    EXPECT_EQ(panel->timings[0].hActive, 1920u);
    EXPECT_EQ(panel->timings[0].vActive, 1080u);
    EXPECT_EQ(panel->timings[0].widthMm, 309u);
    EXPECT_EQ(panel->timings[0].RefreshHz(), 60u);  // 138.5 MHz over 2080 x 1111
    EXPECT_TRUE(panel->cta.empty());
    EXPECT_TRUE(panel->warnings.empty());

    auto monitor = edid::Parse(monitorBytes, &error);
    ASSERT_TRUE(monitor) << error;
    EXPECT_EQ(monitor->manufacturerId, "DEL");
    EXPECT_EQ(monitor->monitorName, "DELL U2719D");
    EXPECT_EQ(monitor->serialText, "F8KNT93");
    EXPECT_EQ(monitor->serialNumber, 0x4C4B4E31u);
    EXPECT_EQ(monitor->widthCm, 60);
    EXPECT_EQ(monitor->maxPixelClockMHz, 250u);
    EXPECT_EQ(monitor->dpmsModes, 0xE0);
    ASSERT_EQ(monitor->timings.size(), 2u);  // the base block's, then the CTA block's
    EXPECT_EQ(monitor->timings[0].hActive, 2560u);
    EXPECT_EQ(monitor->timings[1].hActive, 1920u);
    EXPECT_EQ(monitor->timings[1].hBlank, 280u);
    EXPECT_EQ(monitor->timings[1].RefreshHz(), 60u);
    ASSERT_EQ(monitor->cta.size(), 1u);
    EXPECT_EQ(monitor->cta[0].revision, 3);
    EXPECT_TRUE(monitor->cta[0].hdmi);
    EXPECT_EQ(monitor->cta[0].videoCodes, (std::vector<uint8_t>{16, 4, 3, 2, 1}));
    EXPECT_TRUE(monitor->warnings.empty());
}

TEST(Edid, DamagedInputIsRefusedOrItsBadBlocksSkipped) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool parsed;
        const char* message;  // the error, or the one warning
        size_t timings;
        size_t ctaBlocks;
    };
    auto monitor = Monitor();
    std::vector<uint8_t> headerless = monitor, baseSum = monitor, extensionSum = monitor, twoDeclared = monitor,
                         lateTimings = monitor, overlong = monitor, notCta = monitor;
    headerless[0] = 1;
    baseSum[100] ^= 1;
    extensionSum[200] ^= 1;
    SetByte(twoDeclared, 126, 2);
    SetByte(lateTimings, 130, 127);  // no room for a descriptor before the checksum
    SetByte(overlong, 132, 0x5F);    // the first data block now claims 31 bytes, past the timings
    SetByte(notCta, 128, 0x70);      // an extension of a kind we do not read
    const Case cases[] = {
        {"empty", {}, false, "shorter than an EDID block (128 bytes)", 0, 0},
        {"127 bytes", std::vector<uint8_t>(monitor.begin(), monitor.begin() + 127), false,
         "shorter than an EDID block (128 bytes)", 0, 0},
        {"header", headerless, false, "not an EDID: wrong header", 0, 0},
        {"base checksum", baseSum, false, "EDID base block checksum fails", 0, 0},
        {"extension checksum", extensionSum, true, "extension block 1: checksum fails", 1, 0},
        {"truncated", std::vector<uint8_t>(monitor.begin(), monitor.begin() + 200), true,
         "declares 1 extension blocks, has 0", 1, 0},
        {"declares two", twoDeclared, true, "declares 2 extension blocks, has 1", 2, 1},
        {"timings at the end", lateTimings, true, "", 1, 1},
        {"data block overruns", overlong, true, "extension block 1: a data block runs past the detailed timings", 2, 1},
        {"other extension", notCta, true, "", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        auto parsed = edid::Parse(c.bytes, &error);
        ASSERT_EQ(parsed.has_value(), c.parsed) << error;
        if (!parsed) {
            EXPECT_EQ(error, c.message);
            continue;
        }
        EXPECT_EQ(parsed->manufacturerId, "DEL");
        EXPECT_EQ(parsed->timings.size(), c.timings);
        EXPECT_EQ(parsed->cta.size(), c.ctaBlocks);
        if (*c.message) {
            ASSERT_EQ(parsed->warnings.size(), 1u);
            EXPECT_EQ(parsed->warnings[0], c.message);
        } else {
            EXPECT_TRUE(parsed->warnings.empty());
        }
    }
}

TEST(Edid, ManufacturerIdsOfLettersOnlyAndPnpIdsNames) {
    auto bytes = Panel();
    SetByte(bytes, 8, 0x00);  // letters 0, 0 and 'O': not an ID
    auto parsed = edid::Parse(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->manufacturerId, "");

    const auto ids = edid::PnpIds::FromText(
        "AUO\tAU Optronics\r\nDEL\tDell Inc.  \n# comment\nabc\tlower\nTOOLONG\tx\nSAM\t\nLEN\tLenovo");
    EXPECT_EQ(ids.Size(), 3u);
    EXPECT_EQ(ids.Name("AUO"), "AU Optronics");
    EXPECT_EQ(ids.Name("DEL"), "Dell Inc.");
    EXPECT_EQ(ids.Name("LEN"), "Lenovo");
    EXPECT_FALSE(ids.Name("SAM"));
    EXPECT_FALSE(ids.Name("abc"));
}

// ---- /proc/asound/cards

TEST(SoundCards, CardsAndTheirLongNames) {
    const auto cards = sound::ParseCards(
        " 0 [PCH            ]: HDA-Intel - HDA Intel PCH\n"
        "                      HDA Intel PCH at 0x603d1f0000 irq 147\n"
        " 1 [Device         ]: USB-Audio - USB Audio Device\n"
        "                      C-Media Electronics Inc. USB Audio Device at usb-0000:00:14.0-2, full speed\n"
        "garbage [x]: no dash here\n"
        "12 [Loopback       ]: Loopback - Loopback\n");
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[0].number, 0u);
    EXPECT_EQ(cards[0].id, "PCH");
    EXPECT_EQ(cards[0].driver, "HDA-Intel");
    EXPECT_EQ(cards[0].shortName, "HDA Intel PCH");
    EXPECT_EQ(cards[0].longName, "HDA Intel PCH at 0x603d1f0000 irq 147");
    EXPECT_EQ(cards[1].longName, "C-Media Electronics Inc. USB Audio Device at usb-0000:00:14.0-2, full speed");
    EXPECT_EQ(cards[2].number, 12u);
    EXPECT_EQ(cards[2].longName, "");
    EXPECT_TRUE(sound::ParseCards("--- no soundcards ---\n").empty());
}

// ---- the classes

TEST(DisplayClasses, MonitorsOfTheLaptopFromTheirEdids) {
    const auto monitors = EnumerateWin32_DesktopMonitor(Machine("laptop-usb"));
    ASSERT_EQ(monitors.size(), 2u);
    const Instance& hdmi = monitors[0];  // card0-HDMI-A-1 sorts before card0-eDP-1
    EXPECT_EQ(Text(hdmi, "DeviceID"), "DesktopMonitor1");
    EXPECT_EQ(Text(hdmi, "Name"), "DELL U2719D");
    EXPECT_EQ(Text(hdmi, "MonitorType"), "DELL U2719D");
    EXPECT_EQ(Text(hdmi, "MonitorManufacturer"), "Dell Inc.");
    EXPECT_EQ(Text(hdmi, "PNPDeviceID"), "DISPLAY\\DELA0D4\\CARD0-HDMI-A-1");
    EXPECT_EQ(Text(hdmi, "ScreenWidth"), "2560");
    EXPECT_EQ(Text(hdmi, "ScreenHeight"), "1440");
    EXPECT_EQ(Text(hdmi, "PixelsPerXLogicalInch"), "109");  // 2560 px over 597 mm
    EXPECT_EQ(Text(hdmi, "PixelsPerYLogicalInch"), "109");  // 1440 px over 336 mm
    EXPECT_EQ(Text(hdmi, "Bandwidth"), "250");
    EXPECT_EQ(Text(hdmi, "PowerManagementSupported"), "True");
    EXPECT_EQ(Text(hdmi, "Availability"), "3");

    const Instance& panel = monitors[1];
    EXPECT_EQ(Text(panel, "DeviceID"), "DesktopMonitor2");
    EXPECT_TRUE(panel.Get("Name").IsNull()) << "a panel without a name descriptor has no name";
    EXPECT_EQ(Text(panel, "MonitorManufacturer"), "AU Optronics");
    EXPECT_EQ(Text(panel, "PixelsPerXLogicalInch"), "158");  // 1920 px over 309 mm
    EXPECT_EQ(Text(panel, "PixelsPerYLogicalInch"), "158");  // 1080 px over 174 mm
    EXPECT_TRUE(panel.Get("Bandwidth").IsNull());
    EXPECT_EQ(Text(panel, "PowerManagementSupported"), "False");
}

// The desktop's two Dell monitors carry EDIDs read off real monitors, each
// with a CTA-861 block; the expected figures are edid-decode's. Its third
// output has nothing plugged in and gives neither a monitor nor a setting.
TEST(DisplayClasses, TheDesktopsTwoRealMonitors) {
    struct Expected {
        const char *name, *pnp, *width, *height, *perInch, *bandwidth;
    };
    const Expected expected[] = {
        // 1366 px over 410 mm; the range descriptor's 90 MHz dot clock
        {"D1918H", "DISPLAY\\DEL2005\\CARD0-DP-1", "1366", "768", "85", "90"},
        // 1920 px over 698 mm; 170 MHz
        {"D3218HN", "DISPLAY\\DEL200B\\CARD0-HDMI-A-1", "1920", "1080", "70", "170"},
    };
    const auto monitors = EnumerateWin32_DesktopMonitor(Machine("physical-desktop"));
    const auto displays = EnumerateWin32_DisplayConfiguration(Machine("physical-desktop"));
    ASSERT_EQ(monitors.size(), std::size(expected));
    ASSERT_EQ(displays.size(), std::size(expected));
    for (size_t n = 0; n < std::size(expected); ++n) {
        const Expected& e = expected[n];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(Text(monitors[n], "Name"), e.name);
        EXPECT_EQ(Text(monitors[n], "MonitorManufacturer"), "Dell Inc.");
        EXPECT_EQ(Text(monitors[n], "PNPDeviceID"), e.pnp);
        EXPECT_EQ(Text(monitors[n], "ScreenWidth"), e.width);
        EXPECT_EQ(Text(monitors[n], "ScreenHeight"), e.height);
        EXPECT_EQ(Text(monitors[n], "PixelsPerXLogicalInch"), e.perInch);
        EXPECT_EQ(Text(monitors[n], "Bandwidth"), e.bandwidth);
        EXPECT_EQ(Text(displays[n], "PelsWidth"), e.width);
        EXPECT_EQ(Text(displays[n], "PelsHeight"), e.height);
        EXPECT_EQ(Text(displays[n], "DisplayFrequency"), "60");
        EXPECT_EQ(Text(displays[n], "Caption"), "Navi 23 [Radeon RX 6600/6600 XT/6600M]");
    }
}

TEST(DisplayClasses, ConfigurationsOfTheOutputsInUse) {
    const auto displays = EnumerateWin32_DisplayConfiguration(Machine("laptop-usb"));
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(Text(displays[0], "DeviceName"), "card0-HDMI-A-1");
    EXPECT_EQ(Text(displays[0], "Caption"), "TigerLake-LP GT2 [Iris Xe Graphics]");
    EXPECT_EQ(Text(displays[0], "PelsWidth"), "2560");
    EXPECT_EQ(Text(displays[0], "PelsHeight"), "1440");
    EXPECT_EQ(Text(displays[0], "BitsPerPel"), "32");
    EXPECT_EQ(Text(displays[0], "DisplayFrequency"), "60");  // the EDID's 2560x1440 timing
    EXPECT_EQ(Text(displays[0], "DisplayFlags"), "0");
    EXPECT_EQ(Text(displays[1], "DeviceName"), "card0-eDP-1");
    EXPECT_EQ(Text(displays[1], "PelsWidth"), "1920");
    EXPECT_TRUE(displays[1].Get("LogPixels").IsNull());
}

// What libdrm reports on the live machine reaches the classes unchanged.
TEST(DisplayClasses, TheModeSourceGivesTheCurrentMode) {
    class Interlaced : public drm::ModeSource {
    public:
        std::optional<drm::Mode> CurrentMode(const SystemRoot&, const drm::Connector& c) const override {
            if (c.name != "card0-HDMI-A-1") return std::nullopt;
            return drm::Mode{1920, 1080, 50, 24, true};
        }
    } interlaced;
    ProviderContext laptop = Machine("laptop-usb");
    laptop.modes = &interlaced;
    const auto displays = EnumerateWin32_DisplayConfiguration(laptop);
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(Text(displays[0], "PelsHeight"), "1080");
    EXPECT_EQ(Text(displays[0], "DisplayFrequency"), "50");
    EXPECT_EQ(Text(displays[0], "BitsPerPel"), "24");
    EXPECT_EQ(Text(displays[0], "DisplayFlags"), "2");
    EXPECT_TRUE(displays[1].Get("PelsWidth").IsNull()) << "no mode: nothing shown";
    const auto monitors = EnumerateWin32_DesktopMonitor(laptop);
    EXPECT_EQ(Text(monitors[0], "ScreenWidth"), "1920");
    EXPECT_TRUE(monitors[1].Get("PixelsPerXLogicalInch").IsNull());
}

TEST(DisplayClasses, NoDisplayNoInstances) {
    for (const char* machine : {"this-vm", "server-storage", "kvm-guest"}) {
        SCOPED_TRACE(machine);
        EXPECT_TRUE(EnumerateWin32_DisplayConfiguration(Machine(machine)).empty());
        EXPECT_TRUE(EnumerateWin32_DesktopMonitor(Machine(machine)).empty());
        EXPECT_TRUE(EnumerateWin32_SoundDevice(Machine(machine)).empty());
    }
}

TEST(DeviceClasses, TheLaptopsXhciAndHdaController) {
    const auto controllers = EnumerateWin32_USBController(Machine("laptop-usb"));
    ASSERT_EQ(controllers.size(), 1u);
    EXPECT_EQ(Text(controllers[0], "Name"), "Tiger Lake-LP USB 3.2 Gen 2x1 xHCI Host Controller");
    EXPECT_EQ(Text(controllers[0], "Manufacturer"), "Intel Corporation");
    EXPECT_EQ(Text(controllers[0], "ProtocolSupported"), "16");
    EXPECT_EQ(Text(controllers[0], "PNPDeviceID").rfind("PCI\\VEN_8086&DEV_A0ED&SUBSYS_22D817AA", 0), 0u);
    EXPECT_EQ(Text(controllers[0], "Status"), "OK");
    EXPECT_EQ(Text(controllers[0], "PowerManagementSupported"), "True");

    const auto sound = EnumerateWin32_SoundDevice(Machine("laptop-usb"));
    ASSERT_EQ(sound.size(), 1u);
    EXPECT_EQ(Text(sound[0], "Name"), "Tiger Lake-LP Smart Sound Technology Audio Controller");
    EXPECT_EQ(Text(sound[0], "ProductName"), Text(sound[0], "Name"));
    EXPECT_EQ(Text(sound[0], "Manufacturer"), "Intel Corporation");
    EXPECT_EQ(Text(sound[0], "DeviceID").rfind("PCI\\VEN_8086&DEV_A0C8", 0), 0u);
    EXPECT_EQ(Text(sound[0], "Availability"), "3");
}

// A damaged EDID is named in the monitor's error, and a machine without
// pnp.ids has no manufacturer names: nothing else is lost.
TEST(DisplayClasses, ADamagedEdidAndNoPnpIds) {
    auto panel = Panel();
    panel[0] = 0x01;
    const auto monitor = Monitor();
    TempTree tree;
    tree.File("/sys/devices/card0/card0-DP-1/status", "connected\n")
        .File("/sys/devices/card0/card0-DP-1/enabled", "disabled\n")
        .File("/sys/devices/card0/card0-DP-1/edid", std::string(panel.begin(), panel.end()))
        .File("/sys/devices/card0/card0-DP-2/status", "connected\n")
        .File("/sys/devices/card0/card0-DP-2/enabled", "enabled\n")
        .File("/sys/devices/card0/card0-DP-2/dpms", "Standby\n")
        .File("/sys/devices/card0/card0-DP-2/edid", std::string(monitor.begin(), monitor.end()))
        .File("/sys/devices/card0/card0-DP-3/status", "disconnected\n")
        .File("/sys/devices/card0/card0-DP-3/edid", "")
        .Link("/sys/class/drm/card0", "../../devices/card0")
        .Link("/sys/class/drm/card0-DP-1", "../../devices/card0/card0-DP-1")
        .Link("/sys/class/drm/card0-DP-2", "../../devices/card0/card0-DP-2")
        .Link("/sys/class/drm/card0-DP-3", "../../devices/card0/card0-DP-3")
        .Link("/sys/class/drm/renderD128", "../../devices/card0/renderD128");
    const ProviderContext context{SystemRoot(tree.Dir())};
    const auto monitors = EnumerateWin32_DesktopMonitor(context);
    ASSERT_EQ(monitors.size(), 2u);
    EXPECT_EQ(Text(monitors[0], "ErrorDescription"), "EDID of card0-DP-1: not an EDID: wrong header");
    EXPECT_EQ(Text(monitors[0], "LastErrorCode"), "13");
    EXPECT_EQ(Text(monitors[0], "Availability"), "8");
    EXPECT_TRUE(monitors[0].Get("PNPDeviceID").IsNull());
    EXPECT_EQ(Text(monitors[1], "Name"), "DELL U2719D");
    EXPECT_TRUE(monitors[1].Get("MonitorManufacturer").IsNull());
    EXPECT_TRUE(monitors[1].Get("ErrorDescription").IsNull());
    EXPECT_EQ(Text(monitors[1], "Availability"), "15");
    EXPECT_TRUE(monitors[1].Get("ScreenWidth").IsNull()) << "no modes file";
    const auto displays = EnumerateWin32_DisplayConfiguration(context);
    ASSERT_EQ(displays.size(), 1u);
    EXPECT_EQ(Text(displays[0], "DeviceName"), "card0-DP-2");
    EXPECT_TRUE(displays[0].Get("Caption").IsNull()) << "the card has no device";
}

// Pixels per inch of a mode over the screen's size: a result past what the
// property holds (a mode line of billions of pixels on a screen 1 mm wide)
// is null, not wrapped.
TEST(DisplayClasses, PixelsPerInchThatDoNotFitAreNull) {
    auto tiny = Monitor();
    SetByte(tiny, 66, 1);  // the preferred timing's image: 1 mm by 1 mm
    SetByte(tiny, 67, 1);
    SetByte(tiny, 68, 0);
    const struct {
        const char* modes;
        Value perX, perY;
    } cases[] = {
        {"1920x1080\n", Value::UInt(48768), Value::UInt(27432)},
        {"4294967295x1\n", Value::Null(), Value::UInt(25)},
        {"1x4294967295\n", Value::UInt(25), Value::Null()},
    };
    for (const auto& c : cases) {
        TempTree tree;
        tree.File("/sys/devices/card0/card0-DP-1/status", "connected\n")
            .File("/sys/devices/card0/card0-DP-1/enabled", "enabled\n")
            .File("/sys/devices/card0/card0-DP-1/modes", c.modes)
            .File("/sys/devices/card0/card0-DP-1/edid", std::string(tiny.begin(), tiny.end()))
            .Link("/sys/class/drm/card0", "../../devices/card0")
            .Link("/sys/class/drm/card0-DP-1", "../../devices/card0/card0-DP-1");
        const auto monitors = EnumerateWin32_DesktopMonitor(ProviderContext{SystemRoot(tree.Dir())});
        ASSERT_EQ(monitors.size(), 1u);
        EXPECT_EQ(monitors[0].Get("PixelsPerXLogicalInch"), c.perX) << c.modes;
        EXPECT_EQ(monitors[0].Get("PixelsPerYLogicalInch"), c.perY) << c.modes;
    }
}

// An EDID read in part (bad or missing extension blocks) says so where the
// monitor is shown: its status and error description.
TEST(DisplayClasses, SkippedEdidBlocksShowInTheMonitorsStatus) {
    auto badExtension = Monitor();
    badExtension[200] ^= 1;
    auto manyClaimed = Monitor();
    SetByte(manyClaimed, 126, 255);
    for (int n = 0; n < 6; ++n) {  // six more extension blocks, all damaged
        std::vector<uint8_t> block(128, 0);
        block[0] = 0x02;
        block[127] = 1;
        manyClaimed.insert(manyClaimed.end(), block.begin(), block.end());
    }
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* status;
        const char* error;  // "" for none
    } cases[] = {
        {"whole", Monitor(), "OK", ""},
        {"bad extension", badExtension, "Degraded", "EDID of card0-DP-1: extension block 1: checksum fails"},
        {"255 claimed", manyClaimed, "Degraded",
         "EDID of card0-DP-1: declares 255 extension blocks, has 7; extension block 2: checksum fails; "
         "extension block 3: checksum fails; extension block 4: checksum fails; and 3 more"},
        {"unreadable", std::vector<uint8_t>(100, 0), "Degraded",
         "EDID of card0-DP-1: shorter than an EDID block (128 bytes)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempTree tree;
        tree.File("/sys/devices/card0/card0-DP-1/status", "connected\n")
            .File("/sys/devices/card0/card0-DP-1/enabled", "enabled\n")
            .File("/sys/devices/card0/card0-DP-1/edid", std::string(c.bytes.begin(), c.bytes.end()))
            .Link("/sys/class/drm/card0", "../../devices/card0")
            .Link("/sys/class/drm/card0-DP-1", "../../devices/card0/card0-DP-1");
        const auto monitors = EnumerateWin32_DesktopMonitor(ProviderContext{SystemRoot(tree.Dir())});
        ASSERT_EQ(monitors.size(), 1u);
        EXPECT_EQ(Text(monitors[0], "Status"), c.status);
        if (*c.error) {
            EXPECT_EQ(Text(monitors[0], "ErrorDescription"), c.error);
            EXPECT_EQ(Text(monitors[0], "LastErrorCode"), "13");
        } else {
            EXPECT_TRUE(monitors[0].Get("ErrorDescription").IsNull());
            EXPECT_TRUE(monitors[0].Get("LastErrorCode").IsNull());
        }
    }
}

// A capture keeps a display adapter's uevent but may lose its driver and
// subsystem links: the uevent's DRIVER= still says it works, and the class
// file and the bus's device list still make it a PCI display adapter.
TEST(DeviceClasses, DisplayAdapterWithoutItsLinks) {
    struct Case {
        const char* name;
        bool driverLink, subsystemLink;
        const char* uevent;  // or none
        const char* driver;  // expected, or none: not working
    };
    const Case cases[] = {
        {"both links", true, true, nullptr, "i915"},
        {"uevent, no links", false, false, "DRIVER=i915\nPCI_CLASS=30000\n", "i915"},
        {"uevent, subsystem link", false, true, "PCI_CLASS=30000\nDRIVER=i915\n", "i915"},
        {"uevent without a driver", false, false, "PCI_CLASS=30000\nDRIVER=\n", nullptr},
        {"nothing", false, false, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempTree tree;
        const std::string dir = "/sys/devices/pci0000:00/0000:00:02.0";
        tree.File(dir + "/vendor", "0x8086\n")
            .File(dir + "/device", "0x9a49\n")
            .File(dir + "/class", "0x030000\n")
            .Link("/sys/bus/pci/devices/0000:00:02.0", "../../../devices/pci0000:00/0000:00:02.0");
        if (c.driverLink) tree.Link(dir + "/driver", "../../../bus/pci/drivers/i915");
        if (c.subsystemLink) tree.Link(dir + "/subsystem", "../../../bus/pci");
        if (c.uevent) tree.File(dir + "/uevent", c.uevent);
        const ProviderContext context{SystemRoot(tree.Dir())};
        const auto adapters = EnumerateWin32_VideoController(context);
        ASSERT_EQ(adapters.size(), 1u);
        EXPECT_EQ(Text(adapters[0], "PNPDeviceID"), "PCI\\VEN_8086&DEV_9A49\\0000:00:02.0");
        EXPECT_EQ(Text(adapters[0], "Status"), c.driver ? "OK" : "Error");
        EXPECT_EQ(Text(adapters[0], "ConfigManagerErrorCode"), c.driver ? "0" : "28");
        EXPECT_EQ(Text(adapters[0], "InstalledDisplayDrivers"), c.driver ? c.driver : "");
        const auto entities = EnumerateWin32_PnPEntity(context);
        ASSERT_EQ(entities.size(), 1u);
        EXPECT_EQ(Text(entities[0], "ConfigManagerErrorCode"), c.driver ? "0" : "28");
    }
}

// A captured tree without pci.ids, usb.ids and pnp.ids names its devices by
// the ID databases of the computer reading it (here a tree of their own);
// a tree with its own copy keeps it.
TEST(DeviceClasses, ATreeWithoutIdDatabasesUsesThisComputers) {
    TempTree machine;
    const std::string gpu = "/sys/devices/pci0000:00/0000:00:02.0";
    machine.File(gpu + "/vendor", "0x8086\n")
        .File(gpu + "/device", "0x9a49\n")
        .File(gpu + "/class", "0x030000\n")
        .Link(gpu + "/subsystem", "../../../bus/pci")
        .Link("/sys/bus/pci/devices/0000:00:02.0", "../../../devices/pci0000:00/0000:00:02.0");
    const std::string hub = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1";
    machine.File(hub + "/idVendor", "05e3\n")
        .File(hub + "/idProduct", "0610\n")
        .File(hub + "/bDeviceClass", "09\n")
        .Link(hub + "/subsystem", "../../../../../bus/usb")
        .Link("/sys/bus/usb/devices/1-1", "../../../devices/pci0000:00/0000:00:14.0/usb1/1-1");
    const auto monitor = Monitor();
    machine.File("/sys/devices/card0/card0-DP-1/status", "connected\n")
        .File("/sys/devices/card0/card0-DP-1/enabled", "enabled\n")
        .File("/sys/devices/card0/card0-DP-1/edid", std::string(monitor.begin(), monitor.end()))
        .Link("/sys/class/drm/card0", "../../devices/card0")
        .Link("/sys/class/drm/card0-DP-1", "../../devices/card0/card0-DP-1");
    TempTree local;
    local.File("/usr/share/hwdata/pci.ids", "8086  Intel Corporation\n\t9a49  TigerLake-LP GT2 [Iris Xe Graphics]\n")
        .File("/usr/share/hwdata/usb.ids", "05e3  Genesys Logic, Inc.\n\t0610  Hub\n")
        .File("/usr/share/hwdata/pnp.ids", "DEL\tDell Inc.\n");

    struct Names {
        std::string adapter, vendor, hub, maker;
    };
    auto namesWith = [&](std::optional<SystemRoot> fallback) {
        ProviderContext context{SystemRoot(machine.Dir())};
        context.idFallback = std::move(fallback);
        const auto adapters = EnumerateWin32_VideoController(context);
        const auto hubs = EnumerateWin32_USBHub(context);
        const auto monitors = EnumerateWin32_DesktopMonitor(context);
        EXPECT_EQ(adapters.size(), 1u);
        EXPECT_EQ(hubs.size(), 1u);
        EXPECT_EQ(monitors.size(), 1u);
        if (adapters.empty() || hubs.empty() || monitors.empty()) return Names{};
        return Names{Text(adapters[0], "Name"), Text(adapters[0], "AdapterCompatibility"), Text(hubs[0], "Name"),
                     Text(monitors[0], "MonitorManufacturer")};
    };
    const Names fromLocal = namesWith(SystemRoot(local.Dir()));
    EXPECT_EQ(fromLocal.adapter, "TigerLake-LP GT2 [Iris Xe Graphics]");
    EXPECT_EQ(fromLocal.vendor, "Intel Corporation");
    EXPECT_EQ(fromLocal.hub, "Hub");
    EXPECT_EQ(fromLocal.maker, "Dell Inc.");

    const Names alone = namesWith(std::nullopt);
    EXPECT_EQ(alone.adapter, "Display controller") << "the class name the provider knows";
    EXPECT_EQ(alone.vendor, "");
    EXPECT_EQ(alone.maker, "");

    machine.File("/usr/share/misc/pci.ids", "8086  Intel Corp. (the tree's)\n\t9a49  Iris Xe\n")
        .File("/usr/share/hwdata/pnp.ids", "DEL\tDell (the tree's)\n");
    const Names own = namesWith(SystemRoot(local.Dir()));
    EXPECT_EQ(own.adapter, "Iris Xe");
    EXPECT_EQ(own.vendor, "Intel Corp. (the tree's)");
    EXPECT_EQ(own.hub, "Hub") << "the tree has no usb.ids";
    EXPECT_EQ(own.maker, "Dell (the tree's)");
}

// A USB audio interface is named by usb.ids through its device; a card
// without a device keeps ALSA's own names.
TEST(DeviceClasses, UsbAndDevicelessSoundCards) {
    TempTree tree;
    const std::string usb = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";
    tree.File("/proc/asound/cards",
              " 1 [Device         ]: USB-Audio - USB Audio Device\n"
              "                      C-Media Electronics Inc. USB Audio Device at usb-0000:00:14.0-2, full speed\n"
              " 2 [Loopback       ]: Loopback - Loopback\n"
              "                      Loopback 1\n")
        .File(usb + "/idVendor", "0d8c\n")
        .File(usb + "/idProduct", "0014\n")
        .File(usb + "/product", "USB Audio Device\n")
        .File(usb + "/1-2:1.0/bInterfaceNumber", "00\n")
        .File(usb + "/1-2:1.0/bInterfaceClass", "01\n")
        .Link(usb + "/1-2:1.0/subsystem", "../../../../../../bus/usb")
        .Link(usb + "/1-2:1.0/sound/card1/device", "../../../1-2:1.0")
        .Link("/sys/class/sound/card1", "../../devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/sound/card1")
        .File("/usr/share/misc/usb.ids", "0d8c  C-Media Electronics, Inc.\n\t0014  Audio Adapter (Unitek Y-247A)\n")
        .MakeDir("/sys/bus/usb");
    const auto cards = EnumerateWin32_SoundDevice(ProviderContext{SystemRoot(tree.Dir())});
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(Text(cards[0], "DeviceID"), "USB\\VID_0D8C&PID_0014&MI_00\\1-2:1.0");
    EXPECT_EQ(Text(cards[0], "Name"), "Audio Adapter (Unitek Y-247A)");
    EXPECT_EQ(Text(cards[0], "Manufacturer"), "C-Media Electronics, Inc.");
    EXPECT_TRUE(cards[0].Get("Availability").IsNull());
    EXPECT_EQ(Text(cards[1], "DeviceID"), "ALSA\\Loopback");
    EXPECT_TRUE(cards[1].Get("PNPDeviceID").IsNull());
    EXPECT_EQ(Text(cards[1], "Name"), "Loopback");
}

// ---- decoders and pages

TEST(DisplaySoundDecoders, EdgeValues) {
    components::TDisplayProperties display;
    components::TDesktopMonitorProperties monitor;
    components::TUSBControllerProperties usb;
    components::TSoundDeviceProperties sound;
    display.SetDitherType(0);
    monitor.SetDisplayType(0);
    EXPECT_EQ(display.DitherTypeAsString(), "No Dithering");
    EXPECT_EQ(monitor.DisplayTypeAsString(), "Unknown");
    display.SetDitherType(5);
    monitor.SetDisplayType(6);
    EXPECT_EQ(display.DitherTypeAsString(), "");
    EXPECT_EQ(monitor.DisplayTypeAsString(), "");
    for (auto [code, text] : std::initializer_list<std::pair<int32_t, const char*>>{
             {8, "1496"}, {16, "Universal Serial Bus"}, {47, "IrBus"}, {48, ""}, {0, ""}}) {
        usb.SetProtocolSupported(code);
        EXPECT_EQ(usb.ProtocolSupportedAsString(), text) << code;
    }
    usb.SetAvailability(8);
    monitor.SetAvailability(8);
    sound.SetAvailability(8);
    EXPECT_EQ(usb.AvailabilityAsString(), "Offline");
    EXPECT_EQ(monitor.AvailabilityAsString(), "Off Line");
    EXPECT_EQ(sound.AvailabilityAsString(), "Off Line");
    sound.SetConfigManagerErrorCode(27);
    EXPECT_EQ(sound.ConfigManagerErrorCodeAsString(), "Device does not have valid log configuration.");
}

TEST(DisplaySoundPages, EveryRowOfEveryObject) {
    struct Case {
        int page;
        const char* header;
        size_t rows;
        size_t objects;
    };
    const Case cases[] = {
        {15, "Display Caption", 16, 2},
        {16, "Monitor Caption", 27, 2},
        {18, "USB Controller Caption", 21, 1},
        {24, "Sound Device Caption", 22, 1},
    };
    testsupport::LocalComputer local(Machine("laptop-usb"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        ui::PageList list(c.header);
        ui::FillPage(ui::Page(c.page), list, ".");
        ASSERT_EQ(list.Count(), c.rows * c.objects);
        EXPECT_TRUE(list.IsHeaderRow(0));
        EXPECT_TRUE(list.IsHeaderRow(c.rows * (c.objects - 1)));
        for (const auto& row : list.Rows()) EXPECT_TRUE(row.hasValue) << row.property;
    }
    ui::PageList monitors("Monitor Caption");
    ui::FillPage(ui::Page(16), monitors, ".");
    EXPECT_EQ(monitors.Row(0).value, "DELL U2719D");
    EXPECT_EQ(monitors.Row(5).property, "Monitor Manufacturer");
    EXPECT_EQ(monitors.Row(5).value, "Dell Inc.");
    EXPECT_EQ(monitors.Row(11).property, "Monitor Config Manage User Config");
    EXPECT_EQ(monitors.Row(26).value, "") << "no install date";
}

// A controller's error text reaches its row; its availability 8 reads
// "Offline" through the component (the page has no availability rows).
TEST(DisplaySoundPages, UsbControllerAvailabilityAndErrorText) {
    using compfake::FakeBackend;
    using compfake::FakeHost;
    FakeHost host(std::make_shared<FakeBackend>(Win32_USBControllerSchema()));
    Instance controller(Win32_USBControllerSchema());
    controller.SetText("Caption", "xHCI");
    controller.Set("Availability", Value::UInt(8));
    controller.SetText("ErrorDescription", "Port reset failed");
    host.Backend().instances = {controller};
    ui::PageList list("USB Controller Caption");
    ui::FillPage(ui::Page(18), list, FakeHost::kName);
    ASSERT_EQ(list.Count(), 21u);
    std::map<std::string, std::string> rows;
    for (const auto& row : list.Rows()) rows[row.property] = row.value;
    EXPECT_EQ(rows["USB Controller Caption"], "xHCI");
    EXPECT_EQ(rows["USB Controller Error Description"], "Port reset failed");
    EXPECT_EQ(rows["USB Controller Config Manager Error"], "") << "a code the controller did not give";

    components::TUSBControllerInfo component;
    component.SetHost(FakeHost::kName);
    component.SetActive(true);
    ASSERT_EQ(component.ObjectsCount(), 1);
    EXPECT_EQ(component.USBControllerProperties().Availability(), 8);
    EXPECT_EQ(component.USBControllerProperties().AvailabilityAsString(), "Offline");
}
