// Win32_DiskPartition: one instance per partition the kernel knows of each
// disk of Win32_DiskDrive (sysfs block: sda1, nvme0n1p2), disk by disk in
// that class's order, partitions by number.
//
//   DiskIndex                the disk's Index in Win32_DiskDrive
//   Index                    the partition's place on its disk, from 0
//   DeviceID, Name, Caption  "Disk #<DiskIndex>, Partition #<Index>", as Windows names them
//   StartingOffset, Size     sysfs start and size (512-byte units) in bytes
//   BlockSize, NumberOfBlocks  the disk's logical block size, and Size in those blocks
//   Access                   1 readable (sysfs ro), else 3 read/write
//   From the partition table itself (libblkid on the disk device, where it can be opened:
//   the live machine with the right to read the disk), when its entry of the same number
//   starts and ends where the kernel says; null otherwise (a captured tree, no right to
//   open the disk, an entry the table does not hold or holds elsewhere):
//   Type, Description        "GPT: " and the type's name for GPT entries, the name for MBR
//                            ones (fdisk's names, as lsblk's PARTTYPENAME), the raw type
//                            (0x83, a GUID) when unnamed
//   PrimaryPartition         a GPT entry or one of the MBR's four (false for logical ones)
//   BootPartition            the MBR boot indicator, or GPT's legacy BIOS bootable attribute
//   Bootable                 that, or an EFI System partition
//   HiddenSectors            an MBR primary partition's first sector, in logical blocks
//   the rest (Purpose, Availability, Status, errors, power management)  null: no source
#include "cimv2/core/CheckedMath.h"
#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/BlockDevices.h"
#include "cimv2/sources/LiveSources.h"

namespace cimv2 {

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_DiskPartitionSchema() {
    static const ClassSchema schema("Win32_DiskPartition", CIM_DiskPartition(), {
        {"BootPartition", CimType::Boolean},
        {"DiskIndex", CimType::UInt32},
        {"HiddenSectors", CimType::UInt32},
        {"Index", CimType::UInt32},
        {"RewritePartition", CimType::Boolean},
        {"Size", CimType::UInt64},
        {"StartingOffset", CimType::UInt64},
        {"Type", CimType::String},
    });
    return schema;
}
// clang-format on

namespace {

constexpr const char* kEfiSystem = "c12a7328-f81f-11d2-ba4b-00a0c93ec93b";

const parts::PartitionEntry* EntryFor(const std::optional<parts::PartitionTable>& table,
                                      const block::Partition& partition) {
    if (!table) return nullptr;
    for (const auto& entry : table->partitions)
        if (entry.number == partition.number)
            return entry.startSector == partition.startSector && entry.sizeSectors == partition.sizeSectors ? &entry
                                                                                                            : nullptr;
    return nullptr;
}

}  // namespace

std::vector<Instance> EnumerateWin32_DiskPartition(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const LiveSources& live = context.Live();
    uint32_t diskIndex = 0;
    for (const block::BlockDevice& disk : block::ReadDisks(root)) {
        const uint32_t thisDisk = diskIndex++;
        if (disk.partitions.empty()) continue;
        const auto table = live.PartitionTableOf("/dev/" + disk.name);
        uint32_t index = 0;
        for (const block::Partition& partition : disk.partitions) {
            Instance inst(Win32_DiskPartitionSchema());
            const std::string id = "Disk #" + std::to_string(thisDisk) + ", Partition #" + std::to_string(index);
            inst.Set("DiskIndex", Value::UInt(thisDisk));
            inst.Set("Index", Value::UInt(index++));
            inst.SetText("DeviceID", id);
            inst.SetText("Name", id);
            inst.SetText("Caption", id);
            // A size past the disk's end, or past 2^64 bytes, is no partition's: null.
            const std::optional<uint64_t> end = CheckedAdd(partition.startSector, partition.sizeSectors);
            const bool insideDisk = end && (!disk.sizeSectors || *end <= *disk.sizeSectors);
            const std::optional<uint64_t> size =
                insideDisk ? CheckedMul(partition.sizeSectors, 512) : std::optional<uint64_t>();
            const std::optional<uint64_t> offset = CheckedMul(partition.startSector, 512);
            SetIfUInt(inst, "StartingOffset", offset);
            SetIfUInt(inst, "Size", size);
            if (disk.logicalBlockSize) {
                inst.Set("BlockSize", Value::UInt(*disk.logicalBlockSize));
                if (size) inst.Set("NumberOfBlocks", Value::UInt(*size / *disk.logicalBlockSize));
            }
            inst.Set("Access", Value::UInt(partition.readOnly ? 1 : 3));
            if (const parts::PartitionEntry* entry = EntryFor(table, partition)) {
                const bool gpt = table->type == "gpt";
                const std::string name = parts::TypeName(*table, *entry).value_or(entry->type);
                const std::string type = gpt ? "GPT: " + name : name;
                inst.SetText("Type", type);
                inst.SetText("Description", type);
                inst.SetBool("PrimaryPartition", entry->primary);
                inst.SetBool("BootPartition", entry->active);
                inst.SetBool("Bootable", entry->active || (gpt && entry->type == kEfiSystem));
                if (!gpt && entry->primary && disk.logicalBlockSize && offset) {
                    const uint64_t hidden = *offset / *disk.logicalBlockSize;
                    if (hidden <= UINT32_MAX) inst.Set("HiddenSectors", Value::UInt(hidden));
                }
            }
            SetIdentity(inst, context);
            out.push_back(std::move(inst));
        }
    }
    return out;
}

}  // namespace cimv2
