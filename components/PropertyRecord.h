#pragma once
// The pattern every component follows: a property record whose fields are
// declared once, one line each, in a list macro (see "Declaring a record"
// at the end). The list makes the members, their getters and setters, the
// decoded getters and the field table (WMI name, kind, member pointers);
// the table clears the record, fills it from the current object and lists
// and reads its properties by name.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "cimv2/core/Schema.h"
#include "wmi/CWMIBase.h"
#include "wmi/EOleException.h"
#include "wmi/UProcedures.h"

namespace components {

using wmi::TArrInteger;
using wmi::TArrString;
// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

// ---- decoders: code-to-text tables looked up by exact value

struct TCodeText {
    int64_t low;
    int64_t high;
    const char* text;
    constexpr TCodeText(int64_t code, const char* t) : low(code), high(code), text(t) {}
    // One text for a run of codes ("Reserved for BIOS vendor" for 40 to 47).
    constexpr TCodeText(int64_t first, int64_t last, const char* t) : low(first), high(last), text(t) {}
};
using TDecoder = std::span<const TCodeText>;

// Empty text for a code the table does not list.
std::string Decode(TDecoder table, int64_t code);

// ---- field descriptions

enum class TFieldKind {
    Text,
    Integer,
    Boolean,
    Real,
    Date,
    Code,         // an integer with a decoded text
    IntegerList,  // list text parsed into integers
    TextList,     // list text parsed into texts
    ListText,     // only the list's text is kept; the list and its count stay empty
    Unstored,     // read, kept nowhere: the list and its count stay empty
};

enum class TPropertyType { Text, Integer, Boolean, Real, DateTime };

struct TPropertyInfo {
    std::string name;
    TPropertyType type;
    bool operator==(const TPropertyInfo&) const = default;
};

template <typename R>
struct TFieldDef {
    using IntegerMember = std::variant<int32_t R::*, uint32_t R::*, uint8_t R::*, int64_t R::*>;

    const char* name;  // the record's property, and the WMI property unless source names another
    TFieldKind kind;
    std::string R::*text = nullptr;  // text fields and the text of lists
    IntegerMember integer{};         // integers and codes
    bool R::*boolean = nullptr;
    double R::*real = nullptr;  // reals and dates
    TArrInteger R::*integerList = nullptr;
    TArrString R::*textList = nullptr;
    int32_t R::*count = nullptr;
    TDecoder decoder{};   // codes, and the codes of a coded list
    bool ofList = false;  // a text field that keeps a list property's text
    bool ofText = false;  // an integer field that reads a text property (666 when not a number)
    // The WMI property the field is filled from when its name is not the
    // class's (Win32_Share calls ShareType "Type"); null: the same name.
    const char* source = nullptr;

