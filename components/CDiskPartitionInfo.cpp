#include "components/CDiskPartitionInfo.h"

namespace components {

SYSQUILL_RECORD_TABLE(TDiskPartitionProperties, SYSQUILL_DISK_PARTITION_FIELDS)

TDiskPartitionInfo::TDiskPartitionInfo()
    : TRecordComponent("Win32_DiskPartition", "/en-us/library/aa394135(VS.85).aspx") {}

}  // namespace components
