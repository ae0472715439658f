// sysquill-agent: serves this computer's root\cimv2 provider over stdin and
// stdout to a sysquill on another computer, which starts it through ssh.
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <string>

#include "cimv2/core/Provider.h"
#include "cimv2/sources/CupsPrintServer.h"
#include "cimv2/sources/HostnameActions.h"
#include "remote/Agent.h"

namespace {

constexpr const char* kUsage =
    "usage: sysquill-agent --stdio [--read-only] [--root DIR]\n"
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
        } else {
            std::cerr << (a == "--help" ? "" : "sysquill-agent: unknown argument " + a + "\n") << kUsage;
            return a == "--help" ? 0 : 2;
        }
    }
    if (!stdio) {
        std::cerr << kUsage;
        return 2;
    }
    // A client that goes away shows up as a failed write, not a signal.
    signal(SIGPIPE, SIG_IGN);
    cimv2::ProviderContext context;
    context.root = cimv2::SystemRoot(root);
    // Management methods change this machine, never a captured tree.
    cimv2::HostnamedActions actions;
    if (root == "/" && !readOnly) context.actions = &actions;
    // Printers come from this machine's print server, never with a captured tree.
    cimv2::CupsPrintServer printing;
    if (root == "/") context.printing = &printing;
    cimv2::Provider provider(context);
    return remote::ServeAgent(STDIN_FILENO, STDOUT_FILENO, remote::ProviderService(provider, readOnly));
}
