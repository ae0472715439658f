#include "components/CStartupCommandInfo.h"

namespace components {

SYSQUILL_RECORD_TABLE(TStartupCommandProperties, SYSQUILL_STARTUP_COMMAND_FIELDS)

TStartupCommandInfo::TStartupCommandInfo()
    : TRecordComponent("Win32_StartupCommand", "/en-us/library/aa394464(VS.85).aspx") {}

}  // namespace components
