#include "cimv2/core/Schema.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "cimv2/core/CimBases.h"

namespace cimv2 {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

namespace {

unsigned char Folded(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u | 0x20) : u;
}

// Alphabetical without regard to (ASCII) case: the order of a class's
// properties, and of the index that finds them by name.
bool NoCaseLess(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (Folded(a[i]) != Folded(b[i])) return Folded(a[i]) < Folded(b[i]);
    return a.size() < b.size();
}

bool NameLess(const PropertyDef& a, const PropertyDef& b) { return NoCaseLess(a.name, b.name); }

}  // namespace

// ASCII only, as NoCaseLess: the names are ASCII, and the C library's
// tolower would make the two disagree in an 8-bit locale.
bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Folded(x) == Folded(y); });
}

ClassSchema::ClassSchema(std::string name, std::vector<PropertyDef> properties, std::vector<MethodDef> methods)
    : FName(std::move(name)), FProperties(std::move(properties)), FMethods(std::move(methods)) {
    IndexProperties();
}

ClassSchema::ClassSchema(std::string name, const BaseClass& base, std::vector<PropertyDef> own,
                         std::vector<MethodDef> methods)
    : FName(std::move(name)), FBaseName(base.name), FMethods(std::move(methods)) {
    // The class's own properties may not repeat one another...
    std::vector<std::string_view> ownNames;
    ownNames.reserve(own.size());
    for (const auto& p : own) ownNames.push_back(p.name);
    // (The declarations are written in order; sorting is for the odd one
    // that is not.)
    if (!std::is_sorted(ownNames.begin(), ownNames.end(), NoCaseLess))
        std::sort(ownNames.begin(), ownNames.end(), NoCaseLess);
    for (size_t n = 1; n < ownNames.size(); ++n)
        if (EqualsNoCase(ownNames[n - 1], ownNames[n]))
            throw std::logic_error("duplicate property " + std::string(ownNames[n]) + " in " + FName);

    // ...but redefine inherited ones: from the root of the chain down to the
    // class itself, a later definition replaces an earlier one. Each level
    // is merged in after the ones above it, so that of equal names the
    // later definition comes last.
    std::vector<const BaseClass*> chain;
    for (const BaseClass* b = &base; b; b = b->parent) chain.insert(chain.begin(), b);
    size_t count = own.size();
    for (const BaseClass* b : chain) count += b->properties.size();
    std::vector<PropertyDef> all;
    all.reserve(count);
    auto mergeLevel = [&all](auto first, auto last) {
        const auto start = static_cast<std::ptrdiff_t>(all.size());
        all.insert(all.end(), first, last);
        if (!std::is_sorted(all.begin() + start, all.end(), NameLess))
            std::stable_sort(all.begin() + start, all.end(), NameLess);
        std::inplace_merge(all.begin(), all.begin() + start, all.end(), NameLess);
    };
    for (const BaseClass* b : chain) mergeLevel(b->properties.begin(), b->properties.end());
    mergeLevel(std::make_move_iterator(own.begin()), std::make_move_iterator(own.end()));
    FProperties.reserve(all.size());
    for (size_t n = 0; n < all.size(); ++n)
        if (n + 1 == all.size() || !EqualsNoCase(all[n].name, all[n + 1].name))
            FProperties.push_back(std::move(all[n]));
    IndexProperties();
}

void ClassSchema::IndexProperties() {
    FOrder.resize(FProperties.size());
    for (size_t n = 0; n < FOrder.size(); ++n) FOrder[n] = static_cast<int>(n);
    auto less = [this](int a, int b) { return NoCaseLess(FProperties[a].name, FProperties[b].name); };
    if (!std::is_sorted(FOrder.begin(), FOrder.end(), less)) std::stable_sort(FOrder.begin(), FOrder.end(), less);
    for (size_t n = 1; n < FOrder.size(); ++n)
        if (EqualsNoCase(FProperties[FOrder[n - 1]].name, FProperties[FOrder[n]].name))
            throw std::logic_error("duplicate property " + FProperties[FOrder[n]].name + " in " + FName);
}

int ClassSchema::IndexOf(std::string_view name) const {
    auto it = std::lower_bound(FOrder.begin(), FOrder.end(), name, [this](int index, std::string_view wanted) {
        return NoCaseLess(FProperties[index].name, wanted);
    });
    return it != FOrder.end() && EqualsNoCase(FProperties[*it].name, name) ? *it : -1;
}

const MethodDef* ClassSchema::FindMethod(std::string_view name) const {
    for (const auto& m : FMethods)
        if (EqualsNoCase(m.name, name)) return &m;
    return nullptr;
}

static bool ScalarFits(const Value& v, CimType type) {
    using K = Value::Kind;
    switch (type) {
        case CimType::String:
        case CimType::DateTime:
        case CimType::Reference:
            return v.kind == K::Text;
        case CimType::Boolean:
            return v.kind == K::Bool;
        case CimType::Real32:
        case CimType::Real64:
            return v.kind == K::Real;
        case CimType::Object:
            return false;
        default:
            break;
    }
    if (IsSignedInteger(type)) return v.kind == K::Int;
    if (IsUnsignedInteger(type)) return v.kind == K::UInt;
    return false;
}

bool ValueFits(const Value& value, CimType type, bool array) {
    if (value.IsNull()) return true;
    if (!array) return ScalarFits(value, type);
    if (value.kind != Value::Kind::Array) return false;
    return std::all_of(value.items.begin(), value.items.end(),
                       [type](const Value& item) { return ScalarFits(item, type); });
}

Value Coerce(Value value, CimType type) {
    if (value.kind == Value::Kind::Array) {
        for (auto& item : value.items) item = Coerce(std::move(item), type);
        return value;
    }
    if (value.kind == Value::Kind::Int && IsUnsignedInteger(type)) return Value::UInt(static_cast<uint64_t>(value.i));
    if (value.kind == Value::Kind::UInt && IsSignedInteger(type)) return Value::Int(static_cast<int64_t>(value.u));
    return value;
}

Instance::Instance(const ClassSchema& cls) : schema(&cls), values(cls.Properties().size()) {}

void Instance::Set(std::string_view name, Value value) {
    int index = schema->IndexOf(name);
    if (index < 0) throw std::logic_error(std::string(name) + " is not a property of " + schema->Name());
    const PropertyDef& def = schema->Properties()[static_cast<size_t>(index)];
    values[static_cast<size_t>(index)] = Coerce(std::move(value), def.type);
}

const Value& Instance::Get(std::string_view name) const {
    int index = schema->IndexOf(name);
    if (index < 0) throw std::logic_error(std::string(name) + " is not a property of " + schema->Name());
    return values[static_cast<size_t>(index)];
}

}  // namespace cimv2
