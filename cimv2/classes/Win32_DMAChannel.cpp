// Win32_DMAChannel from /proc/dma: the ISA DMA channels a driver holds.
// The kernel gives the channel and its owner only; transfer modes,
// timings and widths have no source and stay null.
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/Interrupts.h"

namespace cimv2 {

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_DMAChannelSchema() {
    static const ClassSchema schema("Win32_DMAChannel", CIM_SystemResource(), {
        {"AddressSize", CimType::UInt16},
        {"Availability", CimType::UInt16},
        {"BurstMode", CimType::Boolean},
        {"ByteMode", CimType::UInt16},
        {"ChannelTiming", CimType::UInt16},
        {"CreationClassName", CimType::String},
        {"CSCreationClassName", CimType::String},
        {"CSName", CimType::String},
        {"DMAChannel", CimType::UInt32, kKey},
        {"MaxTransferSize", CimType::UInt32},
        {"Port", CimType::UInt32},
        {"TypeCTiming", CimType::UInt16},
        {"WordMode", CimType::UInt16},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_DMAChannel(const ProviderContext& context) {
    std::vector<Instance> out;
    auto text = context.root.ReadFile("/proc/dma", 1u << 20);
    if (!text) return out;
    for (const auto& line : ParseDma(*text)) {
        Instance inst(Win32_DMAChannelSchema());
        const std::string name = "Channel " + std::to_string(line.channel);
        inst.SetText("Name", name);
        inst.SetText("Caption", name);
        // The owner is the one thing the kernel says about a channel.
        if (!line.device.empty()) inst.SetText("Description", line.device);
        inst.Set("DMAChannel", Value::UInt(line.channel));
        SetIdentity(inst, context);
        // CIM availability 4: in use (only held channels are listed).
        inst.SetInt("Availability", 4);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
