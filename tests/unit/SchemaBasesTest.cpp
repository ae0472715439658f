// Class schemas over CIM base classes, and the strict text readers the
// classes share.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/ClassRegistry.h"

using namespace cimv2;

TEST(SchemaBases, DerivedSchemaHoldsTheChainOnceInAlphabeticalOrder) {
    const ClassSchema schema("Test_Device", CIM_LogicalDevice(),
                             {{"Zeta", CimType::UInt8}, {"Name", CimType::String, kKey}, {"alpha", CimType::String}});
    EXPECT_EQ(schema.BaseName(), "CIM_LogicalDevice");
    // 5 from CIM_ManagedSystemElement, 14 from CIM_LogicalDevice, 2 new ones.
    ASSERT_EQ(schema.Properties().size(), 21u);
    for (size_t n = 1; n < schema.Properties().size(); ++n)
        EXPECT_LT(Lower(schema.Properties()[n - 1].name), Lower(schema.Properties()[n].name));
    EXPECT_TRUE(schema.Properties()[static_cast<size_t>(schema.IndexOf("DeviceID"))].IsKey()) << "inherited key";
    EXPECT_TRUE(schema.Properties()[static_cast<size_t>(schema.IndexOf("Name"))].IsKey()) << "redefined";
    EXPECT_GE(schema.IndexOf("Caption"), 0) << "from the root of the chain";
    EXPECT_THROW(ClassSchema("Test_Twice", CIM_LogicalDevice(), {{"Zeta", CimType::UInt8}, {"zeta", CimType::UInt8}}),
                 std::logic_error);
}

// A served class derives from a CIM class (or a Win32 class over one) as
// WMI declares it: managed elements carry Caption, Description, InstallDate,
// Name and Status; settings Caption, Description and SettingID. The
// installed-program classes have no base in WMI either.
TEST(SchemaBases, EveryServedClassDerivesFromACimClass) {
    const std::set<std::string> settings = {"Win32_TimeZone", "Win32_BootConfiguration", "Win32_StartupCommand",
                                            "Win32_DisplayConfiguration"};
    const std::set<std::string> baseless = {"Win32_InstalledWin32Program", "Win32_InstalledProgramFramework"};
    for (const auto& entry : AllClasses()) {
        const std::string& name = entry.schema().Name();
        SCOPED_TRACE(name);
        EXPECT_STREQ(entry.name, name.c_str()) << "FindClass compares the entry's name";
        if (baseless.count(name)) {
            EXPECT_EQ(entry.schema().BaseName(), "");
            continue;
        }
        const std::string& base = entry.schema().BaseName();
        EXPECT_TRUE(base.rfind("CIM_", 0) == 0 || base.rfind("Win32_", 0) == 0) << base;
        if (settings.count(name)) {
            EXPECT_EQ(base, "CIM_Setting");
            for (const char* inherited : {"Caption", "Description", "SettingID"})
                EXPECT_GE(entry.schema().IndexOf(inherited), 0) << inherited;
            continue;
        }
        for (const char* inherited : {"Caption", "Description", "InstallDate", "Name", "Status"})
            EXPECT_GE(entry.schema().IndexOf(inherited), 0) << inherited;
    }
}

TEST(TextFields, NumbersAreStrict) {
    struct Case {
        const char* text;
        std::optional<uint64_t> unsignedValue;
        std::optional<int64_t> signedValue;
        std::optional<uint32_t> hex;
    };
    const Case cases[] = {
        {"42", 42, 42, 0x42},
        {" 42\n", 42, 42, 0x42},
        {"-7", std::nullopt, -7, std::nullopt},
        {"+7", std::nullopt, 7, std::nullopt},
        {"+-7", std::nullopt, std::nullopt, std::nullopt},
        {"0x8086", std::nullopt, std::nullopt, 0x8086},
        {"10de", std::nullopt, std::nullopt, 0x10de},
        {"12abc", std::nullopt, std::nullopt, 0x12abc},
        {"4 2", std::nullopt, std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt, std::nullopt},
        {"0x", std::nullopt, std::nullopt, std::nullopt},
        {"18446744073709551615", UINT64_MAX, std::nullopt, std::nullopt},
        {"18446744073709551616", std::nullopt, std::nullopt, std::nullopt},
        {"-9223372036854775808", std::nullopt, INT64_MIN, std::nullopt},
        {"123456789", 123456789, 123456789, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseUnsigned(c.text), c.unsignedValue);
        EXPECT_EQ(ParseSigned(c.text), c.signedValue);
        EXPECT_EQ(ParseHex(c.text), c.hex);
    }
    EXPECT_EQ(ParseHex("0x12345", 4), std::nullopt) << "wider than the id";
}

TEST(TextFields, KeyValueFiles) {
    const auto pairs = ParseKeyValues(
        "# os-release\nNAME=\"Debian GNU/Linux\"\nVERSION_ID='12'\n ID = debian \nbroken line\n=novalue\nEMPTY=\n");
    const std::map<std::string, std::string> expected = {
        {"NAME", "Debian GNU/Linux"}, {"VERSION_ID", "12"}, {"ID", "debian"}, {"EMPTY", ""}};
    EXPECT_EQ(pairs, expected);
}
