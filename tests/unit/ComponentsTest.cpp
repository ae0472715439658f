#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Provider.h"
#include "components/Components.h"
#include "tests/support/ComponentFakes.h"
#include "tests/support/LocalComputer.h"
#include "tests/unit/TempTree.h"

using namespace components;
using namespace compfake;
using cimv2::CimType;
using cimv2::Instance;
using cimv2::Value;
using wmi::OleVariant;

namespace {

Value Texts(std::vector<std::string> items) {
    std::vector<Value> values;
    for (auto& item : items) values.push_back(Value::Text(std::move(item)));
    return Value::Array(std::move(values));
}

Value Codes(std::vector<uint64_t> items) {
    std::vector<Value> values;
    for (auto item : items) values.push_back(Value::UInt(item));
    return Value::Array(std::move(values));
}

Instance SampleBios() {
    Instance bios(cimv2::Win32_BIOSSchema());
    bios.Set("BiosCharacteristics", Codes({4, 7, 9}));
    bios.Set("BIOSVersion", Texts({"Rev   - 1.02", "A12"}));
    bios.Set("ListOfLanguages", Texts({"en|US|iso8859-1", "fr|FR|iso8859-1"}));
    bios.SetText("Caption", "1.02");
    bios.SetText("Manufacturer", "To Be Filled By O.E.M.");
    bios.SetText("Name", "1.02");
    bios.SetText("ReleaseDate", "20140626000000.000000+000");
    bios.SetBool("PrimaryBIOS", true);
    bios.SetBool("SMBIOSPresent", true);
    bios.Set("SMBIOSMajorVersion", Value::UInt(3));
    bios.Set("SMBIOSMinorVersion", Value::UInt(2));
    bios.Set("InstallableLanguages", Value::UInt(2));
    bios.SetText("SoftwareElementID", "1.02");
    bios.Set("SoftwareElementState", Value::UInt(3));
    bios.Set("TargetOperatingSystem", Value::UInt(36));
    bios.SetText("Version", "ALASKA - 1072009");
    bios.SetText("Status", "OK");
    return bios;
}

class BiosTest : public ::testing::Test {
protected:
    BiosTest() : host(std::make_shared<FakeBackend>(cimv2::Win32_BIOSSchema())) { bios.SetHost(FakeHost::kName); }
    FakeHost host;
    TBiosInfo bios;
};

TEST_F(BiosTest, FamilyMembership) {
    EXPECT_EQ(bios.WMIClass(), "Win32_Bios");
    EXPECT_EQ(bios.MSDNHelp(), "https://msdn.microsoft.com/en-us/library/aa394077(VS.85).aspx");
    TComputerSystemInfo computer;
    EXPECT_EQ(computer.WMIClass(), "Win32_ComputerSystem");
    EXPECT_EQ(computer.MSDNHelp(), "https://msdn.microsoft.com/en-us/library/aa394102(VS.85).aspx");
}

TEST_F(BiosTest, FillsTheRecordFromTheFirstObject) {
    host.Backend().instances = {SampleBios()};
    bios.SetActive(true);
    const TBiosProperties& p = bios.BiosProperties();
    EXPECT_EQ(p.BiosCharacteristicsAsString(), "{4, 7, 9}");
    EXPECT_EQ(p.BiosCharacteristicsCount(), 3);
    EXPECT_EQ(p.GetBiosCharacteristics(0), 4);
    EXPECT_EQ(p.GetBiosCharacteristics(1), 7);
    EXPECT_EQ(p.GetBiosCharacteristics(10), 9);
    EXPECT_EQ(p.BIOSVersionCount(), 2);
    EXPECT_EQ(p.GetBIOSVersion(0), "Rev   - 1.02");
    EXPECT_EQ(p.GetBIOSVersion(1), "A12");
    EXPECT_EQ(p.BIOSVersionAsString(), "{\"Rev   - 1.02\", \"A12\"}");
    EXPECT_EQ(p.ListOfLanguagesCount(), 2);
    EXPECT_EQ(p.GetListOfLanguages(1), "fr|FR|iso8859-1");
    EXPECT_EQ(p.Manufacturer(), "To Be Filled By O.E.M.");
    EXPECT_EQ(p.ReleaseDate(), wmi::EncodeDate(2014, 6, 26));
    EXPECT_EQ(p.InstallDate(), 0);
    EXPECT_TRUE(p.PrimaryBIOS());
    EXPECT_TRUE(p.SMBIOSPresent());
    EXPECT_EQ(p.SMBIOSMajorVersion(), 3);
    EXPECT_EQ(p.SMBIOSMinorVersion(), 2);
    EXPECT_EQ(p.InstallableLanguages(), 2);
    EXPECT_EQ(p.SoftwareElementStateAsString(), "Running");
    EXPECT_EQ(p.TargetOperatingSystem(), 36);
    EXPECT_EQ(p.TargetOperatingSystemAsString(), "LINUX");
    EXPECT_EQ(p.Version(), "ALASKA - 1072009");
    EXPECT_EQ(p.BuildNumber(), "");
    EXPECT_EQ(bios.ComponentCaption(), "1.02");
}

TEST_F(BiosTest, AbsentListsAreEmpty) {
    Instance bare(cimv2::Win32_BIOSSchema());
    bare.SetText("Name", "bare");
    host.Backend().instances = {bare};
    bios.SetActive(true);
    const TBiosProperties& p = bios.BiosProperties();
    EXPECT_EQ(p.BiosCharacteristicsAsString(), "");
    EXPECT_EQ(p.BiosCharacteristicsCount(), 0);
    EXPECT_EQ(p.BIOSVersionCount(), 0);
    EXPECT_EQ(p.GetBIOSVersion(0), "");  // no element: the empty value, not a crash
    EXPECT_EQ(p.GetBiosCharacteristics(-1), 0);
    EXPECT_FALSE(p.PrimaryBIOS());
    EXPECT_EQ(p.ReleaseDate(), 0);
}

TEST_F(BiosTest, TheRecordNeverMixesTwoObjects) {
    Instance second(cimv2::Win32_BIOSSchema());
    second.SetText("Name", "second");
    host.Backend().instances = {SampleBios(), second};
    bios.SetActive(true);
    bios.SetObjectIndex(2);
    const TBiosProperties& p = bios.BiosProperties();
    EXPECT_EQ(p.Name(), "second");
    EXPECT_EQ(p.BIOSVersionCount(), 0);
    EXPECT_EQ(p.ReleaseDate(), 0);
    EXPECT_EQ(p.Manufacturer(), "");
}

// Every property the record lists reads back its absent value after a
// deactivation, the same as on a fresh record.
TEST_F(BiosTest, DeactivationClearsEveryListedField) {
    host.Backend().instances = {SampleBios()};
    bios.SetActive(true);
    const TBiosProperties fresh;
    const auto list = fresh.PropertyList();
    int differing = 0;
    for (const auto& info : list)
        differing += bios.BiosProperties().PropertyValue(info.name) == fresh.PropertyValue(info.name) ? 0 : 1;
    EXPECT_GE(differing, 20) << "the sample should touch most fields";
    bios.SetActive(false);
    for (const auto& info : list)
        EXPECT_EQ(bios.BiosProperties().PropertyValue(info.name), fresh.PropertyValue(info.name)) << info.name;
}

TEST_F(BiosTest, ABadDateEndsTheFillPartWay) {
    Instance bad = SampleBios();
    bad.SetText("ReleaseDate", "2014**26000000.000000+000");
    host.Backend().instances = {bad};
    try {
        bios.SetActive(true);
        FAIL() << "no error";
    } catch (const wmi::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'**' is not a valid integer value");
    }
    const TBiosProperties& p = bios.BiosProperties();
    EXPECT_TRUE(p.PrimaryBIOS()) << "read before the date";
    EXPECT_EQ(p.Manufacturer(), "To Be Filled By O.E.M.");
    EXPECT_EQ(p.SMBIOSMajorVersion(), 0) << "read after the date";
    EXPECT_EQ(p.Version(), "");
    EXPECT_TRUE(bios.Active());
}

TEST(BiosRecord, ListedAndReadByName) {
    TBiosProperties p;
    const auto list = p.PropertyList();
    std::vector<std::string> names;
    for (const auto& info : list) names.push_back(info.name);
    const std::vector<std::string> head = {
        "BiosCharacteristicsAsString", "BiosCharacteristicsCount", "BIOSVersionAsString", "BIOSVersionCount",
        "ListOfLanguagesAsString",     "ListOfLanguagesCount",     "BuildNumber",         "Caption"};
    ASSERT_GE(names.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + head.size()), head);
    EXPECT_EQ(names.size(), 32u);
    EXPECT_EQ(names.back(), "Version");
    const TPropertyInfo expected[] = {
        {"InstallDate", TPropertyType::DateTime},
        {"PrimaryBIOS", TPropertyType::Boolean},
        {"SMBIOSMajorVersion", TPropertyType::Integer},
        {"TargetOperatingSystem", TPropertyType::Integer},
        {"TargetOperatingSystemAsString", TPropertyType::Text},
        {"SoftwareElementStateAsString", TPropertyType::Text},
    };
    for (const auto& e : expected) EXPECT_NE(std::find(list.begin(), list.end(), e), list.end()) << e.name;

