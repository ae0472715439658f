#include "cimv2/sources/PrintServer.h"

namespace cimv2 {

const std::vector<IppValue>* IppAttributes::Find(std::string_view name) const {
    auto it = FValues.find(name);
    return it == FValues.end() || it->second.empty() ? nullptr : &it->second;
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
