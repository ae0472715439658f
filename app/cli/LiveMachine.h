#pragma once
// What the programs connect to outside a test: other computers over ssh,
// and this computer's management methods through systemd-hostnamed.
namespace cli {

// Call once at start, before the first connection.
void UseLiveMachine();

}  // namespace cli
