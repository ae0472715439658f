#include "cimv2/ClassRegistry.h"

#include "cimv2/Classes.h"

namespace cimv2 {

const std::vector<ClassEntry>& AllClasses() {
    static const std::vector<ClassEntry> classes = {
        // one line per class: {schema, enumerate[, invoke]}
        {Win32_BiosSchema, EnumerateWin32_Bios},
        {Win32_BaseBoardSchema, EnumerateWin32_BaseBoard},
        {Win32_SystemSlotSchema, EnumerateWin32_SystemSlot},
        {Win32_CacheMemorySchema, EnumerateWin32_CacheMemory},
        {Win32_ComputerSystemSchema, EnumerateWin32_ComputerSystem, InvokeWin32_ComputerSystem},
        {Win32_IRQResourceSchema, EnumerateWin32_IRQResource},
        {Win32_DMAChannelSchema, EnumerateWin32_DMAChannel},
        {Win32_BusSchema, EnumerateWin32_Bus},
        {Win32_PnPEntitySchema, EnumerateWin32_PnPEntity},
    };
    return classes;
}

const ClassEntry* FindClass(std::string_view name) {
    for (const auto& entry : AllClasses())
        if (EqualsNoCase(entry.schema().Name(), name)) return &entry;
    return nullptr;
}

}  // namespace cimv2
