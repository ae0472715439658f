#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/InstanceFormat.h"
#include "app/cli/QueryTool.h"

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
