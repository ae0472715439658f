#include "components/CBiosInfo.h"

namespace components {

namespace {

constexpr TCodeText kTargetOperatingSystem[] = {
    {0, "Unknown"},
    {1, "Other"},
    {2, "MACOS"},
    {3, "ATTUNIX"},
    {4, "DGUX"},
    {5, "DECNT"},
    {6, "Digital Unix"},
    {7, "OpenVMS"},
    {8, "HPUX"},
    {9, "AIX"},
    {10, "MVS"},
    {11, "OS400"},
    {12, "OS/2"},
    {13, "JavaVM"},
    {14, "MSDOS"},
    {15, "WIN3x"},
    {16, "WIN95"},
    {17, "WIN98"},
    {18, "WINNT"},
    {19, "WINCE"},
    {20, "NCR3000"},
    {21, "NetWare"},
    {22, "OSF"},
    {23, "DC/OS"},
    {24, "Reliant UNIX"},
    {25, "SCO UnixWare"},
    {26, "SCO OpenServer"},
    {27, "Sequent"},
    {28, "IRIX"},
    {29, "Solaris"},
    {30, "SunOS"},
    {31, "U6000"},
    {32, "ASERIES"},
    {33, "TandemNSK"},
    {34, "TandemNT"},
    {35, "BS2000"},
    {36, "LINUX"},
    {37, "Lynx"},
    {38, "XENIX"},
    {39, "VM/ESA"},
    {40, "Interactive UNIX"},
    {41, "BSDUNIX"},
    {42, "FreeBSD"},
    {43, "NetBSD"},
    {44, "GNU Hurd"},
    {45, "OS9"},
    {46, "MACH Kernel"},
    {47, "Inferno"},
    {48, "QNX"},
    {49, "EPOC"},
    {50, "IxWorks"},
    {51, "VxWorks"},
    {52, "MiNT"},
    {53, "BeOS"},
    {54, "HP MPE"},
    {55, "NextStep"},
    {56, "PalmPilot"},
    {57, "Rhapsody"},
    {58, "Windows 2000"},
    {59, "Dedicated"},
    {60, "VSE"},
    {61, "TPF"},
};

constexpr TCodeText kSoftwareElementState[] = {
    {0, "Deployable"},
    {1, "Installable"},
    {2, "Executable"},
    {3, "Running"},
};

constexpr TCodeText kBiosCharacteristics[] = {
    {0, "Reserved"},
    {1, "Reserved"},
    {2, "Unknown"},
    {3, "BIOS Characteristics Not Supported"},
    {4, "ISA is supported"},
    {5, "MCA is supported"},
    {6, "EISA is supported"},
    {7, "PCI is supported"},
    {8, "PC Card (PCMCIA) is supported"},
    {9, "Plug and Play is supported"},
    {10, "APM is supported"},
    {11, "BIOS is Upgradable (Flash)"},
    {12, "BIOS shadowing is allowed"},
    {13, "VL-VESA is supported"},
    {14, "ESCD support is available"},
    {15, "Boot from CD is supported"},
    {16, "Selectable Boot is supported"},
    {17, "BIOS ROM is socketed"},
    {18, "Boot From PC Card (PCMCIA) is supported"},
    {19, "EDD (Enhanced Disk Drive) Specification is supported"},
    {20, "Int 13h - Japanese Floppy for NEC 9800 1.2mb (3.5, 1k Bytes/Sector, 360 RPM) is supported"},
    {21, "Int 13h - Japanese Floppy for Toshiba 1.2mb (3.5, 360 RPM) is supported"},
    {22, "Int 13h - 5.25 / 360 KB Floppy Services are supported"},
    {23, "Int 13h - 5.25 /1.2MB Floppy Services are supported"},
    {24, "Int 13h - 3.5 / 720 KB Floppy Services are supported"},
    {25, "Int 13h - 3.5 / 2.88 MB Floppy Services are supported"},
    {26, "Int 5h, Print Screen Service is supported"},
    {27, "Int 9h, 8042 Keyboard services are supported"},
    {28, "Int 14h, Serial Services are supported"},
    {29, "Int 17h, printer services are supported"},
    {30, "Int 10h, CGA/Mono Video Services are supported"},
    {31, "NEC PC-98"},
    {32, "ACPI is supported"},
    {33, "USB Legacy is supported"},
    {34, "AGP is supported"},
    {35, "I2O boot is supported"},
    {36, "LS-120 boot is supported"},
    {37, "ATAPI ZIP Drive boot is supported"},
    {38, "1394 boot is supported"},
    {39, "Smart Battery is supported"},
    {40, 47, "Reserved for BIOS vendor"},
    {48, 63, "Reserved for system vendor"},
};

}  // namespace

std::span<const TFieldDef<TBiosProperties>> TBiosProperties::Fields() {
    using P = TBiosProperties;
    static const TFieldDef<P> fields[] = {
        IntegerList("BiosCharacteristics", &P::FBiosCharacteristics, &P::FBiosCharacteristicsCount,
                    &P::FBiosCharacteristicsAsString),
        TextList("BIOSVersion", &P::FBIOSVersion, &P::FBIOSVersionCount, &P::FBIOSVersionAsString),
        TextList("ListOfLanguages", &P::FListOfLanguages, &P::FListOfLanguagesCount, &P::FListOfLanguagesAsString),
        Text("BuildNumber", &P::FBuildNumber),
        Text("Caption", &P::FCaption),
        Text("CodeSet", &P::FCodeSet),
        Text("CurrentLanguage", &P::FCurrentLanguage),
        Text("Description", &P::FDescription),
        Text("IdentificationCode", &P::FIdentificationCode),
        Integer("InstallableLanguages", &P::FInstallableLanguages),
        Date("InstallDate", &P::FInstallDate),
        Text("LanguageEdition", &P::FLanguageEdition),
        Text("Manufacturer", &P::FManufacturer),
        Text("Name", &P::FName),
        Text("OtherTargetOS", &P::FOtherTargetOS),
        Boolean("PrimaryBIOS", &P::FPrimaryBIOS),
        Date("ReleaseDate", &P::FReleaseDate),
        Text("SerialNumber", &P::FSerialNumber),
        Text("SMBIOSBIOSVersion", &P::FSMBIOSBIOSVersion),
        Integer("SMBIOSMajorVersion", &P::FSMBIOSMajorVersion),
        Integer("SMBIOSMinorVersion", &P::FSMBIOSMinorVersion),
        Boolean("SMBIOSPresent", &P::FSMBIOSPresent),
        Text("SoftwareElementID", &P::FSoftwareElementID),
        Code("SoftwareElementState", &P::FSoftwareElementState, kSoftwareElementState),
        Text("Status", &P::FStatus),
        Code("TargetOperatingSystem", &P::FTargetOperatingSystem, kTargetOperatingSystem),
        Text("Version", &P::FVersion),
    };
    return fields;
}

std::string TBiosProperties::TargetOperatingSystemAsString() const {
    return Decode(kTargetOperatingSystem, FTargetOperatingSystem);
}
std::string TBiosProperties::SoftwareElementStateAsString() const {
    return Decode(kSoftwareElementState, FSoftwareElementState);
}
std::string TBiosProperties::GetBiosCharacteristicsAsString(int32_t index) {
    return Decode(kBiosCharacteristics, index);
}

TBiosInfo::TBiosInfo() : TRecordComponent("Win32_Bios", "/en-us/library/aa394077(VS.85).aspx") {}

}  // namespace components
