#pragma once
// Setting a property only when its source gave a value, so a missing source
// leaves the property null.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/core/Schema.h"

namespace cimv2 {

inline void SetIf(Instance& inst, std::string_view name, const std::optional<std::string>& value) {
    if (value) inst.SetText(name, *value);
}

template <typename T>
inline void SetIfUInt(Instance& inst, std::string_view name, const std::optional<T>& value) {
    if (value) inst.Set(name, Value::UInt(static_cast<uint64_t>(*value)));
}

template <typename T>
inline void SetIfInt(Instance& inst, std::string_view name, const std::optional<T>& value) {
    if (value) inst.Set(name, Value::Int(static_cast<int64_t>(*value)));
}

inline void SetIfBool(Instance& inst, std::string_view name, const std::optional<bool>& value) {
    if (value) inst.SetBool(name, *value);
}

inline Value TextArray(const std::vector<std::string>& texts) {
    std::vector<Value> items;
    for (const auto& t : texts) items.push_back(Value::Text(t));
    return Value::Array(std::move(items));
}

template <typename T>
inline Value UIntArray(const std::vector<T>& numbers) {
    std::vector<Value> items;
    for (T n : numbers) items.push_back(Value::UInt(static_cast<uint64_t>(n)));
    return Value::Array(std::move(items));
}

}  // namespace cimv2
