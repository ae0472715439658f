// Win32_USBController: the USB host controllers, the PCI functions of class
// 0c03 (prog-if 00 UHCI, 10 OHCI, 20 EHCI, 30 xHCI, 40 USB4 host), through
// the device tree. A USB device controller (prog-if fe) is not a host's and
// is left out.
//
//   DeviceID, PNPDeviceID      the device tree's PCI\VEN_xxxx&DEV_xxxx&SUBSYS_...\... form
//   Name, Caption, Description pci.ids device name, else its class name
//   Manufacturer               pci.ids vendor name
//   ProtocolSupported          16 (Universal Serial Bus)
//   Availability               the PCI power state: 3 D0, 14 D1/D2, 15 D3hot, 7 D3cold, 2 otherwise
//   ConfigManagerErrorCode, Status  0 and "OK" with a bound driver, 28 and "Error" without
//   ConfigManagerUserConfig    false: the kernel configures the controller itself
//   PowerManagementSupported   power/control reads "auto" (runtime power management allowed)
//   MaxNumberControlled, TimeOfLastReset, LastErrorCode, ErrorDescription,
//   PowerManagementCapabilities  null: sysfs does not say
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/PciFunctions.h"

namespace cimv2 {

namespace {

constexpr uint32_t kSerialBus = 0x0c, kUsb = 0x03, kDeviceController = 0xfe;
constexpr uint32_t kUniversalSerialBus = 16;

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_USBControllerSchema() {
    static const ClassSchema schema("Win32_USBController", CIM_USBController(), {
        {"Manufacturer", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_USBController(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const devtree::PciIds ids = devtree::PciIds::Load(root, context.idFallback);
    for (auto& function : pci::FunctionsOfClass(root, ids, kSerialBus)) {
        if ((function.classCode >> 8 & 0xFF) != kUsb || (function.classCode & 0xFF) == kDeviceController) continue;
        Instance inst(Win32_USBControllerSchema());
        SetPciController(inst, root, function, true);
        inst.Set("ProtocolSupported", Value::UInt(kUniversalSerialBus));
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
