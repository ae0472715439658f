// Win32_CacheMemory from SMBIOS type 7; without SMBIOS tables, from the
// kernel's cache descriptions under /sys/devices/system/cpu, one instance per
// physical cache (a cache shared by several CPUs is counted once).
#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/RootReaders.h"
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
// The class documents Associativity codes 1 to 8 (other, unknown, direct
// mapped, 2-way, 4-way, fully associative, 8-way, 16-way); any other
// arrangement is "other". SMBIOS uses the same codes and goes on past 8
// (12-, 24-, 32-, 48-, 64- and 20-way).
constexpr uint16_t kOther = 1;
uint16_t AssociativityCode(uint8_t smbios) { return smbios >= 1 && smbios <= 8 ? smbios : kOther; }
// Number of ways (sysfs; 0 is fully associative) to those codes.
constexpr CodeMap kWays[] = {{0, 6}, {1, 3}, {2, 4}, {4, 5}, {8, 7}, {16, 8}};
// StatusInfo (enabled, disabled) and Availability (running, off line) codes.
constexpr uint16_t kEnabled = 3, kDisabled = 4, kRunning = 3, kOffLine = 8;
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

Instance NewCache(size_t index, const ProviderContext& context) {
    Instance inst(Win32_CacheMemorySchema());
    inst.SetText("Caption", "Cache Memory");
    inst.SetText("Description", "Cache Memory");
    inst.SetText("Name", "Cache Memory");
    inst.SetText("DeviceID", "Cache Memory " + std::to_string(index));
    SetIdentity(inst, context);
    return inst;
}

void SetSizes(Instance& inst, std::optional<uint64_t> maxKB, std::optional<uint64_t> installedKB) {
    SetIfUInt(inst, "MaxCacheSize", maxKB);
    SetIfUInt(inst, "InstalledSize", installedKB);
    // Memory has no blocks: the class documents a block size of 1 for it,
    // which makes the number of blocks the size in bytes.
    if (installedKB) {
        inst.Set("BlockSize", Value::UInt(1));
        inst.Set("NumberOfBlocks", Value::UInt(*installedKB * 1024));
    }
}

std::vector<Instance> FromSmbios(const smbios::SmbiosData& data, const ProviderContext& context) {
    std::vector<Instance> out;
    for (const auto& cache : data.caches) {
        Instance inst = NewCache(out.size(), context);
        SetIf(inst, "Purpose", cache.socketDesignation);
        if (cache.level) inst.Set("Level", Value::UInt(LevelCode(*cache.level)));
        SetIfUInt(inst, "Location", cache.location);
        SetIfUInt(inst, "WritePolicy", Map(kWritePolicy, cache.operationalMode));
        if (cache.enabled) {
            inst.Set("StatusInfo", Value::UInt(*cache.enabled ? kEnabled : kDisabled));
            inst.Set("Availability", Value::UInt(*cache.enabled ? kRunning : kOffLine));
        }
        SetSizes(inst, cache.maxSizeKB, cache.installedSizeKB);
        // Cache type, error correction and associativity use the same codes in both.
        if (cache.systemCacheType && *cache.systemCacheType >= 1 && *cache.systemCacheType <= 5)
            SetIfUInt(inst, "CacheType", cache.systemCacheType);
        if (cache.errorCorrection && *cache.errorCorrection >= 1 && *cache.errorCorrection <= 6)
            SetIfUInt(inst, "ErrorCorrectType", cache.errorCorrection);
        if (cache.associativity) inst.Set("Associativity", Value::UInt(AssociativityCode(*cache.associativity)));
        SetIfUInt(inst, "CacheSpeed", cache.speedNs);
        if (cache.supportedSram) inst.Set("SupportedSRAM", UIntArray(SramCodes(*cache.supportedSram)));
        if (cache.currentSram) inst.Set("CurrentSRAM", UIntArray(SramCodes(*cache.currentSram)));
        out.push_back(std::move(inst));
    }
    return out;
}

// "32K", "8192K" or "1M" as the kernel writes cache sizes.
std::optional<uint64_t> SizeKB(const std::optional<std::string>& text) {
    if (!text || text->size() < 2) return std::nullopt;
    char unit = text->back();
    auto amount = ParseUnsigned(std::string_view(*text).substr(0, text->size() - 1));
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

std::vector<Instance> FromSysfs(const ProviderContext& context) {
    const SystemRoot& root = context.root;
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

            Instance inst = NewCache(out.size(), context);
            if (auto lvl = ParseUnsigned(*level)) inst.Set("Level", Value::UInt(LevelCode(static_cast<int>(*lvl))));
            for (const auto& t : kCacheTypes)
                if (*type == t.name) inst.Set("CacheType", Value::UInt(t.wmi));
            auto size = SizeKB(root.ReadAttribute(dir + "size"));
            SetSizes(inst, size, size);
            if (auto ways = ReadUnsigned(root, dir + "ways_of_associativity"); ways && *ways <= 1024)
                inst.Set("Associativity", Value::UInt(Map(kWays, static_cast<int>(*ways)).value_or(kOther)));
            SetIfUInt(inst, "LineSize", ReadUnsigned(root, dir + "coherency_line_size"));
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

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_CacheMemorySchema() {
    static const ClassSchema schema("Win32_CacheMemory", CIM_CacheMemory(), {
        {"CacheSpeed", CimType::UInt32},
        {"CurrentSRAM", CimType::UInt16, kArray},
        {"ErrorCorrectType", CimType::UInt16},
        {"InstalledSize", CimType::UInt32},
        {"Location", CimType::UInt16},
        {"MaxCacheSize", CimType::UInt32},
        {"SupportedSRAM", CimType::UInt16, kArray},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_CacheMemory(const ProviderContext& context) {
    smbios::SmbiosData data = smbios::ReadSmbios(context.root, context.notes);
    if (!data.caches.empty()) return FromSmbios(data, context);
    return FromSysfs(context);
}

}  // namespace cimv2
