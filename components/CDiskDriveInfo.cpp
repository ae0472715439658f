#include "components/CDiskDriveInfo.h"

namespace components {

SYSQUILL_RECORD_TABLE(TDiskDriveProperties, SYSQUILL_DISK_DRIVE_FIELDS)

TDiskDriveInfo::TDiskDriveInfo() : TRecordComponent("Win32_DiskDrive", "/en-us/library/aa394132(VS.85).aspx") {}

}  // namespace components