    p.SetManufacturer("Acme");
    p.SetTargetOperatingSystem(36);
    p.SetPrimaryBIOS(true);
    p.SetInstallDate(42444);
    EXPECT_EQ(p.PropertyValue("Manufacturer"), OleVariant::Text("Acme"));
    EXPECT_EQ(p.PropertyValue("manufacturer"), OleVariant::Text("Acme"));
    EXPECT_EQ(p.PropertyValue("TargetOperatingSystem"), OleVariant::Int(36));
    EXPECT_EQ(p.PropertyValue("TargetOperatingSystemAsString"), OleVariant::Text("LINUX"));
    EXPECT_EQ(p.PropertyValue("PrimaryBIOS"), OleVariant::Bool(true));
    EXPECT_EQ(p.PropertyValue("InstallDate"), OleVariant::Real(42444));
    EXPECT_EQ(p.PropertyValue("BIOSVersionCount"), OleVariant::Int(0));
    EXPECT_THROW(p.PropertyValue("Vendor"), wmi::EPropertyNotFound);
    EXPECT_THROW(p.PropertyValue("BIOSVersion"), wmi::EPropertyNotFound);
}

// ---- every component against its provider class

int CimWidth(CimType type) {
    switch (type) {
        case CimType::SInt8:
        case CimType::UInt8:
            return 1;
        case CimType::SInt16:
        case CimType::UInt16:
        case CimType::Char16:
            return 2;
        case CimType::SInt32:
        case CimType::UInt32:
            return 4;
        case CimType::SInt64:
        case CimType::UInt64:
            return 8;
        default:
            return 0;
    }
}

