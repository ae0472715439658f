#pragma once
// The CD-ROM drive component: class Win32_CDRomDrive, one object per
// optical drive, its record and its file system flags decoder. The lists
// are kept only as text.
#include "components/DeviceTables.h"
#include "components/PropertyRecord.h"

namespace components {

// FileSystemFlagsEx, one row per single flag (the texts as the class's
// documentation words them, its slips included).
// clang-format off
inline constexpr TCodeText kFileSystemFlagsEx[] = {
    {1, "The file system supports case-sensitive file names."},
    {2, "The file system preserves the case of file names when it places a name on a disk."},
    {4, "The file system supports Unicode in file names as they appear on the disk."},
    {8, "The file system preserves and enforces access control lists (ACLs). For example, the NTFS file system preserves and enforces ACLs and the FAT file system does not."},
    {16, "The file system supports file-based compression."},
    {32, "The file system supports disk quotas."},
    {64, "The file system supports spare files."},
    {128, "The file system supports reparse points.. SUPPORTS_REMOTE_STORAGE"},
    {256, "The file system supports the remote storage of files."},
    {16384, "The file system supports file names that are longer than eight characters."},
    {32768, "The specified disk volume is a compressed volume, for example, a DougbleSpace volume."},
    {65536, "The file system supports object identifiers.. SUPPORTS_ENCRYPTION"},
    {131072, "The file system supports the Encrypted File System (EFS).. SUPPORTS_NAMED_STREAMS"},
    {262144, "The file system supports named streams."},
    {524288, "The specified volume is read-only.. Windows 2000, Windows NT 4.0, and Windows Me/98/95:  This value is not supported."},
};
// clang-format on

// The fields of Win32_CDROMDrive in reading order (alphabetical).
#define SYSQUILL_CDROM_DRIVE_FIELDS(FIELD)                                            \
    FIELD(Code, Availability, devices::kAvailability)                                 \
    FIELD(ListText, Capabilities, TArrInteger)                                        \
    FIELD(ListText, CapabilityDescriptions, TArrString)                               \
    FIELD(Text, Caption)                                                              \
    FIELD(Text, CompressionMethod)                                                    \
    FIELD(CodeAs, ConfigManagerErrorCode, devices::kConfigManagerErrorCode, uint32_t) \
    FIELD(Boolean, ConfigManagerUserConfig)                                           \
    FIELD(Text, CreationClassName)                                                    \
    FIELD(Integer, DefaultBlockSize, int64_t)                                         \
    FIELD(Text, Description)                                                          \
    FIELD(Text, DeviceID)                                                             \
    FIELD(Text, Drive)                                                                \
    FIELD(Boolean, DriveIntegrity)                                                    \
    FIELD(Boolean, ErrorCleared)                                                      \
    FIELD(Text, ErrorDescription)                                                     \
    FIELD(Text, ErrorMethodology)                                                     \
    FIELD(Integer, FileSystemFlags, int32_t)                                          \
    FIELD(CodeAs, FileSystemFlagsEx, kFileSystemFlagsEx, uint32_t)                    \
    FIELD(Text, Id)                                                                   \
    FIELD(Date, InstallDate)                                                          \
    FIELD(Integer, LastErrorCode, uint32_t)                                           \
    FIELD(Text, Manufacturer)                                                         \
    FIELD(Integer, MaxBlockSize, int64_t)                                             \
    FIELD(Integer, MaximumComponentLength, uint32_t)                                  \
    FIELD(Integer, MaxMediaSize, int64_t)                                             \
    FIELD(Boolean, MediaLoaded)                                                       \
    FIELD(Text, MediaType)                                                            \
    FIELD(Text, MfrAssignedRevisionLevel)                                             \
    FIELD(Integer, MinBlockSize, int64_t)                                             \
    FIELD(Text, Name)                                                                 \
    FIELD(Boolean, NeedsCleaning)                                                     \
    FIELD(Integer, NumberOfMediaSupported, uint32_t)                                  \
    FIELD(Text, PNPDeviceID)                                                          \
    FIELD(ListText, PowerManagementCapabilities, TArrInteger)                         \
    FIELD(Boolean, PowerManagementSupported)                                          \
    FIELD(Text, RevisionLevel)                                                        \
    FIELD(Integer, SCSIBus, uint32_t)                                                 \
    FIELD(Integer, SCSILogicalUnit, int32_t)                                          \
    FIELD(Integer, SCSIPort, int32_t)                                                 \
    FIELD(Integer, SCSITargetId, int32_t)                                             \
    FIELD(IntegerOfText, SerialNumber, int32_t)                                       \
    FIELD(Integer, Size, int64_t)                                                     \
    FIELD(Text, Status)                                                               \
    FIELD(Code, StatusInfo, devices::kStatusInfo)                                     \
    FIELD(Text, SystemCreationClassName)                                              \
    FIELD(Text, SystemName)                                                           \
    FIELD(Real, TransferRate)                                                         \
    FIELD(Text, VolumeName)                                                           \
    FIELD(Text, VolumeSerialNumber)

class TCDRomDriveProperties : public TPropertyRecord<TCDRomDriveProperties> {
    SYSQUILL_RECORD(TCDRomDriveProperties, SYSQUILL_CDROM_DRIVE_FIELDS)
};

class TCDRomDriveInfo : public TRecordComponent<TCDRomDriveProperties> {
public:
    TCDRomDriveInfo();
    TCDRomDriveProperties& CDRomDriveProperties() const { return Record(); }
};

}  // namespace components
