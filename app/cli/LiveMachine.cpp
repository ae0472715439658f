#include "app/cli/LiveMachine.h"

#include "cimv2/sources/CupsPrintServer.h"
#include "cimv2/sources/HostnameActions.h"
#include "remote/SshTransport.h"
#include "wmi/WbemScripting.h"

namespace cli {

void UseLiveMachine() {
    remote::InstallSshTransport();
    static cimv2::HostnamedActions actions;
    cimv2::ProviderContext context = wmi::LocalContext();
    context.actions = &actions;
    static cimv2::CupsPrintServer printing;
    context.printing = &printing;
    wmi::SetLocalContext(context);
}

}  // namespace cli
