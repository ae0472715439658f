#include "app/cli/LiveMachine.h"

#include "cimv2/sources/CupsPrintServer.h"
#include "cimv2/sources/ProcessActions.h"
#include "cimv2/sources/SystemdUnits.h"
#include "remote/SshTransport.h"
#include "wmi/WbemScripting.h"

namespace cli {

void UseLiveMachine() {
    remote::InstallSshTransport();
    static cimv2::MachineActions actions;
    static const cimv2::SystemdServices services;
    cimv2::ProviderContext context = wmi::LocalContext();
    context.actions = &actions;
    context.services = &services;
    static cimv2::CupsPrintServer printing;
    context.printing = &printing;
    wmi::SetLocalContext(context);
}

}  // namespace cli