    const char* Source() const { return source ? source : name; }
};

template <typename R>
TFieldDef<R> Text(const char* name, std::string R::*member, bool ofList = false) {
    TFieldDef<R> f{name, TFieldKind::Text};
    f.text = member;
    f.ofList = ofList;
    return f;
}
template <typename R, typename I>
TFieldDef<R> Integer(const char* name, I R::*member) {
    TFieldDef<R> f{name, TFieldKind::Integer};
    f.integer = member;
    return f;
}
// A text property kept as the integer reading of its text.
template <typename R, typename I>
TFieldDef<R> IntegerOfText(const char* name, I R::*member) {
    TFieldDef<R> f = Integer(name, member);
    f.ofText = true;
    return f;
}
// A text field named apart from the WMI property it is filled from.
template <typename R>
TFieldDef<R> TextAs(const char* name, const char* source, std::string R::*member) {
    TFieldDef<R> f = Text(name, member);
    f.source = source;
    return f;
}
template <typename R>
TFieldDef<R> Boolean(const char* name, bool R::*member) {
    TFieldDef<R> f{name, TFieldKind::Boolean};
    f.boolean = member;
    return f;
}
template <typename R>
TFieldDef<R> Real(const char* name, double R::*member) {
    TFieldDef<R> f{name, TFieldKind::Real};
    f.real = member;
    return f;
}
template <typename R>
TFieldDef<R> Date(const char* name, double R::*member) {
    TFieldDef<R> f{name, TFieldKind::Date};
    f.real = member;
    return f;
}
template <typename R, typename I>
TFieldDef<R> Code(const char* name, I R::*member, TDecoder decoder, const char* source = nullptr) {
    TFieldDef<R> f{name, TFieldKind::Code};
    f.integer = member;
    f.decoder = decoder;
    f.source = source;
    return f;
}
// A list of integers or texts with its count and its text (null for an
// unstored list, which keeps no text).
template <typename R, typename L>
TFieldDef<R> List(const char* name, TFieldKind kind, L R::*list, int32_t R::*count,
                  std::type_identity_t<std::string R::*> text, TDecoder decoder = {}) {
    static_assert(std::is_same_v<L, TArrInteger> || std::is_same_v<L, TArrString>);
    TFieldDef<R> f{name, kind};
    if constexpr (std::is_same_v<L, TArrInteger>) {
        f.integerList = list;
    } else {
        f.textList = list;
    }
    f.count = count;
    f.text = text;
    f.decoder = decoder;
    return f;
}

// The element at index; past the end gives the last one, a negative index
// the first, an empty list the element type's zero.
template <typename L>
typename L::value_type ListItem(const L& list, int32_t index) {
    if (list.empty()) return {};
    if (index < 0) return list.front();
    if (static_cast<size_t>(index) >= list.size()) return list.back();
    return list[static_cast<size_t>(index)];
}

// ---- what every record offers, driven by its table

class TWMIProperties {
public:
    virtual ~TWMIProperties() = default;
    // Every readable property in declaration order.
    virtual std::vector<TPropertyInfo> PropertyList() const = 0;
    // A property by name (no letter case): text, integer, boolean, real
    // (dates as days since 30 December 1899). wmi::EPropertyNotFound for a
    // name the record lacks.
    virtual wmi::OleVariant PropertyValue(std::string_view name) const = 0;
    virtual void ClearProps() = 0;
    // Reads every field from the current object of source, in table order.
    virtual void FillProps(const wmi::TWMIBase& source) = 0;
};

template <typename R>
class TPropertyRecord : public TWMIProperties {
public:
    std::vector<TPropertyInfo> PropertyList() const override {
        std::vector<TPropertyInfo> list;
        for (const auto& f : R::Fields()) {
            const std::string name = f.name;
            switch (f.kind) {
                case TFieldKind::Text:
                    list.push_back({name, TPropertyType::Text});
                    break;
                case TFieldKind::Integer:
                    list.push_back({name, TPropertyType::Integer});
                    break;
                case TFieldKind::Boolean:
                    list.push_back({name, TPropertyType::Boolean});
                    break;
                case TFieldKind::Real:
                    list.push_back({name, TPropertyType::Real});
                    break;
                case TFieldKind::Date:
                    list.push_back({name, TPropertyType::DateTime});
                    break;
                case TFieldKind::Code:
                    list.push_back({name, TPropertyType::Integer});
                    list.push_back({name + "AsString", TPropertyType::Text});
                    break;
                case TFieldKind::IntegerList:
                case TFieldKind::TextList:
                case TFieldKind::ListText:
                    list.push_back({name + "AsString", TPropertyType::Text});
                    list.push_back({name + "Count", TPropertyType::Integer});
                    break;
                case TFieldKind::Unstored:
                    list.push_back({name + "Count", TPropertyType::Integer});
                    break;
            }
        }
        return list;
    }