bool IsIntegerType(CimType type) { return cimv2::IsSignedInteger(type) || cimv2::IsUnsignedInteger(type); }
bool IsTextType(CimType type) { return type == CimType::String || type == CimType::DateTime; }

// Whether a field of this kind can hold the property: texts for strings and
// date-times, integers and codes for integer types at least as wide as the
// property's, lists for arrays of their element type.
template <typename R>
bool FieldFits(const TFieldDef<R>& f, const cimv2::PropertyDef& p) {
    switch (f.kind) {
        case TFieldKind::Text:
            return p.IsArray() == f.ofList && IsTextType(p.type);
        case TFieldKind::Integer:
        case TFieldKind::Code: {
            if (f.ofText) return !p.IsArray() && IsTextType(p.type);
            const int width = std::visit(
                [](auto member) { return static_cast<int>(sizeof(std::remove_cvref_t<decltype(R{}.*member)>)); },
                f.integer);
            return !p.IsArray() && IsIntegerType(p.type) && width >= CimWidth(p.type);
        }
        case TFieldKind::Boolean:
            return !p.IsArray() && p.type == CimType::Boolean;
        case TFieldKind::Real:
            return !p.IsArray() && (p.type == CimType::Real32 || p.type == CimType::Real64);
        case TFieldKind::Date:
            return !p.IsArray() && p.type == CimType::DateTime;
        case TFieldKind::ListText:
            // Only the text is kept, so a class may give it as one text
            // (Win32_StartupCommand's UserSID).
            if (!p.IsArray()) return !f.integerList && IsTextType(p.type);
            return f.integerList ? IsIntegerType(p.type) : IsTextType(p.type);
        case TFieldKind::IntegerList:
        case TFieldKind::TextList:
        case TFieldKind::Unstored:
            return p.IsArray() && (f.integerList ? IsIntegerType(p.type) : IsTextType(p.type));
    }
    return false;
}

