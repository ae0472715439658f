#include "app/cli/LiveMachine.h"

#include "cimv2/provider/MachineSources.h"
#include "remote/SshTransport.h"
#include "wmi/WbemScripting.h"

namespace cli {

namespace {

// The local context points into it for the rest of the program.
cimv2::MachineSources& ThisComputer() {
    static cimv2::MachineSources sources;
    return sources;
}

}  // namespace

void UseLiveMachine() {
    remote::InstallSshTransport();
    UseMachineAt(cimv2::SystemRoot());
}

void UseMachineAt(const cimv2::SystemRoot& root) { wmi::SetLocalContext(ThisComputer().ContextFor(root)); }

}  // namespace cli
