#pragma once
// The machine's management actions as the live provider performs them: the
// host name through hostnamed, restarts through logind, and processes
// through signals, nice values and posix_spawn.
#include "cimv2/sources/LogindActions.h"

namespace cimv2 {

class MachineActions : public SystemdActions {
public:
    // Process 1 and the calling process itself are never ended.
    uint32_t TerminateProcess(uint32_t pid, uint64_t startTicks) override;
    uint32_t SetProcessNice(uint32_t pid, uint64_t startTicks, int nice) override;
    uint32_t CreateProcess(const std::vector<std::string>& argv, const std::string& currentDirectory,
                           uint32_t& processId) override;
};

}  // namespace cimv2
