// Win32_DiskDrive: one instance per disk of sysfs block (which block devices
// count as disks: cimv2/sources/BlockDevices.h), in name order.
//
//   Index                    the disk's place in that order, from 0
//   DeviceID, Name           "\\.\PHYSICALDRIVE<Index>", as Windows names a disk
//   PNPDeviceID              the device tree's ID of the device under the disk (the SCSI unit,
//                            the virtio device, the NVMe controller's PCI function)
//   Model                    sysfs model (SCSI inquiry, NVMe identify, MMC card name)
//   Caption                  the model, else the device tree's name of the device
//   Manufacturer             the SCSI vendor text, else the device tree's vendor (PCI vendor of
//                            an NVMe or virtio device)
//   SerialNumber             NVMe and MMC serial, the block device's serial (virtio, Xen), else
//                            SCSI VPD page 0x80 (device/vpd_pg80)
//   FirmwareRevision         SCSI rev, NVMe firmware_rev, MMC fwrev
//   InterfaceType            the bus the device hangs off, in Windows' words: "IDE" (ATA/SATA),
//                            "USB", "1394", "SCSI" (SCSI, SAS, and NVMe and virtio, which
//                            Windows' storage stack files as SCSI); null for others
//   MediaType                "Removable Media" (sysfs removable), "External hard disk media" (a
//                            fixed disk on USB), "Fixed hard disk media"
//   Size, BytesPerSector, TotalSectors  sysfs size (512-byte units) and logical block size
//   TotalHeads, TracksPerCylinder, SectorsPerTrack, TotalCylinders, TotalTracks  a disk has no
//                            geometry of its own: the BIOS translation of 255 heads and 63
//                            sectors per track the class documents, cylinders whole. Size stays
//                            the disk's exact size (as lsblk shows it), not the cylinders' product
//   Partitions               the partitions the kernel knows (sysfs)
//   Signature                the MBR disk signature, from the partition table (libblkid, where
//                            the disk can be opened); null for GPT disks and in a captured tree
//   SCSIPort, SCSIBus, SCSITargetId, SCSILogicalUnit  the SCSI address host:channel:target:lun
//   Capabilities, CapabilityDescriptions  3 Random Access; 4 Supports Writing unless read-only;
//                            7 Supports Removable Media when removable
//   MediaLoaded              the disk has a size (a card reader without a card has none)
//   Status, ConfigManagerErrorCode  "OK" and 0: a block device exists only with its driver bound
//   the rest (block sizes, Availability, power management, errors)  null: no source
#include "cimv2/core/CheckedMath.h"
#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/BlockDevices.h"
#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/LiveSources.h"

