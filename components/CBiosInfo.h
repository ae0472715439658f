#pragma once
// The BIOS component: class Win32_Bios, its record and its decoders.
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_Bios in reading order (the three lists first).
#define SYSQUILL_BIOS_FIELDS(FIELD)                            \
    FIELD(CodeList, BiosCharacteristics, kBiosCharacteristics) \
    FIELD(TextList, BIOSVersion)                               \
    FIELD(TextList, ListOfLanguages)                           \
    FIELD(Text, BuildNumber)                                   \
    FIELD(Text, Caption)                                       \
    FIELD(Text, CodeSet)                                       \
    FIELD(Text, CurrentLanguage)                               \
    FIELD(Text, Description)                                   \
    FIELD(Text, IdentificationCode)                            \
    FIELD(Integer, InstallableLanguages, int32_t)              \
    FIELD(Date, InstallDate)                                   \
    FIELD(Text, LanguageEdition)                               \
    FIELD(Text, Manufacturer)                                  \
    FIELD(Text, Name)                                          \
    FIELD(Text, OtherTargetOS)                                 \
    FIELD(Boolean, PrimaryBIOS)                                \
    FIELD(Date, ReleaseDate)                                   \
    FIELD(Text, SerialNumber)                                  \
    FIELD(Text, SMBIOSBIOSVersion)                             \
    FIELD(Integer, SMBIOSMajorVersion, int32_t)                \
    FIELD(Integer, SMBIOSMinorVersion, int32_t)                \
    FIELD(Boolean, SMBIOSPresent)                              \
    FIELD(Text, SoftwareElementID)                             \
    FIELD(Code, SoftwareElementState, kSoftwareElementState)   \
    FIELD(Text, Status)                                        \
    FIELD(Code, TargetOperatingSystem, kTargetOperatingSystem) \
    FIELD(Text, Version)

// GetBiosCharacteristicsAsString(code) is the text of one element of BiosCharacteristics.
class TBiosProperties : public TPropertyRecord<TBiosProperties> {
    SYSQUILL_RECORD(TBiosProperties, SYSQUILL_BIOS_FIELDS)
};

class TBiosInfo : public TRecordComponent<TBiosProperties> {
public:
    TBiosInfo();
    TBiosProperties& BiosProperties() const { return Record(); }
};

}  // namespace components
