// Win32_SoundDevice: the ALSA sound cards (/proc/asound/cards), each with
// the device its driver bound (/sys/class/sound/card<n>/device: a PCI
// function, a USB interface, a platform device) as the device tree names it.
// No card, no instance.
//
//   DeviceID, PNPDeviceID      the device tree's form of the card's device (PCI\VEN_...,
//                              USB\VID_...&MI_xx\...); a card without a device is ALSA\<card id>
//                              and has no PNPDeviceID
//   Name, Caption, Description, ProductName  the pci.ids name of a PCI card, the usb.ids product
//                              of a USB one; else the device tree's name; else ALSA's short name
//   Manufacturer               the pci.ids or usb.ids vendor name
//   Availability               a PCI card's power state (3 D0, 14 D1/D2, 15 D3hot, 7 D3cold)
//   ConfigManagerErrorCode, Status  0 and "OK": ALSA lists a card only while its driver runs
//   ConfigManagerUserConfig    false
//   DMABufferSize, MPU401Address, LastErrorCode, ErrorDescription, PowerManagementCapabilities,
//   PowerManagementSupported   null: ISA-era facts and error codes that Linux does not keep
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/PciFunctions.h"
#include "cimv2/sources/RootReaders.h"
#include "cimv2/sources/SoundCards.h"

namespace cimv2 {

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_SoundDeviceSchema() {
    static const ClassSchema schema("Win32_SoundDevice", CIM_LogicalDevice(), {
        {"DMABufferSize", CimType::UInt16},
        {"Manufacturer", CimType::String},
        {"MPU401Address", CimType::UInt32},
        {"ProductName", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_SoundDevice(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    auto cards = root.ReadFile("/proc/asound/cards", 1 << 20);
    if (!cards) return out;
    std::optional<devtree::PciIds> pciIds, usbIds;
    for (const auto& card : sound::ParseCards(*cards)) {
        if (!pciIds) pciIds = devtree::PciIds::Load(root, context.idFallback);
        const std::string path = "/sys/class/sound/card" + std::to_string(card.number) + "/device";
        const auto device = devtree::DescribeDeviceAt(root, *pciIds, path);
        std::optional<std::string> name, maker;
        std::optional<uint16_t> availability;
        if (device && device->bus == "pci") {
            name = device->displayName;
            maker = device->manufacturer;
            availability = pci::AvailabilityOf(ReadLine(root, path + "/power_state"));
        } else if (device && device->bus == "usb") {
            // The card's device is an interface; the USB device above it carries the IDs.
            const auto vendor = ReadHexId(root, path + "/../idVendor", 4);
            const auto product = ReadHexId(root, path + "/../idProduct", 4);
            if (vendor && product) {
                if (!usbIds) usbIds = devtree::PciIds::LoadUsb(root, context.idFallback);
                name = usbIds->Device(*vendor, *product);
                maker = usbIds->Vendor(*vendor);
            }
            if (!name) name = ReadLine(root, path + "/../product");
            if (!name) name = device->displayName;
            if (!maker) maker = ReadLine(root, path + "/../manufacturer");
        } else if (device) {
            name = device->displayName;
            maker = device->manufacturer;
        }
        if (!name && !card.shortName.empty()) name = card.shortName;

        Instance inst(Win32_SoundDeviceSchema());
        PnPIdentity identity{"ALSA\\" + card.id, std::nullopt, name, maker};
        if (device) {
            identity.deviceId = device->deviceId;
            identity.pnpDeviceId = device->deviceId;
        }
        SetPnPIdentity(inst, identity, {"ProductName"});
        SetWorkingStatus(inst, {.works = true, .availability = availability, .userConfig = false});
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
