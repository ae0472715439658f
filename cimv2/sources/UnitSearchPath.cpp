#include "cimv2/sources/UnitSearchPath.h"

#include <set>

namespace cimv2 {

FoundUnit FindUnit(const SystemRoot& root, const std::string& unit) {
    FoundUnit found;
    if (unit.empty() || unit.find('/') != std::string::npos) return found;
    for (const char* dir : kUnitDirs) {
        const std::string path = std::string(dir) + "/" + unit;
        if (auto target = root.ReadLink(path); target && *target == "/dev/null") {
            found.path = path;
            found.masked = true;
            return found;
        }
        auto text = root.ReadFile(path, 1u << 20);
        if (!text) continue;
        found.path = path;
        found.masked = text->empty();
        found.assignments = ReadUnitFile(*text);
        return found;
    }
    return found;
}

std::vector<std::string> LinkedUnits(const SystemRoot& root, const std::string& unit) {
    std::set<std::string> seen;
    std::vector<std::string> units;
    for (const char* dir : kUnitDirs)
        for (const char* kind : {".wants", ".requires"})
            for (const auto& name : root.List(std::string(dir) + "/" + unit + kind))
                if (seen.insert(name).second) units.push_back(name);
    return units;
}

}  // namespace cimv2
