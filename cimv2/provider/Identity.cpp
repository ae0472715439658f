#include "cimv2/provider/Identity.h"

namespace cimv2 {

void SetIdentity(Instance& inst, const ProviderContext& context) {
    const ClassSchema& schema = *inst.schema;
    if (schema.IndexOf("CreationClassName") >= 0) inst.SetText("CreationClassName", schema.Name());
    for (const char* property : {"SystemCreationClassName", "CSCreationClassName"})
        if (schema.IndexOf(property) >= 0) inst.SetText(property, "Win32_ComputerSystem");
    const auto& name = context.Facts().computerName;
    if (!name) return;
    for (const char* property : {"SystemName", "CSName"})
        if (schema.IndexOf(property) >= 0) inst.SetText(property, *name);
}

}  // namespace cimv2
