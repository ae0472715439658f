// The toolkit-free page layer: value rules, the direct-query routine, the
// guard's message, search, CSV export, the catalogue and the page commands.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "app/cli/PageCommands.h"
#include "app/cli/QueryTool.h"
#include "cimv2/provider/Provider.h"
#include "tests/support/FakeWbem.h"
#include "tests/support/LocalComputer.h"
#include "ui/pages/DevicePages.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/HardwarePages.h"
#include "ui/pages/ListTools.h"
#include "ui/pages/LocalIdentity.h"
#include "ui/pages/PageCatalogue.h"
#include "ui/pages/SoftwarePages.h"

namespace {

using cimv2::Value;
using fakewbem::FakeHosts;
using ui::PageList;
using ui::ValueRule;
using wmi::OleVariant;

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::filesystem::path TempFolder(const std::string& name) {
    auto folder = std::filesystem::temp_directory_path() / ("sysquill-pages-" + name + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// ---- VariantToInt and the value rules

TEST(PageValueRules, VariantToIntReadsDecimalAndHexadecimal) {
    struct Case {
        OleVariant value;
        int64_t expected;
    };
    const Case cases[] = {
        {OleVariant::Text(" 42 "), 42},
        {OleVariant::Text("\t\r\n5\n"), 5},
        {OleVariant::Text("+3"), 3},
        {OleVariant::Text("4.5"), 0},
        {OleVariant::Text("1e3"), 0},
        {OleVariant::Text("True"), 0},
        {OleVariant::Text("12abc"), 0},
        {OleVariant::Text(""), 0},
        {OleVariant::Text("-"), 0},
        {OleVariant::Text("0x"), 0},
        {OleVariant::Text("$FF"), 255},
        {OleVariant::Text("0x1f"), 31},
        {OleVariant::Text("x10"), 16},
        {OleVariant::Text("-$10"), -16},
        {OleVariant::Text("9223372036854775807"), std::numeric_limits<int64_t>::max()},
        {OleVariant::Text("9223372036854775808"), 0},
        {OleVariant::Text("-9223372036854775808"), std::numeric_limits<int64_t>::min()},
        {OleVariant::Text("-9223372036854775809"), 0},
        {OleVariant::Text("4294967296000"), 4294967296000},
        {OleVariant::Int(-7), -7},
        {OleVariant::UInt(4000000000u), 4000000000},
        {OleVariant::UInt(uint64_t{1} << 63), 0},
        {OleVariant::Bool(true), 0},
        {OleVariant::Null(), 0},
        {OleVariant(), 0},
        {OleVariant::Array({OleVariant::Int(1)}), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::VariantToInt(c.value), c.expected) << c.value.ToText();
}

TEST(PageValueRules, RulesTurnValuesIntoText) {
    struct Case {
        OleVariant value;
        ValueRule rule;
        const char* expected;  // null: conversion failure
    };
    const Case cases[] = {
        {OleVariant::Text("ASUSTeK"), ValueRule::Text, "ASUSTeK"},
        {OleVariant::Text("20240131000000.000000+000"), ValueRule::Text, "20240131000000.000000+000"},
        {OleVariant::Bool(true), ValueRule::Text, "True"},
        {OleVariant::Bool(false), ValueRule::Text, "False"},
        {OleVariant::Int(-7), ValueRule::Text, "-7"},
        {OleVariant::Null(), ValueRule::Text, ""},
        {OleVariant::Array({}), ValueRule::Text, nullptr},
        {OleVariant::Text(" 42 "), ValueRule::Integer, "42"},
        {OleVariant::Text("4.5"), ValueRule::Integer, "0"},
        {OleVariant::Null(), ValueRule::Integer, "0"},
        {OleVariant::Int(-7), ValueRule::Integer, "-7"},
        {OleVariant::Array({OleVariant::Int(1)}), ValueRule::Integer, nullptr},
        {OleVariant::Text("x"), ValueRule::StrictText, "x"},
        {OleVariant(), ValueRule::StrictText, ""},
        {OleVariant::Null(), ValueRule::StrictText, nullptr},
        {OleVariant::UInt(22), ValueRule::StrictInteger, "22"},
        {OleVariant(), ValueRule::StrictInteger, "0"},
        {OleVariant::Text("31"), ValueRule::StrictInteger, "31"},
        {OleVariant::Text("2.6"), ValueRule::StrictInteger, "3"},
        {OleVariant::Text("2.5"), ValueRule::StrictInteger, "2"},  // a half goes to the even neighbour
        {OleVariant::Text("-3.5"), ValueRule::StrictInteger, "-4"},
        {OleVariant::Real(0.5), ValueRule::StrictInteger, "0"},
        {OleVariant::Real(1.5), ValueRule::StrictInteger, "2"},
        {OleVariant::Text("none"), ValueRule::StrictInteger, nullptr},
        {OleVariant::Null(), ValueRule::StrictInteger, nullptr},
        {OleVariant::UInt(uint64_t{1} << 63), ValueRule::StrictInteger, nullptr},
        {OleVariant::Bool(true), ValueRule::StrictBoolean, "True"},
        {OleVariant::Int(0), ValueRule::StrictBoolean, "False"},
        {OleVariant::Int(-1), ValueRule::StrictBoolean, "True"},
        {OleVariant(), ValueRule::StrictBoolean, "False"},
        {OleVariant::Null(), ValueRule::StrictBoolean, nullptr},
        {OleVariant::Text("maybe"), ValueRule::StrictBoolean, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.value.TypeName()) + " rule " + std::to_string(static_cast<int>(c.rule)));
        if (c.expected) {
            EXPECT_EQ(ui::ApplyValueRule(c.value, c.rule), c.expected);
        } else {
            EXPECT_THROW(ui::ApplyValueRule(c.value, c.rule), ui::EVariantError);
        }
    }
}

TEST(PageValueRules, OleExceptionTextTrimsAndFallsBack) {
    struct Case {
        std::string description;
        uint32_t code;
        const char* expected;
    };
    const Case cases[] = {
        {"The RPC server is unavailable. \r\n", 0x800706BA, "EOleException The RPC server is unavailable 800706BA"},
        {"Invalid class ...", 0x80041010, "EOleException Invalid class 80041010"},
        {" \t.", 0x80041017, "EOleException Invalid query 80041017"},
        {"", 0x12345, "EOleException OLE error 00012345 12345"},
        {"Odd", 0x5, "EOleException Odd 5"},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::FormatOleExceptionText(c.description, c.code), c.expected);
}

// ---- the direct-query routine

class DirectQueryTest : public ::testing::Test {
protected:
    void AddBoards(int count) {
        std::vector<fakewbem::Object> boards;
        for (int n = 0; n < count; ++n)
            boards.push_back({{"Tag", Value::Text("Board" + std::to_string(n))},
                              {"Caption", Value::Text("Base Board")},
                              {"Manufacturer", Value::Text("Maker " + std::to_string(n))},
                              {"HostingBoard", Value::Bool(true)},
                              {"Removable", Value::Bool(false)}});
        hosts.backend->AddClass(fakewbem::BaseBoardSchema(), boards);
    }
    FakeHosts hosts;
    PageList list{"Base Board Caption"};
};

TEST_F(DirectQueryTest, WritesTheRowTableOncePerObject) {
    AddBoards(3);
    ui::FillPage(ui::Page(48), list, FakeHosts::kHost);
    ASSERT_EQ(hosts.backend->queries, std::vector<std::string>{"SELECT * FROM Win32_BaseBoard"});
    const std::span<const ui::RowEntry> table = ui::hardware::kBaseBoardRows;
    ASSERT_EQ(list.Count(), 3 * table.size());
    for (size_t n = 0; n < list.Count(); ++n) {
        EXPECT_EQ(list.Row(n).property, table[n % table.size()].label);
        EXPECT_TRUE(list.Row(n).hasValue);
        EXPECT_EQ(list.IsHeaderRow(n), n % table.size() == 0);
    }
    EXPECT_EQ(list.Row(0).value, "Base Board");
    EXPECT_EQ(list.Row(3 + table.size()).value, "Maker 1");  // Manufacturer of the second object
    EXPECT_EQ(list.Row(7).value, "True");                    // Hosting Board, a boolean under the text rule
    EXPECT_EQ(list.Row(9).value, "False");                   // Removable
    EXPECT_EQ(list.Row(10).value, "");                       // Replaceable is null
    EXPECT_TRUE(list.TakeFitRequest());

    // Refreshing gives the same rows, not a doubled list.
    std::vector<ui::PageRow> first = list.Rows();
    ui::FillPage(ui::Page(48), list, FakeHosts::kHost);
    ASSERT_EQ(list.Count(), first.size());
    for (size_t n = 0; n < first.size(); ++n) EXPECT_EQ(list.Row(n).value, first[n].value);
}

TEST_F(DirectQueryTest, AClassWithoutObjectsLeavesTheListEmpty) {
    AddBoards(0);
    list.AddRow("stale", "row");
    EXPECT_EQ(ui::RunPageFill(ui::Page(48), list, FakeHosts::kHost), std::nullopt);
    EXPECT_TRUE(list.Empty());
    EXPECT_TRUE(list.TakeFitRequest());
}

TEST_F(DirectQueryTest, NullUnderTheIntegerRuleIsZero) {
    hosts.backend->AddClass(fakewbem::BusSchema(), {{{"DeviceID", Value::Text("PCI_BUS_0")}}});
    PageList bus("Bus Caption");
    ui::FillPage(ui::Page(46), bus, FakeHosts::kHost);
    ASSERT_EQ(bus.Count(), 5u);
    EXPECT_EQ(bus.Row(2).value, "PCI_BUS_0");
    EXPECT_EQ(bus.Row(3).value, "0");
    EXPECT_EQ(bus.Row(4).value, "0");
}

TEST_F(DirectQueryTest, AValueNoRuleConvertsIsEmptyAndTheFillGoesOn) {
    // The second object's Config Manager Error Code is a list: no rule converts it.
    hosts.backend->AddClass(
        fakewbem::PnPEntitySchema(),
        {{{"DeviceID", Value::Text("A")}, {"Name", Value::Text("Mouse")}},
         {{"DeviceID", Value::Text("B")},
          {"Name", Value::Text("Keys")},
          {"ConfigManagerErrorCode", Value::Array({Value::UInt(1)})}},
         {{"DeviceID", Value::Text("C")}, {"Name", Value::Text("Pad")}, {"ConfigManagerErrorCode", Value::UInt(22)}}});
    PageList pnp("PNP Entity Caption");
    EXPECT_EQ(ui::RunPageFill(ui::Page(30), pnp, FakeHosts::kHost), std::nullopt);
    ASSERT_EQ(pnp.Count(), 27u);  // every row of every object
    for (size_t object = 0; object < 3; ++object) {
        const size_t first = object * 9;
        EXPECT_TRUE(pnp.IsHeaderRow(first));
        EXPECT_EQ(pnp.Row(first + 7).property, "PNP Entity Config Manager Error Code");
        EXPECT_TRUE(pnp.Row(first + 7).hasValue);
    }
    EXPECT_EQ(pnp.Row(0).value, "Mouse");
    EXPECT_EQ(pnp.Row(7).value, "");  // a null under the strict integer rule
    EXPECT_EQ(pnp.Row(9).value, "Keys");
    EXPECT_EQ(pnp.Row(16).value, "");  // a list
    EXPECT_EQ(pnp.Row(18).value, "Pad");
    EXPECT_EQ(pnp.Row(25).value, "22");
    EXPECT_TRUE(pnp.TakeFitRequest());
}

TEST_F(DirectQueryTest, MissingPropertyStopsTheFillSilently) {
    // A class that lacks "BusType": the lookup by name fails, no message.
    using cimv2::CimType;
    hosts.backend->AddClass(cimv2::ClassSchema("Win32_Bus", {{"DeviceID", CimType::String, cimv2::kKey},
                                                             {"Caption", CimType::String},
                                                             {"Description", CimType::String},
                                                             {"BusNum", CimType::UInt32}}),
                            {{{"DeviceID", Value::Text("X")}}});
    PageList bus("Bus Caption");
    EXPECT_THROW(ui::FillPage(ui::Page(46), bus, FakeHosts::kHost), wmi::EPropertyNotFound);
    EXPECT_EQ(ui::RunPageFill(ui::Page(46), bus, FakeHosts::kHost), std::nullopt);
    ASSERT_EQ(bus.Count(), 5u);
    EXPECT_EQ(bus.Row(4).property, "Bus Type");
    EXPECT_FALSE(bus.Row(4).hasValue);
}

TEST_F(DirectQueryTest, AutomationErrorsBecomeTheGuardsMessage) {
    list.AddRow("stale", "row");
    EXPECT_EQ(ui::RunPageFill(ui::Page(48), list, "downhost"),
              std::optional<std::string>("EOleException The RPC server is unavailable 800706BA"));
    EXPECT_TRUE(list.Empty());
    // A class the host does not serve is an automation error too.
    EXPECT_EQ(ui::RunPageFill(ui::Page(42), list, FakeHosts::kHost),
              std::optional<std::string>("EOleException Invalid class 80041010"));
    // Without the guard the error escapes.
    ui::PageInfo unguarded = ui::Page(48);
    unguarded.guard = ui::Guard::None;
    EXPECT_THROW(ui::RunPageFill(unguarded, list, "downhost"), wmi::EOleException);
}

// ---- every page the catalogue can fill

// The labels of a page's row table, whichever kind of fill carries it;
// empty for a routine of its own.
std::vector<std::string> TableLabels(const ui::PageInfo& page) {
    std::vector<std::string> labels;
    for (const auto& row : page.fill.queryRows) labels.push_back(row.label);
    for (const auto& row : page.fill.recordRows) labels.push_back(row.label);
    return labels;
}

// Each table starts with the page's header label, has no label twice, and a
// direct query's rows name properties of the page's class.
TEST(PageCatalogue, EveryFilledPageHasAWellFormedTable) {
    int filled = 0;
    for (const ui::PageInfo& page : ui::Pages()) {
        if (!page.fill) continue;
        ++filled;
        SCOPED_TRACE(page.caption);
        const std::vector<std::string> labels = TableLabels(page);
        ASSERT_FALSE(labels.empty());
        EXPECT_EQ(labels[0], page.headerLabel);
        // A label appears once, but for a fixed-text row ("CPU Class Name"),
        // which reads nothing, and the rows the printer pages have always
        // repeated: a printer's state and status rows, a job's two status rows.
        std::set<std::string> fixed;
        for (const auto& row : page.fill.recordRows)
            if (row.format == ui::RecordFormat::Fixed) fixed.insert(row.label);
        std::multiset<std::string> seen(labels.begin(), labels.end());
        for (const auto& label : std::set<std::string>(labels.begin(), labels.end())) {
            if (fixed.count(label)) continue;
            const bool repeated = (page.index == 21 && (label == "Printer State Code" || label == "Printer State" ||
                                                        label == "Printer Status Code" || label == "Printer Status")) ||
                                  (page.index == 22 && label == "Print Job Status") ||
                                  (page.index == 14 && label == "Battery Status");
            EXPECT_EQ(seen.count(label), repeated ? 2u : 1u) << label;
        }
        const cimv2::ClassEntry* entry = cimv2::FindClass(page.wmiClass);
        ASSERT_NE(entry, nullptr) << page.wmiClass;
        for (const auto& row : page.fill.queryRows)
            EXPECT_GE(entry->schema().IndexOf(row.property), 0)
                << row.property << " is no property of " << page.wmiClass;
    }
    EXPECT_GT(filled, 0);

    // The tables as shipped.
    struct Shipped {
        int page;
        size_t rows;
        ui::Guard guard;
    };
    const Shipped shipped[] = {{48, 14, ui::Guard::Guarded}, {33, 15, ui::Guard::Guarded}, {36, 9, ui::Guard::Guarded},
                               {46, 5, ui::Guard::Guarded},  {30, 9, ui::Guard::Guarded},  {45, 11, ui::Guard::Guarded},
                               {42, 11, ui::Guard::Guarded}, {1, 64, ui::Guard::None},     {2, 23, ui::Guard::None},
                               {28, 18, ui::Guard::Guarded}, {35, 6, ui::Guard::Guarded},  {47, 8, ui::Guard::Guarded},
                               {41, 8, ui::Guard::Guarded},  {27, 22, ui::Guard::Guarded}, {38, 7, ui::Guard::Guarded},
                               {39, 6, ui::Guard::Guarded},  {43, 2, ui::Guard::Guarded},  {44, 20, ui::Guard::Guarded},
                               {25, 22, ui::Guard::Guarded}, {3, 56, ui::Guard::None},     {4, 48, ui::Guard::None},
                               {34, 24, ui::Guard::Guarded}, {40, 11, ui::Guard::Guarded}, {29, 16, ui::Guard::Guarded},
                               {31, 22, ui::Guard::Guarded}, {37, 15, ui::Guard::Guarded}, {26, 31, ui::Guard::Guarded},
                               {32, 15, ui::Guard::Guarded}, {21, 95, ui::Guard::None},    {22, 25, ui::Guard::None}};

    for (const Shipped& c : shipped) {
        EXPECT_EQ(TableLabels(ui::Page(c.page)).size(), c.rows) << ui::Page(c.page).caption;
        EXPECT_EQ(ui::Page(c.page).guard, c.guard) << ui::Page(c.page).caption;
    }
    EXPECT_STREQ(ui::hardware::kPnPEntityRows[0].property, "Name");
    EXPECT_EQ(ui::hardware::kPnPEntityRows[7].rule, ValueRule::StrictInteger);
    EXPECT_STREQ(ui::hardware::kDMAChannelRows[2].label, "DMA Channel");
    // The system software pages' own spellings.
    EXPECT_STREQ(ui::software::kBootConfigurationRows[4].label, "Boot Configuration CLast Drive");
    EXPECT_STREQ(ui::software::kSystemDriverRows[14].label, "System Driver Service Specific ExitCode");
    EXPECT_STREQ(ui::software::kLoadOrderGroupRows[4].property, "GroupOrder");
    EXPECT_STREQ(ui::software::kInstalledWin32ProgramRows[0].label, "Win32 Program Name");
    EXPECT_EQ(ui::software::kTerminalServiceRows[12].rule, ValueRule::Text);
    EXPECT_EQ(ui::software::kTimeZoneRows[2].rule, ValueRule::Integer);
    // Windows driver-package facts that Linux never has do not end an adapter's block.
    for (const char* property : {"AdapterDACType", "DriverDate", "InfSection"})
        for (const auto& row : ui::devices::kVideoControllerRows)
            if (std::string(row.property) == property) {
                EXPECT_EQ(row.rule, ValueRule::Text) << property;
            }
    EXPECT_STREQ(ui::devices::kNetworkProtocolRows[12].property, "SupportsQualityofService");
}

// Every page with a fill over every captured machine: each object's block is
// complete (every row has its value, so no property the table names is
// missing), a direct query or an every-object component writes one block per
// object of the class, a first-object component one block, or none without one.
TEST(PageCatalogue, EveryFilledPageFillsCompletelyFromEveryFixture) {
    testsupport::LocalComputer local;
    int fixtures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SYSQUILL_FIXTURES)) {
        if (!std::filesystem::is_directory(entry.path() / "tree")) continue;
        ++fixtures;
        cimv2::ProviderContext context = local.Saved();
        context.root = cimv2::SystemRoot((entry.path() / "tree").string());
        local.Use(context);
        for (const ui::PageInfo& page : ui::Pages()) {
            if (!page.fill) continue;
            SCOPED_TRACE(entry.path().filename().string() + " " + page.caption);
            PageList list(page.headerLabel);
            std::optional<std::string> message;
            EXPECT_NO_THROW(message = ui::RunPageFill(page, list, "."));
            EXPECT_EQ(message, std::nullopt);
            EXPECT_TRUE(list.TakeFitRequest());
            for (size_t n = 0; n < list.Count(); ++n) EXPECT_TRUE(list.Row(n).hasValue) << list.Row(n).property;
            const size_t perObject = TableLabels(page).size();
            if (perObject == 0) continue;  // a routine of its own: no table to count by
            ASSERT_EQ(list.Count() % perObject, 0u);
            const bool firstOnly = page.fill.component && page.fill.objects == ui::PageObjects::First;
            const size_t instances =
                cimv2::Provider(context).ExecQuery(std::string("SELECT * FROM ") + page.wmiClass).instances.size();
            const size_t objects = firstOnly ? std::min<size_t>(instances, 1) : instances;
            EXPECT_EQ(list.Count() / perObject, objects);
            for (size_t n = 0; n < list.Count(); ++n) EXPECT_EQ(list.IsHeaderRow(n), n % perObject == 0) << n;
        }
    }
    EXPECT_GT(fixtures, 0);
}

// ---- search

PageList SearchList() {
    PageList list("Bus Caption");
    list.AddRow("Bus Caption", "Alpha");
    list.AddRow("Bus Description", "beta");
    list.AddRow("Bus Caption", "Gamma");
    list.AddRow("Bus Device ID", "ALPHA_2");
    list.AddRow("Bus Num", "7");
    return list;
}

// A fill reserves room for each object's rows; with many objects the rows
// must not be copied again each time (the list grows by doubling).
TEST(PageListGrowth, ReservingPerObjectGrowsByDoubling) {
    ui::PageList list;
    size_t moves = 0;
    const ui::PageRow* at = nullptr;
    for (int object = 0; object < 4096; ++object) {
        list.Reserve(list.Count() + 3);
        for (int row = 0; row < 3; ++row) list.AddRow("Property", "value");
        if (list.Rows().data() != at) ++moves;
        at = list.Rows().data();
    }
    EXPECT_EQ(list.Count(), 3u * 4096);
    // Doubling from 3 rows to 12,288 moves the rows about a dozen times; an
    // exact reserve moves them once per object.
    EXPECT_LE(moves, 20u);
}

TEST(PageSearch, StepsThroughHitsAndWraps) {
    PageList list = SearchList();
    ui::RowRef found;
    std::vector<size_t> hits;
    for (int n = 0; n < 3; ++n) {
        auto hit = ui::FindItem(list, "alpha", found);
        ASSERT_TRUE(hit);
        hits.push_back(*hit);
        found = ui::MakeRowRef(list, *hit);
    }
    EXPECT_EQ(hits, (std::vector<size_t>{0, 3, 0}));
    // A single hit is found again and again.
    found = ui::MakeRowRef(list, *ui::FindItem(list, "GAMMA", {}));
    EXPECT_EQ(ui::FindItem(list, "gamma", found), std::optional<size_t>(2));
}

TEST(PageSearch, MatchesLabelsIgnoresStaleRowsAndEmptyText) {
    PageList list = SearchList();
    EXPECT_EQ(ui::FindItem(list, "bus num", {}), std::optional<size_t>(4));
    EXPECT_EQ(ui::FindItem(list, "", {}), std::nullopt);
    EXPECT_EQ(ui::FindItem(list, "Bus Num\r\n7", {}), std::optional<size_t>(4));  // the search text's form
    EXPECT_EQ(ui::FindItem(list, "Num7", {}), std::nullopt);
    EXPECT_EQ(ui::FindItem(list, "delta", {}), std::nullopt);
    EXPECT_EQ(ui::FindItem(PageList(), "a", {}), std::nullopt);

    // A remembered row of an earlier fill, or of another list, starts at the top.
    ui::RowRef old = ui::MakeRowRef(list, 3);
    list.Clear();
    list.AddRow("Bus Caption", "alpha");
    list.AddRow("Other", "alpha");
    list.AddRow("Third", "alpha");
    list.AddRow("Fourth", "alpha");
    list.AddRow("Fifth", "alpha");
    EXPECT_EQ(ui::FindItem(list, "alpha", old), std::optional<size_t>(0));
    PageList other = SearchList();
    EXPECT_EQ(ui::FindItem(list, "alpha", ui::MakeRowRef(other, 1)), std::optional<size_t>(0));
}

// ---- CSV

TEST(PageCsv, FieldsAreQuotedOnlyWhenNeeded) {
    struct Case {
        const char* value;
        const char* field;
    };
    const Case cases[] = {
        {"", "\"\""},
        {"plain", "plain"},
        {"a,b", "\"a,b\""},
        {"two words", "\"two words\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"tab\there", "\"tab\there\""},
        {"line\r\nbreak", "\"line\r\nbreak\""},
        {"caf\xC3\xA9", "caf\xC3\xA9"},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::CsvField(c.value), c.field) << c.value;
}

// The export is for spreadsheets: a value that one would run as a formula
// (or, after a tab or CR, a cell it would trim and run) is made text.
TEST(PageCsv, CellsThatWouldRunAsFormulasAreMadeText) {
    struct Case {
        const char* value;
        const char* field;
    };
    const Case cases[] = {
        {"=1+2", "'=1+2"},
        {"+41 22 000", "\"'+41 22 000\""},
        {"-5", "'-5"},
        {"@SUM(A1:A9)", "'@SUM(A1:A9)"},
        {"\t=cmd", "\"'\t=cmd\""},
        {"\r=cmd", "\"'\r=cmd\""},
        {"=HYPERLINK(\"http://x.example\",\"y\")", "\"'=HYPERLINK(\"\"http://x.example\"\",\"\"y\"\")\""},
        {"a=b", "a=b"},
        {"5-3", "5-3"},
        {" =1", "\" =1\""},
        {"'quoted", "'quoted"},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::CsvField(c.value), c.field) << c.value;

    PageList list("Share Name");
    list.AddRow("Share Name", "=cmd|' /C calc'!A0");
    list.AddRow("Share Path", "/srv/plain");
    EXPECT_EQ(ui::ListToCsv(list),
              "Share Name,\"'=cmd|' /C calc'!A0\"\r\n"
              "Share Path,/srv/plain\r\n");
}

TEST(PageCsv, ExportWritesExactBytesAndReplacesTheFile) {
    PageList list("Name");
    list.AddRow("Name", "Sysquill, Inc.");
    list.AddRow("Label, with comma", "bare");
    list.AddRow("Empty", "");
    list.AddRow("Quote", "6\" disk");
    list.AddRow("Lines", "one\ntwo");
    list.AddRow("No value cell");
    const std::string expected =
        "Name,\"Sysquill, Inc.\"\r\n"
        "Label, with comma,bare\r\n"
        "Empty,\"\"\r\n"
        "Quote,\"6\"\" disk\"\r\n"
        "Lines,\"one\ntwo\"\r\n"
        "No value cell,\r\n";
    EXPECT_EQ(ui::ListToCsv(list), expected);

    auto folder = TempFolder("csv");
    auto file = folder / "out.csv";
    {
        std::ofstream old(file, std::ios::binary);
        old << "an older and much longer file that must be replaced entirely, not overwritten in place\n";
    }
    ui::SaveListToCSV(list, file.string());
    EXPECT_EQ(ReadBytes(file), expected);
    ui::SaveListToCSV(PageList(), file.string());
    EXPECT_EQ(ReadBytes(file), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);  // no temporary left behind
    std::filesystem::remove_all(folder);
}

TEST(PageCsv, UnwritablePathNamesTheFileAndTheReason) {
    auto folder = TempFolder("csv-bad");
    auto notFolder = folder / "plain";
    std::ofstream(notFolder) << "x";
    const std::string target = (notFolder / "out.csv").string();
    try {
        ui::SaveListToCSV(SearchList(), target);
        FAIL() << "no error";
    } catch (const ui::EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + target + "\". Not a directory");
    }
    std::filesystem::remove_all(folder);
}

