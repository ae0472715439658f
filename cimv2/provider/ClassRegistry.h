#pragma once
// The classes the provider serves. Each class file defines its schema and
// the function that builds its instances from the machine.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cimv2/core/Schema.h"
#include "cimv2/provider/ProviderContext.h"

namespace cimv2 {

using ParamList = std::vector<std::pair<std::string, Value>>;

struct ClassEntry {
    const ClassSchema& (*schema)();
    std::vector<Instance> (*enumerate)(const ProviderContext& context);
    // Runs a method on one instance; fills the out parameters, ReturnValue
    // first. target is the instance as it is now; caller the object the
    // caller holds (read earlier, or only its keys).
    ParamList (*invoke)(const ProviderContext& context, const Instance& target, const Instance& caller,
                        const MethodDef& method, const ParamList& in) = nullptr;
    // The class's name as its schema has it, so finding a class builds no schema.
    const char* name = nullptr;
};

const std::vector<ClassEntry>& AllClasses();
const ClassEntry* FindClass(std::string_view name);

}  // namespace cimv2
