// Win32_LogicalDisk: one instance per mounted file system a user would call
// a drive, from /proc/self/mountinfo through the root.
//
// Which mounts are drives (the rest are the system's pseudo file systems):
//   - a file system on a block device (the source is a /dev path; squashfs
//     images such as snaps are left out): DriveType 5 for optical devices
//     (major 11, iso9660, udf), 2 when the device is removable or hangs off
//     USB, else 3;
//   - a network file system (nfs, nfs4, cifs, smb3, 9p, ceph, glusterfs,
//     fuse.sshfs): DriveType 4, ProviderName its source;
//   - a tmpfs or ramfs outside /dev, /run, /sys and /proc: DriveType 6 (a RAM disk; those
//     four hold the system's own scratch space);
//   left out: proc, sysfs, cgroup, devtmpfs, overlay and every other file system without a
//   device, a bind mount of a directory (its root is not "/"), and a mount hidden by a
//   later one on the same mount point.
//
//   DeviceID, Name, Caption  the mount point
//   FileSystem               the kernel's type name ("ext4", "nfs4")
//   VolumeName, VolumeSerialNumber  label and UUID: libblkid on the live machine where the
//                            device is readable, else /dev/disk/by-label and by-uuid links
//   Size, FreeSpace, BlockSize, NumberOfBlocks, MaximumComponentLength  statvfs on the live
//                            machine (FreeSpace is what an ordinary user may use, as df's
//                            Avail); null in a captured tree
//   Access                   1 read-only, 3 read/write (mount options)
//   SupportsDiskQuotas, QuotasDisabled  Linux quota support of the file system type, and
//                            whether no quota mount option is set
//   Compressed, SupportsFileBasedCompression  btrfs: compress= mount option, chattr +c
//   VolumeDirty, QuotasIncomplete, QuotasRebuilding, Status  null: no source
#include <algorithm>
#include <map>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/provider/NotedRead.h"
#include "cimv2/sources/LiveSources.h"
#include "cimv2/sources/Mounts.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool HasOption(const mounts::Mount& mount, std::string_view option) {
    auto matches = [&](const std::string& o) { return o == option || StartsWith(o, std::string(option) + "="); };
    return std::any_of(mount.options.begin(), mount.options.end(), matches) ||
           std::any_of(mount.superOptions.begin(), mount.superOptions.end(), matches);
}

// The block device's sysfs directory: by its numbers, or by its name where the
// file system shows an anonymous device number (btrfs).
std::string BlockDeviceDir(const mounts::Mount& mount) {
    if (mount.major != 0) return "/sys/dev/block/" + std::to_string(mount.major) + ":" + std::to_string(mount.minor);
    const std::string name = mount.source.substr(mount.source.rfind('/') + 1);
    return name.empty() || name == "." || name == ".." ? std::string() : "/sys/class/block/" + name;
}

bool Removable(const SystemRoot& root, const mounts::Mount& mount) {
    const std::string dir = BlockDeviceDir(mount);
    if (dir.empty()) return false;
    if (root.ReadLink(dir).value_or("").find("/usb") != std::string::npos) return true;
    if (ReadUnsigned(root, dir + "/removable") == 1u) return true;
    // A partition: its disk says.
    return ReadUnsigned(root, dir + "/partition") && ReadUnsigned(root, dir + "/../removable") == 1u;
}

