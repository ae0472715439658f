// Win32_CacheMemory from SMBIOS type 7; without SMBIOS tables, from the
// kernel's cache descriptions under /sys/devices/system/cpu, one instance per
// physical cache (a cache shared by several CPUs is counted once).
#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "cimv2/core/Classes.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/sources/Smbios.h"

namespace cimv2 {

namespace {

constexpr const char* kCpuDir = "/sys/devices/system/cpu";

struct CodeMap {
    int from;
    uint16_t wmi;
};

template <size_t N>
std::optional<uint16_t> Map(const CodeMap (&table)[N], std::optional<int> code) {
    if (!code) return std::nullopt;
    for (const auto& entry : table)
        if (entry.from == *code) return entry.wmi;
    return std::nullopt;
}

// Cache level: WMI's 3 primary, 4 secondary, 5 tertiary; deeper levels are "other".
uint16_t LevelCode(int level) { return level >= 1 && level <= 3 ? static_cast<uint16_t>(level + 2) : 1; }
// SMBIOS operational mode (write through, write back, varies, unknown) to WMI's WritePolicy.
constexpr CodeMap kWritePolicy[] = {{0, 4}, {1, 3}, {2, 5}, {3, 2}};
// Number of ways (sysfs) to WMI's Associativity codes, which follow SMBIOS's.
constexpr CodeMap kWays[] = {{1, 3},   {2, 4},   {4, 5},   {8, 7},   {16, 8}, {12, 9},
                             {24, 10}, {32, 11}, {48, 12}, {64, 13}, {20, 14}};
// sysfs cache type names to WMI's CacheType.
struct TypeName {
    const char* name;
    uint16_t wmi;
};
constexpr TypeName kCacheTypes[] = {{"Instruction", 3}, {"Data", 4}, {"Unified", 5}};

// SRAM type bit n is WMI's code n (Other, Unknown, Non-Burst, Burst,
// Pipeline Burst, Synchronous, Asynchronous).
std::vector<uint16_t> SramCodes(uint16_t bits) {
    std::vector<uint16_t> codes;
    for (uint16_t n = 0; n < 7; ++n)
        if (bits & (1u << n)) codes.push_back(n);
    return codes;
}

Instance NewCache(size_t index, const std::optional<std::string>& hostName) {
    Instance inst(Win32_CacheMemorySchema());
    inst.SetText("Caption", "Cache Memory");
    inst.SetText("Description", "Cache Memory");
    inst.SetText("Name", "Cache Memory");
    inst.SetText("DeviceID", "Cache Memory " + std::to_string(index));
    inst.SetText("CreationClassName", "Win32_CacheMemory");
    inst.SetText("SystemCreationClassName", "Win32_ComputerSystem");
    SetIf(inst, "SystemName", hostName);
    inst.SetText("Status", "OK");
    return inst;
}

void SetSizes(Instance& inst, std::optional<uint64_t> maxKB, std::optional<uint64_t> installedKB) {
    SetIfUInt(inst, "MaxCacheSize", maxKB);
    SetIfUInt(inst, "InstalledSize", installedKB);
    // Sizes are counted in kilobyte blocks, as WMI does.
    if (installedKB) {
        inst.Set("BlockSize", Value::UInt(1024));
        inst.Set("NumberOfBlocks", Value::UInt(*installedKB));
    }
}

std::vector<Instance> FromSmbios(const smbios::SmbiosData& data, const std::optional<std::string>& hostName) {
    std::vector<Instance> out;
    for (const auto& cache : data.caches) {
        Instance inst = NewCache(out.size(), hostName);
        SetIf(inst, "Purpose", cache.socketDesignation);
        if (cache.level) inst.Set("Level", Value::UInt(LevelCode(*cache.level)));
        SetIfUInt(inst, "Location", cache.location);
        SetIfUInt(inst, "WritePolicy", Map(kWritePolicy, cache.operationalMode));
        if (cache.enabled) inst.Set("StatusInfo", Value::UInt(*cache.enabled ? 3 : 4));
        SetSizes(inst, cache.maxSizeKB, cache.installedSizeKB);
        // Cache type, error correction and associativity use the same codes in both.
        if (cache.systemCacheType && *cache.systemCacheType >= 1 && *cache.systemCacheType <= 5)
            SetIfUInt(inst, "CacheType", cache.systemCacheType);
        if (cache.errorCorrection && *cache.errorCorrection >= 1 && *cache.errorCorrection <= 6)
            SetIfUInt(inst, "ErrorCorrectType", cache.errorCorrection);
        if (cache.associativity && *cache.associativity >= 1 && *cache.associativity <= 14)
            SetIfUInt(inst, "Associativity", cache.associativity);
        SetIfUInt(inst, "CacheSpeed", cache.speedNs);
        if (cache.supportedSram) inst.Set("SupportedSRAM", UIntArray(SramCodes(*cache.supportedSram)));
        if (cache.currentSram) inst.Set("CurrentSRAM", UIntArray(SramCodes(*cache.currentSram)));
        out.push_back(std::move(inst));
    }
    return out;
}

std::optional<uint64_t> Number(const std::optional<std::string>& text) {
    if (!text || text->empty() || text->size() > 18) return std::nullopt;
    uint64_t v = 0;
    for (char c : *text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    return v;
}

// "32K", "8192K" or "1M" as the kernel writes cache sizes.
std::optional<uint64_t> SizeKB(const std::optional<std::string>& text) {
    if (!text || text->size() < 2) return std::nullopt;
    char unit = text->back();
    auto amount = Number(text->substr(0, text->size() - 1));
    if (!amount) return std::nullopt;
    if (unit == 'K') return *amount;
    if (unit == 'M') return *amount * 1024;
    if (unit == 'G') return *amount * 1024 * 1024;
    return std::nullopt;
}

bool IsNumbered(const std::string& name, const std::string& prefix) {
    return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

std::vector<Instance> FromSysfs(const SystemRoot& root, const std::optional<std::string>& hostName) {
    std::vector<Instance> out;
    std::set<std::tuple<std::string, std::string, std::string>> seen;
    std::vector<std::string> cpus;
    for (const auto& name : root.List(kCpuDir))
        if (IsNumbered(name, "cpu")) cpus.push_back(name);
    // Numeric order: cpu2 before cpu10.
    std::sort(cpus.begin(), cpus.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (const auto& cpu : cpus) {
        const std::string cacheDir = std::string(kCpuDir) + "/" + cpu + "/cache";
        for (const auto& index : root.List(cacheDir)) {
            if (!IsNumbered(index, "index")) continue;
            const std::string dir = cacheDir + "/" + index + "/";
            auto level = root.ReadAttribute(dir + "level");
            auto type = root.ReadAttribute(dir + "type");
            auto shared = root.ReadAttribute(dir + "shared_cpu_list");
            if (!level || !type) continue;
            if (!seen.insert({*level, *type, shared.value_or(cpu)}).second) continue;

            Instance inst = NewCache(out.size(), hostName);
            if (auto lvl = Number(level)) inst.Set("Level", Value::UInt(LevelCode(static_cast<int>(*lvl))));
            for (const auto& t : kCacheTypes)
                if (*type == t.name) inst.Set("CacheType", Value::UInt(t.wmi));
            auto size = SizeKB(root.ReadAttribute(dir + "size"));
            SetSizes(inst, size, size);
            if (auto ways = Number(root.ReadAttribute(dir + "ways_of_associativity")))
                inst.Set("Associativity", Value::UInt(Map(kWays, static_cast<int>(*ways)).value_or(1)));
            SetIfUInt(inst, "LineSize", Number(root.ReadAttribute(dir + "coherency_line_size")));
            if (auto policy = root.ReadAttribute(dir + "write_policy")) {
                if (*policy == "WriteBack") inst.Set("WritePolicy", Value::UInt(3));
                if (*policy == "WriteThrough") inst.Set("WritePolicy", Value::UInt(4));
            }
            out.push_back(std::move(inst));
        }
    }
    return out;
}

}  // namespace

const ClassSchema& Win32_CacheMemorySchema() {
    static const ClassSchema schema("Win32_CacheMemory", {
                                                             {"Access", CimType::UInt16},
                                                             {"AdditionalErrorData", CimType::UInt8, kArray},
                                                             {"Associativity", CimType::UInt16},
                                                             {"Availability", CimType::UInt16},
                                                             {"BlockSize", CimType::UInt64},
                                                             {"CacheSpeed", CimType::UInt32},
                                                             {"CacheType", CimType::UInt16},
                                                             {"Caption", CimType::String},
                                                             {"ConfigManagerErrorCode", CimType::UInt32},
                                                             {"ConfigManagerUserConfig", CimType::Boolean},
                                                             {"CorrectableError", CimType::Boolean},
                                                             {"CreationClassName", CimType::String},
                                                             {"CurrentSRAM", CimType::UInt16, kArray},
                                                             {"Description", CimType::String},
                                                             {"DeviceID", CimType::String, kKey},
                                                             {"EndingAddress", CimType::UInt64},
                                                             {"ErrorAccess", CimType::UInt16},
                                                             {"ErrorAddress", CimType::UInt64},
                                                             {"ErrorCleared", CimType::Boolean},
                                                             {"ErrorCorrectType", CimType::UInt16},
                                                             {"ErrorData", CimType::UInt8, kArray},
                                                             {"ErrorDataOrder", CimType::UInt16},
                                                             {"ErrorDescription", CimType::String},
                                                             {"ErrorInfo", CimType::UInt16},
                                                             {"ErrorMethodology", CimType::String},
                                                             {"ErrorResolution", CimType::UInt64},
                                                             {"ErrorTime", CimType::DateTime},
                                                             {"ErrorTransferSize", CimType::UInt32},
                                                             {"FlushTimer", CimType::UInt32},
                                                             {"InstallDate", CimType::DateTime},
                                                             {"InstalledSize", CimType::UInt32},
                                                             {"LastErrorCode", CimType::UInt32},
                                                             {"Level", CimType::UInt16},
                                                             {"LineSize", CimType::UInt32},
                                                             {"Location", CimType::UInt16},
                                                             {"MaxCacheSize", CimType::UInt32},
                                                             {"Name", CimType::String},
                                                             {"NumberOfBlocks", CimType::UInt64},
                                                             {"OtherErrorDescription", CimType::String},
                                                             {"PNPDeviceID", CimType::String},
                                                             {"PowerManagementCapabilities", CimType::UInt16, kArray},
                                                             {"PowerManagementSupported", CimType::Boolean},
                                                             {"Purpose", CimType::String},
                                                             {"ReadPolicy", CimType::UInt16},
                                                             {"ReplacementPolicy", CimType::UInt16},
                                                             {"StartingAddress", CimType::UInt64},
                                                             {"Status", CimType::String},
                                                             {"StatusInfo", CimType::UInt16},
                                                             {"SupportedSRAM", CimType::UInt16, kArray},
                                                             {"SystemCreationClassName", CimType::String},
                                                             {"SystemLevelAddress", CimType::Boolean},
                                                             {"SystemName", CimType::String},
                                                             {"WritePolicy", CimType::UInt16},
                                                         });
    return schema;
}

std::vector<Instance> EnumerateWin32_CacheMemory(const ProviderContext& context) {
    auto hostName = context.root.ReadAttribute("/proc/sys/kernel/hostname");
    smbios::SmbiosData data = smbios::ReadSmbios(context.root);
    if (!data.caches.empty()) return FromSmbios(data, hostName);
    return FromSysfs(context.root, hostName);
}

}  // namespace cimv2
