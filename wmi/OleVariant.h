#pragma once
// The scripting interface's variant: empty, null, text, integers, real,
// boolean, array or an object reference.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cimv2/core/Schema.h"
#include "cimv2/core/Value.h"

namespace wmi {

class SWbemObject;

class OleVariant {
public:
    enum class Type { Empty, Null, Text, Int, UInt, Real, Bool, Array, Object };

    OleVariant() = default;
    static OleVariant Null();
    static OleVariant Text(std::string s);
    static OleVariant Int(int64_t v);
    static OleVariant UInt(uint64_t v);
    static OleVariant Real(double v);
    static OleVariant Bool(bool v);
    static OleVariant Array(std::vector<OleVariant> items);
    static OleVariant Object(std::shared_ptr<SWbemObject> object);

    Type GetType() const { return FType; }
    bool IsEmpty() const { return FType == Type::Empty; }
    bool IsNull() const { return FType == Type::Null; }
    bool IsArray() const { return FType == Type::Array; }
    bool IsObject() const { return FType == Type::Object; }

    const std::string& AsText() const { return FText; }
    int64_t AsInt() const { return FInt; }
    uint64_t AsUInt() const { return FUInt; }
    double AsReal() const { return FReal; }
    bool AsBool() const { return FBool; }
    const std::vector<OleVariant>& Items() const { return FItems; }
    const std::shared_ptr<SWbemObject>& AsObject() const { return FObject; }

    // Text form: numbers in decimal, booleans "True"/"False", empty and
    // null as empty text. Arrays and objects have none (std::invalid_argument).
    std::string ToText() const;
    const char* TypeName() const;

    bool operator==(const OleVariant& other) const;

private:
    Type FType = Type::Empty;
    std::string FText;
    int64_t FInt = 0;
    uint64_t FUInt = 0;
    double FReal = 0;
    bool FBool = false;
    std::vector<OleVariant> FItems;
    std::shared_ptr<SWbemObject> FObject;
};

// Provider value to variant: 64-bit integers and date-times become text, as
// WMI's scripting API delivers them.
OleVariant FromCimValue(const cimv2::Value& value, cimv2::CimType type);
// Variant to provider value of the given type; std::invalid_argument when
// it cannot be converted.
cimv2::Value ToCimValue(const OleVariant& value, cimv2::CimType type, bool array);

}  // namespace wmi
