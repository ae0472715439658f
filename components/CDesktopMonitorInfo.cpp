#include "components/CDesktopMonitorInfo.h"

namespace components {

namespace {

constexpr TCodeText kDisplayType[] = {
    {0, "Unknown"},
    {1, "Other"},
    {2, "Multiscan Color"},
    {3, "Multiscan Monochrome"},
    {4, "Fixed Frequency Color"},
    {5, "Fixed Frequency Monochrome"},
};

}  // namespace

SYSQUILL_RECORD_TABLE(TDesktopMonitorProperties, SYSQUILL_DESKTOP_MONITOR_FIELDS)

TDesktopMonitorInfo::TDesktopMonitorInfo()
    : TRecordComponent("Win32_DesktopMonitor", "/en-us/library/aa394122(VS.85).aspx") {}

}  // namespace components