// A value worth keeping: not null, not empty, not zero, not false.
bool HasValue(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Null:
            return false;
        case Value::Kind::Text:
            return !v.text.empty();
        case Value::Kind::Int:
            return v.i != 0;
        case Value::Kind::UInt:
            return v.u != 0;
        case Value::Kind::Real:
            return v.r != 0;
        case Value::Kind::Bool:
            return v.b;
        case Value::Kind::Array:
            return !v.items.empty();
    }
    return false;
}

// Whether the record keeps something other than the cleared value in the
// field; an unstored field keeps nothing by its declaration.
template <typename R>
bool FieldFilled(const R& r, const TFieldDef<R>& f) {
    switch (f.kind) {
        case TFieldKind::Text:
        case TFieldKind::ListText:
            return !(r.*f.text).empty();
        case TFieldKind::Integer:
        case TFieldKind::Code:
            return std::visit([&](auto member) { return r.*member != 0; }, f.integer);
        case TFieldKind::Boolean:
            return r.*f.boolean;
        case TFieldKind::Real:
        case TFieldKind::Date:
            return r.*f.real != 0;
        case TFieldKind::IntegerList:
            return !(r.*f.text).empty() && r.*f.count > 0 && !(r.*f.integerList).empty();
        case TFieldKind::TextList:
            return !(r.*f.text).empty() && r.*f.count > 0 && !(r.*f.textList).empty();
        case TFieldKind::Unstored:
            return true;
    }
    return false;
}

// One value of the property's type that no field may leave at its cleared value.
Value SampleValue(const cimv2::PropertyDef& p) {
    Value one;
    if (p.type == CimType::Boolean) {
        one = Value::Bool(true);
    } else if (p.type == CimType::DateTime) {
        one = Value::Text("20240131101500.000000+000");
    } else if (p.type == CimType::Real32 || p.type == CimType::Real64) {
        one = Value::Real(2.5);
    } else if (IsIntegerType(p.type)) {
        one = Value::UInt(7);
    } else {
        one = Value::Text("sample " + p.name);
    }
    return p.IsArray() ? Value::Array({one, one}) : one;
}

// A field that the record declares as naming no property of its class
// (a record may keep the fields of a related class, which stay cleared).
template <typename R>
bool NotOfItsClass(std::string_view name) {
    if constexpr (requires { R::kNotOfItsClass; }) {
        for (const char* own : R::kNotOfItsClass)
            if (name == own) return true;
    }
    return false;
}

// Reads every instance through the component as the fake host serves
// them, and checks that each field with a value in its instance is filled.
template <typename C>
void CheckFilled(const cimv2::ClassSchema& schema, const std::vector<Instance>& instances, const std::string& source) {
    using R = typename C::TRecord;
    FakeHost host(std::make_shared<FakeBackend>(schema));
    host.Backend().instances = instances;
    C component;
    component.SetHost(FakeHost::kName);
    component.SetActive(true);
    ASSERT_EQ(component.ObjectsCount(), static_cast<int32_t>(instances.size())) << source;
    for (size_t n = 0; n < instances.size(); ++n) {
        component.SetObjectIndex(static_cast<int32_t>(n + 1));
        for (const auto& f : R::Fields()) {
            if (NotOfItsClass<R>(f.name)) {
                EXPECT_FALSE(FieldFilled(component.Properties(), f)) << source << ": " << f.name << " is not cleared";
                continue;
            }
            if (!HasValue(instances[n].Get(f.Source()))) continue;
            EXPECT_TRUE(FieldFilled(component.Properties(), f))
                << source << " object " << n + 1 << ": " << f.name << " = " << instances[n].Get(f.Source()).ToText();
        }
    }
}

