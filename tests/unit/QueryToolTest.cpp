#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/cli/InstanceFormat.h"
#include "app/cli/NearestNames.h"
#include "app/cli/PageFormat.h"
#include "app/cli/QueryArguments.h"
#include "app/cli/QueryTool.h"
#include "cimv2/core/WbemError.h"
#include "cimv2/provider/ClassRegistry.h"
#include "cimv2/sources/DeviceTree.h"
#include "remote/SshTransport.h"
#include "tests/support/LocalComputer.h"
#include "tests/unit/TempTree.h"
#include "ui/pages/PageCatalogue.h"
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
    void SetUp() override { tree.File("/proc/sys/kernel/hostname", "evil\x1b]0;title\x07\xff\n"); }

    ToolRun Query(const std::string& format) {
        return Tool({"--root", tree.Dir(), "--format", format, "SELECT Name, name, NAME FROM Win32_ComputerSystem"});
    }

    TempTree tree;
    testsupport::LocalComputer local;  // the tool's --root replaces it
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
    const testsupport::LocalComputer thisComputer;
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
    EXPECT_EQ(wmi::LocalContext().root.Dir(), thisComputer.Saved().root.Dir());
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
    testsupport::LocalComputer localComputer;
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
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Name\n" + expected + "\n");
}

TEST(QueryTool, SourceNotesGoToStandardErrorOncePerClassAndCause) {
    testsupport::LocalComputer local;
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
    }
}

namespace {

// What the parser made of an argument vector, compared as one line.
std::string Parsed(const cli::QueryOptions& o) {
    static const char* const kFormats[] = {"table", "csv", "mof", "json"};
    std::string text = "host=" + o.host + " root=" + o.root + " format=" + kFormats[static_cast<int>(o.format)] +
                       " page=" + o.page + " csv=" + o.csvFile + " queries=";
    for (const std::string& q : o.queries) text += "[" + q + "]";
    if (o.listPages) text += " pages";
    if (o.listClasses) text += " classes";
    if (o.help) text += " help";
    if (o.version) text += " version";
    return text;
}

}  // namespace

