#pragma once
// The processors the kernel runs, grouped by package (socket): the one rule
// for how many processors a machine has and which CPUs each one holds.
#include <cstdint>
#include <string>
#include <vector>

#include "cimv2/sources/ProcFiles.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

struct LogicalCpu {
    uint32_t id = 0;
    int64_t package = 0;
    std::string core;                            // identifies the core within the machine
    const procfs::CpuInfoBlock* info = nullptr;  // its cpuinfo block, if any
};

struct CpuPackage {
    int64_t id = 0;
    std::vector<LogicalCpu> cpus;
};

// A CPU's directory under /sys/devices/system/cpu, with rest appended.
std::string CpuPath(uint32_t cpu, const std::string& rest);

// The online CPUs (/sys/devices/system/cpu/online, else every cpuN
// directory whose own online file does not say 0, else the processors
// cpuinfo lists) grouped by package, in package order. The package is the
// CPU's topology/physical_package_id, else cpuinfo's "physical id"; a CPU
// whose package the kernel cannot tell (-1) shares package 0. The info
// pointers point into cpuinfo.
std::vector<CpuPackage> CpuPackages(const SystemRoot& root, const std::vector<procfs::CpuInfoBlock>& cpuinfo);

}  // namespace cimv2
