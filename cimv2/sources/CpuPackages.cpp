#include "cimv2/sources/CpuPackages.h"

#include <map>
#include <set>

#include "cimv2/core/TextFields.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

constexpr const char* kCpuDir = "/sys/devices/system/cpu";

bool IsCpuDirectory(const std::string& name) {
    return name.size() > 3 && name.compare(0, 3, "cpu") == 0 &&
           name.find_first_not_of("0123456789", 3) == std::string::npos;
}

std::optional<uint32_t> ProcessorNumber(const procfs::CpuInfoBlock& block) {
    auto text = procfs::Field(block, "processor");
    auto id = text ? ParseUnsigned(*text) : std::nullopt;
    if (!id || *id > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(*id);
}

std::set<uint32_t> OnlineCpus(const SystemRoot& root, const std::vector<procfs::CpuInfoBlock>& cpuinfo) {
    if (auto text = ReadLine(root, std::string(kCpuDir) + "/online"))
        if (auto list = procfs::ParseCpuList(*text); list && !list->empty()) return *list;
    std::set<uint32_t> cpus;
    for (const auto& name : root.List(kCpuDir)) {
        if (!IsCpuDirectory(name)) continue;
        auto id = ParseUnsigned(name.substr(3));
        if (!id || *id > UINT32_MAX) continue;
        if (ReadLine(root, std::string(kCpuDir) + "/" + name + "/online") == "0") continue;
        cpus.insert(static_cast<uint32_t>(*id));
    }
    if (!cpus.empty()) return cpus;
    for (const auto& block : cpuinfo)
        if (auto id = ProcessorNumber(block)) cpus.insert(*id);
    return cpus;
}

}  // namespace

std::string CpuPath(uint32_t cpu, const std::string& rest) {
    return std::string(kCpuDir) + "/cpu" + std::to_string(cpu) + "/" + rest;
}

std::vector<CpuPackage> CpuPackages(const SystemRoot& root, const std::vector<procfs::CpuInfoBlock>& cpuinfo) {
    std::map<uint32_t, const procfs::CpuInfoBlock*> byProcessor;
    for (const auto& block : cpuinfo)
        if (auto id = ProcessorNumber(block)) byProcessor[*id] = &block;
    std::map<int64_t, CpuPackage> packages;
    for (uint32_t id : OnlineCpus(root, cpuinfo)) {
        LogicalCpu cpu;
        cpu.id = id;
        auto found = byProcessor.find(id);
        if (found != byProcessor.end()) cpu.info = found->second;
        auto package = ReadSigned(root, CpuPath(id, "topology/physical_package_id"));
        if (!package && cpu.info)
            if (auto physical = procfs::Field(*cpu.info, "physical id")) package = ParseSigned(*physical);
        cpu.package = package && *package >= 0 ? *package : 0;
        // A core is the set of CPUs that share it.
        auto core = ReadLine(root, CpuPath(id, "topology/core_cpus_list"));
        if (!core) core = ReadLine(root, CpuPath(id, "topology/thread_siblings_list"));
        if (!core) {
            auto coreId = ReadLine(root, CpuPath(id, "topology/core_id"));
            if (!coreId && cpu.info) coreId = procfs::Field(*cpu.info, "core id");
            if (coreId) core = std::to_string(cpu.package) + ":" + *coreId;
        }
        cpu.core = core ? *core : "cpu" + std::to_string(id);
        CpuPackage& p = packages[cpu.package];
        p.id = cpu.package;
        p.cpus.push_back(std::move(cpu));
    }
    std::vector<CpuPackage> ordered;
    for (auto& [id, package] : packages) ordered.push_back(std::move(package));
    return ordered;
}

}  // namespace cimv2
