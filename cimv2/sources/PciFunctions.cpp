#include "cimv2/sources/PciFunctions.h"

#include "cimv2/sources/RootReaders.h"

namespace cimv2::pci {

std::vector<Function> FunctionsOfClass(const SystemRoot& root, const devtree::PciIds& ids, uint32_t base,
                                       bool (*accept)(uint32_t classCode)) {
    std::vector<Function> found;
    for (const auto& name : root.List("/sys/bus/pci/devices")) {
        const std::string path = "/sys/bus/pci/devices/" + name;
        const auto classCode = ReadHexId(root, path + "/class", 6);
        if (!classCode || (*classCode >> 16) != base || (accept && !accept(*classCode))) continue;
        auto device = devtree::DescribeDeviceAt(root, ids, path);
        if (!device || device->bus != "pci") continue;
        found.push_back({path, *classCode, std::move(*device), ReadLine(root, path + "/power_state")});
    }
    return found;
}

std::optional<StorageRole> StorageControllerRole(uint32_t classCode) {
    if ((classCode >> 16) != 0x01) return std::nullopt;
    switch ((classCode >> 8) & 0xFF) {
        case 0x01:
            return StorageRole{true, 37};
        case 0x06:
            return StorageRole{true, 6};
        case 0x00:
        case 0x04:
        case 0x80:
            return StorageRole{false, 2};
        case 0x07:
            return StorageRole{false, 11};
        case 0x08:
            return StorageRole{false, 5};
        default:
            return std::nullopt;
    }
}

uint16_t AvailabilityOf(const std::optional<std::string>& powerState) {
    if (!powerState) return 2;
    if (*powerState == "D0") return 3;
    if (*powerState == "D1" || *powerState == "D2") return 14;
    if (*powerState == "D3hot") return 15;
    if (*powerState == "D3cold") return 7;
    return 2;
}

std::optional<std::string> DriverVersion(const SystemRoot& root, const std::string& driver,
                                         const std::optional<std::string>& kernelRelease) {
    std::string module = driver;
    for (char& c : module)
        if (c == '-') c = '_';
    if (module.empty() || module.find('/') != std::string::npos || module == "." || module == "..") return std::nullopt;
    const std::string dir = "/sys/module/" + module;
    if (auto version = ReadLine(root, dir + "/version")) return version;
    if (ReadLine(root, dir + "/intree") == std::string("Y")) return kernelRelease;
    return std::nullopt;
}

}  // namespace cimv2::pci
