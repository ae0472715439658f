#include "cimv2/sources/UserHomes.h"

#include <set>

namespace cimv2 {

std::vector<UserEntry> AccountsWithHomes(std::vector<UserEntry> accounts) {
    std::vector<UserEntry> out;
    std::set<std::string> seen;
    for (auto& user : accounts) {
        while (user.home.size() > 1 && user.home.back() == '/') user.home.pop_back();
        if (user.home.empty() || user.home.front() != '/' || user.home == "/") continue;
        if (!seen.insert(user.name).second) continue;
        out.push_back(std::move(user));
    }
    return out;
}

}  // namespace cimv2
