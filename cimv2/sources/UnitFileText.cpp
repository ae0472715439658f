#include "cimv2/sources/UnitFileText.h"

#include <map>

#include "cimv2/core/TextFields.h"

namespace cimv2 {

std::vector<UnitAssignment> ReadUnitFile(std::string_view text) {
    std::vector<UnitAssignment> out;
    std::string section;
    std::string line;
    while (!text.empty()) {
        std::string_view raw = Trim(NextLine(text));
        // A comment inside a continued line is left out of it.
        if (!line.empty() && !raw.empty() && (raw.front() == '#' || raw.front() == ';')) continue;
        if (!raw.empty() && raw.back() == '\\') {
            line.append(raw.substr(0, raw.size() - 1)).push_back(' ');
            if (!text.empty()) continue;
        } else {
            line.append(raw);
        }
        const std::string_view l = Trim(line);
        const bool comment = !l.empty() && (l.front() == '#' || l.front() == ';');
        const size_t eq = l.find('=');
        if (!l.empty() && l.front() == '[') {
            if (l.back() == ']') section = std::string(l.substr(1, l.size() - 2));
        } else if (!comment && eq != std::string_view::npos) {
            out.push_back({section, std::string(Trim(l.substr(0, eq))), std::string(Trim(l.substr(eq + 1)))});
        }
        line.clear();
    }
    return out;
}

std::string UnitValue(const std::vector<UnitAssignment>& assignments, std::string_view section, std::string_view key) {
    std::string value;
    for (const auto& a : assignments)
        if (a.section == section && a.key == key) value = a.value;
    return value;
}

std::vector<std::string> UnitWords(const std::vector<UnitAssignment>& assignments, std::string_view section,
                                   std::string_view key) {
    std::vector<std::string> words;
    for (const auto& a : assignments) {
        if (a.section != section || a.key != key) continue;
        if (a.value.empty()) words.clear();
        std::string_view rest = a.value;
        for (;;) {
            const size_t start = rest.find_first_not_of(" \t");
            if (start == std::string_view::npos) break;
            rest = rest.substr(start);
            const size_t end = rest.find_first_of(" \t");
            words.emplace_back(rest.substr(0, end));
            if (end == std::string_view::npos) break;
            rest = rest.substr(end);
        }
    }
    return words;
}

std::string InstallState(const std::vector<UnitAssignment>& assignments) {
    std::map<std::string_view, bool> listed;  // key: the list holds something
    for (const auto& a : assignments)
        if (a.section == "Install") listed[a.key] = !a.value.empty();
    auto set = [&](std::string_view key) {
        auto it = listed.find(key);
        return it != listed.end() && it->second;
    };
    if (set("WantedBy") || set("RequiredBy") || set("UpheldBy") || set("Alias")) return "disabled";
    if (set("Also")) return "indirect";
    return "static";
}

}  // namespace cimv2
