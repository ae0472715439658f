// Win32_ComputerSystem: the host name from the kernel, make and model from
// SMBIOS types 1 and 3 (or /sys/class/dmi/id), reset and password settings
// from types 23 and 24, memory from /proc/meminfo, processor counts from
// /sys/devices/system/cpu and the time zone from /etc/localtime.
#include <algorithm>
#include <ctime>
#include <set>
#include <sstream>
#include <string>

#include "cimv2/core/Classes.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/sources/Smbios.h"
#include "cimv2/sources/TimeZone.h"

namespace cimv2 {

namespace {

constexpr const char* kCpuDir = "/sys/devices/system/cpu";

struct ChassisKind {
    uint8_t chassisType;
    uint16_t pcSystemType;
    uint16_t pcSystemTypeEx;
};
// Chassis types whose kind is plain: desktops (1), mobiles (2, tablets are
// slates (8) in the extended code) and servers (4). Others stay null.
constexpr ChassisKind kChassisKinds[] = {
    {0x03, 1, 1}, {0x04, 1, 1}, {0x05, 1, 1}, {0x06, 1, 1}, {0x07, 1, 1}, {0x0D, 1, 1}, {0x0F, 1, 1},
    {0x10, 1, 1}, {0x23, 1, 1}, {0x24, 1, 1}, {0x08, 2, 2}, {0x09, 2, 2}, {0x0A, 2, 2}, {0x0B, 2, 2},
    {0x0E, 2, 2}, {0x1F, 2, 2}, {0x20, 2, 2}, {0x1E, 2, 8}, {0x11, 4, 4}, {0x17, 4, 4}, {0x1C, 4, 4},
};

struct MachineName {
    const char* machine;
    const char* systemType;
};
constexpr MachineName kSystemTypes[] = {
    {"x86_64", "x64-based PC"}, {"i386", "X86-based PC"}, {"i486", "X86-based PC"},
    {"i586", "X86-based PC"},   {"i686", "X86-based PC"}, {"aarch64", "ARM64-based PC"},
};

// Type 24 packs four two-bit states whose values (disabled, enabled, not
// implemented, unknown) are WMI's codes.
struct SecurityField {
    const char* property;
    int shift;
};
constexpr SecurityField kSecurityFields[] = {
    {"PowerOnPasswordStatus", 6},
    {"KeyboardPasswordStatus", 4},
    {"AdminPasswordStatus", 2},
    {"FrontPanelResetStatus", 0},
};

// SMBIOS state codes 1..6 (other, unknown, safe, warning, critical,
// non-recoverable) are WMI's.
std::optional<uint8_t> State(std::optional<uint8_t> code) {
    if (code && *code >= 1 && *code <= 6) return code;
    return std::nullopt;
}

bool IsNumbered(const std::string& name, const std::string& prefix) {
    return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

// A kernel CPU list such as "0-3,6,8-9".
std::optional<uint32_t> CountCpuList(const std::string& list) {
    uint32_t count = 0;
    std::stringstream in(list);
    std::string part;
    while (std::getline(in, part, ',')) {
        unsigned long first = 0, last = 0;
        size_t dash = part.find('-');
        try {
            first = std::stoul(part.substr(0, dash));
            last = dash == std::string::npos ? first : std::stoul(part.substr(dash + 1));
        } catch (const std::exception&) {
            return std::nullopt;
        }
        if (last < first || last - first > 1u << 20) return std::nullopt;
        count += static_cast<uint32_t>(last - first + 1);
    }
    if (count == 0) return std::nullopt;
    return count;
}

std::optional<uint32_t> PhysicalPackages(const SystemRoot& root) {
    std::set<std::string> packages;
    for (const auto& name : root.List(kCpuDir)) {
        if (!IsNumbered(name, "cpu")) continue;
        if (auto id = root.ReadAttribute(std::string(kCpuDir) + "/" + name + "/topology/physical_package_id"))
            packages.insert(*id);
    }
    if (packages.empty()) return std::nullopt;
    return static_cast<uint32_t>(packages.size());
}

std::optional<uint64_t> TotalMemoryBytes(const SystemRoot& root) {
    auto meminfo = root.ReadFile("/proc/meminfo", 1u << 20);
    if (!meminfo) return std::nullopt;
    std::istringstream in(*meminfo);
    std::string key, unit;
    uint64_t amount = 0;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        if (fields >> key >> amount >> unit && key == "MemTotal:" && unit == "kB") return amount * 1024;
    }
    return std::nullopt;
}

// The DNS domain as `hostname -d` finds it: from a fully qualified kernel
// host name, or from the /etc/hosts line that names this host.
std::optional<std::string> DnsDomain(const SystemRoot& root, const std::string& hostName) {
    size_t dot = hostName.find('.');
    if (dot != std::string::npos && dot + 1 < hostName.size()) return hostName.substr(dot + 1);
    auto hosts = root.ReadFile("/etc/hosts", 1u << 20);
    if (!hosts) return std::nullopt;
    std::istringstream in(*hosts);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        std::string address, name;
        std::vector<std::string> names;
        if (!(fields >> address)) continue;
        while (fields >> name) names.push_back(name);
        if (std::find(names.begin(), names.end(), hostName) == names.end()) continue;
        for (const auto& n : names)
            if (n.size() > hostName.size() + 1 && n.compare(0, hostName.size() + 1, hostName + ".") == 0)
                return n.substr(hostName.size() + 1);
    }
    return std::nullopt;
}

std::optional<bool> HypervisorPresent(const SystemRoot& root) {
    auto cpuinfo = root.ReadFile("/proc/cpuinfo", 4u << 20);
    if (!cpuinfo) return std::nullopt;
    std::istringstream in(*cpuinfo);
    std::string line;
    while (std::getline(in, line)) {
        // x86 lists CPU feature flags; other architectures have no such flag.
        if (line.compare(0, 5, "flags") != 0) continue;
        std::istringstream flags(line.substr(line.find(':') == std::string::npos ? line.size() : line.find(':') + 1));
        std::string flag;
        while (flags >> flag)
            if (flag == "hypervisor") return true;
        return false;
    }
    return std::nullopt;
}

}  // namespace

