#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "app/cli/InstanceFormat.h"
#include "app/cli/QueryTool.h"
#include "cimv2/core/WbemError.h"
#include "cimv2/provider/ClassRegistry.h"
#include "cimv2/sources/DeviceTree.h"
#include "tests/unit/TempTree.h"
#include "wmi/WbemScripting.h"

using namespace cimv2;

namespace {

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun Tool(std::vector<std::string> args) {
    args.insert(args.begin(), "sysquill-query");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    int status = cli::RunQueryTool(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

QueryResult Sample() {
    static const ClassSchema schema("Test_Out", {
                                                    {"Name", CimType::String, kKey},
                                                    {"Size", CimType::UInt64},
                                                    {"Delta", CimType::SInt32},
                                                    {"On", CimType::Boolean},
                                                    {"Tags", CimType::String, kArray},
                                                });
    Instance a(schema);
    a.SetText("Name", "a, \"b\"\nc");
    a.Set("Size", Value::UInt(5000000000ULL));
    a.SetInt("Delta", -1);
    a.SetBool("On", true);
    a.Set("Tags", Value::Array({Value::Text("x"), Value::Text("y")}));
    Instance b(schema);
    b.SetText("Name", "plain");
    QueryResult r;
    r.schema = &schema;
    r.selected = {0, 1, 2, 3, 4};
    r.instances = {a, b};
    return r;
}

std::string Format(cli::Format format) {
    std::ostringstream stream;
    cli::StreamOutput out(stream);
    cli::WriteResult(out, Sample(), format);
    return stream.str();
}

}  // namespace

TEST(QueryTool, ErrorsPrintMessageAndCodeAndFail) {
    ToolRun nope = Tool({"SELECT * FROM Win32_Nope"});
    EXPECT_EQ(nope.status, 1);
    EXPECT_EQ(nope.err, "Invalid class \"Win32_Nope\" (0x80041010)\n");
    ToolRun syntax = Tool({"SELEKT"});
    EXPECT_EQ(syntax.status, 1);
    EXPECT_NE(syntax.err.find("(0x80041017)"), std::string::npos);
    for (auto args : std::vector<std::vector<std::string>>{
             {}, {"--format", "xml", "SELECT * FROM X"}, {"--bogus"}, {"--host"}, {"--page"}}) {
        ToolRun bad = Tool(args);
        EXPECT_EQ(bad.status, 2);
        EXPECT_NE(bad.err.find("usage:"), std::string::npos);
    }
}

TEST(QueryTool, JsonKeepsTypes) {
    EXPECT_EQ(Format(cli::Format::Json),
              "[\n {\"Name\": \"a, \\\"b\\\"\\nc\", \"Size\": 5000000000, \"Delta\": -1, \"On\": true, "
              "\"Tags\": [\"x\",\"y\"]},\n"
              " {\"Name\": \"plain\", \"Size\": null, \"Delta\": null, \"On\": null, \"Tags\": null}\n]\n");
}

TEST(QueryTool, CsvQuotesWhereNeeded) {
    EXPECT_EQ(Format(cli::Format::Csv),
              "Name,Size,Delta,On,Tags\n"
              "\"a, \"\"b\"\"\nc\",5000000000,-1,True,\"{x, y}\"\n"
              "plain,,,,\n");
}

namespace {

// A captured tree whose host name holds a terminal escape, a bell and a
// byte that is not UTF-8, as a hostile or broken machine may answer.
class HostileTree : public ::testing::Test {
protected:
    void SetUp() override {
        tree.File("/proc/sys/kernel/hostname", "evil\x1b]0;title\x07\xff\n");
        saved = wmi::LocalContext();
    }
    void TearDown() override { wmi::SetLocalContext(saved); }

    ToolRun Query(const std::string& format) {
        return Tool({"--root", tree.Dir(), "--format", format, "SELECT Name, name, NAME FROM Win32_ComputerSystem"});
    }

    TempTree tree;
    ProviderContext saved;
};

bool HasControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\n') || u == 0x7F;
    });
}

}  // namespace

TEST_F(HostileTree, TableEscapesControlCharacters) {
    ToolRun run = Query("table");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Name  evil\\x1b]0;title\\a\\xff\n");
}