    wmi::OleVariant PropertyValue(std::string_view name) const override {
        const R& self = static_cast<const R&>(*this);
        const auto fields = R::Fields();
        for (size_t index = 0; index < fields.size(); ++index) {
            const auto& f = fields[index];
            const std::string base = f.name;
            switch (f.kind) {
                case TFieldKind::Text:
                    if (cimv2::EqualsNoCase(name, base)) return wmi::OleVariant::Text(self.*f.text);
                    break;
                case TFieldKind::Integer:
                case TFieldKind::Code:
                    if (cimv2::EqualsNoCase(name, base)) return wmi::OleVariant::Int(IntegerOf(self, f));
                    if (f.kind == TFieldKind::Code && cimv2::EqualsNoCase(name, base + "AsString"))
                        return wmi::OleVariant::Text(DecodedText(index, IntegerOf(self, f)));
                    break;
                case TFieldKind::Boolean:
                    if (cimv2::EqualsNoCase(name, base)) return wmi::OleVariant::Bool(self.*f.boolean);
                    break;
                case TFieldKind::Real:
                case TFieldKind::Date:
                    if (cimv2::EqualsNoCase(name, base)) return wmi::OleVariant::Real(self.*f.real);
                    break;
                case TFieldKind::IntegerList:
                case TFieldKind::TextList:
                case TFieldKind::ListText:
                case TFieldKind::Unstored:
                    if (f.text && cimv2::EqualsNoCase(name, base + "AsString"))
                        return wmi::OleVariant::Text(self.*f.text);
                    if (cimv2::EqualsNoCase(name, base + "Count")) return wmi::OleVariant::Int(self.*f.count);
                    break;
            }
        }
        throw wmi::EPropertyNotFound(std::string(name));
    }

    void ClearProps() override {
        R& self = static_cast<R&>(*this);
        FGivenCodes.clear();
        for (const auto& f : R::Fields()) {
            if (f.text) (self.*f.text).clear();
            if (f.kind == TFieldKind::Integer || f.kind == TFieldKind::Code)
                std::visit([&](auto member) { self.*member = 0; }, f.integer);
            if (f.boolean) self.*f.boolean = false;
            if (f.real) self.*f.real = 0;
            if (f.integerList) (self.*f.integerList).clear();
            if (f.textList) (self.*f.textList).clear();
            if (f.count) self.*f.count = 0;
        }
    }

    void FillProps(const wmi::TWMIBase& source) override {
        R& self = static_cast<R&>(*this);
        const auto fields = R::Fields();
        FGivenCodes.assign(fields.size(), false);
        for (size_t index = 0; index < fields.size(); ++index) {
            const auto& f = fields[index];
            wmi::OleVariant value;
            bool isNull = true;
            source.GetWMIPropertyValue(f.Source(), value, isNull);
            if (f.kind == TFieldKind::Code) FGivenCodes[index] = !isNull;
            switch (f.kind) {
                case TFieldKind::Text:
                    self.*f.text = wmi::WMIVarToText(value, isNull);
                    break;
                case TFieldKind::Integer:
                case TFieldKind::Code: {
                    const int64_t n = wmi::WMIVarToInt64(value, isNull);
                    // Narrowing keeps the low bits, as the field's width says.
                    std::visit(
                        [&](auto member) {
                            self.*member = static_cast<std::remove_cvref_t<decltype(self.*member)>>(n);
                        },
                        f.integer);
                    break;
                }
                case TFieldKind::Boolean:
                    self.*f.boolean = wmi::WMIVarToBool(value, isNull);
                    break;
                case TFieldKind::Real:
                    self.*f.real = wmi::WMIVarToFloat(value, isNull);
                    break;
                case TFieldKind::Date:
                    wmi::WMIVarToDateTime(value, isNull, self.*f.real);
                    break;
                case TFieldKind::IntegerList:
                    self.*f.text = wmi::WMIVarToText(value, isNull);
                    wmi::StrToArrInteger(self.*f.text, self.*f.integerList);
                    self.*f.count = static_cast<int32_t>((self.*f.integerList).size());
                    break;
                case TFieldKind::TextList:
                    self.*f.text = wmi::WMIVarToText(value, isNull);
                    wmi::StrToArrString(self.*f.text, self.*f.textList);
                    self.*f.count = static_cast<int32_t>((self.*f.textList).size());
                    break;
                case TFieldKind::ListText:
                    self.*f.text = wmi::WMIVarToText(value, isNull);
                    break;
                case TFieldKind::Unstored:
                    break;
            }
        }
    }

protected:
    // A code's text: empty while the object gave no code, rather than the
    // meaning of the 0 the field then holds.
    std::string DecodedText(size_t field, int64_t code) const {
        if (field >= FGivenCodes.size() || !FGivenCodes[field]) return {};
        return Decode(R::Fields()[field].decoder, code);
    }
    // A code set by the program is a given code.
    void MarkCodeGiven(size_t field) {
        if (FGivenCodes.size() < R::Fields().size()) FGivenCodes.resize(R::Fields().size(), false);
        FGivenCodes[field] = true;
    }

private:
    // Which code fields the current object gave a value.
    std::vector<bool> FGivenCodes;

