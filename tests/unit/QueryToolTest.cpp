#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/cli/InstanceFormat.h"
#include "app/cli/QueryTool.h"
#include "cimv2/core/ClassRegistry.h"

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
    std::ostringstream out;
    cli::WriteResult(out, Sample(), format);
    return out.str();
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
