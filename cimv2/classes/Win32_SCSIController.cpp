// Win32_SCSIController: the PCI storage controllers that Windows files as
// SCSI adapters, by class code (pci::StorageControllerRole: SCSI, RAID,
// SAS, NVMe, other), through the device tree.
//
//   DeviceID, PNPDeviceID      the device tree's PCI\VEN_xxxx&DEV_xxxx&SUBSYS_...\... form
//   Name, Caption, Description pci.ids device name, else its class name
//   Manufacturer               pci.ids vendor name
//   DriverName                 the bound kernel driver (/sys/.../driver link); null when none
//   ProtocolSupported          by class code (pci::StorageControllerRole)
//   Availability               the function's power_state (pci::AvailabilityOf)
//   ConfigManagerErrorCode, Status  0 and "OK" with a driver, 28 and "Error" without
//   ConfigManagerUserConfig    false: the kernel and firmware assign a PCI function's resources
//   HardwareVersion            the PCI revision id
//   MaxDataWidth, MaxTransferRate, MaxNumberControlled, DeviceMap  null: sysfs does not say
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/PciFunctions.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_SCSIControllerSchema() {
    static const ClassSchema schema("Win32_SCSIController", CIM_SCSIController(), {
        {"DeviceMap", CimType::String},
        {"DriverName", CimType::String},
        {"HardwareVersion", CimType::String},
        {"Index", CimType::UInt32},
        {"Manufacturer", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_SCSIController(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const devtree::PciIds ids = devtree::PciIds::Load(root, context.idFallback);
    auto accept = [](uint32_t classCode) {
        const auto role = pci::StorageControllerRole(classCode);
        return role && !role->ide;
    };
    for (auto& function : pci::FunctionsOfClass(root, ids, 0x01, accept)) {
        const auto role = pci::StorageControllerRole(function.classCode);
        Instance inst(Win32_SCSIControllerSchema());
        SetPciController(inst, root, function, false);
        if (function.device.service) inst.SetText("DriverName", *function.device.service);
        inst.Set("ProtocolSupported", Value::UInt(role->protocol));
        if (auto revision = ReadHexId(root, function.path + "/revision", 2))
            inst.SetText("HardwareVersion", std::to_string(*revision));
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