const ClassSchema& Win32_ComputerSystemSchema() {
    static const ClassSchema schema(
        "Win32_ComputerSystem",
        {
            {"AdminPasswordStatus", CimType::UInt16},
            {"AutomaticManagedPagefile", CimType::Boolean},
            {"AutomaticResetBootOption", CimType::Boolean},
            {"AutomaticResetCapability", CimType::Boolean},
            {"BootOptionOnLimit", CimType::UInt16},
            {"BootOptionOnWatchDog", CimType::UInt16},
            {"BootROMSupported", CimType::Boolean},
            {"BootStatus", CimType::UInt16, kArray},
            {"BootupState", CimType::String},
            {"Caption", CimType::String},
            {"ChassisBootupState", CimType::UInt16},
            {"ChassisSKUNumber", CimType::String},
            {"CreationClassName", CimType::String, kKey},
            {"CurrentTimeZone", CimType::SInt16},
            {"DaylightInEffect", CimType::Boolean},
            {"Description", CimType::String},
            {"DNSHostName", CimType::String},
            {"Domain", CimType::String},
            {"DomainRole", CimType::UInt16},
            {"EnableDaylightSavingsTime", CimType::Boolean},
            {"FrontPanelResetStatus", CimType::UInt16},
            {"HypervisorPresent", CimType::Boolean},
            {"InfraredSupported", CimType::Boolean},
            {"InitialLoadInfo", CimType::String, kArray},
            {"InstallDate", CimType::DateTime},
            {"KeyboardPasswordStatus", CimType::UInt16},
            {"LastLoadInfo", CimType::String},
            {"Manufacturer", CimType::String},
            {"Model", CimType::String},
            {"Name", CimType::String, kKey},
            {"NameFormat", CimType::String},
            {"NetworkServerModeEnabled", CimType::Boolean},
            {"NumberOfLogicalProcessors", CimType::UInt32},
            {"NumberOfProcessors", CimType::UInt32},
            {"OEMLogoBitmap", CimType::UInt8, kArray},
            {"OEMStringArray", CimType::String, kArray},
            {"PartOfDomain", CimType::Boolean},
            {"PauseAfterReset", CimType::SInt64},
            {"PCSystemType", CimType::UInt16},
            {"PCSystemTypeEx", CimType::UInt16},
            {"PowerManagementCapabilities", CimType::UInt16, kArray},
            {"PowerManagementSupported", CimType::Boolean},
            {"PowerOnPasswordStatus", CimType::UInt16},
            {"PowerState", CimType::UInt16},
            {"PowerSupplyState", CimType::UInt16},
            {"PrimaryOwnerContact", CimType::String},
            {"PrimaryOwnerName", CimType::String},
            {"ResetCapability", CimType::UInt16},
            {"ResetCount", CimType::SInt16},
            {"ResetLimit", CimType::SInt16},
            {"Roles", CimType::String, kArray},
            {"Status", CimType::String},
            {"SupportContactDescription", CimType::String, kArray},
            {"SystemFamily", CimType::String},
            {"SystemSKUNumber", CimType::String},
            {"SystemStartupDelay", CimType::UInt16},
            {"SystemStartupOptions", CimType::String, kArray},
            {"SystemStartupSetting", CimType::UInt8},
            {"SystemType", CimType::String},
            {"ThermalState", CimType::UInt16},
            {"TotalPhysicalMemory", CimType::UInt64},
            {"UserName", CimType::String},
            {"WakeUpType", CimType::UInt16},
            {"Workgroup", CimType::String},
        },
        {MethodDef{"Rename",
                   {{"Name", CimType::String}, {"Password", CimType::String}, {"UserName", CimType::String}},
                   {{"ReturnValue", CimType::UInt32}}}});
    return schema;
}

