// Win32_PnPEntity: every device of the hardware buses in sysfs (see
// DeviceTree), named from pci.ids and the devices' own strings.
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/DeviceTree.h"

namespace cimv2 {

namespace {

Value TextArray(const std::vector<std::string>& items) {
    std::vector<Value> values;
    for (const auto& item : items) values.push_back(Value::Text(item));
    return Value::Array(std::move(values));
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_PnPEntitySchema() {
    static const ClassSchema schema("Win32_PnPEntity", CIM_LogicalDevice(), {
        {"ClassGuid", CimType::String},
        {"CompatibleID", CimType::String, kArray},
        {"HardwareID", CimType::String, kArray},
        {"Manufacturer", CimType::String},
        {"PNPClass", CimType::String},
        {"Present", CimType::Boolean},
        {"Service", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_PnPEntity(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    devtree::PciIds ids = devtree::PciIds::Load(root, context.idFallback);
    for (const auto& device : devtree::EnumerateDevices(root, ids)) {
        Instance inst(Win32_PnPEntitySchema());
        SetPnPIdentity(inst, IdentityOf(device));
        if (device.pnpClass) inst.SetText("PNPClass", *device.pnpClass);
        if (device.classGuid) inst.SetText("ClassGuid", *device.classGuid);
        if (!device.hardwareIds.empty()) inst.Set("HardwareID", TextArray(device.hardwareIds));
        if (!device.compatibleIds.empty()) inst.Set("CompatibleID", TextArray(device.compatibleIds));
        if (device.service) inst.SetText("Service", *device.service);
        inst.SetBool("Present", true);
        SetWorkingStatus(inst, {.works = DriverWorks(device), .availability = {}, .userConfig = {}});
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
