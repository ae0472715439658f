// Win32_PnPEntity: every device of the hardware buses in sysfs (see
// DeviceTree), named from pci.ids and the devices' own strings.
#include "cimv2/core/Classes.h"
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
    static const ClassSchema schema("Win32_PnPEntity", {
        {"Availability", CimType::UInt16},
        {"Caption", CimType::String},
        {"ClassGuid", CimType::String},
        {"CompatibleID", CimType::String, kArray},
        {"ConfigManagerErrorCode", CimType::UInt32},
        {"ConfigManagerUserConfig", CimType::Boolean},
        {"CreationClassName", CimType::String},
        {"Description", CimType::String},
        {"DeviceID", CimType::String, kKey},
        {"ErrorCleared", CimType::Boolean},
        {"ErrorDescription", CimType::String},
        {"HardwareID", CimType::String, kArray},
        {"InstallDate", CimType::DateTime},
        {"LastErrorCode", CimType::UInt32},
        {"Manufacturer", CimType::String},
        {"Name", CimType::String},
        {"PNPClass", CimType::String},
        {"PNPDeviceID", CimType::String},
        {"PowerManagementCapabilities", CimType::UInt16, kArray},
        {"PowerManagementSupported", CimType::Boolean},
        {"Present", CimType::Boolean},
        {"Service", CimType::String},
        {"Status", CimType::String},
        {"StatusInfo", CimType::UInt16},
        {"SystemCreationClassName", CimType::String},
        {"SystemName", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_PnPEntity(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    auto host = devtree::HostName(root);
    devtree::PciIds ids = devtree::PciIds::Load(root);
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
        // Listed in sysfs means attached now; a device without a bound driver
        // is what Device Manager reports as "drivers not installed".
        const bool bound = device.service.has_value();
        inst.SetBool("Present", true);
        inst.SetInt("ConfigManagerErrorCode", bound ? kWorking : kDriversNotInstalled);
        inst.SetBool("ConfigManagerUserConfig", false);
        inst.SetText("Status", bound ? "OK" : "Error");
        inst.SetText("CreationClassName", "Win32_PnPEntity");
        inst.SetText("SystemCreationClassName", "Win32_ComputerSystem");
        if (host) inst.SetText("SystemName", *host);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