// Every option in its long form with a blank or "=", its short form apart or
// joined, and what the options cannot mean together.
TEST(QueryTool, ArgumentsAreReadAsGetoptLongReadsThem) {
    const std::string q = "SELECT * FROM Win32_BIOS";
    const std::string plain = "host=. root= format=table page= csv= queries=";
    const struct {
        std::vector<std::string> args;
        std::string parsed;   // when good
        std::string problem;  // when not
    } cases[] = {
        {{"--format=json", q}, "host=. root= format=json page= csv= queries=[" + q + "]", ""},
        {{"--format", "csv", q}, "host=. root= format=csv page= csv= queries=[" + q + "]", ""},
        {{"-f", "mof", q}, "host=. root= format=mof page= csv= queries=[" + q + "]", ""},
        {{"-fjson", q}, "host=. root= format=json page= csv= queries=[" + q + "]", ""},
        {{"--host=far", q}, "host=far root= format=table page= csv= queries=[" + q + "]", ""},
        {{"-H", "far", q}, "host=far root= format=table page= csv= queries=[" + q + "]", ""},
        {{"-Hadmin@far:22", q}, "host=admin@far:22 root= format=table page= csv= queries=[" + q + "]", ""},
        // Only the first "=" ends the name.
        {{"--host=a=b", q}, "host=a=b root= format=table page= csv= queries=[" + q + "]", ""},
        // An empty host is this computer, as "." is.
        {{"--host=", q}, "host= root= format=table page= csv= queries=[" + q + "]", ""},
        // A value that looks like an option is still the value; the host
        // check refuses it before anything runs.
        {{"-H", "-oProxyCommand=x", q}, "host=-oProxyCommand=x root= format=table page= csv= queries=[" + q + "]", ""},
        {{"--root=/t", q}, "host=. root=/t format=table page= csv= queries=[" + q + "]", ""},
        {{"-r", "/t", q}, "host=. root=/t format=table page= csv= queries=[" + q + "]", ""},
        {{"-r/t", "-H", "h", "-f", "csv", q, q},
         "host=h root=/t format=csv page= csv= queries=[" + q + "][" + q + "]",
         ""},
        {{"--page=Base Board"}, "host=. root= format=table page=Base Board csv= queries=", ""},
        {{"--page", "BIOS", "--format=json"}, "host=. root= format=json page=BIOS csv= queries=", ""},
        {{"--page=BIOS", "--csv=out.csv"}, "host=. root= format=table page=BIOS csv=out.csv queries=", ""},
        {{"--page=BIOS", "-f", "csv", "--csv", "out.csv"},
         "host=. root= format=csv page=BIOS csv=out.csv queries=",
         ""},
        {{"--", "-f", "--host=x"}, plain + "[-f][--host=x]", ""},
        {{"--pages"}, plain + " pages", ""},
        {{"--classes"}, plain + " classes", ""},
        {{"-h", "--bogus"}, plain + " help", ""},
        {{"--help=x"}, "", "--help takes no value"},
        {{"--version", "-x"}, plain + " version", ""},
        {{"--bogus", "--help"}, "", "unknown option --bogus"},
        {{"--bogus=1"}, "", "unknown option --bogus"},
        {{"--fromat=json", q}, "", "unknown option --fromat (did you mean --format?)"},
        {{"--page", "BIOS", "--cvs", "f"}, "", "unknown option --cvs (did you mean --csv?)"},
        {{"-x", q}, "", "unknown option -x"},
        {{"-hf", q}, "", "unknown option -hf"},
        {{"-", q}, "", "unknown option -"},
        {{"--pages=yes"}, "", "--pages takes no value"},
        {{"--format=xml", q}, "", "--format is one of table, csv, mof, json"},
        {{"--format=", q}, "", "--format is one of table, csv, mof, json"},
        {{"-f"}, "", "-f is one of table, csv, mof, json"},
        {{"--host"}, "", "--host needs a value"},
        {{"-H"}, "", "-H needs a value"},
        {{"--root=", q}, "", "--root needs a value"},
        {{"-r", "", q}, "", "-r needs a value"},
        {{"--page"}, "", "--page needs a name"},
        {{"--page="}, "", "--page needs a name"},
        {{"--page=BIOS", "--csv"}, "", "--csv needs a file"},
        {{}, "", "no query given"},
        {{"-f", "json"}, "", "no query given"},
        {{"--csv", "out.csv", q}, "", "--csv FILE goes with --page"},
        {{"--page", "BIOS", q}, "", "--page and a query do not go together"},
        {{"--page", "BIOS", "-fmof"}, "", "--page prints as table, csv or json"},
        {{"--page", "BIOS", "--csv", "out.csv", "--format", "json"},
         "",
         "--csv FILE writes CSV, whatever --format says"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& a : c.args) line += "[" + a + "]";
        cli::QueryOptions options;
        const std::string problem = cli::ParseQueryArguments(c.args, options);
        EXPECT_EQ(problem, c.problem) << line;
        if (c.problem.empty()) {
            EXPECT_EQ(Parsed(options), c.parsed) << line;
            continue;
        }
        // A problem is a usage error: the tool says it, shows the usage and
        // gives status 2 before it reads anything.
        ToolRun run = Tool(c.args);
        EXPECT_EQ(run.status, 2) << line;
        EXPECT_EQ(run.out, "") << line;
        EXPECT_EQ(run.err.rfind("sysquill-query: " + c.problem + "\nusage: sysquill-query", 0), 0u) << run.err;
    }
}

// However the option is written, a host text that ssh would read as an
// option of its own never reaches ssh.
TEST(QueryTool, AHostThatLooksLikeAnOptionIsRefusedInEveryForm) {
    remote::SshConfig config;
    config.sshProgram = "/nonexistent/ssh";
    remote::SetSshConfig(config);
    remote::InstallSshTransport();
    const size_t spawned = remote::SshSpawnCount();
    const std::vector<std::vector<std::string>> forms = {
        {"--host", "-oProxyCommand=touch /tmp/owned"},
        {"--host=-oProxyCommand=touch /tmp/owned"},
        {"-H", "-p2222"},
        {"-H-p2222"},
        {"-H", "--"},
    };
    for (std::vector<std::string> args : forms) {
        args.push_back("SELECT * FROM Win32_BIOS");
        ToolRun run = Tool(args);
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("begins with \"-\""), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("(0x80041008)"), std::string::npos) << run.err;
    }
    EXPECT_EQ(remote::SshSpawnCount(), spawned);
    wmi::SetRemoteConnector(nullptr);
    remote::SetSshConfig({});
}

