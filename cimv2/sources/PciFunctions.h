#pragma once
// The PCI functions of a class (storage, display), described through the
// device tree (IDs and names from pci.ids, the bound driver) with what a
// controller class adds: the class code and the power state.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2::pci {

struct Function {
    std::string path;    // "/sys/bus/pci/devices/0000:00:1f.2"
    uint32_t classCode;  // base << 16 | sub << 8 | prog-if
    devtree::PnpDevice device;
    std::optional<std::string> powerState;  // "D0", "D3hot", ...
};

// Every PCI function whose base class is base, in address order; with
// accept, only those whose class code it accepts (the others are never
// described, so their names are not looked up).
std::vector<Function> FunctionsOfClass(const SystemRoot& root, const devtree::PciIds& ids, uint32_t base,
                                       bool (*accept)(uint32_t classCode) = nullptr);

// How Windows files a mass storage function (base class 01) and the protocol
// it reports (CIM_Controller.ProtocolSupported): IDE 0101 (37 IDE) and SATA 0106
// (6 ATA/ATAPI) are IDE controllers; SCSI 0100 and RAID 0104 (2 unknown: parallel
// SCSI, virtio-scsi and others share the code), SAS 0107 (11 SCSI serial bus
// protocol), NVM 0108 (5 PCI) and other 0180 (2; virtio-blk) SCSI controllers;
// nothing for the rest.
struct StorageRole {
    bool ide;
    uint16_t protocol;
};
std::optional<StorageRole> StorageControllerRole(uint32_t classCode);

// CIM Availability from a PCI power state: 3 running (D0), 14 low power
// (D1, D2), 15 standby (D3hot), 7 power off (D3cold), 2 unknown otherwise.
uint16_t AvailabilityOf(const std::optional<std::string>& powerState);

// A kernel driver's version: /sys/module/<module>/version, else for a
// module built with the kernel (/sys/module/<module>/intree) the kernel
// release (the machine's fact, given); nothing otherwise.
std::optional<std::string> DriverVersion(const SystemRoot& root, const std::string& driver,
                                         const std::optional<std::string>& kernelRelease);

}  // namespace cimv2::pci
