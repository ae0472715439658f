#pragma once
// The pattern every component follows: a property record whose fields are
// described by one table (WMI name, kind, member pointers). That table
// clears the record, fills it from the current object and lists and reads
// its properties by name, so a new field is one declaration and one line.
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
    Unstored,     // read, kept nowhere
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

    const char* name;  // the WMI property
    TFieldKind kind;
    std::string R::*text = nullptr;  // text fields and the text of lists
    IntegerMember integer{};         // integers and codes
    bool R::*boolean = nullptr;
    double R::*real = nullptr;  // reals and dates
    TArrInteger R::*integerList = nullptr;
    TArrString R::*textList = nullptr;
    int32_t R::*count = nullptr;
    TDecoder decoder{};
};

template <typename R>
TFieldDef<R> Text(const char* name, std::string R::*member) {
    TFieldDef<R> f{name, TFieldKind::Text};
    f.text = member;
    return f;
}
template <typename R, typename I>
TFieldDef<R> Integer(const char* name, I R::*member) {
    TFieldDef<R> f{name, TFieldKind::Integer};
    f.integer = member;
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
template <typename R>
TFieldDef<R> Code(const char* name, int32_t R::*member, TDecoder decoder) {
    TFieldDef<R> f{name, TFieldKind::Code};
    f.integer = member;
    f.decoder = decoder;
    return f;
}
template <typename R>
TFieldDef<R> IntegerList(const char* name, TArrInteger R::*list, int32_t R::*count, std::string R::*text) {
    TFieldDef<R> f{name, TFieldKind::IntegerList};
    f.integerList = list;
    f.count = count;
    f.text = text;
    return f;
}
template <typename R>
TFieldDef<R> TextList(const char* name, TArrString R::*list, int32_t R::*count, std::string R::*text) {
    TFieldDef<R> f{name, TFieldKind::TextList};
    f.textList = list;
    f.count = count;
    f.text = text;
    return f;
}
template <typename R>
TFieldDef<R> ListText(const char* name, TArrString R::*list, int32_t R::*count, std::string R::*text) {
    TFieldDef<R> f{name, TFieldKind::ListText};
    f.textList = list;
    f.count = count;
    f.text = text;
    return f;
}
// A list text without a list behind it (a count that nothing sets).
template <typename R>
TFieldDef<R> ListText(const char* name, int32_t R::*count, std::string R::*text) {
    TFieldDef<R> f{name, TFieldKind::ListText};
    f.count = count;
    f.text = text;
    return f;
}
template <typename R>
TFieldDef<R> Unstored(const char* name, TArrInteger R::*list, int32_t R::*count) {
    TFieldDef<R> f{name, TFieldKind::Unstored};
    f.integerList = list;
    f.count = count;
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
        for (const auto& f : R::Fields()) {
            const std::string base = f.name;
            switch (f.kind) {
                case TFieldKind::Text:
                    if (cimv2::EqualsNoCase(name, base)) return wmi::OleVariant::Text(self.*f.text);
                    break;
                case TFieldKind::Integer:
                case TFieldKind::Code:
                    if (cimv2::EqualsNoCase(name, base)) return wmi::OleVariant::Int(IntegerOf(self, f));
                    if (f.kind == TFieldKind::Code && cimv2::EqualsNoCase(name, base + "AsString"))
                        return wmi::OleVariant::Text(Decode(f.decoder, IntegerOf(self, f)));
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
        for (const auto& f : R::Fields()) {
            wmi::OleVariant value;
            bool isNull = true;
            source.GetWMIPropertyValue(f.name, value, isNull);
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

private:
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

// Declaration helpers for record fields: F<Name> behind Name() and SetName().
#define SYSQUILL_PROPERTY(Type, Name)                      \
public:                                                    \
    const Type& Name() const { return F##Name; }           \
    void Set##Name(const Type& value) { F##Name = value; } \
                                                           \
private:                                                   \
    Type F##Name{};

// A coded integer and its decoded text Name##AsString() (defined with the decoder).
#define SYSQUILL_CODE(Name)                            \
public:                                                \
    int32_t Name() const { return F##Name; }           \
    void Set##Name(int32_t value) { F##Name = value; } \
    std::string Name##AsString() const;                \
                                                       \
private:                                               \
    int32_t F##Name = 0;

// A list property: the list behind Get<Name>(index), its count and its text.
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