namespace {

// Python's json module as the judge of texts: for each, the shape of the
// one document it holds ("[[{},{}],[]]"), or "invalid" when it holds none,
// or more than one. Objects show their values' shapes: v for a value, n for
// null. One python3 for all the texts: it takes a while to start.
std::vector<std::string> JsonShapes(const std::vector<std::string>& texts) {
    TempTree dir;
    std::string files;
    for (size_t n = 0; n < texts.size(); ++n) {
        dir.File("/" + std::to_string(n) + ".json", texts[n]);
        files += " " + dir.Dir() + "/" + std::to_string(n) + ".json";
    }
    const std::string command =
        "python3 -c '\n"
        "import json, sys\n"
        "def shape(v):\n"
        "    if isinstance(v, list): return \"[\" + \",\".join(shape(x) for x in v) + \"]\"\n"
        "    if isinstance(v, dict): return \"{\" + \",\".join(k + \":\" + shape(x) for k, x in v.items()) + \"}\"\n"
        "    return \"n\" if v is None else \"v\"\n"
        "for name in sys.argv[1:]:\n"
        "    try:\n"
        "        print(shape(json.load(open(name, encoding=\"utf-8\"))))\n"
        "    except ValueError:\n"
        "        print(\"invalid\")\n"
        "'" +
        files;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {"no python3"};
    std::string text;
    char buffer[4096];
    while (size_t got = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, got);
    if (pclose(pipe) != 0) return {"python3 failed: " + text};
    std::vector<std::string> shapes;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) shapes.push_back(line);
    return shapes;
}

std::string Desktop() { return std::string(SYSQUILL_FIXTURES) + "/physical-desktop/tree"; }

}  // namespace

TEST(QueryTool, SeveralQueriesAsJsonAreOneDocumentOfTheirArrays) {
    const testsupport::LocalComputer thisComputer;
    const std::string bios = "SELECT Name, Version FROM Win32_BIOS";
    const std::string caches = "SELECT Purpose FROM Win32_CacheMemory";
    const std::string none = "SELECT Name FROM Win32_BIOS WHERE Name IS NULL";
    const ToolRun one = Tool({"--root", Desktop(), "--format=json", bios});
    const ToolRun other = Tool({"--root", Desktop(), "-f", "json", caches});
    const ToolRun empty = Tool({"--root", Desktop(), "-fjson", none});
    const ToolRun all = Tool({"-r", Desktop(), "-fjson", bios, caches, none});
    for (const ToolRun* run : {&one, &other, &empty, &all}) ASSERT_EQ(run->status, 0) << run->err;
    // One query prints its array as it always has.
    EXPECT_EQ(one.out.rfind("[\n {\"Name\": ", 0), 0u) << one.out;
    EXPECT_EQ(empty.out, "[]\n");
    // Several: those very arrays, in order, inside one array.
    auto inner = [](const std::string& text) { return text.substr(0, text.size() - 1); };
    EXPECT_EQ(all.out, "[\n" + inner(one.out) + ",\n" + inner(other.out) + ",\n" + inner(empty.out) + "\n]\n");
    const std::vector<std::string> shapes = JsonShapes({one.out, other.out, empty.out, all.out, one.out + other.out});
    ASSERT_EQ(shapes.size(), 5u) << shapes.front();
    // This machine's firmware gives no version.
    EXPECT_EQ(shapes[0], "[{Name:v,Version:n}]");
    EXPECT_EQ(shapes[1].rfind("[{Purpose:v},", 0), 0u) << other.out;
    EXPECT_EQ(shapes[3], "[" + shapes[0] + "," + shapes[1] + "," + shapes[2] + "]");
    // The judge tells two documents back to back from one.
    EXPECT_EQ(shapes[4], "invalid");
}

