// sysquill-agent: serves this computer's root\cimv2 provider over stdin and
// stdout to a sysquill on another computer, which starts it through ssh.
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <string>

#include "cimv2/core/SafeText.h"
#include "cimv2/provider/MachineSources.h"
#include "cimv2/provider/Provider.h"
#include "remote/Agent.h"

namespace {

constexpr const char* kUsage =
    "usage: sysquill-agent --stdio [--read-only] [--root DIR]\n"
    "       sysquill-agent --version | --help\n"
    "  --stdio      serve requests on stdin and stdout (as ssh starts it)\n"
    "  --read-only  refuse management methods\n"
    "  --root DIR   read a captured machine tree instead of this machine\n";

}  // namespace

int main(int argc, char** argv) {
    bool stdio = false, readOnly = false;
    std::string root = "/";
    for (int n = 1; n < argc; ++n) {
        std::string a = argv[n];
        if (a == "--stdio") {
            stdio = true;
        } else if (a == "--read-only") {
            readOnly = true;
        } else if (a == "--root" && n + 1 < argc) {
            root = argv[++n];
        } else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--version") {
            std::cout << "sysquill-agent " << SYSQUILL_VERSION << " (protocol " << remote::kProtocolVersion << ")\n";
            return 0;
        } else {
            std::cerr << (a == "--help" ? "" : "sysquill-agent: unknown argument " + cimv2::EscapeControls(a) + "\n")
                      << kUsage;
            return a == "--help" ? 0 : 2;
        }
    }
    if (!stdio) {
        std::cerr << "sysquill-agent: --stdio is needed\n" << kUsage;
        return 2;
    }
    // A client that goes away shows up as a failed write, not a signal.
    signal(SIGPIPE, SIG_IGN);
    const cimv2::SystemRoot machineRoot(root);
    // A tree that is not there is a mistake, not an empty machine: say so
    // before serving anything.
    if (int error = machineRoot.OpenError()) {
        std::cerr << "sysquill-agent: cannot read the tree \"" << cimv2::EscapeControls(root)
                  << "\" given by --root: " << std::strerror(error) << '\n';
        return 2;
    }
    cimv2::MachineSources machine;
    cimv2::Provider provider(machine.ContextFor(machineRoot, readOnly));
    remote::AgentService service = remote::ProviderService(provider, readOnly);
    // A query of a large machine takes a while: once ssh has closed the
    // channel, nobody waits for its answer.
    service.clientGone = [] { _exit(1); };
    return remote::ServeAgent(STDIN_FILENO, STDOUT_FILENO, service);
}
