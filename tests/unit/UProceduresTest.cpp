#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstring>

#include "wmi/UProcedures.h"

using namespace wmi;

namespace {

OleVariant T(const std::string& text) { return OleVariant::Text(text); }

TEST(WMIVarToInt64, ReadsIntegersNumbersAndWords) {
    struct Case {
        const char* text;
        int64_t expected;
    } cases[] = {
        {"42", 42},
        {"-7", -7},
        {"+15", 15},
        {" 12 ", 12},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"18446744073709551615", kFailedNumber},  // above the signed range, and as a real too
        {"2.5", 2},                               // a half goes to the even neighbour
        {"3.5", 4},
        {"-2.5", -2},
        {"2.6", 3},
        {"1e3", 1000},
        {"TRUE", 1},
        {"true", 1},
        {"False", 0},
        {"abc", kFailedNumber},
        {"", kFailedNumber},
        {"12abc", kFailedNumber},
        {"0x10", kFailedNumber},
        {"+-3", kFailedNumber},
        {"inf", kFailedNumber},
        {"nan", kFailedNumber},
        {"1,5", kFailedNumber},  // the C locale's decimal point is "."
    };
    for (const auto& c : cases) EXPECT_EQ(WMIVarToInt64(T(c.text), false), c.expected) << '"' << c.text << '"';
}

TEST(WMIVarToInt64, NullGivesZeroWhateverTheText) {
    EXPECT_EQ(WMIVarToInt64(T("42"), true), 0);
    EXPECT_EQ(WMIVarToInt64(T("abc"), true), 0);
    // A value without a text form is a failed conversion, not a crash.
    EXPECT_EQ(WMIVarToInt64(OleVariant::Array({T("1")}), false), kFailedNumber);
}

