#pragma once
// What this computer has besides its files: its management actions, its
// service manager and its print server. A program keeps one and asks it for
// the context of the machine it reads, so the window, the query tool and
// the agent follow one rule: only the computer itself (the root "/") gets
// them; a captured tree read in its place never changes, lists or prints on
// the computer that reads it.
#include <memory>

#include "cimv2/provider/ProviderContext.h"

namespace cimv2 {

class MachineActions;
class SystemdServices;
class CupsPrintServer;

class MachineSources {
public:
    MachineSources();
    ~MachineSources();
    MachineSources(const MachineSources&) = delete;
    MachineSources& operator=(const MachineSources&) = delete;

    // This computer's context for the root "/", its management methods
    // refused when readOnly; for a captured tree, a context without actions,
    // service manager or print server that names devices by this computer's
    // ID databases where the tree holds none. The context points into this
    // object, which must outlive it.
    ProviderContext ContextFor(const SystemRoot& root, bool readOnly = false);

private:
    std::unique_ptr<MachineActions> FActions;
    std::unique_ptr<const SystemdServices> FServices;
    std::unique_ptr<CupsPrintServer> FPrinting;
};

}  // namespace cimv2
