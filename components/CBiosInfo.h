#pragma once
// The BIOS component: class Win32_Bios, its record and its decoders.
#include "components/PropertyRecord.h"

namespace components {

class TBiosProperties : public TPropertyRecord<TBiosProperties> {
    SYSQUILL_LIST(TArrInteger, BiosCharacteristics)
    SYSQUILL_LIST(TArrString, BIOSVersion)
    SYSQUILL_PROPERTY(std::string, BuildNumber)
    SYSQUILL_PROPERTY(std::string, Caption)
    SYSQUILL_PROPERTY(std::string, CodeSet)
    SYSQUILL_PROPERTY(std::string, CurrentLanguage)
    SYSQUILL_PROPERTY(std::string, Description)
    SYSQUILL_PROPERTY(std::string, IdentificationCode)
    SYSQUILL_PROPERTY(int32_t, InstallableLanguages)
    SYSQUILL_PROPERTY(TDateTime, InstallDate)
    SYSQUILL_PROPERTY(std::string, LanguageEdition)
    SYSQUILL_LIST(TArrString, ListOfLanguages)
    SYSQUILL_PROPERTY(std::string, Manufacturer)
    SYSQUILL_PROPERTY(std::string, Name)
    SYSQUILL_PROPERTY(std::string, OtherTargetOS)
    SYSQUILL_PROPERTY(bool, PrimaryBIOS)
    SYSQUILL_PROPERTY(TDateTime, ReleaseDate)
    SYSQUILL_PROPERTY(std::string, SerialNumber)
    SYSQUILL_PROPERTY(std::string, SMBIOSBIOSVersion)
    SYSQUILL_PROPERTY(int32_t, SMBIOSMajorVersion)
    SYSQUILL_PROPERTY(int32_t, SMBIOSMinorVersion)
    SYSQUILL_PROPERTY(bool, SMBIOSPresent)
    SYSQUILL_PROPERTY(std::string, SoftwareElementID)
    SYSQUILL_CODE(SoftwareElementState)
    SYSQUILL_PROPERTY(std::string, Status)
    SYSQUILL_CODE(TargetOperatingSystem)
    SYSQUILL_PROPERTY(std::string, Version)

public:
    // The text of one BIOS characteristic code (an element of BiosCharacteristics).
    static std::string GetBiosCharacteristicsAsString(int32_t index);
    // The record's fields in reading order: the three lists first.
    static std::span<const TFieldDef<TBiosProperties>> Fields();
};

class TBiosInfo : public TRecordComponent<TBiosProperties> {
public:
    TBiosInfo();
    TBiosProperties& BiosProperties() const { return Record(); }
};

}  // namespace components
