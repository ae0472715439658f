#include "components/CCDRomDriveInfo.h"

namespace components {

SYSQUILL_RECORD_TABLE(TCDRomDriveProperties, SYSQUILL_CDROM_DRIVE_FIELDS)

TCDRomDriveInfo::TCDRomDriveInfo() : TRecordComponent("Win32_CDRomDrive", "/en-us/library/aa394081(VS.85).aspx") {}

}  // namespace components
