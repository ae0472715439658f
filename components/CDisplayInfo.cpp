#include "components/CDisplayInfo.h"

namespace components {

namespace {

constexpr TCodeText kDitherType[] = {
    {0, "No Dithering"}, {1, "Coarse Brush"}, {2, "Fine Brush"}, {3, "Line Art"}, {4, "Grayscale"},
};

}  // namespace

SYSQUILL_RECORD_TABLE(TDisplayProperties, SYSQUILL_DISPLAY_FIELDS)

TDisplayInfo::TDisplayInfo() : TRecordComponent("Win32_DisplayConfiguration", "") {}

}  // namespace components
