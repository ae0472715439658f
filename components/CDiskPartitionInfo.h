#pragma once
// The disk partition component: class Win32_DiskPartition, one object per
// partition, its record and its access decoder. The record keeps the
// partition's "Type" as TypePartition.
#include "components/DeviceTables.h"
#include "components/PropertyRecord.h"

namespace components {

// Access: what the partition allows.
// clang-format off
inline constexpr TCodeText kAccess[] = {
    {0, "Unknown"},
    {1, "Readable"},
    {2, "Writable"},
    {3, "Read/write Supported"},
    {4, "Write Once"},
};
// clang-format on

// The fields of Win32_DiskPartition in reading order (alphabetical).
#define SYSQUILL_DISK_PARTITION_FIELDS(FIELD)                                         \
    FIELD(Code, Access, kAccess)                                                      \
    FIELD(Code, Availability, devices::kOfflineAvailability)                          \
    FIELD(Integer, BlockSize, int64_t)                                                \
    FIELD(Boolean, Bootable)                                                          \
    FIELD(Boolean, BootPartition)                                                     \
    FIELD(Text, Caption)                                                              \
    FIELD(CodeAs, ConfigManagerErrorCode, devices::kConfigManagerErrorCode, uint32_t) \
    FIELD(Boolean, ConfigManagerUserConfig)                                           \
    FIELD(Text, CreationClassName)                                                    \
    FIELD(Text, Description)                                                          \
    FIELD(Text, DeviceID)                                                             \
    FIELD(Integer, DiskIndex, uint32_t)                                               \
    FIELD(Boolean, ErrorCleared)                                                      \
    FIELD(Text, ErrorDescription)                                                     \
    FIELD(Text, ErrorMethodology)                                                     \
    FIELD(Integer, HiddenSectors, uint32_t)                                           \
    FIELD(Integer, Index, uint32_t)                                                   \
    FIELD(Date, InstallDate)                                                          \
    FIELD(Integer, LastErrorCode, uint32_t)                                           \
    FIELD(Text, Name)                                                                 \
    FIELD(Integer, NumberOfBlocks, int64_t)                                           \
    FIELD(Text, PNPDeviceID)                                                          \
    FIELD(ListText, PowerManagementCapabilities, TArrInteger)                         \
    FIELD(Boolean, PowerManagementSupported)                                          \
    FIELD(Boolean, PrimaryPartition)                                                  \
    FIELD(Text, Purpose)                                                              \
    FIELD(Boolean, RewritePartition)                                                  \
    FIELD(Integer, Size, int64_t)                                                     \
    FIELD(Integer, StartingOffset, int64_t)                                           \
    FIELD(Text, Status)                                                               \
    FIELD(Code, StatusInfo, devices::kStatusInfo)                                     \
    FIELD(Text, SystemCreationClassName)                                              \
    FIELD(Text, SystemName)                                                           \
    FIELD(TextAs, TypePartition, "Type")

class TDiskPartitionProperties : public TPropertyRecord<TDiskPartitionProperties> {
    SYSQUILL_RECORD(TDiskPartitionProperties, SYSQUILL_DISK_PARTITION_FIELDS)
};

class TDiskPartitionInfo : public TRecordComponent<TDiskPartitionProperties> {
public:
    TDiskPartitionInfo();
    TDiskPartitionProperties& DiskPartitionProperties() const { return Record(); }
};

}  // namespace components
