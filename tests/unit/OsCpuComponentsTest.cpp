// The operating system and processor components (decoders, 64-bit sizes,
// dates, Reboot), the shared device tables, and their two pages.
#include <gtest/gtest.h>

#include <clocale>

#include "cimv2/provider/Classes.h"
#include "components/Components.h"
#include "tests/support/ComponentFakes.h"
#include "ui/pages/ComputerPages.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/PageCatalogue.h"

using namespace components;
using namespace compfake;
using cimv2::Instance;
using cimv2::Value;

namespace {

struct DecodeCase {
    int32_t code;
    const char* text;
};

template <typename Record, typename Set, typename Get>
void ExpectDecodes(Set set, Get get, std::initializer_list<DecodeCase> cases) {
    Record record;
    for (const DecodeCase& c : cases) {
        (record.*set)(c.code);
        EXPECT_EQ((record.*get)(), c.text) << c.code;
    }
}

TEST(OperatingSystemDecoders, ExactCodesOnly) {
    using R = TOperatingSystemProperties;
    ExpectDecodes<R>(&R::SetOSLanguage, &R::OSLanguageAsString,
                     {{1033, "English \u2013 United States"},
                      {9, "English"},
                      {1064, ""},
                      {0, ""},
                      {4, "Chinese (Simplified)\u2013 China"},
                      {20490, "Spanish \u2013 Puerto Rico"}});
    ExpectDecodes<R>(&R::SetOSType, &R::OSTypeAsString, {{18, "WINNT"}, {2, "MACROS"}, {57, "Rhapsody"}, {58, ""}});
    ExpectDecodes<R>(&R::SetSuiteMask, &R::SuiteMaskAsString, {{272, ""}, {256, "Single User"}, {1024, "Blade"}});
    ExpectDecodes<R>(&R::SetProductType, &R::ProductTypeAsString, {{0, ""}, {4, ""}, {1, "Work Station"}});
    ExpectDecodes<R>(&R::SetOperatingSystemSKU, &R::OperatingSystemSKUAsString,
                     {{0, "Undefined"}, {25, "Small Business Server Premium Edition"}, {26, ""}});
    R record;
    record.SetOSProductSuite(16384);
    EXPECT_EQ(record.GetOSProductSuiteAsString(),
              "Windows Server 2003, Compute Cluster Edition is installed.. Windows Server 2003, Windows XP, and "
              "Windows 2000:  This value is not available.");
    record.SetOSProductSuite(3);
    EXPECT_EQ(record.GetOSProductSuiteAsString(), "") << "two suites together are no row";
}

TEST(ProcessorDecoders, ExactCodesOnly) {
    using R = TProcessorProperties;
    ExpectDecodes<R>(&R::SetArchitecture, &R::ArchitectureAsString, {{9, "x64"}, {4, ""}, {5, ""}, {0, "x86"}});
    ExpectDecodes<R>(&R::SetFamily, &R::FamilyAsString,
                     {{2, "Unknown"},
                      {121, "Crusoe\u2122 TM3000 Family"},
                      {122, "Efficeon\u2122 TM8000 Family"},
                      {131, "AMD Athlon\u2122 64 Processor Famiily"},
                      {500, "Video Processor"},
                      {501, ""}});
    ExpectDecodes<R>(&R::SetCpuStatus, &R::CpuStatusAsString, {{5, "Reserved"}, {6, "Reserved"}, {8, ""}});
    ExpectDecodes<R>(&R::SetProcessorType, &R::ProcessorTypeAsString, {{3, "Central Processor"}, {0, ""}, {7, ""}});
    ExpectDecodes<R>(
        &R::SetAvailability, &R::AvailabilityAsString,
        {{3, "Running or Full Power"},
         {8, "Off Line"},
         {13,
          "Power Save - Unknown. The device is known to be in a power save state, but its exact status is unknown."},
         {0, ""},
         {18, ""}});
}

// The shared tables and each record's own wording of them.
TEST(DeviceTables, SharedRowsAndTheirVariants) {
    struct Case {
        TDecoder table;
        int64_t code;
        const char* text;
    };
    const Case cases[] = {
        {devices::kAvailability, 3, "Running or Full Power"},
        {devices::kAvailability, 8, "Off Line"},
        {devices::kOfflineAvailability, 8, "Offline"},
        {devices::kOfflineAvailability, 7, "Power Off"},
        {devices::kAvailability, 13,
         "Power Save - Unknown. The device is known to be in a power save mode, but its exact status is unknown."},
        {devices::kProcessorAvailability, 14,
         "Power Save - Low Power Mode. The device is in a power save state, but is still functioning, and may exhibit "
         "decreased performance."},
        {devices::kPrinterAvailability, 14,
         "Power Save - Low Power Mode. The device is in a power save state but is still functioning, and may exhibit "
         "degraded performance."},
        {devices::kPrinterAvailability, 13,
         "Power Save - Unknown. The device is known to be in a power save mode, but its exact status is unknown."},
        {devices::kAvailability, 0, ""},
        {devices::kAvailability, 18, ""},
        {devices::kConfigManagerErrorCode, 0, "Device is working properly."},
        {devices::kConfigManagerErrorCode, 25, "Windows is still setting up the device."},
        {devices::kConfigManagerErrorCode, 26, "Windows is still setting up the device."},
        {devices::kConfigManagerErrorCode, 27, "Device does not have valid log configuration."},
        {devices::kPrinterConfigManagerErrorCode, 27, "Device does not have a valid log configuration."},
        {devices::kConfigManagerErrorCode, 32, ""},
        {devices::kStatusInfo, 3, "Enabled"},
        {devices::kStatusInfo, 0, ""},
        {devices::kStatusInfo, 6, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Decode(c.table, c.code), c.text) << c.code;
}

TEST(OperatingSystemComponent, SizesDatesAndReboot) {
    FakeHost host(std::make_shared<FakeBackend>(cimv2::Win32_OperatingSystemSchema()));
    Instance os(cimv2::Win32_OperatingSystemSchema());
    os.SetText("Name", "Debian|/");
    os.SetText("LastBootUpTime", "20240105083012.500000+060");
    os.Set("FreePhysicalMemory", Value::UInt(5000000000));
    os.Set("TotalVisibleMemorySize", Value::UInt(68719476736));
    os.Set("OSLanguage", Value::UInt(1033));
    os.Set("DataExecutionPrevention_SupportPolicy", Value::UInt(3));
    host.Backend().instances = {os};

    TOperatingSystemInfo component;
    const auto nothingRan = static_cast<int32_t>(TOperatingSystemInfo::kNothingRan);
    EXPECT_EQ(component.Reboot("Name", wmi::OleVariant::Text("Debian|/")), nothingRan)
        << "inactive: nothing sent, and no success reported";
    EXPECT_TRUE(host.Backend().calls.empty());

    component.SetHost(FakeHost::kName);
    component.SetActive(true);
    const TOperatingSystemProperties& p = component.OperatingSystemProperties();
    EXPECT_EQ(p.LastBootUpTime(), wmi::EncodeDate(2024, 1, 5)) << "the date only";
    EXPECT_EQ(p.FreePhysicalMemory(), 5000000000);
    EXPECT_EQ(p.TotalVisibleMemorySize(), 68719476736);
    EXPECT_EQ(p.DataExecutionPrevention_SupportPolicy(), 3);
    EXPECT_EQ(p.OSLanguageAsString(), "English \u2013 United States");

    host.Backend().reply = {{"ReturnValue", Value::UInt(0x80041003)}};
    EXPECT_EQ(static_cast<uint32_t>(component.Reboot("Name", wmi::OleVariant::Text("Debian|/"))), 0x80041003u);
    ASSERT_EQ(host.Backend().calls.size(), 1u);
    EXPECT_EQ(host.Backend().calls[0].method, "Reboot");
    EXPECT_TRUE(host.Backend().calls[0].in.empty());
    EXPECT_EQ(component.Reboot("Name", wmi::OleVariant::Text("no such system")), nothingRan) << "no object matched";
    host.Backend().reply = {{"ReturnValue", Value::UInt(0)}};
    EXPECT_EQ(component.Reboot("Name", wmi::OleVariant::Text("Debian|/")), 0);
    EXPECT_EQ(host.Backend().calls.size(), 2u);
}

TEST(OsCpuPages, TwoSocketsGiveTwoBlocksAndSixtyFourBitSizesStayWhole) {
    const std::string savedTime = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "C");
    FakeHost host(std::make_shared<FakeBackend>(cimv2::Win32_ProcessorSchema()));
    for (const char* id : {"CPU0", "CPU1"}) {
        Instance cpu(cimv2::Win32_ProcessorSchema());
        cpu.SetText("DeviceID", id);
        cpu.SetText("Caption", std::string("caption of ") + id);
        cpu.Set("PowerManagementCapabilities", Value::Array({Value::UInt(1), Value::UInt(4)}));
        host.Backend().instances.push_back(cpu);
    }
    ui::PageList list(ui::Page(4).headerLabel);
    ui::FillPage(ui::Page(4), list, FakeHost::kName);
    ASSERT_EQ(list.Count(), 96u);
    EXPECT_TRUE(list.IsHeaderRow(0));
    EXPECT_TRUE(list.IsHeaderRow(48));
    EXPECT_EQ(list.Row(48).value, "caption of CPU1");
    EXPECT_EQ(list.Row(2).property, "CPU Class Name");
    EXPECT_EQ(list.Row(2).value, "TProcessorProperties");
    EXPECT_EQ(list.Row(14).value, "TProcessorProperties");
    EXPECT_EQ(list.Row(37).property, "CPU Power Management Capabilities");
    EXPECT_EQ(list.Row(37).value, "{1, 4}");

    FakeHost osHost(std::make_shared<FakeBackend>(cimv2::Win32_OperatingSystemSchema()));
    Instance os(cimv2::Win32_OperatingSystemSchema());
    os.Set("FreePhysicalMemory", Value::UInt(5000000000));
    os.Set("OSLanguage", Value::UInt(1033));
    osHost.Backend().instances = {os};
    ui::PageList osList(ui::Page(3).headerLabel);
    ui::FillPage(ui::Page(3), osList, FakeHost::kName);
    ASSERT_EQ(osList.Count(), 56u);
    auto value = [&](const std::string& label) {
        for (const auto& row : osList.Rows())
            if (row.property == label) return row.value;
        return std::string("<no row>");
    };
    EXPECT_EQ(value("OS Free Physical Memory"), "5000000000");
    EXPECT_EQ(value("OS Language"), "English \u2013 United States");
    // Null dates and codes are empty, not 30 December 1899 or the meaning of 0.
    EXPECT_EQ(value("OS Install Date"), "");
    EXPECT_EQ(value("OS Type Code"), "0");
    EXPECT_EQ(value("OS Type"), "");
    EXPECT_EQ(value("OS SKU"), "");
    std::setlocale(LC_TIME, savedTime.c_str());
}

}  // namespace