template <typename C>
void CheckComponent() {
    using R = typename C::TRecord;
    const C component;
    const std::string className = component.WMIClass();
    SCOPED_TRACE(className);
    const cimv2::ClassEntry* entry = cimv2::FindClass(className);
    ASSERT_NE(entry, nullptr) << "the provider serves no class " << className;
    const cimv2::ClassSchema& schema = entry->schema();

    std::set<std::string> names;
    Instance sample(schema);
    for (const auto& f : R::Fields()) {
        EXPECT_TRUE(names.insert(cimv2::Lower(f.name)).second) << f.name << " declared twice";
        const int index = schema.IndexOf(f.Source());
        if (NotOfItsClass<R>(f.name)) {
            // Declared as the record's own: it must really be missing from the class.
            EXPECT_LT(index, 0) << f.name << " is a property of " << schema.Name();
            continue;
        }
        ASSERT_GE(index, 0) << f.Source() << " is no property of " << schema.Name();
        const cimv2::PropertyDef& property = schema.Properties()[static_cast<size_t>(index)];
        EXPECT_TRUE(FieldFits(f, property))
            << f.name << " cannot hold " << cimv2::CimTypeName(property.type) << (property.IsArray() ? "[]" : "");
        sample.Set(f.Source(), SampleValue(property));
    }
    CheckFilled<C>(schema, {sample}, "every property set");

    const cimv2::ProviderContext saved = wmi::LocalContext();
    for (const auto& machine : std::filesystem::directory_iterator(SYSQUILL_FIXTURES)) {
        if (!std::filesystem::is_directory(machine.path() / "tree")) continue;
        cimv2::ProviderContext context = saved;
        context.root = cimv2::SystemRoot((machine.path() / "tree").string());
        CheckFilled<C>(schema, cimv2::Provider(context).ExecQuery("SELECT * FROM " + schema.Name()).instances,
                       machine.path().filename().string());
    }
}

template <typename... C>
void CheckEveryComponent(TComponentList<C...>) {
    (CheckComponent<C>(), ...);
}

template <typename... C>
constexpr size_t CountOf(TComponentList<C...>) {
    return sizeof...(C);
}

// Each record field of every component names a property of its class with a
// type the field can hold, and is filled whenever the object read has a value
// for it: from an object with every property set and from every captured machine.
TEST(Components, EveryFieldNamesAPropertyOfItsClassAndIsFilled) {
    CheckEveryComponent(TAllComponents{});
    EXPECT_EQ(TBiosProperties::Fields().size(), 27u);
    EXPECT_EQ(TComputerSystemProperties::Fields().size(), 58u);
}

// Every component header of components/ is in the list the walk uses.
TEST(Components, EveryOneIsListed) {
    const std::filesystem::path folder = std::filesystem::path(SYSQUILL_SOURCE_DIR) / "components";
    std::ifstream listFile(folder / "Components.h");
    std::stringstream list;
    list << listFile.rdbuf();
    size_t components = 0;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        if (file.path().extension() != ".h" || file.path().filename() == "PropertyRecord.h") continue;
        std::ifstream in(file.path());
        std::stringstream text;
        text << in.rdbuf();
        if (text.str().find(": public TRecordComponent<") == std::string::npos) continue;
        ++components;
        EXPECT_NE(list.str().find("#include \"components/" + file.path().filename().string() + "\""), std::string::npos)
            << file.path().filename() << " is not in components/Components.h";
    }
    EXPECT_EQ(CountOf(TAllComponents{}), components) << "TAllComponents misses a component";
}

TEST(BiosDecoders, EdgeValues) {
    struct Case {
        int32_t code;
        const char* os;
        const char* state;
        const char* characteristic;
    } cases[] = {
        {-1, "", "", ""},
        {0, "Unknown", "Deployable", "Reserved"},
        {3, "ATTUNIX", "Running", "BIOS Characteristics Not Supported"},
        {4, "DGUX", "", "ISA is supported"},
        {36, "LINUX", "", "LS-120 boot is supported"},
        {39, "VM/ESA", "", "Smart Battery is supported"},
        {40, "Interactive UNIX", "", "Reserved for BIOS vendor"},
        {45, "OS9", "", "Reserved for BIOS vendor"},
        {47, "Inferno", "", "Reserved for BIOS vendor"},
        {48, "QNX", "", "Reserved for system vendor"},
        {61, "TPF", "", "Reserved for system vendor"},
        {62, "", "", "Reserved for system vendor"},
        {63, "", "", "Reserved for system vendor"},
        {64, "", "", ""},
        {INT32_MIN, "", "", ""},
    };
    TBiosProperties p;
    for (const auto& c : cases) {
        p.SetTargetOperatingSystem(c.code);
        p.SetSoftwareElementState(c.code);
        EXPECT_EQ(p.TargetOperatingSystemAsString(), c.os) << c.code;
        EXPECT_EQ(p.SoftwareElementStateAsString(), c.state) << c.code;
        EXPECT_EQ(TBiosProperties::GetBiosCharacteristicsAsString(c.code), c.characteristic) << c.code;
    }
    EXPECT_EQ(TBiosProperties::GetBiosCharacteristicsAsString(33), "USB Legacy is supported");
    EXPECT_EQ(TBiosProperties::GetBiosCharacteristicsAsString(20),
              "Int 13h - Japanese Floppy for NEC 9800 1.2mb (3.5, 1k Bytes/Sector, 360 RPM) is supported");
}

