// Win32_IDEController: the PCI storage controllers Windows files as IDE
// ATA/ATAPI controllers, by class code: IDE (0101) and SATA (0106, AHCI
// among them), through the device tree.
//
//   DeviceID, PNPDeviceID      the device tree's PCI\VEN_xxxx&DEV_xxxx&SUBSYS_...\... form
//   Name, Caption, Description pci.ids device name, else its class name
//   Manufacturer               pci.ids vendor name
//   ProtocolSupported          37 IDE for 0101, 6 ATA/ATAPI for 0106
//   Availability               the function's power_state (pci::AvailabilityOf)
//   ConfigManagerErrorCode, Status  0 and "OK" with a bound driver, 28 and "Error" without
//   ConfigManagerUserConfig    false: the kernel and firmware assign a PCI function's resources
//   MaxNumberControlled        IDE: 4 (two channels of two devices); SATA: the ports the
//                              driver registered (its ataN children)
//   PowerManagementSupported   whether the function has runtime power management
//                              (power/control "auto"); PowerManagementCapabilities null
#include "cimv2/core/CimBases.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/PciFunctions.h"

namespace cimv2 {

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_IDEControllerSchema() {
    static const ClassSchema schema("Win32_IDEController", CIM_IDEController(), {
        {"Manufacturer", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_IDEController(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const devtree::PciIds ids = devtree::PciIds::Load(root, context.idFallback);
    auto accept = [](uint32_t classCode) {
        const auto role = pci::StorageControllerRole(classCode);
        return role && role->ide;
    };
    for (auto& function : pci::FunctionsOfClass(root, ids, 0x01, accept)) {
        const auto role = pci::StorageControllerRole(function.classCode);
        const uint32_t sub = (function.classCode >> 8) & 0xFF;
        Instance inst(Win32_IDEControllerSchema());
        SetPciController(inst, root, function, true);
        inst.Set("ProtocolSupported", Value::UInt(role->protocol));
        if (sub == 0x01) {
            inst.Set("MaxNumberControlled", Value::UInt(4));
        } else {
            uint64_t ports = 0;
            for (const auto& entry : root.List(function.path))
                if (entry.rfind("ata", 0) == 0 && ParseUnsigned(std::string_view(entry).substr(3))) ++ports;
            if (ports > 0) inst.Set("MaxNumberControlled", Value::UInt(ports));
        }
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