TEST(WMIVarToFloat, ReadsNumbersInTheLocaleFormat) {
    struct Case {
        const char* text;
        double expected;
    } cases[] = {
        {"1.5", 1.5},   {"-0.25", -0.25}, {"42", 42},  {" 7.0 ", 7}, {"2E2", 200}, {"abc", 666},   {"", 666},
        {"1.2.3", 666}, {"TRUE", 666},    {".5", 0.5}, {"5.", 5},    {"1e", 666},  {"1e400", 666},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(WMIVarToFloat(T(c.text), false), c.expected) << c.text;
    EXPECT_DOUBLE_EQ(WMIVarToFloat(T("abc"), true), 0);
}

TEST(TryReadNumber, FollowsTheGivenSeparators) {
    struct Case {
        const char* text;
        const char* decimal;
        const char* thousands;
        bool ok;
        double value;
    } cases[] = {
        {"1.234,5", ",", ".", true, 1234.5},  // German
        {"1234,5", ",", ".", true, 1234.5},
        {"-12.345.678", ",", ".", true, -12345678},
        {"1,2,3", ",", ".", false, 0},
        {"1.5", ",", ".", true, 15},          // "." groups digits (loosely), it does not end a number
        {".5", ",", ".", false, 0},           // a group separator cannot lead
        {"1 234,5", ",", " ", true, 1234.5},  // French
        {"1,234.5", ".", ",", true, 1234.5},  // English
        {"1,,234", ".", ",", false, 0},
        {"1,", ".", ",", false, 0},
        {"1.234", ".", "", true, 1.234},  // the C locale groups nothing
        {"1,234", ".", "", false, 0},
        {"+7", ".", "", true, 7},
        {"-", ".", "", false, 0},
        {"", ".", "", false, 0},
    };
    for (const auto& c : cases) {
        double value = 0;
        EXPECT_EQ(TryReadNumber(c.text, c.decimal, c.thousands, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
    }
    // The C locale, as the tests run.
    double value = 0;
    EXPECT_TRUE(TryReadLocaleNumber("2.5", value));
    EXPECT_DOUBLE_EQ(value, 2.5);
}

TEST(WMIVarToBool, ReadsWordsAndNumbers) {
    struct Case {
        const char* text;
        bool expected;
    } cases[] = {
        {"TRUE", true}, {"true", true},   {"True", true},   {"1", true},  {"-3", true},
        {"0.5", true},  {"FALSE", false}, {"false", false}, {"0", false}, {"0.0", false},
    };
    for (const auto& c : cases) EXPECT_EQ(WMIVarToBool(T(c.text), false), c.expected) << c.text;
    EXPECT_FALSE(WMIVarToBool(T("yes"), true));
}

TEST(WMIVarToBool, OtherTextRaisesTheConversionError) {
    for (const char* text : {"yes", "", "abc", "T"}) {
        try {
            WMIVarToBool(T(text), false);
            ADD_FAILURE() << "no error for \"" << text << '"';
        } catch (const EVariantTypeCastError& e) {
            EXPECT_STREQ(e.what(), "Could not convert variant of type (String) into type (Boolean)");
        }
    }
}

TEST(WMIVarToText, GivesTheTextUnlessNull) {
    EXPECT_EQ(WMIVarToText(T("Rev 1.02"), false), "Rev 1.02");
    EXPECT_EQ(WMIVarToText(T("Rev 1.02"), true), "");
    EXPECT_EQ(WMIVarToText(OleVariant(), false), "");
    // The caller's value is not changed.
    OleVariant value = T("x");
    WMIVarToText(value, false);
    EXPECT_EQ(value, T("x"));
}

TEST(StrToArrString, SplitsListTexts) {
    struct Case {
        const char* text;
        TArrString expected;
    } cases[] = {
        {R"({"Rev   - 1.02", "A12"})", {"Rev   - 1.02", "A12"}},
        {R"({"en|US|iso8859-1"})", {"en|US|iso8859-1"}},
        {"{abc def}", {"abc", "def"}},
        {"{a,,b}", {"a", "", "b"}},
        {"{a,}", {"a", ""}},
        {"{a, }", {"a"}},
        {R"({"say ""hi""", x})", {R"(say "hi")", "x"}},
        {R"({"a}b", "c{d"})", {"ab", "cd"}},  // braces go wherever they stand
        {R"({"open)", {"open"}},
        {R"({"a"b})", {"a", "b"}},
        {"  {  7 ,\t11 }  ", {"7", "11"}},
    };
    for (const auto& c : cases) {
        TArrString list;
        StrToArrString(c.text, list);
        EXPECT_EQ(list, c.expected) << c.text;
    }
}

TEST(StrToArrString, NoItemLeavesTheTargetAlone) {
    for (const char* text : {"{}", "", "  ", "{ }"}) {
        TArrString list = {"kept"};
        StrToArrString(text, list);
        EXPECT_EQ(list, TArrString{"kept"}) << text;
    }
}

TEST(StrToArrInteger, ReadsEachItem) {
    struct Case {
        const char* text;
        TArrInteger expected;
    } cases[] = {
        {"{7, 11, 12}", {7, 11, 12}},
        {"{7, a}", {7, -55}},
        {"{-3, +4}", {-3, 4}},
        {"{$1F, x10, 0x20, 0XfF}", {31, 16, 32, 255}},
        {"{2147483647, -2147483648}", {INT32_MAX, INT32_MIN}},
        {"{2147483648, -2147483649}", {-55, -55}},
        {"{1.5, 0x, $, -}", {-55, -55, -55, -55}},
        {"{4,}", {4, -55}},
        {R"({"5"})", {5}},
    };
    for (const auto& c : cases) {
        TArrInteger list;
        StrToArrInteger(c.text, list);
        EXPECT_EQ(list, c.expected) << c.text;
    }
    TArrInteger kept = {1};
    StrToArrInteger("{}", kept);
    EXPECT_EQ(kept, TArrInteger{1});
}

TEST(CimDate, ReadsTheDatePart) {
    struct Case {
        const char* text;
        int year, month, day;
    } cases[] = {
        {"20160315000000.000000+000", 2016, 3, 15},
        {"20140626000000.000000+000", 2014, 6, 26},
        {"18991230", 1899, 12, 30},
        {"20000229123456.000000-300", 2000, 2, 29},
        {"00010101", 1, 1, 1},
        {"99991231", 9999, 12, 31},
    };
    for (const auto& c : cases) {
        double date = CimDateToDateTime(c.text);
        int y = 0, m = 0, d = 0;
        DecodeDate(date, y, m, d);
        EXPECT_EQ(y, c.year) << c.text;
        EXPECT_EQ(m, c.month) << c.text;
        EXPECT_EQ(d, c.day) << c.text;
        EXPECT_EQ(date, static_cast<int64_t>(date)) << "time of day must be zero";
    }
    EXPECT_EQ(CimDateToDateTime("18991230"), 0);
    EXPECT_EQ(CimDateToDateTime("18991231"), 1);
    EXPECT_EQ(CimDateToDateTime("19000101"), 2);
    EXPECT_EQ(CimDateToDateTime("20160315"), 42444);
}

TEST(CimDate, BadPartsRaiseTheirErrors) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"********000000.000000+000", "'**' is not a valid integer value"},
        {"201603xx", "'xx' is not a valid integer value"},
        {"2016ab15", "'ab' is not a valid integer value"},
        {"20x60315", "'20x6' is not a valid integer value"},
        {"2016", "'' is not a valid integer value"},
        {"", "'' is not a valid integer value"},
        {"20150229", "Invalid argument to date encode"},
        {"20161301", "Invalid argument to date encode"},
        {"20160400", "Invalid argument to date encode"},
        {"00000101", "Invalid argument to date encode"},
        {"19000229", "Invalid argument to date encode"},
    };
    for (const auto& c : cases) {
        try {
            CimDateToDateTime(c.text);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.text;
        }
    }
}

TEST(CimDate, NullLeavesTheField) {
    double field = 17;
    WMIVarToDateTime(T("junk"), true, field);
    EXPECT_EQ(field, 17);
    WMIVarToDateTime(T("20160315000000.000000+000"), false, field);
    EXPECT_EQ(field, 42444);
}

TEST(LastErrorText, IsTheTrimmedMessageOfErrno) {
    errno = ENOENT;
    EXPECT_EQ(LastErrorText(), "No such file or directory");
    errno = EACCES;
    std::string text = LastErrorText();
    EXPECT_EQ(text, "Permission denied");
    errno = 0;
    text = LastErrorText();
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '.');
    EXPECT_NE(text.back(), ' ');
}

}  // namespace
