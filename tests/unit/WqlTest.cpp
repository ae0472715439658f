#include <gtest/gtest.h>

#include "cimv2/core/WbemError.h"
#include "cimv2/core/Wql.h"

using namespace cimv2;

namespace {

// clang-format off
const ClassSchema& Schema() {
    static const ClassSchema schema("Test_Thing", {
        {"Name", CimType::String, kKey},
        {"Size", CimType::UInt64},
        {"Level", CimType::UInt16},
        {"Delta", CimType::SInt32},
        {"Enabled", CimType::Boolean},
        {"Tags", CimType::String, kArray},
    });
    return schema;
}
// clang-format on

Instance Thing(const std::string& name, uint64_t size, int delta, bool enabled) {
    Instance i(Schema());
    i.SetText("Name", name);
    i.Set("Size", Value::UInt(size));
    i.SetInt("Delta", delta);
    i.SetBool("Enabled", enabled);
    return i;
}

bool Matches(const std::string& where, const Instance& inst) {
    return BoundQuery(ParseWql("SELECT * FROM Test_Thing WHERE " + where), Schema()).Matches(inst);
}

uint32_t ErrorOf(const std::string& text) {
    try {
        BoundQuery(ParseWql(text), Schema());
    } catch (const WbemError& e) {
        return e.Code();
    }
    return 0;
}

}  // namespace

TEST(Wql, ParsesSelectListClassAndCase) {
    WqlQuery q = ParseWql("select Name, size from test_thing");
    EXPECT_EQ(q.className, "test_thing");
    EXPECT_EQ(q.properties, (std::vector<std::string>{"Name", "size"}));
    BoundQuery bound(q, Schema());
    EXPECT_EQ(bound.Selected(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(BoundQuery(ParseWql("SELECT * FROM Test_Thing"), Schema()).SelectsAll());
}

TEST(Wql, RejectsBadSyntaxAndUnknownProperties) {
    for (const char* bad : {"", "SELECT", "SELECT * Test_Thing", "SELECT * FROM", "SELECT *, Name FROM Test_Thing",
                            "SELECT * FROM Test_Thing WHERE", "SELECT * FROM Test_Thing WHERE Name = 'x",
                            "SELECT * FROM Test_Thing WHERE (Name = 'x'", "SELECT * FROM Test_Thing WHERE Name LIKE 5",
                            "SELECT * FROM Test_Thing extra", "SELECT * FROM Test_Thing WHERE Name ; 1",
                            "SELECT * FROM Test_Thing WHERE Size = 1e999"})
        EXPECT_EQ(ErrorOf(bad), wbem::InvalidQuery) << bad;
    EXPECT_EQ(ErrorOf("SELECT Nope FROM Test_Thing"), wbem::InvalidQuery);
    EXPECT_EQ(ErrorOf("SELECT * FROM Test_Thing WHERE Nope = 1"), wbem::InvalidQuery);
    EXPECT_EQ(ErrorOf(std::string("SELECT * FROM Test_Thing WHERE ") + std::string(5000, '(')), wbem::InvalidQuery);
}

TEST(Wql, EvaluatesComparisonsByType) {
    Instance big = Thing("Disk \"A\"", 5000000000ULL, -7, true);
    struct Case {
        const char* where;
        bool expected;
    } cases[] = {
        {"Size > 4294967295", true},
        {"Size = '5000000000'", true},
        {"Size < 10", false},
        {"Delta = -7", true},
        {"Delta >= -7 AND Delta < 0", true},
        {"-8 < Delta", true},
        {"Enabled = TRUE", true},
        {"Enabled <> true", false},
        {"Name = 'disk \\\"a\\\"'", true},
        {"Name = \"DISK \\\"A\\\"\"", true},
        {"Name != 'x' OR Size = 1", true},
        {"NOT (Name = 'x' OR Delta = -7)", false},
        {"Level IS NULL", true},
        {"Level IS NOT NULL", false},
        {"Level = 0", false},
        {"Level <> 0", false},
        {"Level = NULL", true},
        {"Tags = 'a'", false},
        {"Name LIKE 'disk%'", true},
        {"Name LIKE '%\"_\"'", true},
        {"Name LIKE '[c-e]isk%'", true},
        {"Name LIKE '[^d]%'", false},
        {"Name LIKE 'disk'", false},
    };
    for (const auto& c : cases) EXPECT_EQ(Matches(c.where, big), c.expected) << c.where;
}

TEST(Wql, LikeBacktracksAndQuotesSafely) {
    EXPECT_TRUE(WqlLike("abcabcabd", "%abd"));
    EXPECT_TRUE(WqlLike("", "%"));
    EXPECT_FALSE(WqlLike("", "_"));
    EXPECT_TRUE(WqlLike("a%b", "a[%]b"));
    EXPECT_EQ(QuoteWqlString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    // A quoted value selects exactly itself.
    Instance tricky = Thing("x\" OR Name LIKE \"%", 1, 0, false);
    Instance other = Thing("other", 1, 0, false);
    std::string where = "Name = " + QuoteWqlString(tricky.Get("Name").text);
    EXPECT_TRUE(Matches(where, tricky));
    EXPECT_FALSE(Matches(where, other));
}
