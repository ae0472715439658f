// Win32_OperatingSystem: the running system. The system's name, the
// kernel's release and the boot time are the machine facts every class
// shares; the kernel's type, build number and architecture from
// /proc/sys/kernel/{ostype,version,arch}; memory and swap in KB from
// /proc/meminfo and /proc/swaps; local time and zone from the context's
// clock and /etc/localtime; processes from the numbered entries of /proc, users from
// logind's sessions (/run/systemd/sessions); limits from
// /proc/sys/kernel/{pid_max,threads-max} and the address width the kernel
// gives processes; the system locale (/etc/default/locale or
// /etc/locale.conf) mapped to Windows' locale, language, country and code
// page numbers; the root and boot devices from /proc/mounts. InstallDate
// is the birth time of the root directory, which the file system records
// when it is created; only the live machine has it. Editions, serial
// numbers, service packs and the other Windows-only properties stay null.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "cimv2/core/CheckedMath.h"
#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/LogindActions.h"
#include "cimv2/sources/ProcFiles.h"
#include "cimv2/sources/RootReaders.h"
#include "cimv2/sources/TimeZone.h"

namespace cimv2 {

namespace {

constexpr uint16_t kOsTypeLinux = 36;

// Windows' locale ids and telephone country codes for the language and
// territory of a POSIX locale name.
struct LocaleCode {
    const char* name;  // ll_CC
    uint16_t lcid;
    uint16_t country;
};
constexpr LocaleCode kLocales[] = {
    {"af_ZA", 1078, 27},  {"ar_EG", 3073, 20}, {"ar_SA", 1025, 966}, {"bg_BG", 1026, 359}, {"ca_ES", 1027, 34},
    {"cs_CZ", 1029, 420}, {"da_DK", 1030, 45}, {"de_AT", 3079, 43},  {"de_CH", 2055, 41},  {"de_DE", 1031, 49},
    {"de_LU", 4103, 352}, {"el_GR", 1032, 30}, {"en_AU", 3081, 61},  {"en_CA", 4105, 2},   {"en_GB", 2057, 44},
    {"en_IE", 6153, 353}, {"en_NZ", 5129, 64}, {"en_US", 1033, 1},   {"en_ZA", 7177, 27},  {"es_AR", 11274, 54},
    {"es_CL", 13322, 56}, {"es_CO", 9226, 57}, {"es_ES", 3082, 34},  {"es_MX", 2058, 52},  {"et_EE", 1061, 372},
    {"eu_ES", 1069, 34},  {"fa_IR", 1065, 98}, {"fi_FI", 1035, 358}, {"fr_BE", 2060, 32},  {"fr_CA", 3084, 2},
    {"fr_CH", 4108, 41},  {"fr_FR", 1036, 33}, {"fr_LU", 5132, 352}, {"he_IL", 1037, 972}, {"hi_IN", 1081, 91},
    {"hr_HR", 1050, 385}, {"hu_HU", 1038, 36}, {"id_ID", 1057, 62},  {"is_IS", 1039, 354}, {"it_CH", 2064, 41},
    {"it_IT", 1040, 39},  {"ja_JP", 1041, 81}, {"ko_KR", 1042, 82},  {"lt_LT", 1063, 370}, {"lv_LV", 1062, 371},
    {"mk_MK", 1071, 389}, {"ms_MY", 1086, 60}, {"mt_MT", 1082, 356}, {"nb_NO", 1044, 47},  {"nl_BE", 2067, 32},
    {"nl_NL", 1043, 31},  {"nn_NO", 2068, 47}, {"pl_PL", 1045, 48},  {"pt_BR", 1046, 55},  {"pt_PT", 2070, 351},
    {"ro_RO", 1048, 40},  {"ru_RU", 1049, 7},  {"sk_SK", 1051, 421}, {"sl_SI", 1060, 386}, {"sq_AL", 1052, 355},
    {"sv_FI", 2077, 358}, {"sv_SE", 1053, 46}, {"th_TH", 1054, 66},  {"tr_TR", 1055, 90},  {"uk_UA", 1058, 380},
    {"ur_PK", 1056, 92},  {"vi_VN", 1066, 84}, {"zh_CN", 2052, 86},  {"zh_HK", 3076, 852}, {"zh_SG", 4100, 65},
    {"zh_TW", 1028, 886},
};
// The invariant locale, Windows' counterpart of C and POSIX.
constexpr uint16_t kInvariantLcid = 0x007F;

// Windows code pages of the character sets a locale name can end with.
struct CodePage {
    const char* charset;  // upper case, without '-' and '_'
    uint16_t page;
};
constexpr CodePage kCodePages[] = {
    {"UTF8", 65001},     {"ISO88591", 28591},  {"ISO88592", 28592}, {"ISO88595", 28595}, {"ISO88597", 28597},
    {"ISO88599", 28599}, {"ISO885915", 28605}, {"KOI8R", 20866},    {"KOI8U", 21866},    {"CP1251", 1251},
    {"CP1252", 1252},    {"EUCJP", 20932},     {"SJIS", 932},       {"SHIFTJIS", 932},   {"GB2312", 936},
    {"GBK", 936},        {"GB18030", 54936},   {"BIG5", 950},       {"EUCKR", 51949},    {"TIS620", 874},
};

struct LocaleInfo {
    std::optional<uint16_t> lcid;
    std::optional<uint16_t> country;
    std::optional<uint16_t> codePage;
    std::optional<std::string> languageTag;  // "en-US"
};

std::string CharsetKey(std::string_view charset) {
    std::string key;
    for (char c : charset) {
        if (c == '-' || c == '_') continue;
        key += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return key;
}

// "en_US.UTF-8@euro": language_territory, then the character set.
LocaleInfo MapLocale(std::string_view name) {
    LocaleInfo info;
    name = name.substr(0, name.find('@'));
    const size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    if (dot != std::string_view::npos) {
        const std::string key = CharsetKey(name.substr(dot + 1));
        for (const auto& c : kCodePages)
            if (key == c.charset) info.codePage = c.page;
    }
    if (base == "C" || base == "POSIX") {
        info.lcid = kInvariantLcid;
        return info;
    }
    for (const auto& l : kLocales) {
        if (base != l.name) continue;
        info.lcid = l.lcid;
        info.country = l.country;
        std::string tag(base);
        tag[2] = '-';
        info.languageTag = tag;
    }
    return info;
}

// The system's locale: LANG of /etc/default/locale, else of /etc/locale.conf.
std::optional<std::string> SystemLocale(const SystemRoot& root) {
    for (const char* path : {"/etc/default/locale", "/etc/locale.conf"}) {
        auto values = ReadKeyValues(root, path);
        auto it = values.find("LANG");
        if (it != values.end() && !it->second.empty()) return it->second;
    }
    return std::nullopt;
}

// Minutes east of UTC at a moment; nothing without a readable zone file.
std::optional<int> OffsetAt(const std::optional<std::string>& zone, int64_t unixTime) {
    if (!zone) return std::nullopt;
    auto state = tz::ZoneAt(*zone, unixTime);
    if (!state) return std::nullopt;
    return state->utcOffsetSeconds / 60;
}

// The kernel's build number: "#1 SMP PREEMPT_DYNAMIC ..." gives "1".
std::optional<std::string> KernelBuild(const SystemRoot& root) {
    auto version = ReadLine(root, "/proc/sys/kernel/version");
    if (!version || version->size() < 2 || (*version)[0] != '#') return std::nullopt;
    const std::string digits = version->substr(1, version->find(' ') - 1);
    if (!ParseUnsigned(digits)) return std::nullopt;
    return digits;
}

struct Mounts {
    std::optional<std::string> root, boot, efi;
};

// The devices mounted at /, /boot and /boot/efi (the last mount of each
// wins, as later mounts hide earlier ones); only real block devices.
Mounts ReadMounts(const SystemRoot& root) {
    Mounts mounts;
    auto text = root.ReadFile("/proc/mounts", 4u << 20);
    if (!text) return mounts;
    std::string_view rest = *text;
    while (!rest.empty()) {
        size_t eol = rest.find('\n');
        std::string_view line = rest.substr(0, eol);
        rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
        size_t gap = line.find(' ');
        if (gap == std::string_view::npos) continue;
        std::string_view device = line.substr(0, gap);
        std::string_view point = line.substr(gap + 1);
        point = point.substr(0, point.find(' '));
        std::optional<std::string> value;
        if (device.substr(0, 5) == "/dev/") value = std::string(device);
        if (point == "/") mounts.root = value;
        if (point == "/boot") mounts.boot = value;
        if (point == "/boot/efi") mounts.efi = value;
    }
    return mounts;
}

// Logged-in sessions as logind keeps them; nothing without logind's directory.
std::optional<uint32_t> UserSessions(const SystemRoot& root) {
    constexpr const char* kSessions = "/run/systemd/sessions";
    if (!root.IsDirectory(kSessions)) return std::nullopt;
    uint32_t count = 0;
    for (const auto& name : root.List(kSessions)) {
        if (name.find('.') != std::string::npos) continue;  // "<id>.ref" pipes
        auto values = ReadKeyValues(root, std::string(kSessions) + "/" + name);
        auto cls = values.find("CLASS");
        auto state = values.find("STATE");
        if (cls != values.end() && cls->second != "user") continue;
        if (state != values.end() && state->second == "closing") continue;
        ++count;
    }
    return count;
}

std::optional<uint32_t> ProcessCount(const SystemRoot& root) {
    uint32_t count = 0;
    for (const auto& name : root.List("/proc"))
        if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) ++count;
    if (count == 0) return std::nullopt;
    return count;
}

// The live root directory's birth time, where the file system keeps one.
std::optional<int64_t> RootBirthTime(const SystemRoot& root) {
    if (root.Dir() != "/") return std::nullopt;  // a captured tree has its checkout's times
    struct statx st {};
    if (statx(AT_FDCWD, "/", 0, STATX_BTIME, &st) != 0 || !(st.stx_mask & STATX_BTIME)) return std::nullopt;
    if (st.stx_btime.tv_sec <= 0) return std::nullopt;
    return st.stx_btime.tv_sec;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_OperatingSystemSchema() {
    static const ClassSchema schema("Win32_OperatingSystem", CIM_OperatingSystem(), {
        {"BootDevice", CimType::String},
        {"BuildNumber", CimType::String},
        {"BuildType", CimType::String},
        {"CodeSet", CimType::String},
        {"CountryCode", CimType::String},
        {"CSDVersion", CimType::String},
        {"DataExecutionPrevention_32BitApplication", CimType::Boolean},
        {"DataExecutionPrevention_Available", CimType::Boolean},
        {"DataExecutionPrevention_Drivers", CimType::Boolean},
        {"DataExecutionPrevention_SupportPolicy", CimType::UInt8},
        {"Debug", CimType::Boolean},
        {"EncryptionLevel", CimType::UInt32},
        {"ForegroundApplicationBoost", CimType::UInt8},
        {"LargeSystemCache", CimType::UInt32},
        {"Locale", CimType::String},
        {"Manufacturer", CimType::String},
        {"MUILanguages", CimType::String, kArray},
        {"OperatingSystemSKU", CimType::UInt32},
        {"Organization", CimType::String},
        {"OSArchitecture", CimType::String},
        {"OSLanguage", CimType::UInt32},
        {"OSProductSuite", CimType::UInt32},
        {"PAEEnabled", CimType::Boolean},
        {"PlusProductID", CimType::String},
        {"PlusVersionNumber", CimType::String},
        {"PortableOperatingSystem", CimType::Boolean},
        {"Primary", CimType::Boolean},
        {"ProductType", CimType::UInt32},
        {"RegisteredUser", CimType::String},
        {"SerialNumber", CimType::String},
        {"ServicePackMajorVersion", CimType::UInt16},
        {"ServicePackMinorVersion", CimType::UInt16},
        {"SuiteMask", CimType::UInt32},
        {"SystemDevice", CimType::String},
        {"SystemDirectory", CimType::String},
        {"SystemDrive", CimType::String},
        {"WindowsDirectory", CimType::String},
    },
    {MethodDef{"Reboot", {}, {{"ReturnValue", CimType::UInt32}}}});
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_OperatingSystem(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    Instance inst(Win32_OperatingSystemSchema());
    SetIdentity(inst, context);

    const MachineFacts& facts = context.Facts();
    const std::optional<std::string>& caption = facts.systemName;
    if (!caption) return {};  // nothing says which system this is
    const Mounts mounts = ReadMounts(root);
    inst.SetText("Caption", *caption);
    // WMI's "caption|system directory|system device".
    inst.SetText("Name", *caption + "|/" + (mounts.root ? "|" + *mounts.root : ""));
    if (ReadLine(root, "/proc/sys/kernel/ostype") == "Linux") inst.Set("OSType", Value::UInt(kOsTypeLinux));
    SetIf(inst, "Version", facts.kernelRelease);
    SetIf(inst, "BuildNumber", KernelBuild(root));
    inst.SetBool("Primary", true);  // the system that runs
    inst.SetText("Status", "OK");
    SetIf(inst, "SystemDevice", mounts.root);
    SetIf(inst, "BootDevice", mounts.efi ? mounts.efi : mounts.boot ? mounts.boot : mounts.root);
    if (mounts.root) inst.SetText("SystemDrive", "/");

    const auto arch = ReadLine(root, "/proc/sys/kernel/arch");
    const auto& flags = facts.X86Flags();
    const auto words = procfs::CpuFlagWords(flags ? std::string_view(*flags) : std::string_view());
    if (arch) {
        const bool x86_64 = *arch == "x86_64";
        const bool x86_32 = *arch == "i386" || *arch == "i486" || *arch == "i586" || *arch == "i686";
        if (x86_64) inst.SetText("OSArchitecture", "64-bit");
        if (x86_32) inst.SetText("OSArchitecture", "32-bit");
        if (*arch == "aarch64") inst.SetText("OSArchitecture", "ARM 64-bit Processor");
        // Long mode pages through PAE's tables.
        if (x86_64) inst.SetBool("PAEEnabled", true);
        // A process may map the lower half of the virtual address space the
        // page tables span: 47 bits, 56 with five-level paging (la57), less
        // the last page; 3 GiB on 32-bit x86.
        if (x86_64 && flags) {
            const int bits = procfs::HasCpuFlag(words, "la57") ? 56 : 47;
            inst.Set("MaxProcessMemorySize", Value::UInt(((uint64_t{1} << bits) - 4096) / 1024));
        }
        if (x86_32) inst.Set("MaxProcessMemorySize", Value::UInt(3u * 1024 * 1024));
    }
    if (flags) {
        const bool nx = procfs::HasCpuFlag(words, "nx");
        inst.SetBool("DataExecutionPrevention_Available", nx);
        inst.SetBool("DataExecutionPrevention_32BitApplication", nx);
        inst.SetBool("DataExecutionPrevention_Drivers", nx);
    }

    if (auto text = root.ReadFile("/proc/meminfo", 1u << 20)) {
        const auto mem = procfs::ParseMeminfo(*text);
        auto get = [&](const char* key) -> std::optional<uint64_t> {
            auto it = mem.find(key);
            if (it == mem.end()) return std::nullopt;
            return it->second;
        };
        const auto total = get("MemTotal");
        auto available = get("MemAvailable");
        if (!available) available = get("MemFree");
        const auto swapTotal = get("SwapTotal");
        const auto swapFree = get("SwapFree");
        SetIfUInt(inst, "TotalVisibleMemorySize", total);
        SetIfUInt(inst, "FreePhysicalMemory", available);
        SetIfUInt(inst, "TotalSwapSpaceSize", swapTotal);
        SetIfUInt(inst, "TotalVirtualMemorySize", CheckedAdd(total, swapTotal));
        SetIfUInt(inst, "FreeVirtualMemory", CheckedAdd(available, swapFree));
        std::optional<uint64_t> pagingSize = swapTotal, pagingFree = swapFree;
        if (auto swaps = root.ReadFile("/proc/swaps", 1u << 20))
            if (auto totals = procfs::ParseSwaps(*swaps)) {
                pagingSize = totals->sizeKB;
                pagingFree = totals->sizeKB - totals->usedKB;
            }
        SetIfUInt(inst, "SizeStoredInPagingFiles", pagingSize);
        SetIfUInt(inst, "FreeSpaceInPagingFiles", pagingFree);
    }

    const auto zone = root.ReadFile("/etc/localtime", 1u << 20);
    const int64_t now = context.Now();
    const auto offset = OffsetAt(zone, now);
    if (offset) inst.SetInt("CurrentTimeZone", *offset);
    SetIf(inst, "LocalDateTime", tz::CimDateTime(now, offset.value_or(0)));
    if (const auto boot = facts.bootTime; boot && *boot <= now)
        SetIf(inst, "LastBootUpTime", tz::CimDateTime(*boot, OffsetAt(zone, *boot).value_or(0)));
    if (auto born = RootBirthTime(root))
        SetIf(inst, "InstallDate", tz::CimDateTime(*born, OffsetAt(zone, *born).value_or(0)));

    SetIfUInt(inst, "NumberOfProcesses", ProcessCount(root));
    SetIfUInt(inst, "NumberOfUsers", UserSessions(root));
    auto pidMax = ReadUnsigned(root, "/proc/sys/kernel/pid_max");
    auto threadsMax = ReadUnsigned(root, "/proc/sys/kernel/threads-max");
    std::optional<uint64_t> processes = pidMax;
    if (threadsMax && (!processes || *threadsMax < *processes)) processes = threadsMax;
    if (processes && *processes <= UINT32_MAX) SetIfUInt(inst, "MaxNumberOfProcesses", processes);

    if (auto locale = SystemLocale(root)) {
        const LocaleInfo info = MapLocale(*locale);
        if (info.lcid) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%04X", *info.lcid);
            inst.SetText("Locale", hex);
            inst.Set("OSLanguage", Value::UInt(*info.lcid));
        }
        if (info.country) inst.SetText("CountryCode", std::to_string(*info.country));
        if (info.codePage) inst.SetText("CodeSet", std::to_string(*info.codePage));
        if (info.languageTag) inst.Set("MUILanguages", Value::Array({Value::Text(*info.languageTag)}));
    }
    return {inst};
}

ParamList InvokeWin32_OperatingSystem(const ProviderContext& context, const Instance&, const Instance&,
                                      const MethodDef& method, const ParamList&) {
    uint32_t code = reboot::Failed;
    if (EqualsNoCase(method.name, "Reboot")) code = context.actions ? context.actions->Reboot() : reboot::AccessDenied;
    return {{"ReturnValue", Value::UInt(code)}};
}

}  // namespace cimv2
