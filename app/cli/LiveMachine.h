#pragma once
// What the programs connect to outside a test: other computers over ssh,
// and as the local computer either this one (with its management methods,
// service manager and print server) or a captured tree read in its place.
#include "cimv2/sources/SystemRoot.h"

namespace cli {

// Call once at start, before the first connection: this computer, and
// other computers over ssh.
void UseLiveMachine();
// From now on the local computer is the machine at root: this computer for
// "/", else a captured tree that never reaches this computer's actions,
// services or printers.
void UseMachineAt(const cimv2::SystemRoot& root);

}  // namespace cli