// A value that would turn a line around, or that spells an escape itself.
TEST(QueryTool, TableAndObjectTextOnATerminalEscapeWhatActsOnIt) {
    static const ClassSchema schema("Test_Out", {{"Name", CimType::String, kKey}});
    Instance inst(schema);
    inst.SetText("Name",
                 "gpj.\xE2\x80\xAE"
                 "exe \\x1b \x7f\xC2\x9B\xFF");
    QueryResult result;
    result.schema = &schema;
    result.selected = {0};
    result.instances = {inst};
    const struct {
        cli::Format format;
        bool terminal;
        std::string shown;
    } cases[] = {
        {cli::Format::Table, false, "Name  gpj.\\u202eexe \\\\x1b \\x7f\\u009b\\xff\n"},
        {cli::Format::Table, true, "Name  gpj.\\u202eexe \\\\x1b \\x7f\\u009b\\xff\n"},
        // The object text as it is for a program; escaped for a terminal,
        // its own escapes (\\ for a backslash) and layout kept.
        {cli::Format::Mof, false,
         "instance of Test_Out\n{\n\tName = \"gpj.\xE2\x80\xAE"
         "exe \\\\x1b \x7f\xC2\x9B\xFF\";\n};\n\n"},
        {cli::Format::Mof, true,
         "instance of Test_Out\n{\n\tName = \"gpj.\\u202eexe \\\\x1b \\x7f\\u009b\\xff\";\n};\n\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream stream;
        cli::StreamOutput out(stream, c.terminal);
        cli::WriteResult(out, result, c.format);
        EXPECT_EQ(stream.str(), c.shown) << static_cast<int>(c.format) << " " << c.terminal;
    }
}

TEST_F(HostileTree, JsonAndCsvAreValidUtf8WithEachPropertyOnce) {
    ToolRun json = Query("json");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out, "[\n {\"Name\": \"evil\\u001b]0;title\\u0007\xEF\xBF\xBD\"}\n]\n");
    ToolRun csv = Query("csv");
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, "Name\nevil\x1b]0;title\x07\xEF\xBF\xBD\n");
}

TEST(QueryTool, ARootThatIsNoTreeIsAnErrorBeforeAnyQuery) {
    TempTree tree;
    tree.File("/plain-file", "x");
    const ProviderContext saved = wmi::LocalContext();
    struct Case {
        std::string root, reason;
    } cases[] = {
        {tree.Dir() + "/nonexistent/dir", "No such file or directory"},
        {tree.Dir() + "/plain-file", "Not a directory"},
    };
    for (const Case& c : cases) {
        for (auto args : std::vector<std::vector<std::string>>{{"SELECT * FROM Win32_Nope"}, {"--page", "Bus"}}) {
            args.insert(args.begin(), {"--root", c.root});
            ToolRun run = Tool(args);
            EXPECT_EQ(run.status, 2) << c.root;
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err,
                      "sysquill-query: cannot read the tree \"" + c.root + "\" given by --root: " + c.reason + "\n");
        }
    }
    EXPECT_EQ(wmi::LocalContext().root.Dir(), saved.root.Dir());
}

TEST(QueryTool, ErrorMessagesEscapeUserAndRemoteText) {
    // The far side's message echoes the host text, as ssh's do.
    wmi::SetRemoteConnector([](const std::string& server) -> std::shared_ptr<wmi::WbemBackend> {
        throw WbemError(wbem::RpcServerUnavailable, "Cannot reach \"" + server + "\"\x1b[2J");
    });
    ToolRun host = Tool({"--host", "a\nb\x07", "SELECT * FROM Win32_BIOS"});
    wmi::SetRemoteConnector(nullptr);
    EXPECT_EQ(host.status, 1);
    EXPECT_EQ(host.err, "Cannot reach \"a\\nb\\a\"\\x1b[2J (0x800706BA)\n");

    ToolRun query = Tool({"SELECT * FROM Win32_BIOS WHERE Name = 1 \x1b[2J"});
    EXPECT_EQ(query.status, 1);
    EXPECT_NE(query.err.find("unexpected character '\\x1b'"), std::string::npos) << query.err;
    EXPECT_FALSE(HasControl(query.err)) << query.err;
    ToolRun option = Tool({"--bogus\x1b[2J"});
    EXPECT_EQ(option.status, 2);
    EXPECT_FALSE(HasControl(option.err)) << option.err;
}