std::vector<Instance> EnumerateWin32_ComputerSystem(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    Instance inst(Win32_ComputerSystemSchema());
    inst.SetText("CreationClassName", "Win32_ComputerSystem");
    inst.SetText("Status", "OK");

    if (auto kernelName = root.ReadAttribute("/proc/sys/kernel/hostname")) {
        std::string shortName = kernelName->substr(0, kernelName->find('.'));
        inst.SetText("Name", shortName);
        inst.SetText("Caption", shortName);
        inst.SetText("DNSHostName", shortName);
        auto domain = DnsDomain(root, *kernelName);
        SetIf(inst, "Domain", domain);
        inst.SetBool("PartOfDomain", domain.has_value());
    }

    smbios::SmbiosData data = smbios::ReadSmbios(root);
    if (data.system) {
        SetIf(inst, "Manufacturer", data.system->manufacturer);
        SetIf(inst, "Model", data.system->productName);
        SetIf(inst, "SystemFamily", data.system->family);
        SetIf(inst, "SystemSKUNumber", data.system->skuNumber);
        if (data.system->wakeUpType && *data.system->wakeUpType <= 8)
            SetIfUInt(inst, "WakeUpType", data.system->wakeUpType);
    }
    if (!data.chassis.empty()) {
        const smbios::ChassisInfo& chassis = data.chassis.front();
        for (const auto& kind : kChassisKinds) {
            if (chassis.type != kind.chassisType) continue;
            inst.Set("PCSystemType", Value::UInt(kind.pcSystemType));
            inst.Set("PCSystemTypeEx", Value::UInt(kind.pcSystemTypeEx));
        }
        SetIfUInt(inst, "ChassisBootupState", State(chassis.bootUpState));
        SetIfUInt(inst, "PowerSupplyState", State(chassis.powerSupplyState));
        SetIfUInt(inst, "ThermalState", State(chassis.thermalState));
        SetIf(inst, "ChassisSKUNumber", chassis.skuNumber);
    }
    if (!data.oemStrings.empty()) inst.Set("OEMStringArray", TextArray(data.oemStrings));
    if (data.hardwareSecurity && data.hardwareSecurity->settings)
        for (const auto& field : kSecurityFields)
            inst.Set(field.property, Value::UInt((*data.hardwareSecurity->settings >> field.shift) & 3));
    if (data.systemReset) {
        const smbios::SystemResetInfo& reset = *data.systemReset;
        if (reset.capabilities) {
            uint8_t caps = *reset.capabilities;
            inst.SetBool("AutomaticResetBootOption", caps & 0x01);
            inst.SetBool("AutomaticResetCapability", caps & 0x20);
            // Boot options 0..3 (reserved, OS, utilities, do not reboot) are WMI's 1..4.
            inst.Set("BootOptionOnWatchDog", Value::UInt(((caps >> 1) & 3) + 1u));
            inst.Set("BootOptionOnLimit", Value::UInt(((caps >> 3) & 3) + 1u));
        }
        if (reset.resetCount && *reset.resetCount <= 0x7FFF) SetIfInt(inst, "ResetCount", reset.resetCount);
        if (reset.resetLimit && *reset.resetLimit <= 0x7FFF) SetIfInt(inst, "ResetLimit", reset.resetLimit);
        // The reset timeout counts minutes; WMI's pause counts milliseconds.
        if (reset.timeout) inst.Set("PauseAfterReset", Value::Int(int64_t{*reset.timeout} * 60000));
    }

    SetIfUInt(inst, "TotalPhysicalMemory", TotalMemoryBytes(root));
    auto packages = PhysicalPackages(root);
    if (!packages && !data.processors.empty()) {
        // Without sysfs topology, count the populated sockets (status bit 6).
        uint32_t populated = 0;
        for (const auto& p : data.processors) populated += p.status && (*p.status & 0x40) ? 1 : 0;
        if (populated) packages = populated;
    }
    SetIfUInt(inst, "NumberOfProcessors", packages);
    if (auto online = root.ReadAttribute(std::string(kCpuDir) + "/online"))
        SetIfUInt(inst, "NumberOfLogicalProcessors", CountCpuList(*online));
    if (auto arch = root.ReadAttribute("/proc/sys/kernel/arch"))
        for (const auto& m : kSystemTypes)
            if (*arch == m.machine) inst.SetText("SystemType", m.systemType);
    SetIfBool(inst, "HypervisorPresent", HypervisorPresent(root));
    if (auto localtime = root.ReadFile("/etc/localtime", 1u << 20)) {
        if (auto zone = tz::ZoneAt(*localtime, static_cast<int64_t>(std::time(nullptr)))) {
            inst.SetInt("CurrentTimeZone", zone->utcOffsetSeconds / 60);
            inst.SetBool("DaylightInEffect", zone->daylightInEffect);
            inst.SetBool("EnableDaylightSavingsTime", zone->observesDaylight);
        }
    }
    return {inst};
}

ParamList InvokeWin32_ComputerSystem(const ProviderContext& context, const Instance&, const MethodDef& method,
                                     const ParamList& in) {
    constexpr uint32_t kAccessDenied = 5;
    constexpr uint32_t kInvalidParameter = 87;
    uint32_t code = kInvalidParameter;
    if (EqualsNoCase(method.name, "Rename")) {
        const Value* name = nullptr;
        for (const auto& [param, value] : in)
            if (EqualsNoCase(param, "Name")) name = &value;
        if (!context.actions) {
            code = kAccessDenied;
        } else if (name && name->kind == Value::Kind::Text && !name->text.empty()) {
            code = context.actions->SetStaticHostName(name->text);
        }
    }
    return {{"ReturnValue", Value::UInt(code)}};
}

}  // namespace cimv2