TEST(ComputerSystemDecoders, EdgeValues) {
    using P = TComputerSystemProperties;
    struct Case {
        const char* what;
        void (P::*set)(int32_t);
        std::string (P::*get)() const;
        int32_t code;
        const char* text;
    } cases[] = {
        {"AdminPasswordStatus", &P::SetAdminPasswordStatus, &P::AdminPasswordStatusAsString, 0, "Disabled"},
        {"AdminPasswordStatus", &P::SetAdminPasswordStatus, &P::AdminPasswordStatusAsString, 3, "Unknown"},
        {"AdminPasswordStatus", &P::SetAdminPasswordStatus, &P::AdminPasswordStatusAsString, 4, ""},
        {"FrontPanelResetStatus", &P::SetFrontPanelResetStatus, &P::FrontPanelResetStatusAsString, 2,
         "Not Implemented"},
        {"FrontPanelResetStatus", &P::SetFrontPanelResetStatus, &P::FrontPanelResetStatusAsString, 4, ""},
        {"KeyboardPasswordStatus", &P::SetKeyboardPasswordStatus, &P::KeyboardPasswordStatusAsString, 1, "Enabled"},
        {"KeyboardPasswordStatus", &P::SetKeyboardPasswordStatus, &P::KeyboardPasswordStatusAsString, -1, ""},
        {"PowerOnPasswordStatus", &P::SetPowerOnPasswordStatus, &P::PowerOnPasswordStatusAsString, 3, "Unknown"},
        {"PowerOnPasswordStatus", &P::SetPowerOnPasswordStatus, &P::PowerOnPasswordStatusAsString, 4, ""},
        {"BootOptionOnLimit", &P::SetBootOptionOnLimit, &P::BootOptionOnLimitAsString, 0, ""},
        {"BootOptionOnLimit", &P::SetBootOptionOnLimit, &P::BootOptionOnLimitAsString, 1, "Reserved"},
        {"BootOptionOnLimit", &P::SetBootOptionOnLimit, &P::BootOptionOnLimitAsString, 4, "Do Not Reboot"},
        {"BootOptionOnLimit", &P::SetBootOptionOnLimit, &P::BootOptionOnLimitAsString, 5, ""},
        {"BootOptionOnWatchDog", &P::SetBootOptionOnWatchDog, &P::BootOptionOnWatchDogAsString, 2, "Operating System"},
        {"BootOptionOnWatchDog", &P::SetBootOptionOnWatchDog, &P::BootOptionOnWatchDogAsString, 3, "System Utilities"},
        {"ChassisBootupState", &P::SetChassisBootupState, &P::ChassisBootupStateAsString, 3, "Safes"},
        {"ChassisBootupState", &P::SetChassisBootupState, &P::ChassisBootupStateAsString, 6, "Nonrecoverable"},
        {"ChassisBootupState", &P::SetChassisBootupState, &P::ChassisBootupStateAsString, 0, ""},
        {"ThermalState", &P::SetThermalState, &P::ThermalStateAsString, 3, "Safe"},
        {"ThermalState", &P::SetThermalState, &P::ThermalStateAsString, 7, ""},
        {"PowerSupplyState", &P::SetPowerSupplyState, &P::PowerSupplyStateAsString, 3, "Safe"},
        {"PowerSupplyState", &P::SetPowerSupplyState, &P::PowerSupplyStateAsString, 1, "Other"},
        {"DomainRole", &P::SetDomainRole, &P::DomainRoleAsString, 0, "Standalone Workstation"},
        {"DomainRole", &P::SetDomainRole, &P::DomainRoleAsString, 5, "Primary Domain Controller"},
        {"DomainRole", &P::SetDomainRole, &P::DomainRoleAsString, 6, ""},
        {"PCSystemType", &P::SetPCSystemType, &P::PCSystemTypeAsString, 0, "Unspecified"},
        {"PCSystemType", &P::SetPCSystemType, &P::PCSystemTypeAsString, 5,
         "Small Office and Home Office (SOHO) Server"},
        {"PCSystemType", &P::SetPCSystemType, &P::PCSystemTypeAsString, 8, "Maximum"},
        {"PCSystemType", &P::SetPCSystemType, &P::PCSystemTypeAsString, 9, ""},
        {"PowerState", &P::SetPowerState, &P::PowerStateAsString, 0, "Unknown"},
        {"PowerState", &P::SetPowerState, &P::PowerStateAsString, 7, "Power Save - Warning"},
        {"PowerState", &P::SetPowerState, &P::PowerStateAsString, 8, ""},
        {"ResetCapability", &P::SetResetCapability, &P::ResetCapabilityAsString, 5, "Nonrecoverable"},
        {"ResetCapability", &P::SetResetCapability, &P::ResetCapabilityAsString, 0, ""},
        {"WakeUpType", &P::SetWakeUpType, &P::WakeUpTypeAsString, 0, "Reserved"},
        {"WakeUpType", &P::SetWakeUpType, &P::WakeUpTypeAsString, 7, "PCI PME#"},
        {"WakeUpType", &P::SetWakeUpType, &P::WakeUpTypeAsString, 8, "AC Power Restored"},
        {"WakeUpType", &P::SetWakeUpType, &P::WakeUpTypeAsString, 9, ""},
    };
    P p;
    for (const auto& c : cases) {
        (p.*c.set)(c.code);
        EXPECT_EQ((p.*c.get)(), c.text) << c.what << ' ' << c.code;
        // The listing decodes through the same table.
        EXPECT_EQ(p.PropertyValue(std::string(c.what) + "AsString"), OleVariant::Text(c.text)) << c.what;
    }
}

