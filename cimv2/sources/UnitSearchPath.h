#pragma once
// Where a captured tree's unit files are found: systemd's unit search path
// for the system manager, and the links that pull units in.
#include <string>
#include <vector>

#include "cimv2/sources/SystemRoot.h"
#include "cimv2/sources/UnitFileText.h"

namespace cimv2 {

// systemd's unit directories in their order of precedence.
inline constexpr const char* kUnitDirs[] = {"/etc/systemd/system", "/run/systemd/system",
                                            "/usr/local/lib/systemd/system", "/lib/systemd/system",
                                            "/usr/lib/systemd/system"};

// A unit's file in the first directory of the search path that has it; an
// empty path when none does. A unit linked to /dev/null or given an empty
// file is masked.
struct FoundUnit {
    std::string path;
    bool masked = false;
    std::vector<UnitAssignment> assignments;
};
FoundUnit FindUnit(const SystemRoot& root, const std::string& unit);

// The units a unit's .wants/ and .requires/ directories name, over the
// whole search path.
std::vector<std::string> LinkedUnits(const SystemRoot& root, const std::string& unit);

}  // namespace cimv2
