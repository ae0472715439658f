#pragma once
// The display component: class Win32_DisplayConfiguration, its record and
// its dither type decoder. It has no reference page address.
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_DisplayConfiguration in reading order.
#define SYSQUILL_DISPLAY_FIELDS(FIELD)               \
    FIELD(Integer, BitsPerPel, uint32_t)             \
    FIELD(Text, Caption)                             \
    FIELD(Text, Description)                         \
    FIELD(Text, DeviceName)                          \
    FIELD(Integer, DisplayFlags, uint32_t)           \
    FIELD(Integer, DisplayFrequency, uint32_t)       \
    FIELD(CodeAs, DitherType, kDitherType, uint32_t) \
    FIELD(Text, DriverVersion)                       \
    FIELD(Integer, ICMIntent, uint32_t)              \
    FIELD(Integer, ICMMethod, uint32_t)              \
    FIELD(Integer, LogPixels, uint32_t)              \
    FIELD(Integer, PelsHeight, uint32_t)             \
    FIELD(Integer, PelsWidth, uint32_t)              \
    FIELD(Text, SettingID)                           \
    FIELD(Integer, SpecificationVersion, uint32_t)

class TDisplayProperties : public TPropertyRecord<TDisplayProperties> {
    SYSQUILL_RECORD(TDisplayProperties, SYSQUILL_DISPLAY_FIELDS)
};

class TDisplayInfo : public TRecordComponent<TDisplayProperties> {
public:
    TDisplayInfo();
    TDisplayProperties& DisplayProperties() const { return Record(); }
};

}  // namespace components