TEST(QueryTool, AgentRefusesARootThatIsNoTree) {
    for (const char* root : {"/nonexistent/sysquill-tree", "/proc/self/status"}) {
        std::string command = std::string(SYSQUILL_AGENT) + " --stdio --root " + root + " </dev/null 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string text;
        char buffer[256];
        while (size_t got = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, got);
        int status = pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << root << ": " << status;
        EXPECT_NE(text.find(std::string("cannot read the tree \"") + root + "\""), std::string::npos) << text;
    }
}

TEST(QueryTool, HelpAndVersionGoToStandardOutput) {
    ToolRun help = Tool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: sysquill-query", 0), 0u);
    EXPECT_EQ(help.err, "");
    ToolRun version = Tool({"--host", "x", "--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "sysquill-query " SYSQUILL_VERSION "\n");
    EXPECT_EQ(version.err, "");
}

// The bash completion offers these names after FROM.
TEST(QueryTool, ClassesNamesEveryClassOnceInOrder) {
    ToolRun run = Tool({"--classes"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    std::istringstream lines(run.out);
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_NE(FindClass(line), nullptr) << line;
        names.push_back(line);
    }
    EXPECT_EQ(names.size(), AllClasses().size());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
}

// A tree captured without pci.ids is named by this computer's copy when
// the tool reads it (or by the class name where this computer has none).
TEST(QueryTool, ATreeWithoutPciIdsIsNamedByThisComputers) {
    const ProviderContext saved = wmi::LocalContext();
    TempTree tree;
    const std::string dir = "/sys/devices/pci0000:00/0000:00:00.0";
    tree.File(dir + "/vendor", "0x8086\n")
        .File(dir + "/device", "0x1237\n")
        .File(dir + "/class", "0x060000\n")
        .Link(dir + "/subsystem", "../../../bus/pci")
        .Link("/sys/bus/pci/devices/0000:00:00.0", "../../../devices/pci0000:00/0000:00:00.0");
    const auto local = devtree::PciIds::Load(SystemRoot("/"));
    const std::string expected = local.Device(0x8086, 0x1237).value_or("Bridge");
    const ToolRun run = Tool({"--root", tree.Dir(), "--format", "csv", "SELECT Name FROM Win32_PnPEntity"});
    wmi::SetLocalContext(saved);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Name\n" + expected + "\n");
}

TEST(QueryTool, SourceNotesGoToStandardErrorOncePerClassAndCause) {
    const ProviderContext saved = wmi::LocalContext();
    const std::string thisVm = std::string(SYSQUILL_FIXTURES) + "/this-vm/tree";
    const std::string desktop = std::string(SYSQUILL_FIXTURES) + "/physical-desktop/tree";
    const std::string bios =
        "sysquill-query: Win32_BIOS: some values are null: this machine has no SMBIOS tables "
        "(/sys/firmware/dmi/tables)\n";
    const std::string board =
        "sysquill-query: Win32_BaseBoard: some values are null: this machine has no SMBIOS tables "
        "(/sys/firmware/dmi/tables)\n";
    struct Case {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"--root", thisVm, "SELECT Name FROM Win32_BIOS", "SELECT * FROM Win32_BIOS", "SELECT * FROM Win32_BaseBoard"},
         bios + board},
        {{"--root", thisVm, "--format", "json", "SELECT * FROM Win32_OperatingSystem"}, ""},
        {{"--root", desktop, "SELECT * FROM Win32_BIOS"}, ""},
        // A page's fill reaches the provider through the scripting interface.
        {{"--root", thisVm, "--page", "BIOS"}, bios},
    };
    for (const Case& c : cases) {
        ToolRun run = Tool(c.args);
        EXPECT_EQ(run.status, 0) << c.args.back();
        EXPECT_EQ(run.err, c.err) << c.args.back();
        wmi::SetLocalContext(saved);
    }
}
