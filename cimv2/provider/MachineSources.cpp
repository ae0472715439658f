#include "cimv2/provider/MachineSources.h"

#include "cimv2/sources/CupsPrintServer.h"
#include "cimv2/sources/ProcessActions.h"
#include "cimv2/sources/SystemdUnits.h"

namespace cimv2 {

// Nothing here reaches the machine before a class or method asks.
MachineSources::MachineSources()
    : FActions(std::make_unique<MachineActions>()),
      FServices(std::make_unique<const SystemdServices>()),
      FPrinting(std::make_unique<CupsPrintServer>()) {}

MachineSources::~MachineSources() = default;

ProviderContext MachineSources::ContextFor(const SystemRoot& root, bool readOnly) {
    ProviderContext context(root);
    if (root.IsThisComputer()) {
        if (!readOnly) context.actions = FActions.get();
        context.services = FServices.get();
        context.printing = FPrinting.get();
    } else {
        context.idFallback = SystemRoot();
    }
    return context;
}

}  // namespace cimv2
