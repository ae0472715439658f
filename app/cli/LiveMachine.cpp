#include "app/cli/LiveMachine.h"

#include "cimv2/sources/LogindActions.h"
#include "remote/SshTransport.h"
#include "wmi/WbemScripting.h"

namespace cli {

void UseLiveMachine() {
    remote::InstallSshTransport();
    static cimv2::SystemdActions actions;
    cimv2::ProviderContext context = wmi::LocalContext();
    context.actions = &actions;
    wmi::SetLocalContext(context);
}

}  // namespace cli