    static int64_t IntegerOf(const R& self, const TFieldDef<R>& f) {
        return std::visit([&](auto member) { return static_cast<int64_t>(self.*member); }, f.integer);
    }
};

// A component of the family: the base plus one owned record, its class
// and the address of the class's reference page.
template <typename R>
class TRecordComponent : public wmi::TWMIBase {
public:
    TRecordComponent(std::string wmiClass, const std::string& msdnPath)
        : FWMIClassName(std::move(wmiClass)), FRecord(std::make_unique<R>()) {
        if (!msdnPath.empty()) SetMSDNHelp(kMSDNHost + msdnPath);
    }

    static constexpr const char* kMSDNHost = "https://msdn.microsoft.com";

    using TRecord = R;
    // The record of the current object, for readers that walk any component.
    const R& Properties() const { return *FRecord; }

protected:
    R& Record() const { return *FRecord; }
    std::string GetWMIClass() const override { return FWMIClassName; }
    std::string GetWMINamespace() const override { return "root\\cimv2"; }
    void ClearProps() override { FRecord->ClearProps(); }
    void FillProps(int32_t index) override {
        wmi::TWMIBase::FillProps(index);
        FRecord->FillProps(*this);
    }

private:
    std::string FWMIClassName;
    std::unique_ptr<R> FRecord;
};

}  // namespace components

// ---- Declaring a record
//
// A record's fields are one list macro, one line per WMI property in
// reading order; FIELD(Kind, Name, extra) where Name is the property:
//
//   FIELD(Text, Caption)                    std::string Caption(), SetCaption()
//   FIELD(TextOfList, Name)                 a list property kept as its text in a Text field
//   FIELD(Integer, ResetCount, int32_t)     kept in the type (int32_t, uint32_t, uint8_t, int64_t),
//                                           wider values narrowed to its low bits
//   FIELD(IntegerOfText, Name, int32_t)     a text property read as an integer (666 when it is
//                                           not a number)
//   FIELD(TextAs, Name, "Property")         a text field named Name, filled from the WMI
//                                           property "Property"
//   FIELD(Boolean, PrimaryBIOS)             bool
//   FIELD(Real, Speed)                      double
//   FIELD(Date, InstallDate)                TDateTime (days since 30 December 1899)
//   FIELD(Code, PowerState, kPowerState)    int32_t and PowerStateAsString() through the
//                                           TCodeText table kPowerState
//   FIELD(CodeAs, SIDType, kSIDType, uint8_t)
//                                           a Code kept in the given integer type
//   FIELD(CodeFrom, ShareType, kShareType, uint32_t, Type)
//                                           a CodeAs filled from the class's property Type
//   FIELD(IntegerList, Name)                GetName(index), NameCount(), NameAsString()
//   FIELD(CodeList, Name, kDecoder)         an IntegerList whose codes the static
//                                           GetNameAsString(code) decodes through kDecoder
//   FIELD(TextList, Name)                   as IntegerList, over texts
//   FIELD(ListText, Name, TArrString)       the same getters, but only NameAsString() is kept
//   FIELD(Unstored, Name, TArrInteger)      read and kept nowhere: GetName(index), NameCount()
//
// The header declares the list and puts SYSQUILL_RECORD(TXProperties,
// SYSQUILL_X_FIELDS) in the record's class; the source file writes
// SYSQUILL_RECORD_TABLE(TXProperties, SYSQUILL_X_FIELDS) after its decoders.

