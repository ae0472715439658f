#include "cimv2/sources/KeyFiles.h"

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

}  // namespace cimv2
