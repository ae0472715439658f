#include "components/CShareInfo.h"

namespace components {

namespace {

constexpr TCodeText kShareType[] = {
    {0, "Disk Drive"},
    {1, "Print Queue"},
    {2, "Device"},
    {3, "IPC"},
    {2147483648, "Disk Drive Admin"},
    {2147483649, "Print Queue Admin"},
    {2147483650, "Device Admin"},
    {2147483651, "IPC Admin"},
};

}  // namespace

SYSQUILL_RECORD_TABLE(TShareProperties, SYSQUILL_SHARE_FIELDS)

TShareInfo::TShareInfo() : TRecordComponent("Win32_Share", "/en-us/library/aa394435(VS.85).aspx") {}

}  // namespace components
