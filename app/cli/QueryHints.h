#pragma once
// What a query that failed for a class or property this provider does not
// know may have meant. The provider's message stays as it is (the window
// shows it as it comes); the tool adds these lines after it.
#include <cstdint>
#include <string>
#include <vector>

namespace cli {

// "did you mean ...?" lines for a query that failed with code: for an
// invalid class the nearest registered classes, for an invalid query each
// property of the query's class it lacks with that class's nearest ones.
// None for other failures or names with nothing near them.
std::vector<std::string> QueryHints(const std::string& query, uint32_t code);

}  // namespace cli
