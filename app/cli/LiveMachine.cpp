#include "app/cli/LiveMachine.h"

#include "cimv2/sources/SystemdUnits.h"
#include "remote/SshTransport.h"
#include "wmi/WbemScripting.h"

namespace cli {

void UseLiveMachine() {
    remote::InstallSshTransport();
    static cimv2::SystemdActions actions;
    static const cimv2::SystemdServices services;
    cimv2::ProviderContext context = wmi::LocalContext();
    context.actions = &actions;
    context.services = &services;
    wmi::SetLocalContext(context);
}

}  // namespace cli