TEST(PageCsv, FailedWriteKeepsTheOldFileWhole) {
    auto folder = TempFolder("csv-full");
    auto file = folder / "keep.csv";
    std::ofstream(file, std::ios::binary) << "precious";
    PageList big("x");
    for (int n = 0; n < 1000; ++n) big.AddRow("Row " + std::to_string(n), "some value text");

    // A file-size limit makes the write fail part-way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    std::string message;
    try {
        ui::SaveListToCSV(big, file.string());
    } catch (const ui::EFCreateError& e) {
        threw = true;
        message = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(threw);
    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_EQ(ReadBytes(file), "precious");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    std::filesystem::remove_all(folder);
}

TEST(PageCsv, ExportRefusesAnyTargetButARegularFileAndLeavesItAsItIs) {
    auto folder = TempFolder("csv-special");
    const std::string fifo = (folder / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = (folder / "socket").string();
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::filesystem::create_directory(folder / "dir");
    std::filesystem::create_symlink(fifo, folder / "link-to-fifo");
    // A character device of our own (the null device's numbers), never the
    // machine's: should the refusal ever break, only this copy is replaced.
    const std::string device = (folder / "null").string();
    const bool haveDevice = mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    if (haveDevice) std::filesystem::create_symlink(device, folder / "link-to-null");

    struct Case {
        std::string target, reason;
        mode_t kind;  // what the target (or the file its link names) stays
    };
    std::vector<Case> cases = {
        {fifo, "It is a FIFO, not a regular file", S_IFIFO},
        {(folder / "link-to-fifo").string(), "It is a FIFO, not a regular file", S_IFIFO},
        {socketPath, "It is a socket, not a regular file", S_IFSOCK},
        {(folder / "dir").string(), "Is a directory", S_IFDIR},
    };
    if (haveDevice) {
        cases.push_back({device, "It is a character device, not a regular file", S_IFCHR});
        cases.push_back({(folder / "link-to-null").string(), "It is a character device, not a regular file", S_IFCHR});
    }
    for (const Case& c : cases) {
        try {
            ui::SaveListToCSV(SearchList(), c.target);
            ADD_FAILURE() << c.target << " was written";
        } catch (const ui::EFCreateError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + c.target + "\". " + c.reason);
        }
        struct stat after {};
        ASSERT_EQ(stat(c.target.c_str(), &after), 0) << c.target;
        EXPECT_EQ(after.st_mode & S_IFMT, c.kind) << c.target;
    }
    if (haveDevice) {
        struct stat after {};
        ASSERT_EQ(lstat(device.c_str(), &after), 0);
        EXPECT_TRUE(S_ISCHR(after.st_mode));
        EXPECT_EQ(after.st_rdev, makedev(1, 3));
        EXPECT_TRUE(std::filesystem::is_symlink(folder / "link-to-null"));
    }
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link-to-fifo"));
    EXPECT_TRUE(std::filesystem::is_empty(folder / "dir"));
    // Nothing but what the test made.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), haveDevice ? 6 : 4);
    close(listener);
    std::filesystem::remove_all(folder);
}

TEST(PageCsv, ExportChangesTheUsersFileNotItsLinksModeOrOwner) {
    auto folder = TempFolder("csv-keep");
    const std::string expected = ui::ListToCsv(SearchList());
    auto file = folder / "file.csv";
    std::ofstream(file, std::ios::binary) << "old";
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    // As root the owner can be kept; another user's export keeps the mode only.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(file.c_str(), 4321, 4322), 0);
    }
    ui::SaveListToCSV(SearchList(), file.string());
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(uid_t{4321}, gid_t{4322}));
    }
    EXPECT_EQ(ReadBytes(file), expected);

    // A symbolic link stays a link; the file it names changes.
    auto real = folder / "real.csv";
    std::ofstream(real, std::ios::binary) << "old";
    std::filesystem::create_symlink("real.csv", folder / "link.csv");
    ui::SaveListToCSV(SearchList(), (folder / "link.csv").string());
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.csv"));
    EXPECT_EQ(ReadBytes(real), expected);

    // A hard-linked file is one file: every name sees the new text.
    auto first = folder / "first.csv", second = folder / "second.csv";
    std::ofstream(first, std::ios::binary) << "an old text longer than the new one, " << std::string(300, 'x');
    std::filesystem::create_hard_link(first, second);
    ui::SaveListToCSV(SearchList(), second.string());
    EXPECT_EQ(ReadBytes(first), expected);
    EXPECT_EQ(ReadBytes(second), expected);
    EXPECT_EQ(std::filesystem::hard_link_count(first), 2u);

    // A dangling link gets its file.
    std::filesystem::create_symlink("made.csv", folder / "dangling.csv");
    ui::SaveListToCSV(SearchList(), (folder / "dangling.csv").string());
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "dangling.csv"));
    EXPECT_EQ(ReadBytes(folder / "made.csv"), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 7);  // no temporary left behind
    std::filesystem::remove_all(folder);
}

