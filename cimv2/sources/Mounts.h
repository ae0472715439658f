#pragma once
// The mount table as /proc/self/mountinfo gives it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2::mounts {

struct Mount {
    uint32_t major = 0, minor = 0;
    std::string root;                       // the mounted directory of the file system ("/" for all of it)
    std::string mountPoint;                 // octal escapes (\040) decoded
    std::vector<std::string> options;       // per-mount options ("rw", "relatime")
    std::string fileSystem;                 // "ext4", "nfs4", "fuse.sshfs"
    std::string source;                     // "/dev/sda1", "server:/export", "none"
    std::vector<std::string> superOptions;  // per-superblock options
};

// Every well-formed line, in the kernel's order; malformed lines are skipped.
std::vector<Mount> ParseMountInfo(std::string_view text);

// Win32_LogicalDisk's DriveType for a mount a user would call a drive (4
// network, 6 RAM disk, 5 optical, 2 removable, 3 local disk); nothing for the
// system's pseudo file systems. removable: the block device says so.
std::optional<uint32_t> DriveType(const Mount& mount, bool removable);

// Octal escapes of mount table fields decoded ("\040" is a blank).
std::string DecodeEscapes(std::string_view field);

}  // namespace cimv2::mounts
