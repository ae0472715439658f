// Win32_Keyboard: the full keyboards among the kernel's input devices
// (/proc/bus/input/devices: the first 31 keys, Esc to the letters, are all
// there; power buttons, lid switches and media keys are not keyboards).
//
//   DeviceID, PNPDeviceID      the device the keyboard sits on as the device tree names it
//                              (serio port, HID device, USB interface); DeviceID gets the input
//                              node's name after it when two keyboards share that device, and is
//                              INPUT\<node> when no bus claims it (PNPDeviceID then null; the
//                              node is its event handler when the kernel gives no Sysfs path)
//   Name, Caption, Description the kernel's name of the input device
//   Layout                     XKBLAYOUT of the system's keyboard configuration: Debian's
//                              /etc/default/keyboard, else systemd-localed's /etc/vconsole.conf
//                              (a single layout's XKBVARIANT in parentheses, as XKB writes it:
//                              "de(nodeadkeys)")
//   NumberOfFunctionKeys       the F1 to F12 keys of its key capability bits (F13 to F24 are in
//                              every AT and HID keyboard's table, keys or not)
//   ConfigManagerErrorCode, Status, Availability  0, "OK" and 3 (running): a driver registered it
//   IsLocked, Password, LastErrorCode, PowerManagementCapabilities  null: Linux does not say
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/InputDevices.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_KeyboardSchema() {
    static const ClassSchema schema("Win32_Keyboard", CIM_Keyboard(), {});
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_Keyboard(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const std::vector<input::InputDevice> devices = input::ReadDevices(root);
    std::vector<const input::InputDevice*> keyboards;
    for (const auto& device : devices)
        if (input::IsKeyboard(device)) keyboards.push_back(&device);
    if (keyboards.empty()) return out;
    const devtree::PciIds ids = devtree::PciIds::Load(root, context.idFallback);
    const std::vector<input::InputIdentity> identities =
        input::Identify(root, ids, devtree::PciIds::LoadUsb(root, context.idFallback), keyboards);
    std::optional<std::string> layout;
    for (const char* file : {"/etc/default/keyboard", "/etc/vconsole.conf"}) {
        const auto config = ReadKeyValues(root, file);
        auto found = config.find("XKBLAYOUT");
        if (found == config.end() || found->second.empty()) continue;
        layout = found->second;
        auto variant = config.find("XKBVARIANT");
        if (variant != config.end() && !variant->second.empty() && layout->find(',') == std::string::npos)
            *layout += "(" + variant->second + ")";
        break;
    }
    for (size_t n = 0; n < keyboards.size(); ++n) {
        const input::InputDevice& device = *keyboards[n];
        const input::InputIdentity& identity = identities[n];
        Instance inst(Win32_KeyboardSchema());
        SetPnPIdentity(inst, {identity.deviceId, identity.pnpId, device.name, std::nullopt});
        if (layout) inst.SetText("Layout", *layout);
        inst.Set("NumberOfFunctionKeys", Value::UInt(input::FunctionKeyCount(device)));
        SetWorkingStatus(inst, {.works = true, .availability = kAvailabilityRunning, .userConfig = {}});
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
