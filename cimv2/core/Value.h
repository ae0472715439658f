#pragma once
// A typed property value as the provider produces it. Integers keep their
// native width here; the scripting layer decides how they reach callers.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2 {

// WMI's CIM type codes (wbemcli.h numbering), so method parameters and
// Properties_.Add agree with WMI.
enum class CimType : int {
    SInt16 = 2,
    SInt32 = 3,
    Real32 = 4,
    Real64 = 5,
    String = 8,
    Boolean = 11,
    Object = 13,
    SInt8 = 16,
    UInt8 = 17,
    UInt16 = 18,
    UInt32 = 19,
    SInt64 = 20,
    UInt64 = 21,
    DateTime = 101,
    Reference = 102,
    Char16 = 103,
};

const char* CimTypeName(CimType type);

// Reals as text in the C form whatever the process locale is: object text,
// WQL and the agent protocol are read on other machines and by tools.
std::string FormatReal(double value);
bool ParseReal(std::string_view text, double& value);
bool IsSignedInteger(CimType type);
bool IsUnsignedInteger(CimType type);
// 64-bit integers and date-times travel as text in the scripting interface.
bool TravelsAsText(CimType type);

struct Value {
    enum class Kind { Null, Text, Int, UInt, Real, Bool, Array };
    Kind kind = Kind::Null;
    std::string text;
    int64_t i = 0;
    uint64_t u = 0;
    double r = 0;
    bool b = false;
    std::vector<Value> items;

    static Value Null() { return {}; }
    static Value Text(std::string s);
    static Value Int(int64_t v);
    static Value UInt(uint64_t v);
    static Value Real(double v);
    static Value Bool(bool v);
    static Value Array(std::vector<Value> v);

    bool IsNull() const { return kind == Kind::Null; }
    // Text form as WQL comparisons and the table output use it.
    std::string ToText() const;
    bool operator==(const Value& other) const;
};

}  // namespace cimv2
