// Win32_PnPEntity: every device of the hardware buses in sysfs (see
// DeviceTree), named from pci.ids and the devices' own strings.
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/DeviceTree.h"

namespace cimv2 {

namespace {

// Device Manager problem codes.
constexpr int64_t kWorking = 0;
constexpr int64_t kDriversNotInstalled = 28;

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
        inst.SetText("DeviceID", device.deviceId);
        inst.SetText("PNPDeviceID", device.deviceId);
        if (device.displayName) {
            inst.SetText("Name", *device.displayName);
            inst.SetText("Caption", *device.displayName);
            inst.SetText("Description", *device.displayName);
        }
        if (device.manufacturer) inst.SetText("Manufacturer", *device.manufacturer);
        if (device.pnpClass) inst.SetText("PNPClass", *device.pnpClass);
        if (device.classGuid) inst.SetText("ClassGuid", *device.classGuid);
        if (!device.hardwareIds.empty()) inst.Set("HardwareID", TextArray(device.hardwareIds));
        if (!device.compatibleIds.empty()) inst.Set("CompatibleID", TextArray(device.compatibleIds));
        if (device.service) inst.SetText("Service", *device.service);
        // Listed in sysfs means attached now. A device that needs a driver
        // and has none is what Device Manager reports as "drivers not
        // installed"; bridges, buses and other system devices work without one.
        const bool working = device.service.has_value() || device.pnpClass == std::string("System");
        inst.SetBool("Present", true);
        inst.SetInt("ConfigManagerErrorCode", working ? kWorking : kDriversNotInstalled);
        inst.SetText("Status", working ? "OK" : "Error");
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
