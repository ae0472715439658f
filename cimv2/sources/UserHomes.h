#pragma once
// The accounts whose home directories hold per-user settings, each once.
#include <string>
#include <vector>

#include "cimv2/sources/Accounts.h"

namespace cimv2 {

// Of accounts (AccountsFor(root)->Users()), every one with an absolute home other than "/", in the source's order,
// each name once (NSS may list a name from two sources). home has no
// trailing '/'.
std::vector<UserEntry> AccountsWithHomes(std::vector<UserEntry> accounts);

}  // namespace cimv2
