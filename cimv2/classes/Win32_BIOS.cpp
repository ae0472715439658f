// Win32_BIOS from SMBIOS type 0 (with the entry point's version, type 1's
// serial number and type 13's languages), or from /sys/class/dmi/id.
#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/sources/Smbios.h"

namespace cimv2 {

namespace {

// WMI numbers the BIOS characteristics by SMBIOS bit: the 64-bit field's bits
// 0-31 are codes 0-31, extension byte 1 gives 32-39 (ACPI ... Smart Battery),
// extension byte 2 fills 40-47 (WMI's "reserved for BIOS vendor") and the
// system-vendor bits 48-63 keep their numbers.
enum class CharSource { Field, Extension1, Extension2 };
struct CharacteristicRange {
    CharSource source;
    int firstBit;
    int count;
    int firstCode;
};
constexpr CharacteristicRange kCharacteristicRanges[] = {
    {CharSource::Field, 0, 32, 0},
    {CharSource::Extension1, 0, 8, 32},
    {CharSource::Extension2, 0, 8, 40},
    {CharSource::Field, 48, 16, 48},
};
constexpr int kNotSupportedBit = 3;

std::vector<uint16_t> Characteristics(const smbios::BiosInfo& bios) {
    std::vector<uint16_t> codes;
    if (!bios.characteristics) return codes;
    // When firmware says characteristics are not supported the other bits mean nothing.
    if (*bios.characteristics & (uint64_t{1} << kNotSupportedBit)) return {kNotSupportedBit};
    for (const auto& range : kCharacteristicRanges) {
        std::optional<uint64_t> bits;
        switch (range.source) {
            case CharSource::Field:
                bits = bios.characteristics;
                break;
            case CharSource::Extension1:
                bits = bios.extension1;
                break;
            case CharSource::Extension2:
                bits = bios.extension2;
                break;
        }
        if (!bits) continue;
        for (int n = 0; n < range.count; ++n)
            if (*bits & (uint64_t{1} << (range.firstBit + n)))
                codes.push_back(static_cast<uint16_t>(range.firstCode + n));
    }
    return codes;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_BIOSSchema() {
    static const ClassSchema schema("Win32_BIOS", CIM_BIOSElement(), {
        {"BiosCharacteristics", CimType::UInt16, kArray},
        {"BIOSVersion", CimType::String, kArray},
        {"CurrentLanguage", CimType::String},
        {"EmbeddedControllerMajorVersion", CimType::UInt8},
        {"EmbeddedControllerMinorVersion", CimType::UInt8},
        {"InstallableLanguages", CimType::UInt16},
        {"ListOfLanguages", CimType::String, kArray},
        {"SMBIOSBIOSVersion", CimType::String},
        {"SMBIOSMajorVersion", CimType::UInt16},
        {"SMBIOSMinorVersion", CimType::UInt16},
        {"SMBIOSPresent", CimType::Boolean},
        {"SystemBiosMajorVersion", CimType::UInt8},
        {"SystemBiosMinorVersion", CimType::UInt8},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_BIOS(const ProviderContext& context) {
    smbios::SmbiosData data = smbios::ReadSmbios(context.root, context.notes);
    if (!data.bios && !data.fromTables) return {};
    const smbios::BiosInfo bios = data.bios.value_or(smbios::BiosInfo{});

    Instance inst(Win32_BIOSSchema());
    if (bios.characteristics) inst.Set("BiosCharacteristics", UIntArray(Characteristics(bios)));
    if (bios.version) inst.Set("BIOSVersion", TextArray({*bios.version}));
    // WMI names the BIOS object after its version string.
    SetIf(inst, "Caption", bios.version);
    SetIf(inst, "Description", bios.version);
    SetIf(inst, "Name", bios.version);
    SetIf(inst, "SoftwareElementID", bios.version);
    SetIf(inst, "SMBIOSBIOSVersion", bios.version);
    SetIf(inst, "Manufacturer", bios.vendor);
    if (bios.releaseDate) SetIf(inst, "ReleaseDate", smbios::BiosDateToCim(*bios.releaseDate));
    SetIfUInt(inst, "EmbeddedControllerMajorVersion", bios.ecMajor);
    SetIfUInt(inst, "EmbeddedControllerMinorVersion", bios.ecMinor);
    SetIfUInt(inst, "SystemBiosMajorVersion", bios.biosMajor);
    SetIfUInt(inst, "SystemBiosMinorVersion", bios.biosMinor);
    if (data.system) SetIf(inst, "SerialNumber", data.system->serialNumber);
    if (data.language) {
        SetIf(inst, "CurrentLanguage", data.language->currentLanguage);
        SetIfUInt(inst, "InstallableLanguages", data.language->installableLanguages);
        if (!data.language->languages.empty()) inst.Set("ListOfLanguages", TextArray(data.language->languages));
    }
    SetIfUInt(inst, "SMBIOSMajorVersion", data.major);
    SetIfUInt(inst, "SMBIOSMinorVersion", data.minor);
    // Either source exists only when the kernel found SMBIOS.
    inst.SetBool("SMBIOSPresent", true);
    // Type 0 describes the system BIOS, the one the machine started from.
    if (data.bios) inst.SetBool("PrimaryBIOS", true);
    // Keys of the class. The firmware that started the machine is in the
    // class's state 3 (Running), and firmware names no target system, for
    // which the class documents 0 (Unknown).
    inst.SetInt("SoftwareElementState", 3);
    inst.SetInt("TargetOperatingSystem", 0);
    return {inst};
}

}  // namespace cimv2
