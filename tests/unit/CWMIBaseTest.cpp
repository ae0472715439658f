#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cimv2/core/ObjectText.h"
#include "tests/support/ComponentFakes.h"
#include "wmi/CWMIBase.h"
#include "wmi/UProcedures.h"

using namespace wmi;
using namespace compfake;
using cimv2::CimType;
using cimv2::Instance;
using cimv2::Value;

namespace {

const cimv2::ClassSchema& WidgetSchema() {
    static const cimv2::ClassSchema schema(
        "Test_Widget",
        {
            {"Caption", CimType::String},
            {"CreationClassName", CimType::String},
            {"DriverName", CimType::String},
            {"Name", CimType::String, cimv2::kKey},
            {"ParentProcessId", CimType::UInt32},
            {"ProcessId", CimType::UInt32},
            {"Size", CimType::UInt64},
            {"Enabled", CimType::Boolean},
            {"Tags", CimType::String, cimv2::kArray},
            {"Codes", CimType::UInt16, cimv2::kArray},
        },
        {cimv2::MethodDef{"Poke",
                          {{"Target", CimType::String}, {"Count", CimType::SInt32}, {"Extra", CimType::Object}},
                          {{"ReturnValue", CimType::UInt32}, {"Answer", CimType::String}}}});
    return schema;
}

Instance Widget(const std::string& name, const std::string& caption = "") {
    Instance w(WidgetSchema());
    w.SetText("Name", name);
    if (!caption.empty()) w.SetText("Caption", caption);
    w.SetText("CreationClassName", "Test_Widget");
    w.SetText("DriverName", "drv-" + name);
    w.Set("ProcessId", Value::UInt(10));
    w.Set("ParentProcessId", Value::UInt(1));
    return w;
}

// A component of the test class that records what the base asks of it.
class TWidgetInfo : public TWMIBase {
public:
    std::string className = "Test_Widget";
    std::string nameSpace = "root\\cimv2";
    std::vector<int32_t> fills;
    int clears = 0;
    std::string name;  // the record: one field

protected:
    std::string GetWMIClass() const override { return className; }
    std::string GetWMINamespace() const override { return nameSpace; }
    void ClearProps() override {
        ++clears;
        name.clear();
    }
    void FillProps(int32_t index) override {
        TWMIBase::FillProps(index);
        fills.push_back(index);
        OleVariant value;
        bool isNull = true;
        GetWMIPropertyValue("Name", value, isNull);
        name = WMIVarToText(value, isNull);
    }
};

class WMIBaseTest : public ::testing::Test {
protected:
    WMIBaseTest() : host(std::make_shared<FakeBackend>(WidgetSchema())) { component.SetHost(FakeHost::kName); }
    FakeBackend& backend() { return host.Backend(); }
    void Give(std::vector<Instance> widgets) { backend().instances = std::move(widgets); }