TEST(PageCsv, ExportIsValidUtf8) {
    PageList list("Name");
    list.AddRow("Name\xC3",
                "host\xFF"
                "caf\xC3\xA9");
    EXPECT_EQ(ui::ListToCsv(list),
              "Name\xEF\xBF\xBD,host\xEF\xBF\xBD"
              "caf\xC3\xA9\r\n");
    EXPECT_EQ(ui::CsvField("\xE2\x82"), "\xEF\xBF\xBD");
}

// ---- catalogue

TEST(PageCatalogue, PagesListsAndMenus) {
    const auto& pages = ui::Pages();
    std::set<std::string> headers;
    for (size_t n = 0; n < pages.size(); ++n) {
        const ui::PageInfo& page = pages[n];
        EXPECT_EQ(page.index, static_cast<int>(n));
        if (n == 0) continue;
        const std::string expectedList = n == 1 ? "lv2" : n == 2 ? "lv1" : "lv" + std::to_string(n);
        EXPECT_EQ(page.listName, expectedList);
        EXPECT_TRUE(headers.insert(page.headerLabel).second) << page.headerLabel;
        const bool direct = n == 13 || n >= 25;
        EXPECT_EQ(page.guard, direct ? ui::Guard::Guarded : ui::Guard::None) << page.caption;
    }
    struct Spot {
        int index;
        const char* caption;
        const char* header;
        const char* menu;
    };
    const Spot spots[] = {
        {3, "Operation System", "OS Caption", "Operating System > Operating System"},
        {38, "Installed Win32 Programs", "Win32 Program Name", "Operating System > Installed Win32 Programs"},
        {45, "Cache Memory", "Cache Memory Caption", "Memory > Cach Memory"},
        {47, "Boot Configuration", "Boot Configuration Caption", "Operating System > Boot Config"},
        {48, "Base Board", "Base Board Caption", "Computer > Base Board"},
    };
    for (const Spot& s : spots) {
        EXPECT_STREQ(ui::Page(s.index).caption, s.caption);
        EXPECT_STREQ(ui::Page(s.index).headerLabel, s.header);
        EXPECT_EQ(ui::MenuPath(ui::Page(s.index)), s.menu);
    }
    // Every page appears in the menu exactly once; "Home" is a command itself.
    std::multiset<int> listed;
    for (const auto& menu : ui::MainMenu())
        for (int index : menu.pages) {
            listed.insert(index);
            EXPECT_STREQ(ui::Page(index).menu, menu.title);
        }
    EXPECT_EQ(listed.size(), 48u);
    for (int n = 1; n < ui::kPageCount; ++n) EXPECT_EQ(listed.count(n), 1u) << n;
    EXPECT_EQ(ui::Page(48).description[0], ' ');
    EXPECT_NE(std::string(ui::Page(19).description).find("select  regions"), std::string::npos);
    EXPECT_EQ(ui::FindPage("base board"), &ui::Page(48));
    EXPECT_EQ(ui::FindPage("Cach Memory"), &ui::Page(45));
    EXPECT_EQ(ui::FindPage("lv1"), &ui::Page(2));
    EXPECT_EQ(ui::FindPage("36"), &ui::Page(36));
    EXPECT_EQ(ui::FindPage("49"), nullptr);
    EXPECT_EQ(ui::FindPage("Nothing"), nullptr);
}

