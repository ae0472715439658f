#pragma once
// Declarative class schemas: one table per class drives queries, object
// text, the agent's encoding and the query tool's output.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/core/Value.h"

namespace cimv2 {

enum PropertyFlags : unsigned { kPlain = 0, kArray = 1, kKey = 2 };

struct PropertyDef {
    std::string name;
    CimType type = CimType::String;
    unsigned flags = kPlain;
    bool IsArray() const { return (flags & kArray) != 0; }
    bool IsKey() const { return (flags & kKey) != 0; }
};

struct ParameterDef {
    std::string name;
    CimType type = CimType::String;
    unsigned flags = kPlain;
};

struct MethodDef {
    std::string name;
    std::vector<ParameterDef> in;
    // Out parameters; "ReturnValue" comes first as in WMI.
    std::vector<ParameterDef> out;
};

struct BaseClass;

class ClassSchema {
public:
    // Properties in the order given.
    ClassSchema(std::string name, std::vector<PropertyDef> properties, std::vector<MethodDef> methods = {});
    // The base chain's properties and the class's own, in alphabetical order
    // (without letter case); an own property of a base's name redefines it.
    ClassSchema(std::string name, const BaseClass& base, std::vector<PropertyDef> own,
                std::vector<MethodDef> methods = {});

    const std::string& Name() const { return FName; }
    // The nearest CIM base class; empty for a class declared without one.
    const std::string& BaseName() const { return FBaseName; }
    const std::vector<PropertyDef>& Properties() const { return FProperties; }
    const std::vector<MethodDef>& Methods() const { return FMethods; }
    // Index of a property, compared without letter case; -1 when absent.
    int IndexOf(std::string_view name) const;
    const MethodDef* FindMethod(std::string_view name) const;

private:
    void IndexProperties();

    std::string FName;
    std::string FBaseName;
    std::vector<PropertyDef> FProperties;
    std::vector<MethodDef> FMethods;
    // Property positions in alphabetical order (case aside), searched by name.
    std::vector<int> FOrder;
};

std::string Lower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Whether a value has the shape the schema allows for a property.
bool ValueFits(const Value& value, CimType type, bool array);

struct Instance {
    const ClassSchema* schema = nullptr;
    std::vector<Value> values;  // in schema order

    explicit Instance(const ClassSchema& cls);
    Instance() = default;

    // Set by property name; integer kinds follow the schema's signedness.
    // An unknown name is a programming error (std::logic_error).
    void Set(std::string_view name, Value value);
    void SetText(std::string_view name, std::string text) { Set(name, Value::Text(std::move(text))); }
    void SetInt(std::string_view name, int64_t v) { Set(name, Value::Int(v)); }
    void SetBool(std::string_view name, bool v) { Set(name, Value::Bool(v)); }
    const Value& Get(std::string_view name) const;
};

// Normalise an integer value to the kind its CIM type expects.
Value Coerce(Value value, CimType type);

}  // namespace cimv2
