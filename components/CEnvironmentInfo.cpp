#include "components/CEnvironmentInfo.h"

namespace components {

SYSQUILL_RECORD_TABLE(TEnvironmentProperties, SYSQUILL_ENVIRONMENT_FIELDS)

TEnvironmentInfo::TEnvironmentInfo() : TRecordComponent("Win32_Environment", "/en-us/library/aa394143(VS.85).aspx") {}

}  // namespace components
