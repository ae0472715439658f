#include "cimv2/core/Value.h"

#include <charconv>

namespace cimv2 {

const char* CimTypeName(CimType type) {
    switch (type) {
        case CimType::SInt8:
            return "sint8";
        case CimType::UInt8:
            return "uint8";
        case CimType::SInt16:
            return "sint16";
        case CimType::UInt16:
            return "uint16";
        case CimType::SInt32:
            return "sint32";
        case CimType::UInt32:
            return "uint32";
        case CimType::SInt64:
            return "sint64";
        case CimType::UInt64:
            return "uint64";
        case CimType::Real32:
            return "real32";
        case CimType::Real64:
            return "real64";
        case CimType::Boolean:
            return "boolean";
        case CimType::String:
            return "string";
        case CimType::DateTime:
            return "datetime";
        case CimType::Reference:
            return "ref";
        case CimType::Char16:
            return "char16";
        case CimType::Object:
            return "object";
    }
    return "unknown";
}

std::string FormatReal(double value) {
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, result.ptr);
}

bool ParseReal(std::string_view text, double& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool IsSignedInteger(CimType type) {
    return type == CimType::SInt8 || type == CimType::SInt16 || type == CimType::SInt32 || type == CimType::SInt64;
}

bool IsUnsignedInteger(CimType type) {
    return type == CimType::UInt8 || type == CimType::UInt16 || type == CimType::UInt32 || type == CimType::UInt64 ||
           type == CimType::Char16;
}

bool TravelsAsText(CimType type) {
    return type == CimType::SInt64 || type == CimType::UInt64 || type == CimType::DateTime;
}

Value Value::Text(std::string s) {
    Value v;
    v.kind = Kind::Text;
    v.text = std::move(s);
    return v;
}
Value Value::Int(int64_t x) {
    Value v;
    v.kind = Kind::Int;
    v.i = x;
    return v;
}
Value Value::UInt(uint64_t x) {
    Value v;
    v.kind = Kind::UInt;
    v.u = x;
    return v;
}
Value Value::Real(double x) {
    Value v;
    v.kind = Kind::Real;
    v.r = x;
    return v;
}
Value Value::Bool(bool x) {
    Value v;
    v.kind = Kind::Bool;
    v.b = x;
    return v;
}
Value Value::Array(std::vector<Value> x) {
    Value v;
    v.kind = Kind::Array;
    v.items = std::move(x);
    return v;
}

std::string Value::ToText() const {
    switch (kind) {
        case Kind::Null:
            return {};
        case Kind::Text:
            return text;
        case Kind::Int:
            return std::to_string(i);
        case Kind::UInt:
            return std::to_string(u);
        case Kind::Real:
            return FormatReal(r);
        case Kind::Bool:
            return b ? "True" : "False";
        case Kind::Array: {
            std::string out;
            for (size_t n = 0; n < items.size(); ++n) {
                if (n) out += ", ";
                out += items[n].ToText();
            }
            return out;
        }
    }
    return {};
}

bool Value::operator==(const Value& other) const {
    if (kind != other.kind) return false;
    switch (kind) {
        case Kind::Null:
            return true;
        case Kind::Text:
            return text == other.text;
        case Kind::Int:
            return i == other.i;
        case Kind::UInt:
            return u == other.u;
        case Kind::Real:
            return r == other.r;
        case Kind::Bool:
            return b == other.b;
        case Kind::Array:
            return items == other.items;
    }
    return false;
}

}  // namespace cimv2
