#include "components/CPointingDeviceInfo.h"

namespace components {

namespace {

// clang-format off
constexpr TCodeText kDeviceInterface[] = {
    {1, "Other"},
    {2, "Unknown"},
    {3, "Serial"},
    {4, "PS/2"},
    {5, "Infrared"},
    {6, "HP-HIL"},
    {7, "Bus Mouse"},
    {8, "ADB (Apple Desktop Bus)"},
    {160, "Bus Mouse DB-9"},
    {161, "Bus Mouse Micro-DIN"},
    {162, "USB"},
};

constexpr TCodeText kHandedness[] = {
    {0, "Unknown"},
    {1, "Not Applicable"},
    {2, "Right-Handed Operation"},
    {3, "Left-Handed Operation"},
};

constexpr TCodeText kPointingType[] = {
    {1, "Other"},
    {2, "Unknown"},
    {3, "Mouse"},
    {4, "Track Ball"},
    {5, "Track Point"},
    {6, "Glide Point"},
    {7, "Touch Pad"},
    {8, "Touch Screen"},
    {9, "Mouse - Optical Sensor"},
};
// clang-format on

}  // namespace

SYSQUILL_RECORD_TABLE(TPointingDeviceProperties, SYSQUILL_POINTING_DEVICE_FIELDS)

TPointingDeviceInfo::TPointingDeviceInfo()
    : TRecordComponent("Win32_PointingDevice", "/en-us/library/aa394356(VS.85).aspx") {}

}  // namespace components
