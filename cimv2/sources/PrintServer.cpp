#include "cimv2/sources/PrintServer.h"

#include <algorithm>

namespace cimv2 {

void IppAttributes::Add(std::string_view name, IppValue value) {
    // The values of an attribute come one after another.
    if (FAttributes.empty() || FAttributes.back().first != name) {
        auto same = [&](const auto& attribute) { return attribute.first == name; };
        auto it = std::find_if(FAttributes.begin(), FAttributes.end(), same);
        if (it != FAttributes.end()) {
            it->second.push_back(std::move(value));
            return;
        }
        FAttributes.emplace_back(std::string(name), std::vector<IppValue>());
    }
    FAttributes.back().second.push_back(std::move(value));
}

const std::vector<IppValue>* IppAttributes::Find(std::string_view name) const {
    for (const auto& [key, values] : FAttributes)
        if (key == name) return values.empty() ? nullptr : &values;
    return nullptr;
}

const IppValue* IppAttributes::First(std::string_view name, IppValue::Kind kind) const {
    const auto* values = Find(name);
    if (!values || values->front().kind != kind) return nullptr;
    return &values->front();
}

std::optional<std::string> IppAttributes::Text(std::string_view name) const {
    if (const IppValue* v = First(name, IppValue::Kind::Text)) return v->text;
    return std::nullopt;
}

std::optional<int64_t> IppAttributes::Integer(std::string_view name) const {
    if (const IppValue* v = First(name, IppValue::Kind::Integer)) return v->number;
    return std::nullopt;
}

std::optional<bool> IppAttributes::Boolean(std::string_view name) const {
    if (const IppValue* v = First(name, IppValue::Kind::Boolean)) return v->number != 0;
    return std::nullopt;
}

std::vector<std::string> IppAttributes::Texts(std::string_view name) const {
    std::vector<std::string> texts;
    if (const auto* values = Find(name))
        for (const auto& v : *values)
            if (v.kind == IppValue::Kind::Text) texts.push_back(v.text);
    return texts;
}

}  // namespace cimv2
