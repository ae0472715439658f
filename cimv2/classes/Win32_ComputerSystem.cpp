// Win32_ComputerSystem: the host name from the kernel, make and model from
// SMBIOS types 1 and 3 (or /sys/class/dmi/id), reset and password settings
// from types 23 and 24, memory from /proc/meminfo, processor counts from the
// packages of online CPUs Win32_Processor lists (CpuPackages) and the time
// zone from /etc/localtime.
#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/CpuPackages.h"
#include "cimv2/sources/ProcFiles.h"
#include "cimv2/sources/RootReaders.h"
#include "cimv2/sources/Smbios.h"
#include "cimv2/sources/TimeZone.h"

namespace cimv2 {

namespace {

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

std::optional<uint64_t> TotalMemoryBytes(const SystemRoot& root) {
    auto meminfo = root.ReadFile("/proc/meminfo", 1u << 20);
    if (!meminfo) return std::nullopt;
    std::string_view text = *meminfo;
    while (!text.empty()) {
        std::string_view line = NextLine(text);
        if (line.substr(0, 9) != "MemTotal:") continue;
        line = Trim(line.substr(9));
        if (line.size() < 3 || line.substr(line.size() - 3) != " kB") return std::nullopt;
        auto kb = ParseUnsigned(line.substr(0, line.size() - 3));
        if (!kb || *kb > UINT64_MAX / 1024) return std::nullopt;
        return *kb * 1024;
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

// System vendors and products that only virtual machines report.
constexpr const char* kVirtualVendors[] = {"innotek GmbH", "VMware, Inc.",
                                           "QEMU",         "Xen",
                                           "Parallels",    "Microsoft Corporation Virtual Machine",
                                           "Red Hat",      "Bochs",
                                           "Amazon EC2",   "Google Compute Engine",
                                           "DigitalOcean", "OpenStack Foundation"};
constexpr const char* kVirtualProducts[] = {"VirtualBox",
                                            "VMware Virtual Platform",
                                            "KVM",
                                            "Virtual Machine",
                                            "Standard PC (i440FX + PIIX, 1996)",
                                            "Standard PC (Q35 + ICH9, 2009)",
                                            "HVM domU",
                                            "Bochs",
                                            "OpenStack Nova"};
// PCI vendors whose devices only hypervisors emulate: VirtualBox, VMware,
// Red Hat (virtio), Microsoft (Hyper-V), XenSource, Parallels.
constexpr uint32_t kVirtualPciVendors[] = {0x80ee, 0x15ad, 0x1af4, 0x1414, 0x5853, 0x1ab8};

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The vendor IDs of /proc/bus/pci/devices, which lists the PCI functions
// where sysfs was not captured: per line the bus and function in hex, a tab,
// then vendor and device as eight hex digits.
std::vector<uint32_t> ProcPciVendors(const SystemRoot& root) {
    std::vector<uint32_t> vendors;
    auto text = root.ReadFile("/proc/bus/pci/devices", 1u << 20);
    if (!text) return vendors;
    std::string_view rest = *text;
    while (!rest.empty()) {
        std::string_view line = NextLine(rest);
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos || line.size() < tab + 9) continue;
        if (auto id = ParseHex(line.substr(tab + 1, 8))) vendors.push_back(*id >> 16);
    }
    return vendors;
}

// A guest is seen by any one of: the CPU's hypervisor flag, the kernel's
// /sys/hypervisor, a virtual machine's firmware strings, or a PCI device
// only hypervisors provide (in sysfs or /proc/bus/pci/devices). Bare metal is only concluded where the x86
// flag is readable (every common hypervisor sets it) and the firmware
// strings are there to rule one out; otherwise the answer is unknown.
std::optional<bool> HypervisorPresent(const ProviderContext& context, const smbios::SmbiosData& data) {
    const SystemRoot& root = context.root;
    std::optional<bool> flag;
    if (const auto& flags = context.Facts().X86Flags())
        flag = procfs::HasCpuFlag(procfs::CpuFlagWords(*flags), "hypervisor");
    if (flag == true) return true;
    if (ReadLine(root, "/sys/hypervisor/type")) return true;
    std::optional<std::string> vendor = data.system ? data.system->manufacturer : std::nullopt;
    std::optional<std::string> product = data.system ? data.system->productName : std::nullopt;
    if (!vendor) vendor = ReadLine(root, "/sys/class/dmi/id/sys_vendor");
    if (!product) product = ReadLine(root, "/sys/class/dmi/id/product_name");
    for (const char* v : kVirtualVendors)
        if (vendor && Contains(*vendor, v)) return true;
    for (const char* p : kVirtualProducts)
        if (product && *product == p) return true;
    for (const auto& device : root.List("/sys/bus/pci/devices"))
        if (auto id = ReadHexId(root, "/sys/bus/pci/devices/" + device + "/vendor", 4))
            for (uint32_t v : kVirtualPciVendors)
                if (*id == v) return true;
    for (uint32_t id : ProcPciVendors(root))
        for (uint32_t v : kVirtualPciVendors)
            if (id == v) return true;
    if (flag == false && vendor) return false;
    return std::nullopt;
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_ComputerSystemSchema() {
    static const ClassSchema schema("Win32_ComputerSystem", CIM_UnitaryComputerSystem(), {
        {"AdminPasswordStatus", CimType::UInt16},
        {"AutomaticManagedPagefile", CimType::Boolean},
        {"AutomaticResetBootOption", CimType::Boolean},
        {"AutomaticResetCapability", CimType::Boolean},
        {"BootOptionOnLimit", CimType::UInt16},
        {"BootOptionOnWatchDog", CimType::UInt16},
        {"BootROMSupported", CimType::Boolean},
        {"BootStatus", CimType::UInt16, kArray},
        {"BootupState", CimType::String},
        {"ChassisBootupState", CimType::UInt16},
        {"ChassisSKUNumber", CimType::String},
        {"CurrentTimeZone", CimType::SInt16},
        {"DaylightInEffect", CimType::Boolean},
        {"DNSHostName", CimType::String},
        {"Domain", CimType::String},
        {"DomainRole", CimType::UInt16},
        {"EnableDaylightSavingsTime", CimType::Boolean},
        {"FrontPanelResetStatus", CimType::UInt16},
        {"HypervisorPresent", CimType::Boolean},
        {"InfraredSupported", CimType::Boolean},
        {"KeyboardPasswordStatus", CimType::UInt16},
        {"Manufacturer", CimType::String},
        {"Model", CimType::String},
        {"NetworkServerModeEnabled", CimType::Boolean},
        {"NumberOfLogicalProcessors", CimType::UInt32},
        {"NumberOfProcessors", CimType::UInt32},
        {"OEMLogoBitmap", CimType::UInt8, kArray},
        {"OEMStringArray", CimType::String, kArray},
        {"PartOfDomain", CimType::Boolean},
        {"PauseAfterReset", CimType::SInt64},
        {"PCSystemType", CimType::UInt16},
        {"PCSystemTypeEx", CimType::UInt16},
        {"PowerOnPasswordStatus", CimType::UInt16},
        {"PowerSupplyState", CimType::UInt16},
        {"ResetCount", CimType::SInt16},
        {"ResetLimit", CimType::SInt16},
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
// clang-format on

std::vector<Instance> EnumerateWin32_ComputerSystem(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    Instance inst(Win32_ComputerSystemSchema());
    SetIdentity(inst, context);

    const MachineFacts& facts = context.Facts();
    if (facts.computerName) {
        inst.SetText("Name", *facts.computerName);
        inst.SetText("Caption", *facts.computerName);
        inst.SetText("DNSHostName", *facts.computerName);
        auto domain = DnsDomain(root, *facts.hostName);
        SetIf(inst, "Domain", domain);
        inst.SetBool("PartOfDomain", domain.has_value());
    }

    smbios::SmbiosData data = smbios::ReadSmbios(root, context.notes);
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
    // The packages Win32_Processor lists, and the CPUs they hold.
    std::optional<uint32_t> packages, logical;
    if (const auto online = CpuPackages(root, context.Facts().CpuInfo()); !online.empty()) {
        packages = static_cast<uint32_t>(online.size());
        logical = 0;
        for (const auto& package : online) *logical += static_cast<uint32_t>(package.cpus.size());
    }
    // Without the kernel's view, the populated sockets (status bit 6) of
    // SMBIOS and the threads they report.
    uint32_t sockets = 0, threads = 0;
    bool threadsKnown = true;
    for (const auto& p : data.processors) {
        if (!p.status || !(*p.status & 0x40)) continue;
        ++sockets;
        auto count = p.threadEnabled ? p.threadEnabled : p.threadCount;
        if (count && *count > 0)
            threads += *count;
        else
            threadsKnown = false;
    }
    if (!packages && sockets) packages = sockets;
    if (!logical && sockets && threadsKnown) logical = threads;
    SetIfUInt(inst, "NumberOfProcessors", packages);
    SetIfUInt(inst, "NumberOfLogicalProcessors", logical);
    if (auto arch = root.ReadAttribute("/proc/sys/kernel/arch"))
        for (const auto& m : kSystemTypes)
            if (*arch == m.machine) inst.SetText("SystemType", m.systemType);
    SetIfBool(inst, "HypervisorPresent", HypervisorPresent(context, data));
    if (auto localtime = root.ReadFile("/etc/localtime", 1u << 20)) {
        if (auto zone = tz::ZoneAt(*localtime, context.Now())) {
            inst.SetInt("CurrentTimeZone", zone->utcOffsetSeconds / 60);
            inst.SetBool("DaylightInEffect", zone->daylightInEffect);
            inst.SetBool("EnableDaylightSavingsTime", zone->observesDaylight);
        }
    }
    return {inst};
}

ParamList InvokeWin32_ComputerSystem(const ProviderContext& context, const Instance&, const Instance&,
                                     const MethodDef& method, const ParamList& in) {
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