namespace cimv2 {

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_DiskDriveSchema() {
    static const ClassSchema schema("Win32_DiskDrive", CIM_DiskDrive(), {
        {"BytesPerSector", CimType::UInt32},
        {"FirmwareRevision", CimType::String},
        {"Index", CimType::UInt32},
        {"InterfaceType", CimType::String},
        {"Manufacturer", CimType::String},
        {"MediaLoaded", CimType::Boolean},
        {"MediaType", CimType::String},
        {"Model", CimType::String},
        {"Partitions", CimType::UInt32},
        {"SCSIBus", CimType::UInt32},
        {"SCSILogicalUnit", CimType::UInt16},
        {"SCSIPort", CimType::UInt16},
        {"SCSITargetId", CimType::UInt16},
        {"SectorsPerTrack", CimType::UInt32},
        {"SerialNumber", CimType::String},
        {"Signature", CimType::UInt32},
        {"Size", CimType::UInt64},
        {"TotalCylinders", CimType::UInt64},
        {"TotalHeads", CimType::UInt32},
        {"TotalSectors", CimType::UInt64},
        {"TotalTracks", CimType::UInt64},
        {"TracksPerCylinder", CimType::UInt32},
    });
    return schema;
}
// clang-format on

namespace {

const char* InterfaceTypeOf(block::Transport transport) {
    switch (transport) {
        case block::Transport::Ata:
            return "IDE";
        case block::Transport::Usb:
            return "USB";
        case block::Transport::Ieee1394:
            return "1394";
        case block::Transport::Scsi:
        case block::Transport::Nvme:
        case block::Transport::Virtio:
            return "SCSI";
        default:
            return nullptr;
    }
}

// The Plug and Play view of the device under a block device: the device
// itself, else its parent (an NVMe controller's PCI function).
std::optional<devtree::PnpDevice> DeviceUnder(const SystemRoot& root, const devtree::PciIds& ids,
                                              const std::string& dir) {
    if (auto device = devtree::DescribeDeviceAt(root, ids, dir + "/device")) return device;
    return devtree::DescribeDeviceAt(root, ids, dir + "/device/device");
}

}  // namespace

std::vector<Instance> EnumerateWin32_DiskDrive(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const auto disks = block::ReadDisks(root);
    if (disks.empty()) return out;
    const devtree::PciIds ids = devtree::PciIds::Load(root, context.idFallback);
    const LiveSources& live = context.Live();
    uint32_t index = 0;
    for (const block::BlockDevice& disk : disks) {
        Instance inst(Win32_DiskDriveSchema());
        const std::string id = "\\\\.\\PHYSICALDRIVE" + std::to_string(index);
        inst.Set("Index", Value::UInt(index++));
        inst.SetText("DeviceID", id);
        inst.SetText("Name", id);
        const auto device = DeviceUnder(root, ids, disk.dir);
        if (device) inst.SetText("PNPDeviceID", device->deviceId);
        SetIf(inst, "Model", disk.model);
        if (disk.model) {
            inst.SetText("Caption", *disk.model);
        } else if (device && device->displayName) {
            inst.SetText("Caption", *device->displayName);
        }
        inst.SetText("Description", "Disk drive");
        if (disk.vendor) {
            inst.SetText("Manufacturer", *disk.vendor);
        } else if (device && device->manufacturer) {
            inst.SetText("Manufacturer", *device->manufacturer);
        }
        SetIf(inst, "SerialNumber", disk.serial);
        SetIf(inst, "FirmwareRevision", disk.firmware);
        if (const char* type = InterfaceTypeOf(disk.transport)) inst.SetText("InterfaceType", type);
        const bool usb = disk.transport == block::Transport::Usb;
        inst.SetText("MediaType", disk.removable ? "Removable Media"
                                  : usb          ? "External hard disk media"
                                                 : "Fixed hard disk media");
        std::vector<uint16_t> capabilities = {3};
        std::vector<std::string> descriptions = {"Random Access"};
        if (!disk.readOnly) {
            capabilities.push_back(4);
            descriptions.push_back("Supports Writing");
        }
        if (disk.removable) {
            capabilities.push_back(7);
            descriptions.push_back("Supports Removable Media");
        }
        inst.Set("Capabilities", UIntArray(capabilities));
        inst.Set("CapabilityDescriptions", TextArray(descriptions));
        if (disk.sizeSectors) {
            inst.SetBool("MediaLoaded", *disk.sizeSectors > 0);
            // A size past 2^64 bytes is no disk: Size and the geometry stay null.
            const std::optional<uint64_t> size = CheckedMul(*disk.sizeSectors, 512);
            SetIfUInt(inst, "Size", size);
            if (size && disk.logicalBlockSize && *size > 0) {
                constexpr uint32_t kHeads = 255, kSectorsPerTrack = 63;
                const uint64_t sectors = *size / *disk.logicalBlockSize;
                const uint64_t cylinders = sectors / (kHeads * kSectorsPerTrack);
                inst.Set("BytesPerSector", Value::UInt(*disk.logicalBlockSize));
                inst.Set("TotalSectors", Value::UInt(sectors));
                inst.Set("TotalHeads", Value::UInt(kHeads));
                inst.Set("TracksPerCylinder", Value::UInt(kHeads));
                inst.Set("SectorsPerTrack", Value::UInt(kSectorsPerTrack));
                inst.Set("TotalCylinders", Value::UInt(cylinders));
                inst.Set("TotalTracks", Value::UInt(cylinders * kHeads));
            }
        }
        inst.Set("Partitions", Value::UInt(disk.partitions.size()));
        if (disk.scsi) {
            inst.Set("SCSIPort", Value::UInt(disk.scsi->host));
            inst.Set("SCSIBus", Value::UInt(disk.scsi->channel));
            inst.Set("SCSITargetId", Value::UInt(disk.scsi->target));
            inst.Set("SCSILogicalUnit", Value::UInt(disk.scsi->lun));
        }
        if (auto table = live.PartitionTableOf("/dev/" + disk.name))
            SetIfUInt(inst, "Signature", parts::MbrSignature(*table));
        SetWorkingStatus(inst, {});
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