    FakeHost host;
    TWidgetInfo component;
};

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

TEST_F(WMIBaseTest, CreatedState) {
    TWidgetInfo fresh;
    EXPECT_FALSE(fresh.Active());
    EXPECT_FALSE(fresh.Connected());
    EXPECT_EQ(fresh.ObjectsCount(), 0);
    EXPECT_EQ(fresh.ObjectIndex(), 0);
    EXPECT_EQ(fresh.Host(), ".");
    EXPECT_TRUE(fresh.AllProperties().empty());
    EXPECT_EQ(fresh.WMIServices(), nullptr);
    EXPECT_EQ(fresh.WMIClass(), "Test_Widget");
}

TEST_F(WMIBaseTest, ActivationWithObjectsSelectsTheFirst) {
    Give({Widget("one"), Widget("two"), Widget("three")});
    component.SetActive(true);
    EXPECT_TRUE(component.Active());
    EXPECT_TRUE(component.Connected());
    EXPECT_EQ(component.ObjectsCount(), 3);
    EXPECT_EQ(component.ObjectIndex(), 1);
    EXPECT_EQ(component.fills, std::vector<int32_t>{1});
    EXPECT_EQ(component.name, "one");
    ASSERT_EQ(backend().queries, std::vector<std::string>{"SELECT * FROM Test_Widget"});
    ASSERT_EQ(component.AllProperties().size(), 3u);
    EXPECT_EQ(component.AllProperties()[1], cimv2::WriteObjectText(Widget("two")));

    component.SetObjectIndex(3);
    EXPECT_EQ(component.name, "three");
    // Selecting another object costs no further query.
    EXPECT_EQ(backend().queries.size(), 1u);
    // The same index again does nothing, not even a refill.
    component.SetObjectIndex(3);
    EXPECT_EQ(component.fills, (std::vector<int32_t>{1, 3}));
}

TEST_F(WMIBaseTest, ActivationWithoutObjects) {
    component.SetActive(true);
    EXPECT_TRUE(component.Active());
    EXPECT_TRUE(component.Connected());
    EXPECT_EQ(component.ObjectsCount(), 0);
    EXPECT_EQ(component.ObjectIndex(), 0);
    EXPECT_TRUE(component.fills.empty());
    EXPECT_EQ(component.name, "");
    EXPECT_EQ(ErrorOf([&] { component.SetObjectIndex(1); }), kErrIndexOutOfBounds);
    EXPECT_EQ(component.ObjectIndex(), 0);
}

TEST_F(WMIBaseTest, TheThreeIndexErrors) {
    EXPECT_STREQ(kErrNotConnected, "Componente no conectado...  (crear tipo espec\u00edfico)");
    EXPECT_STREQ(kErrNotActive, "Componente no activado...  (crear tipo espec\u00edfico)");
    EXPECT_STREQ(kErrIndexOutOfBounds, "\u00cdndice fuera de l\u00edmites...  (crear tipo espec\u00edfico)");

    // Never connected.
    EXPECT_EQ(ErrorOf([&] { component.SetObjectIndex(1); }), kErrNotConnected);
    EXPECT_EQ(component.ObjectIndex(), 0);

    Give({Widget("one"), Widget("two")});
    component.SetActive(true);
    struct Case {
        int32_t index;
    } outside[] = {{0}, {3}, {-1}, {INT32_MAX}};
    for (const auto& c : outside) {
        component.SetActive(true);
        ASSERT_EQ(component.ObjectIndex(), 1);
        EXPECT_THROW(component.SetObjectIndex(c.index), EWMIBaseError) << c.index;
        EXPECT_EQ(component.ObjectIndex(), 0) << c.index;
    }
    EXPECT_EQ(ErrorOf([&] { component.SetObjectIndex(5); }), kErrIndexOutOfBounds);

    // Connected but no longer active.
    component.SetActive(false);
    EXPECT_TRUE(component.Connected());
    EXPECT_EQ(ErrorOf([&] { component.SetObjectIndex(1); }), kErrNotActive);
    EXPECT_EQ(component.ObjectIndex(), 0);
}

TEST_F(WMIBaseTest, DeactivationClearsButKeepsTheConnection) {
    Give({Widget("one"), Widget("two")});
    component.SetActive(true);
    component.SetObjectIndex(2);
    auto services = component.WMIServices();
    ASSERT_NE(services, nullptr);
    const int clearsBefore = component.clears;
    component.SetActive(false);
    EXPECT_FALSE(component.Active());
    EXPECT_EQ(component.ObjectsCount(), 0);
    EXPECT_EQ(component.ObjectIndex(), 0);
    EXPECT_TRUE(component.AllProperties().empty());
    EXPECT_EQ(component.clears, clearsBefore + 1);
    EXPECT_EQ(component.name, "");
    EXPECT_TRUE(component.Connected());
    EXPECT_EQ(component.WMIServices(), services);
}

TEST_F(WMIBaseTest, ActivatingTwiceReadsAfreshFromObjectOne) {
    Give({Widget("one"), Widget("two")});
    component.SetActive(true);
    component.SetObjectIndex(2);
    Give({Widget("alpha"), Widget("beta"), Widget("gamma")});
    component.SetActive(true);
    EXPECT_EQ(backend().queries.size(), 2u);
    EXPECT_EQ(component.ObjectsCount(), 3);
    EXPECT_EQ(component.ObjectIndex(), 1);
    EXPECT_EQ(component.name, "alpha");
    EXPECT_EQ(component.AllProperties().size(), 3u);
}

TEST_F(WMIBaseTest, ActivationWithoutObjectsAfterObjectsKeepsTheOldIndexUntilDeactivated) {
    Give({Widget("one"), Widget("two")});
    component.SetActive(true);
    component.SetObjectIndex(2);
    Give({});
    component.SetActive(true);
    EXPECT_EQ(component.ObjectsCount(), 0);
    EXPECT_EQ(component.ObjectIndex(), 2);
    // The index points past the empty list: reads give empty values, never a stale object.
    OleVariant value = OleVariant::Text("caller");
    bool isNull = false;
    component.GetWMIPropertyValue("Name", value, isNull);
    EXPECT_EQ(value, OleVariant::Text(""));
    EXPECT_TRUE(isNull);
}

TEST_F(WMIBaseTest, FailedConnectKeepsTheErrorsOwnMessageAndCode) {
    Give({Widget("one")});
    component.SetActive(true);
    component.SetHost("nowhere.invalid");
    try {
        component.SetActive(true);
        FAIL() << "no error";
    } catch (const EOleException& e) {
        EXPECT_STREQ(e.what(), "ssh: Could not resolve hostname nowhere.invalid: Name or service not known");
        EXPECT_EQ(e.ErrorCode(), cimv2::wbem::RpcServerUnavailable);
    }
    EXPECT_TRUE(component.Active());
    EXPECT_FALSE(component.Connected());
    EXPECT_EQ(component.ObjectsCount(), 1);  // unchanged
    EXPECT_EQ(component.ObjectIndex(), 1);   // unchanged

    TWidgetInfo wrongNamespace;
    wrongNamespace.nameSpace = "root\\default";
    try {
        wrongNamespace.SetActive(true);
        FAIL() << "no error";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.ErrorCode(), cimv2::wbem::InvalidNamespace);
        EXPECT_NE(std::string(e.what()), "");
    }
    EXPECT_TRUE(wrongNamespace.Active());
    EXPECT_FALSE(wrongNamespace.Connected());
}

