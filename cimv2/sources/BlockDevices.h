#pragma once
// The machine's disks and optical drives as sysfs block shows them
// (/sys/block/<name> and the device it hangs off), shared by
// Win32_DiskDrive, Win32_DiskPartition and Win32_CDROMDrive.
//
// Which block devices are disks a user expects: the ones with hardware under
// them (SCSI/SATA/USB/SAS, NVMe namespaces, virtio and Xen disks, MMC cards),
// and loop devices bound to an image file (an attached disk image, as
// Windows lists a mounted virtual disk). Left out: unbound loop devices,
// zram and RAM disks (memory, not disks), device-mapper and MD nodes (LVM
// volumes, encrypted and RAID sets: built from disks listed already) and
// other virtual devices, optical drives (Win32_CDROMDrive) and floppies.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/SystemRoot.h"

namespace cimv2::block {

struct ScsiAddress {  // host:channel:target:lun
    uint32_t host = 0, channel = 0, target = 0, lun = 0;
};

struct Partition {
    std::string name;  // "sda1", "nvme0n1p2"
    uint32_t number = 0;
    uint64_t startSector = 0;  // 512-byte sectors, as sysfs counts
    uint64_t sizeSectors = 0;
    bool readOnly = false;
};

enum class Transport { Unknown, Scsi, Ata, Usb, Nvme, Virtio, Mmc, Ieee1394, Loop };

struct BlockDevice {
    std::string name;  // "sda"
    std::string dir;   // "/sys/block/sda"
    std::optional<uint64_t> sizeSectors;
    std::optional<uint32_t> logicalBlockSize;
    bool removable = false;
    bool readOnly = false;
    Transport transport = Transport::Unknown;
    std::optional<std::string> vendor, model, serial, firmware;
    std::optional<ScsiAddress> scsi;
    std::vector<Partition> partitions;  // by number
};

// The disks, in name order.
std::vector<BlockDevice> ReadDisks(const SystemRoot& root);
// The optical drives (sr0, ...), in name order.
std::vector<BlockDevice> ReadOpticalDrives(const SystemRoot& root);

// "H:C:T:L"; nothing for any other text.
std::optional<ScsiAddress> ParseScsiAddress(std::string_view text);
// The unit serial number of a SCSI VPD page 0x80 (header of four bytes, the
// page length in byte 3), blanks trimmed; nothing when malformed or empty.
std::optional<std::string> ParseVpdSerial(std::string_view page);

// The kernel's CD-ROM table (/proc/sys/dev/cdrom/info): for each drive name
// ("sr0"), its rows by label ("Can write CD-R" -> "1", "drive speed" -> "24").
// Lines without a label, and values past the drive names, are skipped.
using CdromInfo = std::map<std::string, std::map<std::string, std::string>>;
CdromInfo ParseCdromInfo(std::string_view text);

}  // namespace cimv2::block