// A computer system schema with wider types than the provider's, to feed
// values the record must narrow or refuse.
const cimv2::ClassSchema& LooseComputerSystemSchema() {
    static const cimv2::ClassSchema schema("Win32_ComputerSystem",
                                           {
                                               {"AdminPasswordStatus", CimType::UInt16},
                                               {"AutomaticManagedPagefile", CimType::String},
                                               {"Caption", CimType::String},
                                               {"CurrentTimeZone", CimType::SInt16},
                                               {"Name", CimType::String, cimv2::kKey},
                                               {"NumberOfProcessors", CimType::UInt64},
                                               {"OEMStringArray", CimType::String, cimv2::kArray},
                                               {"PauseAfterReset", CimType::SInt64},
                                               {"PowerManagementCapabilities", CimType::UInt16, cimv2::kArray},
                                               {"SystemStartupSetting", CimType::UInt32},
                                               {"TotalPhysicalMemory", CimType::UInt64},
                                           });
    return schema;
}

TEST(ComputerSystemRecord, WidthsAndTextOnlyLists) {
    FakeHost host(std::make_shared<FakeBackend>(LooseComputerSystemSchema()));
    Instance cs(LooseComputerSystemSchema());
    cs.SetText("Name", "box");
    cs.SetText("AutomaticManagedPagefile", "TRUE");
    cs.SetInt("CurrentTimeZone", -300);
    cs.Set("NumberOfProcessors", Value::UInt(4294967295u));
    cs.Set("OEMStringArray", Texts({"Board rev 2", "x"}));
    cs.SetInt("PauseAfterReset", -1);
    cs.Set("PowerManagementCapabilities", Codes({1, 4}));
    cs.Set("SystemStartupSetting", Value::UInt(0x1234));
    cs.Set("TotalPhysicalMemory", Value::UInt(17179869184ull));
    host.Backend().instances = {cs};

    TComputerSystemInfo computer;
    computer.SetHost(FakeHost::kName);
    computer.SetActive(true);
    const TComputerSystemProperties& p = computer.ComputerSystemProperties();
    EXPECT_TRUE(p.AutomaticManagedPagefile());
    EXPECT_EQ(p.CurrentTimeZone(), -300);
    EXPECT_EQ(p.NumberOfProcessors(), 4294967295u);
    EXPECT_EQ(p.TotalPhysicalMemory(), 17179869184ll);
    EXPECT_EQ(p.PauseAfterReset(), -1);
    EXPECT_EQ(p.SystemStartupSetting(), 0x34) << "only the low 8 bits";
    EXPECT_EQ(p.OEMStringArrayAsString(), "{\"Board rev 2\", \"x\"}");
    EXPECT_EQ(p.OEMStringArrayCount(), 0) << "only the text of this list is kept";
    EXPECT_EQ(p.PowerManagementCapabilitiesCount(), 0);
    EXPECT_EQ(p.OEMLogoBitmapCount(), 0);
    EXPECT_EQ(p.AdminPasswordStatus(), 0) << "absent code reads 0";
    EXPECT_EQ(p.AdminPasswordStatusAsString(), "") << "and has no meaning";
    EXPECT_EQ(p.WakeUpTypeAsString(), "");
}

