// The scripting interface over a fake backend: sets, enumerators, late-bound
// reads, methods and the errors callers rely on.
#include <gtest/gtest.h>

#include "wmi/WbemScripting.h"

using namespace wmi;
using cimv2::CimType;
using cimv2::Value;

namespace {

const cimv2::ClassSchema& Schema() {
    static const cimv2::ClassSchema schema(
        "Test_Service",
        {
            {"Name", CimType::String, cimv2::kKey},
            {"Started", CimType::Boolean},
            {"Memory", CimType::UInt64},
            {"Pid", CimType::UInt32},
            {"Since", CimType::DateTime},
        },
        {cimv2::MethodDef{"Change",
                          {{"Mode", CimType::String}, {"Depth", CimType::SInt32}},
                          {{"ReturnValue", CimType::UInt32}, {"Previous", CimType::String}}},
         cimv2::MethodDef{"Stop", {}, {{"ReturnValue", CimType::UInt32}}}});
    return schema;
}

struct FakeBackend : WbemBackend {
    std::vector<std::string> queries;
    std::vector<std::pair<std::string, cimv2::ParamList>> calls;

    cimv2::QueryResult ExecQuery(const std::string& wql) override {
        queries.push_back(wql);
        std::vector<cimv2::Instance> all;
        for (auto [name, started] : {std::pair{"alpha", true}, std::pair{"beta", false}}) {
            cimv2::Instance i(Schema());
            i.SetText("Name", name);
            i.SetBool("Started", started);
            i.Set("Memory", Value::UInt(6000000000ULL));
            all.push_back(i);
        }
        cimv2::WqlQuery parsed = cimv2::ParseWql(wql);
        return cimv2::ApplyQuery(cimv2::BoundQuery(parsed, Schema()), all);
    }
    cimv2::ParamList ExecMethod(const std::string&, const cimv2::Instance& keys, const std::string& method,
                                const cimv2::ParamList& in) override {
        calls.emplace_back(keys.Get("Name").text + "." + method, in);
        if (method == "Stop") throw cimv2::WbemError(cimv2::wbem::AccessDenied, "Access denied");
        return {{"ReturnValue", Value::UInt(0)}, {"Previous", Value::Text("auto")}};
    }
};

std::vector<SWbemObjectPtr> Walk(SWbemObjectSet& set) {
    std::vector<SWbemObjectPtr> out;
    auto walker = set._NewEnum();
    OleVariant item;
    uint32_t fetched = 0;
    while (walker->Next(1, &item, &fetched) == S_OK_) {
        EXPECT_EQ(fetched, 1u);
        out.push_back(item.AsObject());
    }
    EXPECT_EQ(fetched, 0u);
    return out;
}

}  // namespace

TEST(Scripting, WalksSetAndReadsLateBound) {
    auto backend = std::make_shared<FakeBackend>();
    SWbemServices services(backend);
    auto set = services.ExecQuery("SELECT * FROM Test_Service WHERE Started = TRUE", "WQL", wbemFlagForwardOnly);
    auto objects = Walk(*set);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0]->Get("name").AsText(), "alpha");
    EXPECT_EQ(objects[0]->Get("Started").ToText(), "True");
    // 64-bit integers arrive as text; an unset property is null.
    EXPECT_EQ(objects[0]->Get("Memory").GetType(), OleVariant::Type::Text);
    EXPECT_EQ(objects[0]->Get("Memory").AsText(), "6000000000");
    EXPECT_TRUE(objects[0]->Get("Pid").IsNull());
    EXPECT_THROW(objects[0]->Get("Nope"), EPropertyNotFound);
    EXPECT_EQ(objects[0]->GetObjectText_(0),
              "instance of Test_Service\n{\n\tName = \"alpha\";\n\tStarted = TRUE;\n\tMemory = \"6000000000\";\n};\n");
}

