#include "cimv2/provider/ClassRegistry.h"

#include "cimv2/provider/Classes.h"

namespace cimv2 {

const std::vector<ClassEntry>& AllClasses() {
#define SYSQUILL_ENTRY(Name) {Name##Schema, Enumerate##Name, nullptr, #Name},
#define SYSQUILL_ENTRY_WITH_METHODS(Name) {Name##Schema, Enumerate##Name, Invoke##Name, #Name},
    static const std::vector<ClassEntry> classes = {SYSQUILL_CLASS_LIST(SYSQUILL_ENTRY, SYSQUILL_ENTRY_WITH_METHODS)};
#undef SYSQUILL_ENTRY
#undef SYSQUILL_ENTRY_WITH_METHODS
    return classes;
}

const ClassEntry* FindClass(std::string_view name) {
    for (const auto& entry : AllClasses())
        if (EqualsNoCase(entry.name ? std::string_view(entry.name) : entry.schema().Name(), name)) return &entry;
    return nullptr;
}

}  // namespace cimv2