TEST(ComputerSystemRecord, ABadBooleanEndsTheFill) {
    FakeHost host(std::make_shared<FakeBackend>(LooseComputerSystemSchema()));
    Instance cs(LooseComputerSystemSchema());
    cs.Set("AdminPasswordStatus", Value::UInt(1));
    cs.SetText("AutomaticManagedPagefile", "maybe");
    cs.SetText("Caption", "BOX");
    host.Backend().instances = {cs};
    TComputerSystemInfo computer;
    computer.SetHost(FakeHost::kName);
    EXPECT_THROW(computer.SetActive(true), wmi::EVariantTypeCastError);
    EXPECT_EQ(computer.ComputerSystemProperties().AdminPasswordStatus(), 1);
    EXPECT_EQ(computer.ComputerSystemProperties().Caption(), "");
}

// ---- Rename through the real provider, with recording actions

class RenameTest : public ::testing::Test {
protected:
    RenameTest() {
        tree.File("/proc/sys/kernel/hostname", "oldname\n");
        cimv2::ProviderContext context;
        context.root = cimv2::SystemRoot(tree.Dir());
        context.actions = &actions;
        local.Use(context);
    }

    testsupport::LocalComputer local;
    TempTree tree;
    RecordingActions actions;
    NoticeRecorder notices;
    TComputerSystemInfo computer;
};

// A rename that ran nothing never answers 0, success.
constexpr int32_t kNothingRanCode = static_cast<int32_t>(components::kNothingRan);

TEST_F(RenameTest, RenamesTheSelectedComputer) {
    computer.SetActive(true);
    ASSERT_EQ(computer.ObjectsCount(), 1);
    EXPECT_EQ(computer.ComputerSystemProperties().Name(), "oldname");
    struct Case {
        const char* keyName;
        const char* keyValue;
        uint32_t answer;
        int32_t result;
        bool called;
    } cases[] = {
        {"", "", 0, 0, true},
        {"Name", "oldname", 0, 0, true},
        {"Name", "OLDNAME", 5, 5, true},  // WQL compares without letter case
        {"Name", "other", 0, kNothingRanCode, false},
        {"Name", "oldname\" OR Name<>\"", 0, kNothingRanCode, false},
        {"", "", 1062, 1062, true},
    };
    for (const auto& c : cases) {
        actions.hostNames.clear();
        actions.answer = c.answer;
        EXPECT_EQ(computer.Rename(c.keyName, OleVariant::Text(c.keyValue), "newname", "secret", "admin"), c.result)
            << c.keyName << '=' << c.keyValue;
        EXPECT_EQ(actions.hostNames, c.called ? std::vector<std::string>{"newname"} : std::vector<std::string>{})
            << c.keyName << '=' << c.keyValue;
    }
    EXPECT_TRUE(notices.texts.empty());
}

TEST_F(RenameTest, InactiveComponentWarnsAndSendsNothing) {
    EXPECT_EQ(computer.Rename("", OleVariant(), "newname", "", ""), kNothingRanCode);
    EXPECT_EQ(notices.texts, std::vector<std::string>{wmi::kWarnNotActive});
    EXPECT_TRUE(actions.hostNames.empty());
    computer.SetActive(true);
    computer.SetActive(false);
    EXPECT_EQ(computer.Rename("", OleVariant(), "newname", "", ""), kNothingRanCode);
    EXPECT_EQ(notices.texts.size(), 2u);
    EXPECT_TRUE(actions.hostNames.empty());
}

}  // namespace
