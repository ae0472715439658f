#include "cimv2/sources/KeyFiles.h"

#include <set>

#include "cimv2/core/TextFields.h"

namespace cimv2 {

KeyFile KeyFile::Parse(std::string_view text) {
    KeyFile out;
    std::string section;
    std::string pending;  // a line continued with a backslash
    while (!text.empty() || !pending.empty()) {
        std::string_view raw;
        if (!text.empty()) {
            const size_t eol = text.find('\n');
            raw = text.substr(0, eol);
            text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        }
        std::string_view line = Trim(raw);
        if (!pending.empty() && (line.empty() || line[0] == '#' || line[0] == ';')) {
            if (!text.empty()) continue;  // comments inside a continuation are skipped
            line = {};
        }
        if (!line.empty() && line.back() == '\\' && !text.empty()) {
            pending.append(line.substr(0, line.size() - 1)).append(" ");
            continue;
        }
        std::string joined = pending + std::string(line);
        pending.clear();
        std::string_view full = Trim(joined);
        if (full.empty() || full[0] == '#' || full[0] == ';') continue;
        if (full.front() == '[') {
            const size_t close = full.find(']');
            section = close == std::string_view::npos ? std::string() : std::string(full.substr(1, close - 1));
            continue;
        }
        const size_t eq = full.find('=');
        if (section.empty() || eq == std::string_view::npos || eq == 0) continue;
        out.FEntries.push_back(
            {section, std::string(Trim(full.substr(0, eq))), std::string(Trim(full.substr(eq + 1)))});
    }
    return out;
}

std::string KeyFile::Value(std::string_view section, std::string_view key) const {
    std::string value;
    for (const auto& e : FEntries)
        if (e.section == section && e.key == key) value = e.value;
    return value;
}

std::vector<std::string> KeyFile::Words(std::string_view section, std::string_view key) const {
    std::vector<std::string> words;
    for (const auto& e : FEntries) {
        if (e.section != section || e.key != key) continue;
        if (e.value.empty()) words.clear();
        std::string_view rest = e.value;
        while (!rest.empty()) {
            const size_t start = rest.find_first_not_of(" \t");
            if (start == std::string_view::npos) break;
            rest = rest.substr(start);
            const size_t end = rest.find_first_of(" \t");
            words.emplace_back(rest.substr(0, end));
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        }
    }
    return words;
}

UnitFile FindUnit(const SystemRoot& root, const std::string& unit) {
    UnitFile found;
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
        found.file = KeyFile::Parse(*text);
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
