#pragma once
// Reading instances in tests: a property as text, with null spelt "<null>" so
// that an expected empty text and a missing value tell apart.
#include <string>
#include <vector>

#include "cimv2/core/Value.h"

namespace testsupport {

inline std::string Text(const cimv2::Instance& inst, const char* property) {
    const cimv2::Value& v = inst.Get(property);
    return v.IsNull() ? "<null>" : v.ToText();
}

// The first instance whose property reads as name; null when none does.
inline const cimv2::Instance* Named(const std::vector<cimv2::Instance>& list, const char* property,
                                    const std::string& name) {
    for (const auto& inst : list)
        if (Text(inst, property) == name) return &inst;
    return nullptr;
}

}  // namespace testsupport
