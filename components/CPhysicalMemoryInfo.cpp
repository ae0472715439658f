#include "components/CPhysicalMemoryInfo.h"

namespace components {

SYSQUILL_RECORD_TABLE(TPhysicalMemoryProperties, SYSQUILL_PHYSICAL_MEMORY_FIELDS)

TPhysicalMemoryInfo::TPhysicalMemoryInfo()
    : TRecordComponent("Win32_PhysicalMemory", "/en-us/library/aa394347(VS.85).aspx") {}

}  // namespace components