// ---- the computer line

TEST(PageLocalIdentity, FirstUsableIPv4Address) {
    using A = ui::InterfaceAddress;
    struct Case {
        std::vector<A> addresses;
        const char* expected;
    };
    const Case cases[] = {
        {{}, "127.0.0.1"},
        {{{"lo", true, true, true, "127.0.0.1"}}, "127.0.0.1"},
        {{{"lo", true, true, true, "127.0.0.1"},
          {"eth0", false, false, true, ""},
          {"eth1", true, false, false, "10.0.0.9"},
          {"wlan0", true, false, true, "192.168.1.20"},
          {"eth2", true, false, true, "172.16.0.1"}},
         "192.168.1.20"},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::ChooseLocalIP(c.addresses), c.expected);
    EXPECT_EQ(ui::ComputerLine("anna", "192.168.1.20"), "anna - 192.168.1.20");
    EXPECT_FALSE(ui::GetCurrentUserName().empty());
}

// ---- the query tool's page commands

int RunTool(std::vector<std::string> args, std::string& out, std::string& err) {
    args.insert(args.begin(), "sysquill-query");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    std::ostringstream o, e;
    int rc = cli::RunQueryTool(static_cast<int>(argv.size()), argv.data(), o, e);
    out = o.str();
    err = e.str();
    return rc;
}

