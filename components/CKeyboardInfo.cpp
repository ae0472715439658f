#include "components/CKeyboardInfo.h"

namespace components {

namespace {

constexpr TCodeText kPassword[] = {
    {1, "Other"}, {2, "Unknown"}, {3, "Disabled"}, {4, "Enabled"}, {5, "Not Implemented"},
};

}  // namespace

SYSQUILL_RECORD_TABLE(TKeyboardProperties, SYSQUILL_KEYBOARD_FIELDS)

TKeyboardInfo::TKeyboardInfo() : TRecordComponent("Win32_Keyboard", "/en-us/library/aa394166(VS.85).aspx") {}

}  // namespace components