// The name under /dev/disk/<kind> that links to the device, decoded (udev
// writes "\x20" for a blank).
std::optional<std::string> DiskLinkName(const SystemRoot& root, const std::string& kind, const std::string& device) {
    auto baseName = [](const std::string& path) { return path.substr(path.rfind('/') + 1); };
    // The device by its own name, and by the node a link such as /dev/mapper/<name> stands for.
    const std::string deviceName = baseName(device);
    const std::string nodeName = baseName(root.ReadLink(device).value_or(device));
    for (const auto& name : root.List("/dev/disk/" + kind)) {
        auto target = root.ReadLink("/dev/disk/" + kind + "/" + name);
        if (!target || (baseName(*target) != deviceName && baseName(*target) != nodeName)) continue;
        std::string decoded;
        for (size_t i = 0; i < name.size(); ++i) {
            if (name.compare(i, 2, "\\x") == 0 && i + 3 < name.size()) {
                if (auto byte = ParseHex(std::string_view(name).substr(i + 2, 2), 2)) {
                    decoded.push_back(static_cast<char>(*byte));
                    i += 3;
                    continue;
                }
            }
            decoded.push_back(name[i]);
        }
        return decoded;
    }
    return std::nullopt;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_LogicalDiskSchema() {
    static const ClassSchema schema("Win32_LogicalDisk", CIM_LogicalDisk(), {
        {"Compressed", CimType::Boolean},
        {"DriveType", CimType::UInt32},
        {"FileSystem", CimType::String},
        {"MaximumComponentLength", CimType::UInt32},
        {"MediaType", CimType::UInt32},
        {"ProviderName", CimType::String},
        {"QuotasDisabled", CimType::Boolean},
        {"QuotasIncomplete", CimType::Boolean},
        {"QuotasRebuilding", CimType::Boolean},
        {"SupportsDiskQuotas", CimType::Boolean},
        {"SupportsFileBasedCompression", CimType::Boolean},
        {"VolumeDirty", CimType::Boolean},
        {"VolumeName", CimType::String},
        {"VolumeSerialNumber", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_LogicalDisk(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    auto text = ReadTextNoted(context, "/proc/self/mountinfo", 16 << 20);
    if (!text) return out;
    const auto all = mounts::ParseMountInfo(*text);
    // The last mount on a mount point is the one seen there.
    std::map<std::string, size_t> visible;
    for (size_t n = 0; n < all.size(); ++n) visible[all[n].mountPoint] = n;
    const LiveSources& live = context.Live();
    for (size_t n = 0; n < all.size(); ++n) {
        const mounts::Mount& mount = all[n];
        if (visible[mount.mountPoint] != n || mount.root != "/") continue;
        // Only a local disk can turn out removable: the pseudo file systems,
        // most of the table, are left out without looking up a device.
        auto driveType = mounts::DriveType(mount, false);
        if (!driveType) continue;
        if (*driveType == 3 && Removable(root, mount)) driveType = mounts::DriveType(mount, true);
        Instance inst(Win32_LogicalDiskSchema());
        inst.SetText("DeviceID", mount.mountPoint);
        inst.SetText("Name", mount.mountPoint);
        inst.SetText("Caption", mount.mountPoint);
        static const std::map<uint32_t, const char*> kDescriptions = {{2, "Removable Disk"},
                                                                      {3, "Local Fixed Disk"},
                                                                      {4, "Network Connection"},
                                                                      {5, "CD-ROM Disc"},
                                                                      {6, "RAM Disk"}};
        inst.SetText("Description", kDescriptions.at(*driveType));
        inst.Set("DriveType", Value::UInt(*driveType));
        inst.SetText("FileSystem", mount.fileSystem);
        if (*driveType == 4) inst.SetText("ProviderName", mount.source);
        inst.Set("Access", Value::UInt(HasOption(mount, "ro") ? 1 : 3));
        if (*driveType == 2 || *driveType == 3 || *driveType == 5) {
            VolumeTags tags = live.Tags(mount.source);
            if (!tags.label) tags.label = DiskLinkName(root, "by-label", mount.source);
            if (!tags.uuid) tags.uuid = DiskLinkName(root, "by-uuid", mount.source);
            if (tags.label) inst.SetText("VolumeName", *tags.label);
            if (tags.uuid) inst.SetText("VolumeSerialNumber", *tags.uuid);
        }
        const std::string& fs = mount.fileSystem;
        if (OneOf(fs, {"ext2", "ext3", "ext4", "xfs", "f2fs", "jfs", "reiserfs", "ocfs2", "gfs2"})) {
            inst.SetBool("SupportsDiskQuotas", true);
            const bool quotaOn =
                HasOption(mount, "quota") || HasOption(mount, "usrquota") || HasOption(mount, "grpquota") ||
                HasOption(mount, "prjquota") || HasOption(mount, "uquota") || HasOption(mount, "gquota") ||
                HasOption(mount, "pquota") || HasOption(mount, "usrjquota") || HasOption(mount, "grpjquota");
            inst.SetBool("QuotasDisabled", !quotaOn);
        } else if (OneOf(fs, {"vfat", "exfat", "iso9660", "udf", "ntfs", "ntfs3", "nfs", "nfs4", "cifs", "smb3"})) {
            inst.SetBool("SupportsDiskQuotas", false);
        }
        if (fs == "btrfs") {
            inst.SetBool("SupportsFileBasedCompression", true);
            inst.SetBool("Compressed", HasOption(mount, "compress") || HasOption(mount, "compress-force"));
        }
        if (auto usage = live.Usage(mount.mountPoint, context.notes)) {
            inst.Set("BlockSize", Value::UInt(usage->blockSize));
            inst.Set("NumberOfBlocks", Value::UInt(usage->blocks));
            inst.Set("Size", Value::UInt(usage->blocks * usage->blockSize));
            inst.Set("FreeSpace", Value::UInt(usage->freeBlocks * usage->blockSize));
            if (usage->nameMax) inst.Set("MaximumComponentLength", Value::UInt(usage->nameMax));
        }
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
