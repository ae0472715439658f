// The "BIOS" and "Computer" pages: row tables, value formats, failures, and
// the rows of every captured machine against golden/page-<Caption>.txt
// (regenerated with the class goldens: SYSQUILL_REGENERATE_GOLDEN=1).
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/cli/PageCommands.h"
#include "cimv2/provider/Classes.h"
#include "components/Components.h"
#include "tests/support/ComponentFakes.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LocalComputer.h"
#include "ui/pages/ComputerPages.h"
#include "ui/pages/DateFormat.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/PageCatalogue.h"
#include "wmi/UProcedures.h"

using namespace ui;
using namespace compfake;
using cimv2::Instance;
using cimv2::Value;
namespace fs = std::filesystem;

namespace {

// Dates follow LC_TIME; the expectations here are the C locale's.
class CLocaleTime {
public:
    CLocaleTime() : FSaved(std::setlocale(LC_TIME, nullptr)) { std::setlocale(LC_TIME, "C"); }
    ~CLocaleTime() { std::setlocale(LC_TIME, FSaved.c_str()); }

private:
    std::string FSaved;
};

std::vector<std::string> Labels(std::span<const RecordRow> rows) {
    std::vector<std::string> labels;
    for (const auto& row : rows) labels.push_back(row.label);
    return labels;
}

std::string ValueOf(const PageList& list, const std::string& label) {
    for (const auto& row : list.Rows())
        if (row.property == label) return row.value;
    ADD_FAILURE() << "no row " << label;
    return {};
}

const std::span<const RecordRow> kBiosRows = computer::kBiosRows;
const std::span<const RecordRow> kComputerSystemRows = computer::kComputerSystemRows;

TEST(ComputerPages, AreInTheCatalogue) {
    EXPECT_EQ(Page(1).fill.component, &FillComponentPage<components::TComputerSystemInfo>);
    EXPECT_EQ(Page(1).fill.recordRows.data(), kComputerSystemRows.data());
    EXPECT_EQ(Page(2).fill.component, &FillComponentPage<components::TBiosInfo>);
    EXPECT_EQ(Page(2).fill.recordRows.data(), kBiosRows.data());
    EXPECT_EQ(Page(2).fill.objects, PageObjects::First);
    EXPECT_STREQ(Page(1).fillName, "GetComputerSystemInfo");
    EXPECT_STREQ(Page(2).fillName, "GetBiosInfo");
    // The labels as the window has always shown them, misspellings included.
    const auto bios = Labels(kBiosRows);
    const auto computer = Labels(kComputerSystemRows);
    for (const char* label : {"BIOS Build Numner", "SMBIOS present", "Install Date"})
        EXPECT_NE(std::find(bios.begin(), bios.end(), label), bios.end()) << label;
    for (const char* label : {"Computer Network Server Mode Enalbed", "Computer Part Of Doamin", "Computer Power Stat",
                              "Computer Admin Boot Option On Watchdog Code", "Computer Admin Boot Option On Watchdog"})
        EXPECT_NE(std::find(computer.begin(), computer.end(), label), computer.end()) << label;
}

class PageFillTest : public ::testing::Test {
protected:
    PageFillTest()
        : biosHost(std::make_shared<FakeBackend>(cimv2::Win32_BIOSSchema())),
          biosList(Page(2).headerLabel),
          computerList(Page(1).headerLabel) {}

