// Win32_Processor: one instance per processor package (socket) that has
// online CPUs, in package order. The kernel's view comes first: which CPUs
// are online (/sys/devices/system/cpu/online), their package and core
// (cpuN/topology), caches (cpuN/cache/index*, each shared cache once) and
// clocks (cpuN/cpufreq), with /proc/cpuinfo for the model, family, model
// number, stepping and flags. SMBIOS type 4 adds what only the firmware
// knows (socket designation, family code, upgrade method, voltage, external
// clock, serial, asset tag and part number), matched to the packages in
// table order among the populated sockets. A machine whose kernel view
// was not captured (SMBIOS tables only) gets one instance per populated
// socket from the tables. Where the kernel's view is silent the tables
// fill in what they can: the caches, the CPUID signature, the 64-bit
// capability. LoadPercentage is the busy share of the package's CPUs over
// a short interval up to now (see cimv2/sources/CpuLoad.h).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/CpuLoad.h"
#include "cimv2/sources/CpuPackages.h"
#include "cimv2/sources/ProcFiles.h"
#include "cimv2/sources/RootReaders.h"
#include "cimv2/sources/Smbios.h"

namespace cimv2 {

namespace {

// WMI's Architecture codes.
constexpr uint16_t kArchX86 = 0, kArchMips = 1, kArchPowerPC = 3, kArchArm = 5, kArchX64 = 9, kArchArm64 = 12;
// Availability "Running or Full Power", CpuStatus "CPU Enabled", ProcessorType "Central Processor".
constexpr uint16_t kRunning = 3, kCpuEnabled = 1, kCentralProcessor = 3;

// CPUID leaf 1 EDX bits by the names the kernel gives them in "flags".
struct FlagBit {
    const char* flag;
    int bit;
};
constexpr FlagBit kEdxFlags[] = {
    {"fpu", 0},    {"vme", 1},  {"de", 2},       {"pse", 3},   {"tsc", 4},   {"msr", 5},  {"pae", 6},   {"mce", 7},
    {"cx8", 8},    {"apic", 9}, {"sep", 11},     {"mtrr", 12}, {"pge", 13},  {"mca", 14}, {"cmov", 15}, {"pat", 16},
    {"pse36", 17}, {"pn", 18},  {"clflush", 19}, {"dts", 21},  {"acpi", 22}, {"mmx", 23}, {"fxsr", 24}, {"sse", 25},
    {"sse2", 26},  {"ss", 27},  {"ht", 28},      {"tm", 29},   {"ia64", 30}, {"pbe", 31},
};

// ARM's own cores by MIDR part number (implementer 0x41), as they call them.
struct ArmPart {
    uint32_t part;
    const char* name;
};
constexpr ArmPart kArmParts[] = {
    {0xd03, "Cortex-A53"},  {0xd04, "Cortex-A35"},  {0xd05, "Cortex-A55"},  {0xd07, "Cortex-A57"},
    {0xd08, "Cortex-A72"},  {0xd09, "Cortex-A73"},  {0xd0a, "Cortex-A75"},  {0xd0b, "Cortex-A76"},
    {0xd0c, "Neoverse-N1"}, {0xd0d, "Cortex-A77"},  {0xd40, "Neoverse-V1"}, {0xd41, "Cortex-A78"},
    {0xd44, "Cortex-X1"},   {0xd46, "Cortex-A510"}, {0xd47, "Cortex-A710"}, {0xd48, "Cortex-X2"},
    {0xd49, "Neoverse-N2"}, {0xd4d, "Cortex-A715"}, {0xd4e, "Cortex-X3"},   {0xd4f, "Neoverse-V2"},
};
struct ArmImplementer {
    uint32_t code;
    const char* name;
};
constexpr ArmImplementer kArmImplementers[] = {
    {0x41, "ARM"},    {0x42, "Broadcom"}, {0x43, "Cavium"},   {0x46, "Fujitsu"}, {0x48, "HiSilicon"},
    {0x4e, "NVIDIA"}, {0x50, "APM"},      {0x51, "Qualcomm"}, {0x61, "Apple"},   {0xc0, "Ampere"},
};

bool IsNumbered(const std::string& name, const std::string& prefix) {
    return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

std::optional<double> Real(const std::optional<std::string>& text) {
    double value = 0;
    if (!text || !ParseReal(*text, value) || !(value >= 0) || value > 1e9) return std::nullopt;
    return value;
}

std::optional<uint64_t> Unsigned(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return ParseUnsigned(*text);
}

// cpuinfo's hex fields ("0x41", "0xd0c").
std::optional<uint32_t> Hex(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return ParseHex(*text);
}

// A cache size as sysfs writes it: "48K", "2048K", maybe "1M".
std::optional<uint64_t> CacheSizeKB(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    uint64_t scale = 0;
    switch (text.back()) {
        case 'K':
            scale = 1;
            break;
        case 'M':
            scale = 1024;
            break;
        case 'G':
            scale = 1024 * 1024;
            break;
        default:
            return std::nullopt;
    }
    auto n = ParseUnsigned(text.substr(0, text.size() - 1));
    if (!n || *n > UINT32_MAX) return std::nullopt;
    return *n * scale;
}

// Total sizes in KB of the distinct level-2 and level-3 caches among the
// package's CPUs (instruction caches aside), in one walk of their caches.
struct CacheTotals {
    std::optional<uint64_t> level2, level3;
};
CacheTotals CacheKB(const SystemRoot& root, const CpuPackage& package) {
    std::set<std::string> seen;
    CacheTotals totals;
    for (const auto& cpu : package.cpus) {
        const std::string dir = CpuPath(cpu.id, "cache");
        for (const auto& index : root.List(dir)) {
            if (!IsNumbered(index, "index")) continue;
            const std::string base = dir + "/" + index + "/";
            const auto level = ReadUnsigned(root, base + "level");
            if (level != 2u && level != 3u) continue;
            auto type = ReadLine(root, base + "type");
            if (type == "Instruction") continue;
            auto size = ReadLine(root, base + "size");
            auto kb = size ? CacheSizeKB(*size) : std::nullopt;
            if (!kb) continue;
            auto shared = ReadLine(root, base + "shared_cpu_list");
            const std::string key = std::to_string(*level) + "/" + (type ? *type : "") + "/" +
                                    (shared ? *shared : "cpu" + std::to_string(cpu.id));
            if (!seen.insert(key).second) continue;
            std::optional<uint64_t>& total = *level == 2 ? totals.level2 : totals.level3;
            total = total.value_or(0) + *kb;
        }
    }
    return totals;
}

// The highest of a kHz attribute among the package's CPUs, in MHz.
std::optional<uint32_t> FrequencyMHz(const SystemRoot& root, const CpuPackage& package, const char* attribute) {
    std::optional<uint64_t> best;
    for (const auto& cpu : package.cpus)
        if (auto khz = ReadUnsigned(root, CpuPath(cpu.id, std::string("cpufreq/") + attribute)))
            best = std::max(best.value_or(0), *khz);
    if (!best || *best == 0 || *best / 1000 > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>((*best + 500) / 1000);
}

// The highest "cpu MHz" cpuinfo gives for the package's CPUs.
std::optional<uint32_t> CpuInfoMHz(const CpuPackage& package) {
    std::optional<double> best;
    for (const auto& cpu : package.cpus)
        if (cpu.info)
            if (auto mhz = Real(procfs::Field(*cpu.info, "cpu MHz"))) best = std::max(best.value_or(0), *mhz);
    if (!best || *best < 0.5) return std::nullopt;
    return static_cast<uint32_t>(std::round(*best));
}

std::optional<uint16_t> SmbiosMHz(std::optional<uint16_t> mhz) {
    if (!mhz || *mhz == 0) return std::nullopt;
    return mhz;
}

// The signature and feature word of CPUID leaf 1 as the kernel's cpuinfo
// gives them back: EAX from family, model and stepping (with the extended
// fields where the family needs them), EDX from the flags.
// flags: the words of the block's flags line (CpuFlagWords), none without one.
std::optional<std::string> X86ProcessorId(const procfs::CpuInfoBlock& info,
                                          const std::vector<std::string_view>& flags) {
    auto family = Unsigned(procfs::Field(info, "cpu family"));
    auto model = Unsigned(procfs::Field(info, "model"));
    auto stepping = Unsigned(procfs::Field(info, "stepping"));
    if (!family || !model || !stepping || flags.empty() || *family > 15 + 255 || *model > 255 || *stepping > 15)
        return std::nullopt;
    uint32_t eax = static_cast<uint32_t>(*stepping);
    const uint64_t baseFamily = std::min<uint64_t>(*family, 15);
    eax |= static_cast<uint32_t>(baseFamily) << 8;
    if (*family >= 15) eax |= static_cast<uint32_t>(*family - 15) << 20;
    if (*family == 6 || *family >= 15) {
        eax |= static_cast<uint32_t>(*model & 0xF) << 4;
        eax |= static_cast<uint32_t>(*model >> 4) << 16;
    } else if (*model <= 15) {
        eax |= static_cast<uint32_t>(*model) << 4;
    } else {
        return std::nullopt;
    }
    uint32_t edx = 0;
    for (const auto& f : kEdxFlags)
        if (procfs::HasCpuFlag(flags, f.flag)) edx |= 1u << f.bit;
    char text[17];
    std::snprintf(text, sizeof text, "%08X%08X", edx, eax);
    return std::string(text);
}

std::string SmbiosProcessorId(uint64_t id) {
    char text[17];
    std::snprintf(text, sizeof text, "%08X%08X", static_cast<uint32_t>(id >> 32), static_cast<uint32_t>(id));
    return text;
}

// The kernel's architecture: 32 or 64 bits of address.
std::optional<uint16_t> KernelWidth(const SystemRoot& root) {
    auto arch = ReadLine(root, "/proc/sys/kernel/arch");
    if (!arch) return std::nullopt;
    for (const char* wide : {"x86_64", "aarch64", "ppc64", "ppc64le", "s390x", "riscv64", "mips64", "loongarch64"})
        if (*arch == wide) return 64;
    for (const char* narrow : {"i386", "i486", "i586", "i686", "armv7l", "armv6l", "ppc", "mips", "riscv32"})
        if (*arch == narrow) return 32;
    return std::nullopt;
}

void SetFromSmbios(Instance& inst, const smbios::ProcessorInfo& p) {
    SetIf(inst, "SocketDesignation", p.socketDesignation);
    SetIf(inst, "SerialNumber", p.serialNumber);
    SetIf(inst, "AssetTag", p.assetTag);
    SetIf(inst, "PartNumber", p.partNumber);
    // Family 0xFE points to the word field; the reader has already
    // followed it. The upgrade codes are WMI's.
    if (p.family && *p.family != 0) SetIfUInt(inst, "Family", p.family);
    if (p.upgrade && *p.upgrade != 0) SetIfUInt(inst, "UpgradeMethod", p.upgrade);
    SetIfUInt(inst, "ExtClock", SmbiosMHz(p.externalClockMHz));
    if (p.voltage) {
        // Bit 7: the low bits are the voltage in tenths of a volt; else
        // bits 0 to 2 are the 5, 3.3 and 2.9 V capabilities, WMI's VoltageCaps.
        if (*p.voltage & 0x80)
            inst.Set("CurrentVoltage", Value::UInt(*p.voltage & 0x7F));
        else if (*p.voltage & 0x07)
            inst.Set("VoltageCaps", Value::UInt(*p.voltage & 0x07));
    }
    if (p.characteristics) inst.Set("Characteristics", Value::UInt(*p.characteristics));
    if (p.processorType && *p.processorType >= 1 && *p.processorType <= 6)
        SetIfUInt(inst, "ProcessorType", p.processorType);
}

// Sets a property the kernel's view left null.
void SetIfNull(Instance& inst, std::string_view name, Value value) {
    if (inst.Get(name).IsNull()) inst.Set(name, std::move(value));
}

// The installed size in KB of the cache a processor structure's handle names.
std::optional<uint64_t> CacheKBOf(const smbios::SmbiosData& data, const std::optional<uint16_t>& handle) {
    if (!handle) return std::nullopt;
    for (const auto& cache : data.caches)
        if (cache.handle == *handle) return cache.installedSizeKB;
    return std::nullopt;
}

// What the firmware's processor structure tells where the kernel's view
// does not: the L2 and L3 sizes through its cache handles; from the CPUID
// signature in its ID the family, model and stepping that make the caption,
// level and revision; from its characteristics (bit 2, 64-bit capable, where
// bit 1 does not say unknown) the architecture and data width.
void SetFromFirmwareSignature(Instance& inst, const smbios::ProcessorInfo& p, const smbios::SmbiosData& data) {
    for (const auto& [name, handle] : {std::pair{"L2CacheSize", p.l2CacheHandle}, {"L3CacheSize", p.l3CacheHandle}})
        if (auto kb = CacheKBOf(data, handle); kb && *kb <= UINT32_MAX) SetIfNull(inst, name, Value::UInt(*kb));
    const auto signature = smbios::DecodeX86Signature(p);
    if (!signature) return;
    std::optional<bool> x64;
    if (p.characteristics && ((*p.characteristics & 0x04) || !(*p.characteristics & 0x02)))
        x64 = (*p.characteristics & 0x04) != 0;
    if (x64) {
        SetIfNull(inst, "Architecture", Value::UInt(*x64 ? kArchX64 : kArchX86));
        SetIfNull(inst, "DataWidth", Value::UInt(*x64 ? 64 : 32));
        const char* kind = !*x64 ? "x86" : signature->intel ? "Intel64" : "AMD64";
        const std::string caption = std::string(kind) + " Family " + std::to_string(signature->family) + " Model " +
                                    std::to_string(signature->model) + " Stepping " +
                                    std::to_string(signature->stepping);
        SetIfNull(inst, "Caption", Value::Text(caption));
        SetIfNull(inst, "Description", Value::Text(caption));
    }
    SetIfNull(inst, "Level", Value::UInt(signature->family));
    if (signature->model <= 0xFF) SetIfNull(inst, "Revision", Value::UInt(signature->model << 8 | signature->stepping));
    SetIfNull(inst, "Stepping", Value::Text(std::to_string(signature->stepping)));
}

// The properties the kernel's view gives for one package.
void SetFromKernel(Instance& inst, const SystemRoot& root, const CpuPackage& package,
                   const std::optional<uint16_t>& kernelWidth) {
    const procfs::CpuInfoBlock* info = nullptr;
    for (const auto& cpu : package.cpus)
        if (cpu.info) {
            info = cpu.info;
            break;
        }
    std::set<std::string> cores;
    for (const auto& cpu : package.cpus) cores.insert(cpu.core);
    inst.Set("NumberOfCores", Value::UInt(cores.size()));
    inst.Set("NumberOfEnabledCore", Value::UInt(cores.size()));
    inst.Set("NumberOfLogicalProcessors", Value::UInt(package.cpus.size()));
    inst.Set("ThreadCount", Value::UInt(package.cpus.size()));
    const CacheTotals caches = CacheKB(root, package);
    SetIfUInt(inst, "L2CacheSize", caches.level2);
    SetIfUInt(inst, "L3CacheSize", caches.level3);
    inst.Set("Availability", Value::UInt(kRunning));
    inst.Set("CpuStatus", Value::UInt(kCpuEnabled));
    inst.SetText("Status", "OK");
    SetIfUInt(inst, "AddressWidth", kernelWidth);
    if (!info) return;

    const auto vendor = procfs::Field(*info, "vendor_id");
    const auto flags = procfs::Field(*info, "flags");
    // The words are views into flagLine.
    const std::string flagLine = flags.value_or("");
    const auto words = procfs::CpuFlagWords(flagLine);
    if (vendor) {  // x86
        const bool x64 = procfs::HasCpuFlag(words, "lm");
        SetIf(inst, "Name", procfs::Field(*info, "model name"));
        inst.SetText("Manufacturer", *vendor);
        auto family = Unsigned(procfs::Field(*info, "cpu family"));
        auto model = Unsigned(procfs::Field(*info, "model"));
        auto stepping = procfs::Field(*info, "stepping");
        if (family && model && stepping) {
            const char* kind = !x64                                                     ? "x86"
                               : *vendor == "GenuineIntel"                              ? "Intel64"
                               : *vendor == "AuthenticAMD" || *vendor == "HygonGenuine" ? "AMD64"
                                                                                        : "x64";
            const std::string caption = std::string(kind) + " Family " + std::to_string(*family) + " Model " +
                                        std::to_string(*model) + " Stepping " + *stepping;
            inst.SetText("Caption", caption);
            inst.SetText("Description", caption);
            if (*family <= UINT16_MAX) inst.Set("Level", Value::UInt(*family));
            auto step = ParseUnsigned(*stepping);
            if (step && *model <= 0xFF && *step <= 0xFF) inst.Set("Revision", Value::UInt((*model << 8) | *step));
        }
        SetIf(inst, "Stepping", stepping);
        if (flags) {
            inst.Set("Architecture", Value::UInt(x64 ? kArchX64 : kArchX86));
            inst.Set("DataWidth", Value::UInt(x64 ? 64 : 32));
            // The kernel lists vmx or svm only where the firmware left them
            // switched on, and ept or npt with them.
            const bool virt = procfs::HasCpuFlag(words, "vmx") || procfs::HasCpuFlag(words, "svm");
            inst.SetBool("VirtualizationFirmwareEnabled", virt);
            inst.SetBool("VMMonitorModeExtensions", virt);
            inst.SetBool("SecondLevelAddressTranslationExtensions",
                         procfs::HasCpuFlag(words, "ept") || procfs::HasCpuFlag(words, "npt"));
        }
        SetIf(inst, "ProcessorId", X86ProcessorId(*info, words));
        return;
    }
    // ARM: implementer, architecture, variant, part and revision.
    auto implementer = Hex(procfs::Field(*info, "CPU implementer"));
    auto part = Hex(procfs::Field(*info, "CPU part"));
    auto architecture = Unsigned(procfs::Field(*info, "CPU architecture"));
    auto revision = procfs::Field(*info, "CPU revision");
    if (implementer)
        for (const auto& i : kArmImplementers)
            if (i.code == *implementer) inst.SetText("Manufacturer", i.name);
    if (implementer == 0x41u && part)
        for (const auto& p : kArmParts)
            if (p.part == *part) inst.SetText("Name", p.name);
    if (architecture && *architecture <= UINT16_MAX) {
        inst.Set("Level", Value::UInt(*architecture));
        const bool arm64 = *architecture >= 8 && kernelWidth != uint16_t{32};
        inst.Set("Architecture", Value::UInt(arm64 ? kArchArm64 : kArchArm));
        if (kernelWidth) inst.Set("DataWidth", Value::UInt(arm64 ? 64 : 32));
        if (part && revision) {
            char caption[96];
            std::snprintf(caption, sizeof caption, "ARMv%llu (%d-bit) Family %llu Model %X Revision %s",
                          static_cast<unsigned long long>(*architecture), arm64 ? 64 : 32,
                          static_cast<unsigned long long>(*architecture), *part, revision->c_str());
            inst.SetText("Caption", caption);
            inst.SetText("Description", caption);
        }
    }
    SetIf(inst, "Stepping", revision);
}

// A packaged architecture other than x86 and ARM, from the kernel's name.
std::optional<uint16_t> OtherArchitecture(const SystemRoot& root) {
    auto arch = ReadLine(root, "/proc/sys/kernel/arch");
    if (!arch) return std::nullopt;
    if (arch->rfind("ppc", 0) == 0) return kArchPowerPC;
    if (arch->rfind("mips", 0) == 0) return kArchMips;
    return std::nullopt;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_ProcessorSchema() {
    static const ClassSchema schema("Win32_Processor", CIM_Processor(), {
        {"Architecture", CimType::UInt16},
        {"AssetTag", CimType::String},
        {"Characteristics", CimType::UInt32},
        {"CurrentVoltage", CimType::UInt16},
        {"ExtClock", CimType::UInt32},
        {"L2CacheSize", CimType::UInt32},
        {"L2CacheSpeed", CimType::UInt32},
        {"L3CacheSize", CimType::UInt32},
        {"L3CacheSpeed", CimType::UInt32},
        {"Level", CimType::UInt16},
        {"Manufacturer", CimType::String},
        {"NumberOfCores", CimType::UInt32},
        {"NumberOfEnabledCore", CimType::UInt32},
        {"NumberOfLogicalProcessors", CimType::UInt32},
        {"PartNumber", CimType::String},
        {"ProcessorId", CimType::String},
        {"ProcessorType", CimType::UInt16},
        {"Revision", CimType::UInt16},
        {"SecondLevelAddressTranslationExtensions", CimType::Boolean},
        {"SerialNumber", CimType::String},
        {"SocketDesignation", CimType::String},
        {"ThreadCount", CimType::UInt32},
        {"Version", CimType::String},
        {"VirtualizationFirmwareEnabled", CimType::Boolean},
        {"VMMonitorModeExtensions", CimType::Boolean},
        {"VoltageCaps", CimType::UInt32},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_Processor(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    const MachineFacts& facts = context.Facts();
    const std::vector<procfs::CpuInfoBlock>& info = facts.CpuInfo();
    const smbios::SmbiosData data = smbios::ReadSmbios(root, context.notes);
    std::vector<const smbios::ProcessorInfo*> sockets;  // populated, in table order
    for (const auto& p : data.processors)
        if (p.status && (*p.status & 0x40)) sockets.push_back(&p);
    const std::vector<CpuPackage> packages = CpuPackages(root, info);
    const auto kernelWidth = KernelWidth(root);

    std::map<uint32_t, procfs::CpuTimes> interval;
    if (!packages.empty() && facts.cpuTimes) {
        // Only a live machine's counters move: a captured tree is read once.
        CpuLoadSampler::Reread reread;
        if (root.IsProcFs("/proc/stat"))
            reread = [&root]() -> std::optional<CpuLoadSampler::Reading> {
                auto again = root.ReadFile("/proc/stat", 4u << 20);
                if (!again) return std::nullopt;
                return procfs::ParseProcStat(*again).cpus;
            };
        interval = CpuLoadSampler::Shared().Interval(root.Dir(), *facts.cpuTimes, reread);
    }

    std::vector<Instance> result;
    const size_t count = packages.empty() ? sockets.size() : packages.size();
    for (size_t n = 0; n < count; ++n) {
        Instance inst(Win32_ProcessorSchema());
        SetIdentity(inst, context);
        inst.SetText("DeviceID", "CPU" + std::to_string(n));
        inst.SetText("Role", "CPU");
        inst.Set("ProcessorType", Value::UInt(kCentralProcessor));
        const smbios::ProcessorInfo* firmware = n < sockets.size() ? sockets[n] : nullptr;
        if (firmware) SetFromSmbios(inst, *firmware);
        if (!packages.empty()) {
            const CpuPackage& package = packages[n];
            SetFromKernel(inst, root, package, kernelWidth);
            std::set<uint32_t> ids;
            for (const auto& cpu : package.cpus) ids.insert(cpu.id);
            SetIfUInt(inst, "LoadPercentage", BusyPercent(interval, ids));
            auto max = FrequencyMHz(root, package, "cpuinfo_max_freq");
            if (!max && firmware) max = SmbiosMHz(firmware->maxSpeedMHz);
            if (!max) max = CpuInfoMHz(package);
            SetIfUInt(inst, "MaxClockSpeed", max);
            auto current = FrequencyMHz(root, package, "scaling_cur_freq");
            if (!current && firmware) current = SmbiosMHz(firmware->currentSpeedMHz);
            if (!current) current = CpuInfoMHz(package);
            SetIfUInt(inst, "CurrentClockSpeed", current);
            if (inst.Get("Architecture").IsNull()) SetIfUInt(inst, "Architecture", OtherArchitecture(root));
        } else {
            // The firmware's word alone.
            const smbios::ProcessorInfo& p = *firmware;
            SetIf(inst, "Name", p.version);
            SetIf(inst, "Manufacturer", p.manufacturer);
            SetIfUInt(inst, "MaxClockSpeed", SmbiosMHz(p.maxSpeedMHz));
            SetIfUInt(inst, "CurrentClockSpeed", SmbiosMHz(p.currentSpeedMHz));
            if (p.coreCount && *p.coreCount) SetIfUInt(inst, "NumberOfCores", p.coreCount);
            if (p.coreEnabled && *p.coreEnabled) SetIfUInt(inst, "NumberOfEnabledCore", p.coreEnabled);
            if (p.threadCount && *p.threadCount) SetIfUInt(inst, "ThreadCount", p.threadCount);
            auto logical = p.threadEnabled && *p.threadEnabled ? p.threadEnabled : p.threadCount;
            if (logical && *logical) SetIfUInt(inst, "NumberOfLogicalProcessors", logical);
            // Status bits 0 to 2 are WMI's CpuStatus codes.
            if (p.status) inst.Set("CpuStatus", Value::UInt(*p.status & 0x07));
        }
        if (firmware && firmware->processorId && *firmware->processorId != 0)
            inst.SetText("ProcessorId", SmbiosProcessorId(*firmware->processorId));
        if (firmware) SetFromFirmwareSignature(inst, *firmware, data);
        if (inst.Get("Name").IsNull()) SetIf(inst, "Name", firmware ? firmware->version : std::nullopt);
        if (inst.Get("Manufacturer").IsNull())
            SetIf(inst, "Manufacturer", firmware ? firmware->manufacturer : std::nullopt);
        result.push_back(std::move(inst));
    }
    return result;
}

}  // namespace cimv2