TEST(Scripting, ForwardOnlySetWalksOnceOthersAgain) {
    auto backend = std::make_shared<FakeBackend>();
    SWbemServices services(backend);
    auto once = services.ExecQuery("SELECT * FROM Test_Service", "WQL", wbemFlagForwardOnly);
    EXPECT_EQ(Walk(*once).size(), 2u);
    EXPECT_THROW(once->_NewEnum(), EOleException);
    auto again = services.ExecQuery("SELECT * FROM Test_Service", "WQL", 0);
    EXPECT_EQ(Walk(*again).size(), 2u);
    EXPECT_EQ(Walk(*again).size(), 2u);
    EXPECT_EQ(again->Count(), 2);
}

TEST(Scripting, ErrorsCarryWbemCodes) {
    auto backend = std::make_shared<FakeBackend>();
    SWbemServices services(backend);
    auto codeOf = [](auto&& f) -> uint32_t {
        try {
            f();
        } catch (const EOleException& e) {
            return e.ErrorCode();
        }
        return 0;
    };
    EXPECT_EQ(codeOf([&] { services.ExecQuery("SELECT FROM", "WQL", 0); }), 0x80041017u);
    EXPECT_EQ(codeOf([&] { services.ExecQuery("SELECT * FROM Test_Service", "SQL", 0); }), 0x80041018u);
    SWbemLocator locator;
    EXPECT_EQ(codeOf([&] { locator.ConnectServer(".", "root\\default"); }), 0x8004100Eu);
    EXPECT_EQ(codeOf([&] { locator.ConnectServer(".", "ROOT\\CIMV2")->ExecQuery("SELECT * FROM Win32_Nope"); }),
              0x80041010u);
    try {
        locator.ConnectServer("far-away-host", "root\\cimv2");
        ADD_FAILURE() << "remote connect without a transport succeeded";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.ErrorCode(), 0x800706BAu);
        EXPECT_NE(std::string(e.what()).find("far-away-host"), std::string::npos);
    }
}

TEST(Scripting, MethodCallPassesInParametersAndReadsOut) {
    auto backend = std::make_shared<FakeBackend>();
    SWbemServices services(backend);
    auto objects = Walk(*services.ExecQuery("SELECT * FROM Test_Service WHERE Name = 'beta'", "WQL", 0));
    ASSERT_EQ(objects.size(), 1u);
    SWbemMethod method = objects[0]->Methods_().Item("Change", 0);
    ASSERT_TRUE(method.InParameters());
    auto in = method.InParameters()->SpawnInstance_(0);
    in->Properties_().Add("Mode", 8, false, 0).SetValue(OleVariant::Text("manual"));
    in->Properties_().Add("Depth", 3, false, 0).SetValue(OleVariant::Int(2));
    auto out = objects[0]->ExecMethod_("Change", in, 0);
    EXPECT_EQ(out->Properties_().Item("ReturnValue", 0).Value().AsUInt(), 0u);
    EXPECT_EQ(out->Properties_().Item("Previous", 0).Value().AsText(), "auto");
    ASSERT_EQ(backend->calls.size(), 1u);
    EXPECT_EQ(backend->calls[0].first, "beta.Change");
    EXPECT_EQ(backend->calls[0].second, (cimv2::ParamList{{"Mode", Value::Text("manual")}, {"Depth", Value::Int(2)}}));

    EXPECT_FALSE(objects[0]->Methods_().Item("Stop", 0).InParameters());
    EXPECT_THROW(objects[0]->Methods_().Item("Explode", 0), EOleException);
    try {
        objects[0]->ExecMethod_("Stop", nullptr, 0);
        ADD_FAILURE() << "Stop should fail";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.ErrorCode(), 0x80041003u);
    }
    auto wrong = method.InParameters()->SpawnInstance_(0);
    wrong->Properties_().Add("Depth", 3).SetValue(OleVariant::Text("deep"));
    EXPECT_THROW(objects[0]->ExecMethod_("Change", wrong, 0), EOleException);
}
