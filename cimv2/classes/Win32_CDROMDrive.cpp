// Win32_CDROMDrive: one instance per optical drive of sysfs block (sr0, ...),
// with the kernel's CD-ROM table /proc/sys/dev/cdrom/info for what the drive
// can do and /proc/self/mountinfo for where its disc is mounted.
//
//   DeviceID, PNPDeviceID    the device tree's SCSI\CdRom&Ven_..&Prod_..\.. ID of the unit
//   Name, Caption            vendor and model (the device tree's name), else the model
//   Manufacturer             the SCSI vendor text
//   RevisionLevel, MfrAssignedRevisionLevel  the firmware revision (SCSI rev)
//   SerialNumber             SCSI VPD page 0x80 when the drive has one
//   SCSIPort, SCSIBus, SCSITargetId, SCSILogicalUnit  the SCSI address host:channel:target:lun
//   MediaType                "DVD Writer", "CD Writer", "DVD-ROM" or "CD-ROM": the most the
//                            CD-ROM table says the drive does (CD-ROM without the table)
//   Capabilities, CapabilityDescriptions  3 Random Access, 7 Supports Removable Media, and 4
//                            Supports Writing when the table says it writes some medium
//   TransferRate             the table's drive speed (a multiple of the CD speed of 150 KiB/s),
//                            in KiB/s
//   MediaLoaded              the drive reports a medium (a size)
//   Size                     the medium's size; null without a disc
//   Drive, Id                the mount point of the disc; null when it is not mounted
//   VolumeName, VolumeSerialNumber  the disc's label and UUID (libblkid on the live machine)
//   Status, ConfigManagerErrorCode  "OK" and 0: a block device exists only with its driver bound
//   the rest (file system flags, block sizes, Availability, errors)  null: no source
#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/DeviceProperties.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/BlockDevices.h"
#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/LiveSources.h"
#include "cimv2/sources/Mounts.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_CDROMDriveSchema() {
    static const ClassSchema schema("Win32_CDROMDrive", CIM_CDROMDrive(), {
        {"Drive", CimType::String},
        {"DriveIntegrity", CimType::Boolean},
        {"FileSystemFlags", CimType::UInt16},
        {"FileSystemFlagsEx", CimType::UInt32},
        {"Id", CimType::String},
        {"Manufacturer", CimType::String},
        {"MaximumComponentLength", CimType::UInt32},
        {"MediaLoaded", CimType::Boolean},
        {"MediaType", CimType::String},
        {"MfrAssignedRevisionLevel", CimType::String},
        {"RevisionLevel", CimType::String},
        {"SCSIBus", CimType::UInt32},
        {"SCSILogicalUnit", CimType::UInt16},
        {"SCSIPort", CimType::UInt16},
        {"SCSITargetId", CimType::UInt16},
        {"SerialNumber", CimType::String},
        {"Size", CimType::UInt64},
        {"TransferRate", CimType::Real64},
        {"VolumeName", CimType::String},
        {"VolumeSerialNumber", CimType::String},
    });
    return schema;
}
// clang-format on

namespace {

bool Can(const std::map<std::string, std::string>& drive, const char* label) {
    auto it = drive.find(label);
    return it != drive.end() && it->second == "1";
}

// Where the disc of the drive with these device numbers is mounted (the last mount shown).
std::optional<std::string> MountPointOf(const std::vector<mounts::Mount>& all, const std::string& numbers) {
    std::optional<std::string> point;
    for (const auto& mount : all)
        if (std::to_string(mount.major) + ":" + std::to_string(mount.minor) == numbers && mount.root == "/")
            point = mount.mountPoint;
    return point;
}

}  // namespace

std::vector<Instance> EnumerateWin32_CDROMDrive(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const auto drives = block::ReadOpticalDrives(root);
    if (drives.empty()) return out;
    const devtree::PciIds ids = devtree::PciIds::Load(root, context.idFallback);
    const LiveSources& live = context.Live();
    const block::CdromInfo info =
        block::ParseCdromInfo(root.ReadFile("/proc/sys/dev/cdrom/info", 1 << 16).value_or(""));
    const auto mountTable = mounts::ParseMountInfo(root.ReadFile("/proc/self/mountinfo", 16 << 20).value_or(""));
    for (const block::BlockDevice& drive : drives) {
        Instance inst(Win32_CDROMDriveSchema());
        const auto device = devtree::DescribeDeviceAt(root, ids, drive.dir + "/device");
        if (device) {
            inst.SetText("DeviceID", device->deviceId);
            inst.SetText("PNPDeviceID", device->deviceId);
        }
        std::optional<std::string> name = device ? device->displayName : std::nullopt;
        if (!name) name = drive.model;
        SetIf(inst, "Name", name);
        SetIf(inst, "Caption", name);
        inst.SetText("Description", "CD-ROM Drive");
        SetIf(inst, "Manufacturer", drive.vendor);
        SetIf(inst, "RevisionLevel", drive.firmware);
        SetIf(inst, "MfrAssignedRevisionLevel", drive.firmware);
        SetIf(inst, "SerialNumber", drive.serial);
        if (drive.scsi) {
            inst.Set("SCSIPort", Value::UInt(drive.scsi->host));
            inst.Set("SCSIBus", Value::UInt(drive.scsi->channel));
            inst.Set("SCSITargetId", Value::UInt(drive.scsi->target));
            inst.Set("SCSILogicalUnit", Value::UInt(drive.scsi->lun));
        }
        std::vector<uint16_t> capabilities = {3, 7};
        std::vector<std::string> descriptions = {"Random Access", "Supports Removable Media"};
        const char* mediaType = "CD-ROM";
        if (auto it = info.find(drive.name); it != info.end()) {
            const auto& abilities = it->second;
            const bool writesDvd = Can(abilities, "Can write DVD-R") || Can(abilities, "Can write DVD-RAM");
            const bool writesCd = Can(abilities, "Can write CD-R") || Can(abilities, "Can write CD-RW");
            mediaType = writesDvd                        ? "DVD Writer"
                        : writesCd                       ? "CD Writer"
                        : Can(abilities, "Can read DVD") ? "DVD-ROM"
                                                         : "CD-ROM";
            if (writesDvd || writesCd) {
                capabilities.insert(capabilities.begin() + 1, 4);
                descriptions.insert(descriptions.begin() + 1, "Supports Writing");
            }
            if (auto speed = abilities.find("drive speed"); speed != abilities.end()) {
                if (auto times = ParseUnsigned(speed->second); times && *times > 0 && *times < 1000)
                    inst.Set("TransferRate", Value::Real(static_cast<double>(*times) * 150.0));
            }
        }
        inst.SetText("MediaType", mediaType);
        inst.Set("Capabilities", UIntArray(capabilities));
        inst.Set("CapabilityDescriptions", TextArray(descriptions));
        const bool loaded = drive.sizeSectors.value_or(0) > 0;
        if (drive.sizeSectors) inst.SetBool("MediaLoaded", loaded);
        if (loaded) {
            inst.Set("Size", Value::UInt(*drive.sizeSectors * 512));
            if (auto numbers = root.ReadAttribute(drive.dir + "/dev")) {
                if (auto point = MountPointOf(mountTable, *numbers)) {
                    inst.SetText("Drive", *point);
                    inst.SetText("Id", *point);
                }
            }
            const VolumeTags tags = live.Tags("/dev/" + drive.name);
            SetIf(inst, "VolumeName", tags.label);
            SetIf(inst, "VolumeSerialNumber", tags.uuid);
        }
        SetWorkingStatus(inst, {});
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
