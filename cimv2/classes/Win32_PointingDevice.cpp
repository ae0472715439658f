// Win32_PointingDevice: the mice, touchpads, touch screens and pointing
// sticks among the kernel's input devices (/proc/bus/input/devices), told
// apart by their capability bits as udev's input_id does.
//
//   DeviceID, PNPDeviceID      as Win32_Keyboard: the device tree's id of the device the input
//                              node sits on
//   Name, Caption, Description, HardwareType  the kernel's name of the input device
//   Manufacturer               the vendor of that device where the device tree names one; for a
//                              USB device the usb.ids name of the vendor ID on its input node
//   PointingType               3 mouse, 5 track point (pointing stick), 7 touch pad, 8 touch screen
//   NumberOfButtons            the mouse buttons of its key bits (BTN_LEFT to BTN_TASK); a
//                              clickpad has one
//   DeviceInterface            from the input bus: 162 USB, 4 PS/2 (i8042), 3 serial, 6 HP-HIL,
//                              8 ADB, 1 other (Bluetooth, I2C, SPI, virtual, ...)
//   Resolution, SampleRate     a PS/2 mouse's serio port attributes "resolution" (counts per
//                              inch) and "rate" (reports per second); null elsewhere
//   ConfigManagerErrorCode, Status, Availability  0, "OK" and 3 (running): a driver registered it
//   Handedness, thresholds, Synch, InfFileName, InfSection, IsLocked  null: Linux does not say
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/InputDevices.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

uint32_t PointingTypeOf(input::PointerKind kind) {
    switch (kind) {
        case input::PointerKind::Mouse:
            return 3;
        case input::PointerKind::PointingStick:
            return 5;
        case input::PointerKind::Touchpad:
            return 7;
        case input::PointerKind::Touchscreen:
            return 8;
    }
    return 2;
}

uint32_t InterfaceOf(uint32_t bus) {
    switch (bus) {
        case input::kBusUsb:
            return 162;
        case input::kBusI8042:
            return 4;
        case input::kBusRs232:
            return 3;
        case input::kBusHil:
            return 6;
        case input::kBusAdb:
            return 8;
        default:
            return 1;
    }
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_PointingDeviceSchema() {
    static const ClassSchema schema("Win32_PointingDevice", CIM_PointingDevice(), {
        {"DeviceInterface", CimType::UInt16},
        {"DoubleSpeedThreshold", CimType::UInt32},
        {"HardwareType", CimType::String},
        {"InfFileName", CimType::String},
        {"InfSection", CimType::String},
        {"Manufacturer", CimType::String},
        {"QuadSpeedThreshold", CimType::UInt32},
        {"SampleRate", CimType::UInt32},
        {"Synch", CimType::UInt32},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_PointingDevice(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const std::vector<input::InputDevice> devices = input::ReadDevices(root);
    std::vector<const input::InputDevice*> pointers;
    std::vector<input::PointerKind> kinds;
    for (const auto& device : devices)
        if (auto kind = input::PointerOf(device)) {
            pointers.push_back(&device);
            kinds.push_back(*kind);
        }
    if (pointers.empty()) return out;
    const devtree::PciIds ids = devtree::PciIds::Load(root, context.idFallback);
    const std::vector<input::InputIdentity> identities =
        input::Identify(root, ids, devtree::PciIds::LoadUsb(root, context.idFallback), pointers);
    for (size_t n = 0; n < pointers.size(); ++n) {
        const input::InputDevice& device = *pointers[n];
        const input::InputIdentity& identity = identities[n];
        Instance inst(Win32_PointingDeviceSchema());
        SetPnPIdentity(inst, {identity.deviceId, identity.pnpId, device.name, identity.manufacturer}, {"HardwareType"});
        inst.Set("PointingType", Value::UInt(PointingTypeOf(kinds[n])));
        inst.Set("NumberOfButtons", Value::UInt(input::ButtonCount(device)));
        inst.Set("DeviceInterface", Value::UInt(InterfaceOf(device.bus)));
        if (identity.parentPath && device.bus == input::kBusI8042) {
            if (auto resolution = ReadUnsigned(root, *identity.parentPath + "/resolution");
                resolution && *resolution <= UINT32_MAX)
                inst.Set("Resolution", Value::UInt(*resolution));
            if (auto rate = ReadUnsigned(root, *identity.parentPath + "/rate"); rate && *rate <= UINT32_MAX)
                inst.Set("SampleRate", Value::UInt(*rate));
        }
        SetWorkingStatus(inst, {.works = true, .availability = kAvailabilityRunning, .userConfig = {}});
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
