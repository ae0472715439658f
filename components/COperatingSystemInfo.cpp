#include "components/COperatingSystemInfo.h"

namespace components {

namespace {

// The texts are WMI's documentation's own, misspellings and all; the
// language names use the en dash.
// clang-format off
constexpr TCodeText kOperatingSystemSKU[] = {
    {0, "Undefined"},
    {1, "Ultimate Edition"},
    {2, "Home Basic Edition"},
    {3, "Home Premium Edition"},
    {4, "Enterprise Edition"},
    {5, "Home Basic N Edition"},
    {6, "Business Edition"},
    {7, "Standard Server Edition"},
    {8, "Datacenter Server Edition"},
    {9, "Small Business Server Edition"},
    {10, "Enterprise Server Edition"},
    {11, "Starter Edition"},
    {12, "Datacenter Server Core Edition"},
    {13, "Standard Server Core Edition"},
    {14, "Enterprise Server Core Edition"},
    {15, "Enterprise Server Edition for Itanium-Based Systems"},
    {16, "Business N Edition"},
    {17, "Web Server Edition"},
    {18, "Cluster Server Edition"},
    {19, "Home Server Edition"},
    {20, "Storage Express Server Edition"},
    {21, "Storage Standard Server Edition"},
    {22, "Storage Workgroup Server Edition"},
    {23, "Storage Enterprise Server Edition"},
    {24, "Server For Small Business Edition"},
    {25, "Small Business Server Premium Edition"},
};

constexpr TCodeText kOSType[] = {
    {0, "Unknown"},
    {1, "Other"},
    {2, "MACROS"},
    {3, "ATTUNIX"},
    {4, "DGUX"},
    {5, "DECNT"},
    {6, "Digital UNIX"},
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
};

constexpr TCodeText kProductType[] = {
    {1, "Work Station"},
    {2, "Domain Controller"},
    {3, "Server"},
};

constexpr TCodeText kSuiteMask[] = {
    {1, "Small Business"},
    {2, "Enterprise"},
    {4, "BackOffice"},
    {8, "Communications"},
    {16, "Terminal"},
    {32, "Small Business Restricted"},
    {64, "Embedded NT"},
    {128, "Data Center"},
    {256, "Single User"},
    {512, "Personal"},
    {1024, "Blade"},
};

constexpr TCodeText kOSLanguage[] = {
    {1, "Arabic"},
    {4, "Chinese (Simplified)– China"},
    {9, "English"},
    {1025, "Arabic – Saudi Arabia"},
    {1026, "Bulgarian"},
    {1027, "Catalan"},
    {1028, "Chinese (Traditional) – Taiwan"},
    {1029, "Czech"},
    {1030, "Danish"},
    {1031, "German – Germany"},
    {1032, "Greek"},
    {1033, "English – United States"},
    {1034, "Spanish – Traditional Sort"},
    {1035, "Finnish"},
    {1036, "French – France"},
    {1037, "Hebrew"},
    {1038, "Hungarian"},
    {1039, "Icelandic"},
    {1040, "Italian – Italy"},
    {1041, "Japanese"},
    {1042, "Korean"},
    {1043, "Dutch – Netherlands"},
    {1044, "Norwegian – Bokmal"},
    {1045, "Polish"},
    {1046, "Portuguese – Brazil"},
    {1047, "Rhaeto-Romanic"},
    {1048, "Romanian"},
    {1049, "Russian"},
    {1050, "Croatian"},
    {1051, "Slovak"},
    {1052, "Albanian"},
    {1053, "Swedish"},
    {1054, "Thai"},
    {1055, "Turkish"},
    {1056, "Urdu"},
    {1057, "Indonesian"},
    {1058, "Ukrainian"},
    {1059, "Belarusian"},
    {1060, "Slovenian"},
    {1061, "Estonian"},
    {1062, "Latvian"},
    {1063, "Lithuanian"},
    {1065, "Persian"},
    {1066, "Vietnamese"},
    {1069, "Basque"},
    {1070, "Serbian"},
    {1071, "Macedonian (F.Y.R.O. Macedonia)"},
    {1072, "Sutu"},
    {1073, "Tsonga"},
    {1074, "Tswana"},
    {1076, "Xhosa"},
    {1077, "Zulu"},
    {1078, "Afrikaans"},
    {1080, "Faeroese"},
    {1081, "Hindi"},
    {1082, "Maltese"},
    {1084, "Scottish Gaelic"},
    {1085, "Yiddish"},
    {1086, "Malay – Malaysia"},
    {2049, "Arabic – Iraq"},
    {2052, "Chinese (Simplified) – PRC"},
    {2055, "German – Switzerland"},
    {2057, "English – United Kingdom"},
    {2058, "Spanish – Mexico"},
    {2060, "French – Belgium"},
    {2064, "Italian – Switzerland"},
    {2067, "Dutch – Belgium"},
    {2068, "Norwegian – Nynorsk"},
    {2070, "Portuguese – Portugal"},
    {2072, "Romanian – Moldova"},
    {2073, "Russian – Moldova"},
    {2074, "Serbian – Latin"},
    {2077, "Swedish – Finland"},
    {3073, "Arabic – Egypt"},
    {3076, "Chinese (Traditional) – Hong Kong SAR"},
    {3079, "German – Austria"},
    {3081, "English – Australia"},
    {3082, "Spanish – International Sort"},
    {3084, "French – Canada"},
    {3098, "Serbian – Cyrillic"},
    {4097, "Arabic – Libya"},
    {4100, "Chinese (Simplified) – Singapore"},
    {4103, "German – Luxembourg"},
    {4105, "English – Canada"},
    {4106, "Spanish – Guatemala"},
    {4108, "French – Switzerland"},
    {5121, "Arabic – Algeria"},
    {5127, "German – Liechtenstein"},
    {5129, "English – New Zealand"},
    {5130, "Spanish – Costa Rica"},
    {5132, "French – Luxembourg"},
    {6145, "Arabic – Morocco"},
    {6153, "English – Ireland"},
    {6154, "Spanish – Panama"},
    {7169, "Arabic – Tunisia"},
    {7177, "English – South Africa"},
    {7178, "Spanish – Dominican Republic"},
    {8193, "Arabic – Oman"},
    {8201, "English – Jamaica"},
    {8202, "Spanish – Venezuela"},
    {9217, "Arabic – Yemen"},
    {9226, "Spanish – Colombia"},
    {10241, "Arabic – Syria"},
    {10249, "English – Belize"},
    {10250, "Spanish – Peru"},
    {11265, "Arabic – Jordan"},
    {11273, "English – Trinidad"},
    {11274, "Spanish – Argentina"},
    {12289, "Arabic – Lebanon"},
    {12298, "Spanish – Ecuador"},
    {13313, "Arabic – Kuwait"},
    {13322, "Spanish – Chile"},
    {14337, "Arabic – U.A.E."},
    {14346, "Spanish – Uruguay"},
    {15361, "Arabic – Bahrain"},
    {15370, "Spanish – Paraguay"},
    {16385, "Arabic – Qatar"},
    {16394, "Spanish – Bolivia"},
    {17418, "Spanish – El Salvador"},
    {18442, "Spanish – Honduras"},
    {19466, "Spanish – Nicaragua"},
    {20490, "Spanish – Puerto Rico"},
};

constexpr TCodeText kOSProductSuite[] = {
    {1, "Microsoft Small Business Server was once installed, but may have been upgraded to another version of Windows.. Windows Server 2003, Windows XP, and Windows 2000:  Small Business"},
    {2, "Windows Server 2008 Enterprise, Windows Server 2003, Enterprise Edition, Windows 2000 Advanced Server, or Windows NT Server 4.0 Enterprise Edition is installed.. Windows Server 2003, Windows XP, and Windows 2000:  Enterprise"},
    {4, "Windows BackOffice components are installed.. Windows Server 2003, Windows XP, and Windows 2000:  BackOffice"},
    {8, "Communication Server is installed.. Windows Server 2003, Windows XP, and Windows 2000:  Communication Server"},
    {16, "Terminal Services is installed.. Windows Server 2003, Windows XP, and Windows 2000:  Terminal Services"},
    {32, "Microsoft Small Business Server is installed with the restrictive client license.. Windows Server 2003, Windows XP, and Windows 2000:  Small Business (Restricted)"},
    {64, "Windows XP Embedded is installed.. Windows Server 2003 and Windows XP:  Embedded NT"},
    {128, "Windows Server 2008 Datacenter, Windows Server 2003, Datacenter Edition, or Windows 2000 Datacenter Server is installed.. Windows Server 2003, Windows XP, and Windows 2000:  Data Center"},
    {256, "Terminal Services is installed, but only one interactive session is supported.. Windows Server 2003, Windows XP, and Windows 2000:  This value is not available."},
    {512, "Windows XP Home Edition is installed.. Windows Server 2003, Windows XP, and Windows 2000:  This value is not available."},
    {1024, "Windows Server 2003, Web Edition is installed.. Windows Server 2003, Windows XP, and Windows 2000:  This value is not available."},
    {8192, "Windows Storage Server 2003 R2 is installed.. Windows Server 2003, Windows XP, and Windows 2000:  This value is not available."},
    {16384, "Windows Server 2003, Compute Cluster Edition is installed.. Windows Server 2003, Windows XP, and Windows 2000:  This value is not available."},
};

// clang-format on

}  // namespace

SYSQUILL_RECORD_TABLE(TOperatingSystemProperties, SYSQUILL_OPERATING_SYSTEM_FIELDS)

std::string TOperatingSystemProperties::GetOSProductSuiteAsString() const {
    return Decode(kOSProductSuite, OSProductSuite());
}

TOperatingSystemInfo::TOperatingSystemInfo()
    : TRecordComponent("Win32_OperatingSystem", "/en-us/library/aa394239(VS.85).aspx") {}

int32_t TOperatingSystemInfo::Reboot(const std::string& instanceProp, const wmi::OleVariant& instanceValue) {
    // Reboot takes no parameters.
    wmi::TArrVariant values;
    wmi::OleVariant result;
    ExecWMIMethod(instanceProp, instanceValue, "Reboot", {}, values, {}, {}, result);
    switch (result.GetType()) {
        case wmi::OleVariant::Type::Empty:
        case wmi::OleVariant::Type::Null:
            // Nothing ran (the component is not active, or no system matched
            // the selection): that is no restart, so it is not 0, success.
            return static_cast<int32_t>(kNothingRan);
        case wmi::OleVariant::Type::Int:
            return static_cast<int32_t>(result.AsInt());
        case wmi::OleVariant::Type::UInt:
            return static_cast<int32_t>(result.AsUInt());
        default:
            return static_cast<int32_t>(wmi::WMIVarToInt64(result, false));
    }
}

}  // namespace components
