#pragma once
// What the programs connect to outside a test: other computers over ssh,
// this computer's management methods through systemd-hostnamed, and its
// printers through the CUPS server libcups is configured for.
namespace cli {

// Call once at start, before the first connection.
void UseLiveMachine();

}  // namespace cli
