#pragma once
// The disk drive component: class Win32_DiskDrive, one object per disk, and
// its record. The lists are kept only as text.
#include "components/DeviceTables.h"
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_DiskDrive in reading order (alphabetical).
#define SYSQUILL_DISK_DRIVE_FIELDS(FIELD)                     \
    FIELD(Code, Availability, devices::kAvailability)         \
    FIELD(Integer, BytesPerSector, uint32_t)                  \
    FIELD(ListText, Capabilities, TArrInteger)                \
    FIELD(ListText, CapabilityDescriptions, TArrString)       \
    FIELD(Text, Caption)                                      \
    FIELD(Text, CompressionMethod)                            \
    FIELD(Integer, ConfigManagerErrorCode, uint32_t)          \
    FIELD(Boolean, ConfigManagerUserConfig)                   \
    FIELD(Text, CreationClassName)                            \
    FIELD(Integer, DefaultBlockSize, int64_t)                 \
    FIELD(Text, Description)                                  \
    FIELD(Text, DeviceID)                                     \
    FIELD(Boolean, ErrorCleared)                              \
    FIELD(Text, ErrorDescription)                             \
    FIELD(Text, ErrorMethodology)                             \
    FIELD(Text, FirmwareRevision)                             \
    FIELD(Integer, Index, uint32_t)                           \
    FIELD(Date, InstallDate)                                  \
    FIELD(Text, InterfaceType)                                \
    FIELD(Integer, LastErrorCode, uint32_t)                   \
    FIELD(Text, Manufacturer)                                 \
    FIELD(Integer, MaxBlockSize, int64_t)                     \
    FIELD(Integer, MaxMediaSize, int64_t)                     \
    FIELD(Boolean, MediaLoaded)                               \
    FIELD(Text, MediaType)                                    \
    FIELD(Integer, MinBlockSize, int64_t)                     \
    FIELD(Text, Model)                                        \
    FIELD(Text, Name)                                         \
    FIELD(Boolean, NeedsCleaning)                             \
    FIELD(Integer, NumberOfMediaSupported, uint32_t)          \
    FIELD(Integer, Partitions, uint32_t)                      \
    FIELD(Text, PNPDeviceID)                                  \
    FIELD(ListText, PowerManagementCapabilities, TArrInteger) \
    FIELD(Boolean, PowerManagementSupported)                  \
    FIELD(Integer, SCSIBus, uint32_t)                         \
    FIELD(Integer, SCSILogicalUnit, int32_t)                  \
    FIELD(Integer, SCSIPort, int32_t)                         \
    FIELD(Integer, SCSITargetId, int32_t)                     \
    FIELD(Integer, SectorsPerTrack, uint32_t)                 \
    FIELD(Text, SerialNumber)                                 \
    FIELD(Integer, Signature, uint32_t)                       \
    FIELD(Integer, Size, int64_t)                             \
    FIELD(Text, Status)                                       \
    FIELD(Integer, StatusInfo, int32_t)                       \
    FIELD(Text, SystemCreationClassName)                      \
    FIELD(Text, SystemName)                                   \
    FIELD(Integer, TotalCylinders, int64_t)                   \
    FIELD(Integer, TotalHeads, uint32_t)                      \
    FIELD(Integer, TotalSectors, int64_t)                     \
    FIELD(Integer, TotalTracks, int64_t)                      \
    FIELD(Integer, TracksPerCylinder, uint32_t)

class TDiskDriveProperties : public TPropertyRecord<TDiskDriveProperties> {
    SYSQUILL_RECORD(TDiskDriveProperties, SYSQUILL_DISK_DRIVE_FIELDS)
};

class TDiskDriveInfo : public TRecordComponent<TDiskDriveProperties> {
public:
    TDiskDriveInfo();
    TDiskDriveProperties& DiskDriveProperties() const { return Record(); }
};

}  // namespace components