TEST(PageCommandsTool, PrintsAndExportsTheWindowsRows) {
    FakeHosts hosts;
    hosts.backend->AddClass(fakewbem::BusSchema(), {fakewbem::BusObject("PCI_BUS_0", "Bus", "PCI, bus 0", 0),
                                                    fakewbem::BusObject("USB_1", "Bus", "USB \"hub\"", 1)});
    std::string out, err;
    ASSERT_EQ(RunTool({"--host", FakeHosts::kHost, "--page", "Bus"}, out, err), 0) << err;
    EXPECT_EQ(out.substr(0, out.find('\n')), "Bus Caption      Bus");
    EXPECT_NE(out.find("Bus Description  PCI, bus 0\n"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 10);

    auto folder = TempFolder("tool");
    auto file = folder / "bus.csv";
    ASSERT_EQ(RunTool({"--host", FakeHosts::kHost, "--page", "46", "--csv", file.string()}, out, err), 0) << err;
    PageList window("Bus Caption");
    ui::FillPage(ui::Page(46), window, FakeHosts::kHost);
    EXPECT_EQ(ReadBytes(file), ui::ListToCsv(window));
    EXPECT_NE(ReadBytes(file).find("Bus Description,\"USB \"\"hub\"\"\"\r\n"), std::string::npos);
    std::filesystem::remove_all(folder);

    EXPECT_EQ(RunTool({"--host", "downhost", "--page", "Bus"}, out, err), 1);
    EXPECT_EQ(err, "EOleException The RPC server is unavailable 800706BA\n");
    // A name that is no page is a usage error.
    EXPECT_EQ(RunTool({"--page", "No Such Page"}, out, err), 2);
    EXPECT_NE(err.find("no page named"), std::string::npos);
}

// The page export is for spreadsheets and makes formula-like cells text;
// --format csv is the data itself and leaves them as they are.
TEST(PageCommandsTool, PageExportDisarmsFormulasTheCsvFormatDoesNot) {
    FakeHosts hosts;
    hosts.backend->AddClass(fakewbem::BusSchema(), {fakewbem::BusObject("PCI_BUS_0", "Bus", "=2+3", 0)});
    auto folder = TempFolder("tool-formula");
    auto file = folder / "bus.csv";
    std::string out, err;
    ASSERT_EQ(RunTool({"--host", FakeHosts::kHost, "--page", "Bus", "--csv", file.string()}, out, err), 0) << err;
    EXPECT_NE(ReadBytes(file).find("\r\nBus Description,'=2+3\r\n"), std::string::npos) << ReadBytes(file);
    ASSERT_EQ(RunTool({"--host", FakeHosts::kHost, "--format", "csv", "SELECT * FROM Win32_Bus"}, out, err), 0) << err;
    EXPECT_NE(out.find(",=2+3,"), std::string::npos) << out;
    EXPECT_EQ(out.find('\''), std::string::npos) << out;
    std::filesystem::remove_all(folder);
}

TEST(PageCommandsTool, AFailedFillExportsNothing) {
    FakeHosts hosts;
    auto folder = TempFolder("tool-fail");
    auto file = folder / "keep.csv";
    std::ofstream(file, std::ios::binary) << "precious";
    std::string out, err;
    EXPECT_EQ(RunTool({"--host", "downhost", "--page", "Bus", "--csv", file.string()}, out, err), 1);
    EXPECT_EQ(err, "EOleException The RPC server is unavailable 800706BA\n");
    EXPECT_EQ(ReadBytes(file), "precious");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    std::filesystem::remove_all(folder);
    // Nor do csv and json on standard output: a program would take the rows
    // read so far for the page.
    for (const char* format : {"csv", "json"}) {
        EXPECT_EQ(RunTool({"--host", "downhost", "--page", "Bus", "--format", format}, out, err), 1) << format;
        EXPECT_EQ(out, "") << format;
        EXPECT_EQ(err, "EOleException The RPC server is unavailable 800706BA\n") << format;
    }
}

TEST(PageCommandsTool, PrinterEscapesControlCharacters) {
    FakeHosts hosts;
    hosts.backend->AddClass(fakewbem::BusSchema(),
                            {fakewbem::BusObject("PCI_BUS_0", "Bus", "evil\x1b]0;title\x07\nline", 0)});
    std::string out, err;
    ASSERT_EQ(RunTool({"--host", FakeHosts::kHost, "--page", "Bus"}, out, err), 0) << err;
    EXPECT_NE(out.find("Bus Description  evil\\x1b]0;title\\a\\nline\n"), std::string::npos) << out;
    EXPECT_EQ(out.find('\x1b'), std::string::npos);
    EXPECT_EQ(out.find('\x07'), std::string::npos);
    EXPECT_EQ(RunTool({"--page", "No \x1b[2J Page"}, out, err), 2);
    EXPECT_NE(err.find("no page named \"No \\x1b[2J Page\""), std::string::npos) << err;
}

TEST(PageCommandsTool, ListsTheCatalogue) {
    std::string out, err;
    ASSERT_EQ(RunTool({"--pages"}, out, err), 0);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 49);
    EXPECT_NE(out.find("48  Base Board"), std::string::npos);
    EXPECT_NE(out.find("Computer > Base Board"), std::string::npos);
    EXPECT_NE(out.find("Memory > Cach Memory"), std::string::npos);
}

}  // namespace
