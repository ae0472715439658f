#pragma once
// The captured machines under tests/fixtures: each is a tree/ read as the
// system root and a moment file, the UTC time at which the machine is looked
// at ("2026-07-15T12:00:00Z"), so that what depends on the date (summer
// time) gives the same answer whatever day the tests run.
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cimv2/provider/ProviderContext.h"

namespace testsupport {

inline std::vector<std::filesystem::path> FixtureMachines() {
    std::vector<std::filesystem::path> machines;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(SYSQUILL_FIXTURES, ec))
        if (std::filesystem::is_directory(entry.path() / "tree")) machines.push_back(entry.path());
    std::sort(machines.begin(), machines.end());
    return machines;
}

// Seconds since the epoch of the machine's moment file.
inline int64_t FixtureMoment(const std::filesystem::path& machine) {
    std::ifstream in(machine / "moment");
    std::string text;
    std::tm tm{};
    if (!(in >> text) || !strptime(text.c_str(), "%Y-%m-%dT%H:%M:%SZ", &tm))
        throw std::runtime_error("fixture " + machine.string() + " has no readable moment file");
    return static_cast<int64_t>(timegm(&tm));
}

inline cimv2::ProviderContext FixtureContext(const std::filesystem::path& machine,
                                             cimv2::SystemActions* actions = nullptr) {
    const int64_t moment = FixtureMoment(machine);
    return cimv2::ProviderContext(cimv2::SystemRoot((machine / "tree").string()), actions, [moment] { return moment; });
}

}  // namespace testsupport
