#include "cimv2/sources/EnvironmentFiles.h"

#include <map>

#include "cimv2/core/TextFields.h"

namespace cimv2 {

namespace {

bool IsShellName(std::string_view name) {
    if (name.empty() || name.size() > 255) return false;
    if (name[0] >= '0' && name[0] <= '9') return false;
    for (char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

}  // namespace

std::vector<EnvAssignment> ParseEnvironmentAssignments(std::string_view text) {
    std::vector<EnvAssignment> out;
    while (!text.empty()) {
        std::string_view line = Trim(NextLine(text));
        if (line.empty() || line.front() == '#' || line.find('\0') != std::string_view::npos) continue;
        if (line.starts_with("export ") || line.starts_with("export\t")) line = Trim(line.substr(7));
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view name = Trim(line.substr(0, eq));
        std::string_view value = Trim(line.substr(eq + 1));
        if (!IsShellName(name)) continue;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        out.push_back({std::string(name), std::string(value)});
    }
    return out;
}

std::vector<std::string> EnvironmentDFiles(const SystemRoot& root, const std::vector<std::string>& dirs) {
    std::map<std::string, std::string> byName;  // file name -> its path in the first directory that has it
    for (const auto& dir : dirs)
        for (const auto& name : root.List(dir))
            if (name.size() > 5 && name.ends_with(".conf") && name.front() != '.')
                byName.emplace(name, dir + "/" + name);
    std::vector<std::string> files;
    for (auto& [name, path] : byName) files.push_back(std::move(path));
    return files;
}

}  // namespace cimv2
