#include "components/CBatteryInfo.h"

namespace components {

namespace {

// clang-format off
constexpr TCodeText kBatteryStatus[] = {
    {1, "The battery is discharging."},
    {2, "The system has access to AC so no battery is being discharged. However, the battery is not necessarily charging."},
    {3, "Fully Charged"},
    {4, "Low"},
    {5, "Critical"},
    {6, "Charging"},
    {7, "Charging and High"},
    {8, "Charging and Low"},
    {9, "Charging and Critical"},
    {10, "Undefined"},
    {11, "Partially Charged"},
};

constexpr TCodeText kChemistry[] = {
    {1, "Other"},
    {2, "Unknown"},
    {3, "Lead Acid"},
    {4, "Nickel Cadmium"},
    {5, "Nickel Metal Hydride"},
    {6, "Lithium-ion"},
    {7, "Zinc air"},
    {8, "Lithium Polymer"},
};
// clang-format on

}  // namespace

SYSQUILL_RECORD_TABLE(TBatteryProperties, SYSQUILL_BATTERY_FIELDS)

TBatteryInfo::TBatteryInfo() : TRecordComponent("Win32_Battery", "/en-us/library//aa394074(VS.85).aspx") {}

}  // namespace components