    CLocaleTime time;
    FakeHost biosHost;
    PageList biosList;
    PageList computerList;
};

TEST_F(PageFillTest, BiosRowsFromTheFirstObject) {
    Instance bios(cimv2::Win32_BIOSSchema());
    bios.SetText("Caption", "1.02");
    bios.Set("BIOSVersion", Value::Array({Value::Text("Rev   - 1.02"), Value::Text("A12")}));
    bios.SetText("ReleaseDate", "20140626000000.000000+000");
    bios.SetBool("PrimaryBIOS", true);
    bios.SetBool("SMBIOSPresent", false);
    bios.Set("SMBIOSMajorVersion", Value::UInt(3));
    bios.Set("TargetOperatingSystem", Value::UInt(36));
    bios.Set("SoftwareElementState", Value::UInt(3));
    Instance second(cimv2::Win32_BIOSSchema());
    second.SetText("Caption", "second BIOS");
    biosHost.Backend().instances = {bios, second};

    FillPage(Page(2), biosList, FakeHost::kName);
    ASSERT_EQ(biosList.Count(), 23u);
    EXPECT_TRUE(biosList.IsHeaderRow(0));
    EXPECT_EQ(biosList.Row(0).value, "1.02");
    EXPECT_EQ(ValueOf(biosList, "BIOS Version"), "{\"Rev   - 1.02\", \"A12\"}");
    EXPECT_EQ(ValueOf(biosList, "Install Date"), "") << "no install date";
    EXPECT_EQ(ValueOf(biosList, "BIOS Release Date"), "06/26/14");
    EXPECT_EQ(ValueOf(biosList, "Primary BIOS"), "True");
    EXPECT_EQ(ValueOf(biosList, "SMBIOS present"), "False");
    EXPECT_EQ(ValueOf(biosList, "SMBIOS Major Version"), "3");
    EXPECT_EQ(ValueOf(biosList, "BIOS Target OS Code"), "36");
    EXPECT_EQ(ValueOf(biosList, "BIOS Target OS"), "LINUX");
    EXPECT_EQ(ValueOf(biosList, "BIOS Software Element State"), "Running");
    for (const auto& row : biosList.Rows()) EXPECT_TRUE(row.hasValue) << row.property;
    EXPECT_TRUE(biosList.TakeFitRequest());

    // Refresh gives the same rows, not a doubled list.
    const auto first = biosList.Rows();
    FillPage(Page(2), biosList, FakeHost::kName);
    ASSERT_EQ(biosList.Count(), first.size());
    for (size_t n = 0; n < first.size(); ++n) EXPECT_EQ(biosList.Row(n).value, first[n].value);
}

TEST_F(PageFillTest, EveryObjectModeWritesEachObjectInTurn) {
    Instance first(cimv2::Win32_BIOSSchema());
    first.SetText("Caption", "first");
    first.SetBool("PrimaryBIOS", true);
    Instance second(cimv2::Win32_BIOSSchema());
    second.SetText("Caption", "second");
    biosHost.Backend().instances = {first, second};
    FillComponentPage<components::TBiosInfo>(biosList, FakeHost::kName, kBiosRows, PageObjects::Every);
    ASSERT_EQ(biosList.Count(), 2 * kBiosRows.size());
    EXPECT_TRUE(biosList.IsHeaderRow(0));
    EXPECT_TRUE(biosList.IsHeaderRow(kBiosRows.size()));
    EXPECT_EQ(biosList.Row(0).value, "first");
    EXPECT_EQ(biosList.Row(kBiosRows.size()).value, "second");
    EXPECT_EQ(biosList.Row(10).value, "True");  // Primary BIOS of the first
    EXPECT_EQ(biosList.Row(kBiosRows.size() + 10).value, "False");
    EXPECT_EQ(biosHost.Backend().queries.size(), 1u);
}

TEST_F(PageFillTest, NoObjectShowsNoBlock) {
    biosList.AddRow("stale", "row");
    FillPage(Page(2), biosList, FakeHost::kName);
    EXPECT_TRUE(biosList.Empty()) << "a cleared record is no BIOS";
    EXPECT_TRUE(biosList.TakeFitRequest());
}

TEST_F(PageFillTest, FailuresLeaveTheListEmpty) {
    biosList.AddRow("stale", "row");
    EXPECT_THROW(FillPage(Page(2), biosList, "nowhere.invalid"), wmi::EOleException);
    EXPECT_TRUE(biosList.Empty());

    Instance bad(cimv2::Win32_BIOSSchema());
    bad.SetText("Caption", "bad");
    bad.SetText("ReleaseDate", "2014??26000000.000000+000");
    biosHost.Backend().instances = {bad};
    biosList.AddRow("stale", "row");
    EXPECT_THROW(FillPage(Page(2), biosList, FakeHost::kName), wmi::EConvertError);
    EXPECT_TRUE(biosList.Empty());

    // The dispatch lets the error of an unguarded page escape.
    EXPECT_THROW(RunPageFill(Page(2), biosList, FakeHost::kName), wmi::EConvertError);
}

TEST(ComputerPageFill, NumbersSignsAndDecodedRows) {
    CLocaleTime time;
    FakeHost host(std::make_shared<FakeBackend>(cimv2::Win32_ComputerSystemSchema()));
    Instance cs(cimv2::Win32_ComputerSystemSchema());
    cs.SetText("Caption", "BOX");
    cs.SetText("Name", "BOX");
    cs.SetInt("CurrentTimeZone", -300);
    cs.Set("TotalPhysicalMemory", Value::UInt(68719476736ull));
    cs.Set("NumberOfLogicalProcessors", Value::UInt(4294967295u));
    cs.Set("ChassisBootupState", Value::UInt(3));
    cs.Set("ThermalState", Value::UInt(3));
    cs.Set("Roles", Value::Array({Value::Text("LM_Workstation"), Value::Text("Server")}));
    cs.SetBool("PartOfDomain", true);
    host.Backend().instances = {cs};

    PageList list(Page(1).headerLabel);
    FillPage(Page(1), list, FakeHost::kName);
    ASSERT_EQ(list.Count(), 64u);
    EXPECT_TRUE(list.IsHeaderRow(0));
    struct Case {
        const char* label;
        const char* value;
    } cases[] = {
        {"Computer Caption", "BOX"},
        {"Computer Current Time Zone", "-300"},
        {"Computer Total Physical Memory", "68719476736"},
        {"Computer Number Of Logical Processors", "4294967295"},
        {"Computer Chassis Bootup State", "Safes"},
        {"Computer Thermal State", "Safe"},
        {"Computer Roles", "{\"LM_Workstation\", \"Server\"}"},
        {"Computer Part Of Doamin", "True"},
        // Codes and a date the object did not give: no meaning of 0, no 1899.
        {"Computer Domain Role Code", "0"},
        {"Computer Domain Role", ""},
        {"Computer Admin Password Status", ""},
        {"Computer Power Stat", ""},
        {"Computer Wake Up Type", ""},
        {"Computer PC System Type", ""},
        {"Computer Reset Capability", ""},
        {"Computer Boot Option On Limit", ""},
        {"Computer Install Date", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueOf(list, c.label), c.value) << c.label;
}

TEST(DateFormat, ShortDateAndDateTimeInTheCLocale) {
    CLocaleTime time;
    struct Case {
        double dateTime;
        const char* date;
        const char* withTime;
    } cases[] = {
        {0, "12/30/99", "12/30/99"},
        {42444, "03/15/16", "03/15/16"},
        {42444.5, "03/15/16", "03/15/16 12:00:00"},
        {42444.75 + 1.0 / 86400, "03/15/16", "03/15/16 18:00:01"},
        {-1, "12/29/99", "12/29/99"},
        {1e300, "", ""},
        {-1e300, "", ""},
        {std::nan(""), "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatShortDate(c.dateTime), c.date) << c.dateTime;
        EXPECT_EQ(FormatDateTime(c.dateTime), c.withTime) << c.dateTime;
    }
}

// ---- golden rows of every captured machine, as sysquill-query --page prints them

std::optional<std::string> ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Every component-backed page of the catalogue.
TEST(Golden, ComponentPagesMatchTheirGoldenOutput) {
    CLocaleTime time;
    const char* flag = std::getenv("SYSQUILL_REGENERATE_GOLDEN");
    const bool regenerate = flag && std::string(flag) == "1";
    const char* only = std::getenv("SYSQUILL_GOLDEN_MACHINE");
    testsupport::LocalComputer local;
    int machines = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(SYSQUILL_FIXTURES, ec)) {
        const fs::path machine = entry.path();
        if (!fs::is_directory(machine / "tree") || (only && machine.filename() != only)) continue;
        ++machines;
        local.Use(testsupport::FixtureContext(machine));
        for (const PageInfo& info : Pages()) {
            if (!info.fill.component) continue;
            const std::string page = info.caption;
            const fs::path golden = machine / "golden" / ("page-" + page + ".txt");
            SCOPED_TRACE(golden.string());
            std::ostringstream out, err;
            cli::StreamOutput outSink(out), errSink(err);
            EXPECT_EQ(cli::PrintPage(page, ".", "", cli::Format::Table, outSink, errSink), 0) << err.str();
            if (regenerate) {
                fs::create_directories(golden.parent_path());
                std::ofstream(golden, std::ios::binary) << out.str();
                continue;
            }
            auto expected = ReadText(golden);
            if (!expected) {
                ADD_FAILURE() << "missing golden file; create it with SYSQUILL_REGENERATE_GOLDEN=1 "
                                 "./sysquill_tests --gtest_filter='Golden.*'";
                continue;
            }
            EXPECT_EQ(out.str(), *expected) << "rows of page " << page << " changed";
        }
    }
    EXPECT_GT(machines, 0);
}

}  // namespace
