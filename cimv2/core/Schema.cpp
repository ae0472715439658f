#include "cimv2/core/Schema.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <stdexcept>

#include "cimv2/core/CimBases.h"

namespace cimv2 {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

size_t NoCaseHash::operator()(std::string_view text) const {
    size_t hash = 14695981039346656037ull;  // FNV-1a over the ASCII-lowered bytes
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        hash = (hash ^ (u >= 'A' && u <= 'Z' ? u | 0x20 : u)) * 1099511628211ull;
    }
    return hash;
}

bool NoCaseEqual::operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }

ClassSchema::ClassSchema(std::string name, std::vector<PropertyDef> properties, std::vector<MethodDef> methods)
    : FName(std::move(name)), FProperties(std::move(properties)), FMethods(std::move(methods)) {
    IndexProperties();
}

ClassSchema::ClassSchema(std::string name, const BaseClass& base, std::vector<PropertyDef> own,
                         std::vector<MethodDef> methods)
    : FName(std::move(name)), FBaseName(base.name), FMethods(std::move(methods)) {
    std::vector<const BaseClass*> chain;
    for (const BaseClass* b = &base; b; b = b->parent) chain.insert(chain.begin(), b);
    std::map<std::string, PropertyDef> merged;  // by lower-case name: alphabetical, later wins
    for (const BaseClass* b : chain)
        for (const auto& p : b->properties) merged[Lower(p.name)] = p;
    std::set<std::string> ownNames;
    for (auto& p : own) {
        std::string key = Lower(p.name);
        if (!ownNames.insert(key).second) throw std::logic_error("duplicate property " + p.name + " in " + FName);
        merged[key] = std::move(p);
    }
    for (auto& [key, p] : merged) FProperties.push_back(std::move(p));
    IndexProperties();
}

void ClassSchema::IndexProperties() {
    for (size_t n = 0; n < FProperties.size(); ++n) {
        if (!FIndex.emplace(FProperties[n].name, static_cast<int>(n)).second)
            throw std::logic_error("duplicate property " + FProperties[n].name + " in " + FName);
    }
}

int ClassSchema::IndexOf(std::string_view name) const {
    auto it = FIndex.find(name);
    return it == FIndex.end() ? -1 : it->second;
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
