#pragma once
// A disk's partition table as libblkid reads it (MBR with its logical
// partitions, GPT with the backup header when the primary one is damaged),
// from an open disk device or a file holding a disk image. Entries the table
// cannot mean are left out: empty ones, ones that reach past the end of the
// device, ones that overlap an earlier entry, logical partitions outside
// their extended partition, and ones numbered past kMaxPartitionNumber.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cimv2::parts {

// The kernel makes no device for a partition numbered past 255 (its disks
// have 256 minor numbers, the whole disk's included), and reads no more of
// a GPT's entries than that, however many its header declares: an entry
// beyond them is no partition of this machine. A GPT made by the usual
// tools declares 128.
inline constexpr int kMaxPartitionNumber = 255;

struct PartitionEntry {
    uint32_t number = 0;       // as the kernel numbers it: sda<number>
    uint64_t startSector = 0;  // in 512-byte sectors from the start of the disk
    uint64_t sizeSectors = 0;  // in 512-byte sectors
    std::string type;          // "0x83" (MBR) or a lower-case GUID (GPT)
    bool primary = false;      // a GPT entry or one of the MBR's four
    bool extended = false;     // an MBR extended partition (holds the logical ones)
    bool active = false;       // MBR boot indicator 0x80, GPT attribute bit 2 (legacy BIOS bootable)
};

struct PartitionTable {
    std::string type;               // "dos" or "gpt"
    std::optional<std::string> id;  // MBR disk signature ("1a2b3c4d", as lsblk's PTUUID) or GPT disk GUID
    uint64_t deviceSectors = 0;     // the size libblkid saw, in 512-byte sectors
    std::vector<PartitionEntry> partitions;
};

// The table of the disk or image open at fd; nothing when it holds no
// partition table libblkid knows (a disk used whole, a damaged table).
std::optional<PartitionTable> ReadPartitionTable(int fd);

// The MBR disk signature as a number.
std::optional<uint32_t> MbrSignature(const PartitionTable& table);

// The partition type's name as fdisk and lsblk word it ("Linux filesystem",
// "EFI System"); nothing for a type they do not name here.
std::optional<std::string> TypeName(const PartitionTable& table, const PartitionEntry& entry);

}  // namespace cimv2::parts
