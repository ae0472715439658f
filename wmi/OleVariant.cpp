#include "wmi/OleVariant.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace wmi {

OleVariant OleVariant::Null() {
    OleVariant v;
    v.FType = Type::Null;
    return v;
}
OleVariant OleVariant::Text(std::string s) {
    OleVariant v;
    v.FType = Type::Text;
    v.FText = std::move(s);
    return v;
}
OleVariant OleVariant::Int(int64_t x) {
    OleVariant v;
    v.FType = Type::Int;
    v.FInt = x;
    return v;
}
OleVariant OleVariant::UInt(uint64_t x) {
    OleVariant v;
    v.FType = Type::UInt;
    v.FUInt = x;
    return v;
}
OleVariant OleVariant::Real(double x) {
    OleVariant v;
    v.FType = Type::Real;
    v.FReal = x;
    return v;
}
OleVariant OleVariant::Bool(bool x) {
    OleVariant v;
    v.FType = Type::Bool;
    v.FBool = x;
    return v;
}
OleVariant OleVariant::Array(std::vector<OleVariant> items) {
    OleVariant v;
    v.FType = Type::Array;
    v.FItems = std::move(items);
    return v;
}
OleVariant OleVariant::Object(std::shared_ptr<SWbemObject> object) {
    OleVariant v;
    v.FType = Type::Object;
    v.FObject = std::move(object);
    return v;
}

std::string OleVariant::ToText() const {
    switch (FType) {
        case Type::Empty:
        case Type::Null:
            return {};
        case Type::Text:
            return FText;
        case Type::Int:
            return std::to_string(FInt);
        case Type::UInt:
            return std::to_string(FUInt);
        case Type::Real:
            return cimv2::FormatReal(FReal);
        case Type::Bool:
            return FBool ? "True" : "False";
        case Type::Array:
        case Type::Object:
            break;
    }
    throw std::invalid_argument(std::string("Could not convert variant of type (") + TypeName() +
                                ") into type (String)");
}

const char* OleVariant::TypeName() const {
    switch (FType) {
        case Type::Empty:
            return "Empty";
        case Type::Null:
            return "Null";
        case Type::Text:
            return "String";
        case Type::Int:
            return "Int64";
        case Type::UInt:
            return "UInt64";
        case Type::Real:
            return "Double";
        case Type::Bool:
            return "Boolean";
        case Type::Array:
            return "Array";
        case Type::Object:
            return "Dispatch";
    }
    return "Unknown";
}

bool OleVariant::operator==(const OleVariant& o) const {
    if (FType != o.FType) return false;
    switch (FType) {
        case Type::Empty:
        case Type::Null:
            return true;
        case Type::Text:
            return FText == o.FText;
        case Type::Int:
            return FInt == o.FInt;
        case Type::UInt:
            return FUInt == o.FUInt;
        case Type::Real:
            return FReal == o.FReal;
        case Type::Bool:
            return FBool == o.FBool;
        case Type::Array:
            return FItems == o.FItems;
        case Type::Object:
            return FObject == o.FObject;
    }
    return false;
}

OleVariant FromCimValue(const cimv2::Value& value, cimv2::CimType type) {
    using K = cimv2::Value::Kind;
    switch (value.kind) {
        case K::Null:
            return OleVariant::Null();
        case K::Text:
            return OleVariant::Text(value.text);
        case K::Int:
            return cimv2::TravelsAsText(type) ? OleVariant::Text(std::to_string(value.i)) : OleVariant::Int(value.i);
        case K::UInt:
            return cimv2::TravelsAsText(type) ? OleVariant::Text(std::to_string(value.u)) : OleVariant::UInt(value.u);
        case K::Real:
            return OleVariant::Real(value.r);
        case K::Bool:
            return OleVariant::Bool(value.b);
        case K::Array: {
            std::vector<OleVariant> items;
            items.reserve(value.items.size());
            for (const auto& item : value.items) items.push_back(FromCimValue(item, type));
            return OleVariant::Array(std::move(items));
        }
    }
    return OleVariant::Null();
}

static cimv2::Value ScalarToCim(const OleVariant& v, cimv2::CimType type) {
    using T = OleVariant::Type;
    using cimv2::CimType;
    auto fail = [&]() -> cimv2::Value {
        throw std::invalid_argument(std::string("Type mismatch: ") + v.TypeName() + " for " + cimv2::CimTypeName(type));
    };
    if (v.GetType() == T::Null || v.GetType() == T::Empty) return cimv2::Value::Null();
    if (type == CimType::String || type == CimType::DateTime || type == CimType::Reference) {
        if (v.GetType() == T::Array || v.GetType() == T::Object) return fail();
        return cimv2::Value::Text(v.ToText());
    }
    if (type == CimType::Boolean) {
        if (v.GetType() == T::Bool) return cimv2::Value::Bool(v.AsBool());
        if (v.GetType() == T::Int) return cimv2::Value::Bool(v.AsInt() != 0);
        if (v.GetType() == T::UInt) return cimv2::Value::Bool(v.AsUInt() != 0);
        return fail();
    }
    if (type == CimType::Real32 || type == CimType::Real64) {
        if (v.GetType() == T::Real) return cimv2::Value::Real(v.AsReal());
        if (v.GetType() == T::Int) return cimv2::Value::Real(static_cast<double>(v.AsInt()));
        if (v.GetType() == T::UInt) return cimv2::Value::Real(static_cast<double>(v.AsUInt()));
        return fail();
    }
    if (cimv2::IsSignedInteger(type) || cimv2::IsUnsignedInteger(type)) {
        int64_t n;
        if (v.GetType() == T::Int)
            n = v.AsInt();
        else if (v.GetType() == T::UInt)
            n = static_cast<int64_t>(v.AsUInt());
        else if (v.GetType() == T::Bool)
            n = v.AsBool() ? 1 : 0;
        else if (v.GetType() == T::Text) {
            char* end = nullptr;
            errno = 0;
            n = std::strtoll(v.AsText().c_str(), &end, 10);
            if (v.AsText().empty() || *end != '\0' || errno != 0) return fail();
        } else {
            return fail();
        }
        return cimv2::Coerce(cimv2::Value::Int(n), type);
    }
    return fail();
}

cimv2::Value ToCimValue(const OleVariant& value, cimv2::CimType type, bool array) {
    if (!array) return ScalarToCim(value, type);
    if (value.IsNull() || value.IsEmpty()) return cimv2::Value::Null();
    if (!value.IsArray()) throw std::invalid_argument("Type mismatch: array expected");
    std::vector<cimv2::Value> items;
    for (const auto& item : value.Items()) items.push_back(ScalarToCim(item, type));
    return cimv2::Value::Array(std::move(items));
}

}  // namespace wmi