TEST(QueryTool, SeveralQueriesAsJsonPrintNothingWhenOneFails) {
    const testsupport::LocalComputer thisComputer;
    const ToolRun run =
        Tool({"--root", Desktop(), "--format", "json", "SELECT Name FROM Win32_BIOS", "SELECT * FROM Win32_Nope"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Invalid class \"Win32_Nope\" (0x80041010)\n");
}

// A page prints in the format asked for: CSV as the window exports it, JSON
// as one document of its rows, both with the rows the table shows.
TEST(QueryTool, APageHonoursTheFormat) {
    const testsupport::LocalComputer thisComputer;
    TempTree dir;
    const std::string exported = dir.Dir() + "/board.csv";
    const ToolRun table = Tool({"--root", Desktop(), "--page", "Base Board"});
    const ToolRun csv = Tool({"--root", Desktop(), "--page=Base Board", "--format=csv"});
    const ToolRun json = Tool({"-r", Desktop(), "--page", "base board", "-f", "json"});
    const ToolRun file = Tool({"--root", Desktop(), "--page", "Base Board", "--csv", exported});
    const ToolRun mof = Tool({"--root", Desktop(), "--page", "Base Board", "--format", "mof"});
    for (const ToolRun* run : {&table, &csv, &json, &file}) ASSERT_EQ(run->status, 0) << run->err;
    std::ifstream in(exported, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(written.empty());
    EXPECT_EQ(csv.out, written);
    EXPECT_EQ(mof.status, 2);
    EXPECT_EQ(mof.out, "");

    // The table's rows, each a line "Property  Value"; the CSV's and the
    // JSON's must hold the same properties in the same order.
    std::vector<std::string> tableProperties;
    std::istringstream tableLines(table.out);
    for (std::string line; std::getline(tableLines, line);) tableProperties.push_back(line.substr(0, line.find("  ")));
    std::vector<std::string> csvProperties;
    std::istringstream csvLines(csv.out);
    for (std::string line; std::getline(csvLines, line);) csvProperties.push_back(line.substr(0, line.find(',')));
    EXPECT_EQ(csvProperties, tableProperties);
    ASSERT_GT(tableProperties.size(), 2u);
    EXPECT_EQ(tableProperties.front(), ui::FindPage("Base Board")->headerLabel);
    std::string expectedShape = "[";
    for (size_t n = 0; n < tableProperties.size(); ++n)
        expectedShape += std::string(n ? "," : "") + "{Property:v,Value:v}";
    EXPECT_EQ(JsonShapes({json.out}), std::vector<std::string>{expectedShape + "]"});
    for (const std::string& property : tableProperties)
        EXPECT_NE(json.out.find("{\"Property\": \"" + property + "\", \"Value\": "), std::string::npos) << property;
}

TEST(QueryTool, APageRowWithoutAValueIsNullInJson) {
    ui::PageList list("Header");
    list.AddRow("Header", "");
    list.AddRow("Failed");
    list.AddRow("Name", "a\"b\x1b");
    std::ostringstream stream;
    cli::StreamOutput out(stream);
    cli::WritePage(out, list, cli::Format::Json);
    EXPECT_EQ(stream.str(),
              "[\n {\"Property\": \"Header\", \"Value\": \"\"},\n {\"Property\": \"Failed\", \"Value\": null},\n"
              " {\"Property\": \"Name\", \"Value\": \"a\\\"b\\u001b\"}\n]\n");
    EXPECT_EQ(JsonShapes({stream.str()}),
              std::vector<std::string>{"[{Property:v,Value:v},{Property:v,Value:n},{Property:v,Value:v}]"});
}

// A class, property or page that is not there, with the names it may have
// meant; the provider's own message stays as it is.
TEST(QueryTool, UnknownNamesSuggestTheNearestOnes) {
    const testsupport::LocalComputer thisComputer;
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {{"SELECT * FROM Win32_Bois"},
         1,
         "Invalid class \"Win32_Bois\" (0x80041010)\nsysquill-query: did you mean Win32_BIOS?\n"},
        {{"SELECT * FROM bios"}, 1, "Invalid class \"bios\" (0x80041010)\nsysquill-query: did you mean Win32_BIOS?\n"},
        {{"SELECT * FROM Win32_Servce"},
         1,
         "Invalid class \"Win32_Servce\" (0x80041010)\nsysquill-query: did you mean Win32_Service?\n"},
        // What begins a name is near it; the common "Win32_" makes no class near.
        {{"SELECT * FROM Win32_Disk"},
         1,
         "Invalid class \"Win32_Disk\" (0x80041010)\n"
         "sysquill-query: did you mean Win32_DiskDrive or Win32_DiskPartition?\n"},
        {{"SELECT * FROM Win32_Nope"}, 1, "Invalid class \"Win32_Nope\" (0x80041010)\n"},
        {{"SELECT Manufactrer FROM Win32_BIOS"},
         1,
         "Invalid query: Manufactrer is not a property of Win32_BIOS (0x80041017)\n"
         "sysquill-query: did you mean Manufacturer?\n"},
        // Every unknown name, select list first, though the provider names the WHERE's.
        {{"SELECT Nme FROM Win32_BIOS WHERE Vesion = '1' OR Name = 'x'"},
         1,
         "Invalid query: Vesion is not a property of Win32_BIOS (0x80041017)\n"
         "sysquill-query: did you mean Name?\nsysquill-query: did you mean Version?\n"},
        {{"SELECT Zzzzzzzz FROM Win32_BIOS"},
         1,
         "Invalid query: Zzzzzzzz is not a property of Win32_BIOS (0x80041017)\n"},
        {{"--page", "Base Bord"},
         2,
         "sysquill-query: no page named \"Base Bord\" (see --pages)\nsysquill-query: did you mean \"Base Board\"?\n"},
        // By menu command ("Processors") and caption alike.
        {{"--page=Procesors"},
         2,
         "sysquill-query: no page named \"Procesors\" (see --pages)\nsysquill-query: did you mean \"Processor\"?\n"},
        {{"--page", "xyzzy"}, 2, "sysquill-query: no page named \"xyzzy\" (see --pages)\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--root", Desktop()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        ToolRun run = Tool(args);
        EXPECT_EQ(run.status, c.status) << c.args.back();
        EXPECT_EQ(run.out, "") << c.args.back();
        EXPECT_EQ(run.err, c.err) << c.args.back();
    }
}

TEST(NearestNames, EditsAndTheNamesNearest) {
    const struct {
        std::string a, b;
        size_t distance;
    } distances[] = {
        {"", "", 0},
        {"", "abc", 3},
        {"abc", "", 3},
        {"BIOS", "bios", 0},
        {"Bois", "BIOS", 1},  // two neighbours swapped
        {"kitten", "sitting", 3},
        {"Name", "Nme", 1},
        {"ca", "abc", 3},
    };
    for (const auto& d : distances) {
        EXPECT_EQ(cli::EditDistance(d.a, d.b), d.distance) << d.a << " " << d.b;
        EXPECT_EQ(cli::EditDistance(d.b, d.a), d.distance) << d.b << " " << d.a;
    }
    const std::vector<std::string> known = {"Name", "Names", "Game", "Same", "Lame", "Caption", "Version"};
    const struct {
        std::string word;
        std::vector<std::string> nearest;
    } cases[] = {
        {"Nme", {"Name"}},
        // Ties in the order known, three at most; the word itself is no suggestion.
        {"name", {"Names", "Game", "Same"}},
        {"Capton", {"Caption"}},
        // A beginning of three letters or more is one edit away.
        {"Ver", {"Version"}},
        {"cap", {"Caption"}},
        {"Ve", {}},
        // Too far to be a slip: a third of the word's length at most.
        {"Vsn", {}},
        {"Vrsn", {}},
        {"", {}},
        {std::string(100000, 'x'), {}},
    };
    for (const auto& c : cases) EXPECT_EQ(cli::NearestNames(c.word, known), c.nearest) << c.word.substr(0, 10);
    EXPECT_EQ(cli::DidYouMean({}), "");
    EXPECT_EQ(cli::DidYouMean({"A"}), "did you mean A?");
    EXPECT_EQ(cli::DidYouMean({"A", "B"}, true), "did you mean \"A\" or \"B\"?");
    EXPECT_EQ(cli::DidYouMean({"A", "B", "C"}), "did you mean A, B or C?");
}