TEST_F(WMIBaseTest, FailedQueryPassesTheAutomationErrorOn) {
    component.className = "Test_Missing";
    try {
        component.SetActive(true);
        FAIL() << "no error";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.ErrorCode(), cimv2::wbem::InvalidClass);
    }
    EXPECT_TRUE(component.Active());
    EXPECT_TRUE(component.Connected());
    EXPECT_EQ(component.ObjectsCount(), 0);
}

TEST_F(WMIBaseTest, PropertyValueNeedsACurrentObject) {
    OleVariant value = OleVariant::Text("caller");
    bool isNull = false;
    component.GetWMIPropertyValue("Name", value, isNull);
    EXPECT_EQ(value, OleVariant::Text("caller"));
    EXPECT_FALSE(isNull);

    Instance w = Widget("one");
    w.SetText("Caption", "");
    Give({w});
    component.SetActive(true);
    struct Case {
        const char* name;
        const char* value;
        bool isNull;
    } cases[] = {
        {"Name", "one", false},       {"DriverName", "drv-one", false}, {"Caption", "", true}, {"Size", "", true},
        {"NoSuchProperty", "", true}, {"ProcessId", "10", false},       {"name", "", true},  // names match exactly, as
                                                                                             // in the object text
    };
    for (const auto& c : cases) {
        component.GetWMIPropertyValue(c.name, value, isNull);
        EXPECT_EQ(value, OleVariant::Text(c.value)) << c.name;
        EXPECT_EQ(isNull, c.isNull) << c.name;
    }
}

TEST_F(WMIBaseTest, ComponentCaption) {
    EXPECT_EQ(component.ComponentCaption(), "");
    Give({Widget("one", "First widget"), Widget("two")});
    component.SetActive(true);
    EXPECT_EQ(component.ComponentCaption(), "First widget");
    component.SetObjectIndex(2);
    EXPECT_EQ(component.ComponentCaption(), "");
    component.SetComponentCaption("stored");
    component.SetObjectIndex(1);
    EXPECT_EQ(component.ComponentCaption(), "First widget");
}

// ---- reading values out of object text