// A value field: F<Name> behind Name() and SetName().
#define SYSQUILL_PROPERTY(Type, Name)                      \
public:                                                    \
    const Type& Name() const { return F##Name; }           \
    void Set##Name(const Type& value) { F##Name = value; } \
                                                           \
private:                                                   \
    Type F##Name{};

// A list: the list behind GetName(index), its count and its text.
#define SYSQUILL_LIST(ListType, Name)                                                                      \
public:                                                                                                    \
    ListType::value_type Get##Name(int32_t index) const { return ::components::ListItem(F##Name, index); } \
    int32_t Name##Count() const { return F##Name##Count; }                                                 \
    const std::string& Name##AsString() const { return F##Name##AsString; }                                \
    void Set##Name##AsString(const std::string& value) { F##Name##AsString = value; }                      \
                                                                                                           \
private:                                                                                                   \
    ListType F##Name;                                                                                      \
    int32_t F##Name##Count = 0;                                                                            \
    std::string F##Name##AsString;

// Members and getters of one field, by kind.
#define SYSQUILL_FIELD_MEMBERS(Kind, ...) SYSQUILL_MEMBERS_##Kind(__VA_ARGS__)
#define SYSQUILL_MEMBERS_Text(Name) SYSQUILL_PROPERTY(std::string, Name)
#define SYSQUILL_MEMBERS_TextOfList(Name) SYSQUILL_PROPERTY(std::string, Name)
#define SYSQUILL_MEMBERS_Integer(Name, Type) SYSQUILL_PROPERTY(Type, Name)
#define SYSQUILL_MEMBERS_IntegerOfText(Name, Type) SYSQUILL_PROPERTY(Type, Name)
#define SYSQUILL_MEMBERS_TextAs(Name, Property) SYSQUILL_PROPERTY(std::string, Name)
#define SYSQUILL_MEMBERS_Boolean(Name) SYSQUILL_PROPERTY(bool, Name)
#define SYSQUILL_MEMBERS_Real(Name) SYSQUILL_PROPERTY(double, Name)
#define SYSQUILL_MEMBERS_Date(Name) SYSQUILL_PROPERTY(::components::TDateTime, Name)
#define SYSQUILL_MEMBERS_Code(Name, Decoder) SYSQUILL_MEMBERS_CodeAs(Name, Decoder, int32_t)
#define SYSQUILL_MEMBERS_CodeAs(Name, Decoder, Type)                                  \
public:                                                                               \
    Type Name() const { return F##Name; }                                             \
    void Set##Name(Type value) {                                                      \
        F##Name = value;                                                              \
        MarkCodeGiven(kField##Name);                                                  \
    }                                                                                 \
    std::string Name##AsString() const { return DecodedText(kField##Name, F##Name); } \
                                                                                      \
private:                                                                              \
    Type F##Name = 0;
#define SYSQUILL_MEMBERS_CodeFrom(Name, Decoder, Type, Source) SYSQUILL_MEMBERS_CodeAs(Name, Decoder, Type)
#define SYSQUILL_MEMBERS_IntegerList(Name) SYSQUILL_LIST(::components::TArrInteger, Name)
#define SYSQUILL_MEMBERS_CodeList(Name, Decoder)                           \
    SYSQUILL_LIST(::components::TArrInteger, Name)                         \
public:                                                                    \
    static std::string Get##Name##AsString(int32_t code) {                 \
        return ::components::Decode(Fields()[kField##Name].decoder, code); \
    }                                                                      \
                                                                           \
private:
#define SYSQUILL_MEMBERS_TextList(Name) SYSQUILL_LIST(::components::TArrString, Name)
#define SYSQUILL_MEMBERS_ListText(Name, ListType) SYSQUILL_LIST(ListType, Name)
#define SYSQUILL_MEMBERS_Unstored(Name, ListType)                                                          \
public:                                                                                                    \
    ListType::value_type Get##Name(int32_t index) const { return ::components::ListItem(F##Name, index); } \
    int32_t Name##Count() const { return F##Name##Count; }                                                 \
                                                                                                           \
private:                                                                                                   \
    ListType F##Name;                                                                                      \
    int32_t F##Name##Count = 0;

// A field's position in the table.
#define SYSQUILL_FIELD_INDEX(Kind, Name, ...) kField##Name,

// A field's table entry, by kind (P is the record).
#define SYSQUILL_FIELD_ENTRY(Kind, ...) SYSQUILL_ENTRY_##Kind(__VA_ARGS__),
#define SYSQUILL_ENTRY_Text(Name) ::components::Text(#Name, &P::F##Name)
#define SYSQUILL_ENTRY_TextOfList(Name) ::components::Text(#Name, &P::F##Name, true)
#define SYSQUILL_ENTRY_Integer(Name, Type) ::components::Integer(#Name, &P::F##Name)
#define SYSQUILL_ENTRY_IntegerOfText(Name, Type) ::components::IntegerOfText(#Name, &P::F##Name)
#define SYSQUILL_ENTRY_TextAs(Name, Property) ::components::TextAs(#Name, Property, &P::F##Name)
#define SYSQUILL_ENTRY_Boolean(Name) ::components::Boolean(#Name, &P::F##Name)
#define SYSQUILL_ENTRY_Real(Name) ::components::Real(#Name, &P::F##Name)
#define SYSQUILL_ENTRY_Date(Name) ::components::Date(#Name, &P::F##Name)
#define SYSQUILL_ENTRY_Code(Name, Decoder) ::components::Code(#Name, &P::F##Name, Decoder)
#define SYSQUILL_ENTRY_CodeAs(Name, Decoder, Type) ::components::Code(#Name, &P::F##Name, Decoder)
#define SYSQUILL_ENTRY_CodeFrom(Name, Decoder, Type, Source) ::components::Code(#Name, &P::F##Name, Decoder, #Source)
#define SYSQUILL_ENTRY_LIST(Kind, Name, ...) \
    ::components::List(#Name, ::components::TFieldKind::Kind, &P::F##Name, &P::F##Name##Count, __VA_ARGS__)
#define SYSQUILL_ENTRY_IntegerList(Name) SYSQUILL_ENTRY_LIST(IntegerList, Name, &P::F##Name##AsString)
#define SYSQUILL_ENTRY_CodeList(Name, Decoder) SYSQUILL_ENTRY_LIST(IntegerList, Name, &P::F##Name##AsString, Decoder)
#define SYSQUILL_ENTRY_TextList(Name) SYSQUILL_ENTRY_LIST(TextList, Name, &P::F##Name##AsString)
#define SYSQUILL_ENTRY_ListText(Name, ListType) SYSQUILL_ENTRY_LIST(ListText, Name, &P::F##Name##AsString)
#define SYSQUILL_ENTRY_Unstored(Name, ListType) SYSQUILL_ENTRY_LIST(Unstored, Name, nullptr)

// In the record's class: every field's members and getters, and Fields().
#define SYSQUILL_RECORD(Record, LIST)                                 \
    LIST(SYSQUILL_FIELD_MEMBERS)                                      \
public:                                                               \
    /* The fields in reading order. */                                \
    static std::span<const ::components::TFieldDef<Record>> Fields(); \
                                                                      \
private:                                                              \
    enum : size_t { LIST(SYSQUILL_FIELD_INDEX) };

// In the record's source file: the field table that Fields() answers.
#define SYSQUILL_RECORD_TABLE(Record, LIST)                                              \
    std::span<const ::components::TFieldDef<Record>> Record::Fields() {                  \
        using P = Record;                                                                \
        static const ::components::TFieldDef<P> fields[] = {LIST(SYSQUILL_FIELD_ENTRY)}; \
        return fields;                                                                   \
    }
