#include "components/CPrintJobInfo.h"

namespace components {

namespace {

// Single bits only: a mask of several bits is no row of the table.
constexpr TCodeText kStatusMask[] = {
    {1, "Paused"},
    {2, "Error"},
    {4, "Deleting"},
    {8, "Spooling"},
    {16, "Printing"},
    {32, "Offline"},
    {64, "Paperout"},
    {128, "Printed"},
    {256, "Deleted"},
    {512, "Blocked_DevQ"},
    {1024, "User_Intervention_Req"},
    {2048, "Restart"},
};

}  // namespace

SYSQUILL_RECORD_TABLE(TPrintJobProperties, SYSQUILL_PRINT_JOB_FIELDS)

std::string TPrintJobProperties::GetStatusMaskAsString(int32_t mask) { return Decode(kStatusMask, mask); }

TPrintJobInfo::TPrintJobInfo() : TRecordComponent("Win32_PrintJob", "/en-us/library/aa394370(VS.85).aspx") {}

}  // namespace components
