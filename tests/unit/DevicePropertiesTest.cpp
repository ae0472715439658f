// The identity and working status every device class states alike.
#include <gtest/gtest.h>

#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "tests/support/InstanceText.h"

using namespace cimv2;
using testsupport::Text;

TEST(DeviceProperties, WorkingStatusSetsWhatItIsGiven) {
    struct Case {
        const char* name;
        WorkingStatus status;
        const char *text, *code, *availability, *userConfig;
    };
    const Case cases[] = {
        {"works", {}, "OK", "0", "<null>", "<null>"},
        {"no driver", {.works = false, .availability = {}, .userConfig = {}}, "Error", "28", "<null>", "<null>"},
        {"running, kernel-configured",
         {.works = true, .availability = kAvailabilityRunning, .userConfig = false},
         "OK",
         "0",
         "3",
         "False"},
        {"powered down, no driver",
         {.works = false, .availability = 15, .userConfig = {}},
         "Error",
         "28",
         "15",
         "<null>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Instance inst(Win32_SoundDeviceSchema());
        SetWorkingStatus(inst, c.status);
        EXPECT_EQ(Text(inst, "Status"), c.text);
        EXPECT_EQ(Text(inst, "ConfigManagerErrorCode"), c.code);
        EXPECT_EQ(Text(inst, "Availability"), c.availability);
        EXPECT_EQ(Text(inst, "ConfigManagerUserConfig"), c.userConfig);
    }
}

TEST(DeviceProperties, IdentityGoesToEveryTitleProperty) {
    Instance inst(Win32_SoundDeviceSchema());
    SetPnPIdentity(inst, {"PCI\\VEN_8086&DEV_A0C8\\3&1", "PCI\\VEN_8086&DEV_A0C8\\3&1", "HD Audio", "Intel"},
                   {"ProductName"});
    for (const char* property : {"Name", "Caption", "Description", "ProductName"})
        EXPECT_EQ(Text(inst, property), "HD Audio") << property;
    EXPECT_EQ(Text(inst, "DeviceID"), "PCI\\VEN_8086&DEV_A0C8\\3&1");
    EXPECT_EQ(Text(inst, "PNPDeviceID"), "PCI\\VEN_8086&DEV_A0C8\\3&1");
    EXPECT_EQ(Text(inst, "Manufacturer"), "Intel");

    Instance bare(Win32_SoundDeviceSchema());
    SetPnPIdentity(bare, {"ALSA\\Loopback", std::nullopt, std::nullopt, std::nullopt}, {"ProductName"});
    EXPECT_EQ(Text(bare, "DeviceID"), "ALSA\\Loopback");
    for (const char* property : {"PNPDeviceID", "Name", "Caption", "ProductName", "Manufacturer"})
        EXPECT_EQ(Text(bare, property), "<null>") << property;
}

TEST(DeviceProperties, ADeviceWorksWithItsDriverOrAsASystemDevice) {
    struct Case {
        std::optional<std::string> service, pnpClass;
        bool works;
    };
    const Case cases[] = {
        {"xhci_hcd", "USB", true},
        {std::nullopt, "USB", false},
        {std::nullopt, "System", true},
        {std::nullopt, std::nullopt, false},
    };
    for (const auto& c : cases) {
        devtree::PnpDevice device;
        device.service = c.service;
        device.pnpClass = c.pnpClass;
        EXPECT_EQ(DriverWorks(device), c.works) << c.service.value_or("-") << " " << c.pnpClass.value_or("-");
    }
}