TEST(GetPropertyFromText, HandWrittenTexts) {
    const std::string text =
        "instance of Win32_SystemDriver\r\n"
        "{\r\n"
        "\tCreationClassName = \"Win32_SystemDriver\";\r\n"
        "\tDriverName = \"acpi\";\r\n"
        "\tName = \"ACPI\";\r\n"
        "\tParentProcessId = 4;\r\n"
        "\tProcessId = 1234;\r\n"
        "\tBiosCharacteristics = {4, 7, 9};\r\n"
        "\tBIOSVersion = {\"Rev   - 1.02\", \"A12\"};\r\n"
        "\tPathName = \"C:\\\\Windows\\\\a.sys\";\r\n"
        "\tQuoted = \"say \\\"hi\\\"; bye\";\r\n"
        "\tEndsInSemicolon = \"a;b;\";\r\n"
        "\tEmpty = \"\";\r\n"
        "\tSemi = ;\r\n"
        "\tStarted = TRUE;\r\n"
        "  Spaced   =   no;\r\n"
        "\tTwice = \"first\";\n"
        "\tTwice = \"second\";\n"
        "};\r\n";
    struct Case {
        const char* name;
        const char* value;
    } cases[] = {
        {"Name", "ACPI"},
        {"DriverName", "acpi"},
        {"CreationClassName", "Win32_SystemDriver"},
        {"ProcessId", "1234"},
        {"ParentProcessId", "4"},
        {"BiosCharacteristics", "{4, 7, 9}"},
        {"BIOSVersion", "{\"Rev   - 1.02\", \"A12\"}"},
        {"PathName", "C:\\\\Windows\\\\a.sys"},  // escapes are not decoded
        {"Quoted", "say \\\"hi\\ bye"},          // a quote before a semicolon goes with it
        {"EndsInSemicolon", "a;b"},
        {"Empty", ""},
        {"Semi", ";"},
        {"Started", "TRUE"},
        {"Spaced", ""},  // the key is the name, " = " exactly
        {"Twice", "first"},
        {"name", ""},
        {"Missing", ""},
        {"", ""},
        {"Process", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TWMIBase::GetPropertyFromText(c.name, text), c.value) << c.name;
}

// The pairs go as repeated removal of the first `";` would take them, also
// pairs that a removal brings together; checked against that rule for every
// value of up to eight characters of quote, semicolon and letter.
TEST(GetPropertyFromText, QuoteSemicolonPairsGoAsRepeatedRemovalWould) {
    auto byRepeatedRemoval = [](std::string value) {
        if (!value.empty() && value.front() == '"') value.erase(0, 1);
        for (size_t pos; (pos = value.find("\";")) != std::string::npos;) value.erase(pos, 2);
        if (value.size() > 1 && value.back() == ';') value.pop_back();
        return value;
    };
    const char alphabet[] = {'"', ';', 'a'};
    std::vector<std::string> values{""};
    for (size_t from = 0, length = 1; length <= 8; ++length) {
        const size_t to = values.size();
        for (size_t n = from; n < to; ++n)
            for (char c : alphabet) values.push_back(values[n] + c);
        from = to;
    }
    for (const std::string& value : values)
        ASSERT_EQ(TWMIBase::GetPropertyFromText("P", "\tP = " + value + "\r\n"), byRepeatedRemoval(value)) << value;
}

TEST(GetPropertyFromText, ProviderTexts) {
    Instance w = Widget("we\"ird; name", "Caption with \\ and \"quotes\"");
    w.Set("Size", Value::UInt(18446744073709551615ull));
    w.SetBool("Enabled", false);
    w.Set("Tags", Value::Array({Value::Text("red"), Value::Text("big one")}));
    w.Set("Codes", Value::Array({Value::UInt(3), Value::UInt(9)}));
    const std::string text = cimv2::WriteObjectText(w);
    struct Case {
        const char* name;
        const char* value;
    } cases[] = {
        {"Name", "we\\\"ird; name"},
        {"CreationClassName", "Test_Widget"},
        {"DriverName", "drv-we\\\"ird; name"},
        {"Size", "18446744073709551615"},  // 64-bit integers travel quoted
        {"Enabled", "FALSE"},
        {"Tags", "{\"red\", \"big one\"}"},
        {"Codes", "{3, 9}"},
        {"ProcessId", "10"},
        {"ParentProcessId", "1"},
    };
    for (const auto& c : cases) EXPECT_EQ(TWMIBase::GetPropertyFromText(c.name, text), c.value) << c.name;

    TArrString tags;
    StrToArrString(TWMIBase::GetPropertyFromText("Tags", text), tags);
    EXPECT_EQ(tags, (TArrString{"red", "big one"}));
}

// A component reads text as the provider gave it: every escape decoded, so
// a value reads the same on a component's page as in a query's answer.
TEST(GetPropertyFromText, ComponentsReadProviderTextsDecoded) {
    Instance w = Widget("\\\\.\\PHYSICALDRIVE0", "say \"hi\"; bye");
    w.SetText("DriverName", "tab\there\x01 and \\\"");
    w.Set("Size", Value::UInt(18446744073709551615ull));
    w.SetBool("Enabled", true);
    w.Set("Tags", Value::Array({Value::Text("vm\\root"), Value::Text("a \"b\", c"), Value::Text("")}));
    w.Set("Codes", Value::Array({Value::UInt(3), Value::UInt(9)}));
    const std::string text = cimv2::WriteObjectText(w);
    struct Case {
        const char* name;
        std::string value;
    } cases[] = {
        {"Name", "\\\\.\\PHYSICALDRIVE0"},
        {"Caption", "say \"hi\"; bye"},
        {"DriverName", std::string("tab\there\x01 and \\\"")},
        {"Size", "18446744073709551615"},
        {"Enabled", "TRUE"},
        {"ProcessId", "10"},
        {"Tags", "{\"vm\\root\", \"a \"\"b\"\", c\", \"\"}"},
        {"Codes", "{3, 9}"},
        {"Missing", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TWMIBase::DecodedPropertyText(c.name, text), c.value) << c.name;

    TArrString tags;
    StrToArrString(TWMIBase::DecodedPropertyText("Tags", text), tags);
    EXPECT_EQ(tags, (TArrString{"vm\\root", "a \"b\", c", ""}));

    // Text the provider would not write is read as before.
    EXPECT_EQ(TWMIBase::DecodedPropertyText("Name", "Name = x"), "x");
    EXPECT_EQ(TWMIBase::DecodedPropertyText("Name", "Name = \"open;"), "open");
    for (const char* odd : {"Name = {\"a\", ;", "Name = \"a\" b;", "Name = \"bad \\x1\";", "Name = {1}"})
        EXPECT_EQ(TWMIBase::DecodedPropertyText("Name", odd), TWMIBase::GetPropertyFromText("Name", odd)) << odd;
}

TEST(GetPropertyFromText, MalformedTextsGiveEmptyValues) {
    for (const char* text : {"", "\n\n\r", "Name = ", "Name =", "\tName", "\0Name = x;"})
        EXPECT_EQ(TWMIBase::GetPropertyFromText("Name", text), "") << text;
    EXPECT_EQ(TWMIBase::GetPropertyFromText("Name", "Name = \""), "");
    EXPECT_EQ(TWMIBase::GetPropertyFromText("Name", "Name = x"), "x");
}

// ---- methods

class ExecMethodTest : public WMIBaseTest {
protected:
    void Run(const std::string& keyName, const OleVariant& keyValue) {
        component.ExecWMIMethod(keyName, keyValue, "Poke", names, values, directions, types, result);
    }
    TArrString names = {"Target", "Count", "Extra", "Answer"};
    TArrVariant values = {OleVariant::Text("t"), OleVariant::Int(3), OleVariant::Text("ignored"), OleVariant()};
    TArrByte directions = {0, 0, 0, 1};
    TArrInteger types = {kCimString, kCimSInt32, kCimObject, kCimString};
    OleVariant result = OleVariant::Text("untouched");
};

TEST_F(ExecMethodTest, InactiveShowsTheWarningAndSendsNothing) {
    NoticeRecorder notices;
    Give({Widget("one")});
    Run("", OleVariant());
    EXPECT_EQ(notices.texts, std::vector<std::string>{"El componente no est\u00e1 activo!!!!!"});
    EXPECT_EQ(notices.kinds, std::vector<NoticeKind>{NoticeKind::Warning});
    EXPECT_EQ(result, OleVariant::Text("untouched"));
    EXPECT_TRUE(backend().calls.empty());
    EXPECT_TRUE(backend().queries.empty());
}

TEST_F(ExecMethodTest, EmptyKeyRunsOnTheFirstObject) {
    Give({Widget("one"), Widget("two")});
    component.SetActive(true);
    backend().reply = {{"ReturnValue", Value::UInt(7)}, {"Answer", Value::Text("done")}};
    Run("", OleVariant::Text(""));
    ASSERT_EQ(backend().calls.size(), 1u);
    const auto& call = backend().calls[0];
    EXPECT_EQ(call.method, "Poke");
    EXPECT_EQ(call.keys.Get("Name"), Value::Text("one"));
    ASSERT_EQ(call.in.size(), 3u);
    EXPECT_EQ(call.in[0], (std::pair<std::string, Value>{"Target", Value::Text("t")}));
    EXPECT_EQ(call.in[1], (std::pair<std::string, Value>{"Count", Value::Int(3)}));
    EXPECT_EQ(call.in[2].first, "Extra");
    EXPECT_TRUE(call.in[2].second.IsNull()) << "object parameters go as null";
    EXPECT_EQ(result, OleVariant::UInt(7));
    EXPECT_EQ(values[3], OleVariant::Text("done"));
    EXPECT_EQ(values[0], OleVariant::Text("t"));
    EXPECT_EQ(backend().queries.back(), "SELECT * FROM Test_Widget");
}

TEST_F(ExecMethodTest, KeyValueIsQuotedAndSelectsOnlyItsObject) {
    // A value that would end the literal and add a condition if pasted.
    const std::string tricky = "x\" OR Name<>\"";
    Give({Widget("plain"), Widget(tricky), Widget("back\\slash")});
    component.SetActive(true);
    struct Case {
        std::string key;
        std::string query;
        const char* target;  // null: no object
    } cases[] = {
        {tricky, "SELECT * FROM Test_Widget WHERE Name=\"x\\\" OR Name<>\\\"\"", "x\" OR Name<>\""},
        {"back\\slash", "SELECT * FROM Test_Widget WHERE Name=\"back\\\\slash\"", "back\\slash"},
        {"plain", "SELECT * FROM Test_Widget WHERE Name=\"plain\"", "plain"},
        {"x", "SELECT * FROM Test_Widget WHERE Name=\"x\"", nullptr},
    };
    for (const auto& c : cases) {
        backend().calls.clear();
        result = OleVariant::Text("untouched");
        Run("Name", OleVariant::Text(c.key));
        EXPECT_EQ(backend().queries.back(), c.query);
        if (c.target) {
            ASSERT_EQ(backend().calls.size(), 1u) << c.key;
            EXPECT_EQ(backend().calls[0].keys.Get("Name"), Value::Text(c.target));
            EXPECT_EQ(result, OleVariant::UInt(0));
        } else {
            EXPECT_TRUE(backend().calls.empty()) << c.key;
            EXPECT_EQ(result, OleVariant::Text("untouched"));
        }
    }
}

TEST_F(ExecMethodTest, BadArgumentsAreRefusedBeforeAnythingRuns) {
    Give({Widget("one")});
    component.SetActive(true);
    const size_t queriesBefore = backend().queries.size();
    directions.pop_back();
    EXPECT_THROW(Run("", OleVariant()), EOleException);
    directions.push_back(1);
    // A key name is pasted into the query, so only a property name passes.
    try {
        Run("Name=\"one\" OR Name", OleVariant::Text("x"));
        FAIL() << "no error";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.ErrorCode(), cimv2::wbem::InvalidQuery);
    }
    try {
        Run("Name", OleVariant::Array({OleVariant::Text("one")}));
        FAIL() << "no error";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.ErrorCode(), cimv2::wbem::InvalidParameter);
    }
    EXPECT_EQ(backend().queries.size(), queriesBefore);
    EXPECT_TRUE(backend().calls.empty());
    // An unknown method is the scripting interface's error.
    try {
        component.ExecWMIMethod("", OleVariant(), "Nope", names, values, directions, types, result);
        FAIL() << "no error";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.ErrorCode(), cimv2::wbem::InvalidMethod);
    }
}

}  // namespace
