#include "cimv2/sources/StartupFiles.h"

#include <set>

#include "cimv2/core/TextFields.h"

namespace cimv2 {

namespace {

bool IsKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// The string type's escapes; nothing for an unknown one or a lone backslash
// at the end.
std::optional<std::string> Unescape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (size_t n = 0; n < value.size(); ++n) {
        if (value[n] != '\\') {
            out += value[n];
            continue;
        }
        if (++n == value.size()) return std::nullopt;
        switch (value[n]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

}  // namespace

std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text) {
    if (text.size() > kMaxDesktopEntryBytes || text.find('\0') != std::string_view::npos) return std::nullopt;
    DesktopEntry entry;
    bool inEntry = false, sawEntry = false, sawGroup = false;
    std::set<std::string> seen;  // keys of the current group
    while (!text.empty()) {
        std::string_view line = NextLine(text);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // Blanks before a line are allowed; a blank line or comment says nothing.
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos || line[start] == '#') continue;
        line.remove_prefix(start);
        if (line.front() == '[') {
            const size_t close = line.find(']');
            if (close == std::string_view::npos || Trim(line.substr(close + 1)).size() != 0) return std::nullopt;
            const std::string_view group = line.substr(1, close - 1);
            if (group.empty()) return std::nullopt;
            for (char c : group)
                if (c == '[' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return std::nullopt;
            // The Desktop Entry group comes first; later groups (actions) are read past.
            inEntry = group == "Desktop Entry";
            if (inEntry && (sawGroup || sawEntry)) return std::nullopt;
            sawEntry = sawEntry || inEntry;
            sawGroup = true;
            seen.clear();
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos || !sawGroup) return std::nullopt;
        std::string_view key = line.substr(0, eq);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.remove_suffix(1);
        std::string_view value = line.substr(eq + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        // Key[locale]: the locale is checked for shape and the key kept whole.
        std::string_view base = key;
        if (const size_t bracket = key.find('['); bracket != std::string_view::npos) {
            if (key.back() != ']' || bracket == 0 || bracket + 2 >= key.size()) return std::nullopt;
            for (char c : key.substr(bracket + 1, key.size() - bracket - 2))
                if (c == '[' || c == ']' || c == '=' || static_cast<unsigned char>(c) <= 0x20) return std::nullopt;
            base = key.substr(0, bracket);
        }
        if (base.empty()) return std::nullopt;
        for (char c : base)
            if (!IsKeyChar(c)) return std::nullopt;
        if (!seen.insert(std::string(key)).second) return std::nullopt;
        if (!inEntry || base.size() != key.size()) continue;
        auto read = [&](std::string& into) {
            auto unescaped = Unescape(value);
            if (!unescaped) return false;
            into = std::move(*unescaped);
            return true;
        };
        if (key == "Type") {
            if (!read(entry.type)) return std::nullopt;
        } else if (key == "Name") {
            if (!read(entry.name)) return std::nullopt;
        } else if (key == "Comment") {
            if (!read(entry.comment)) return std::nullopt;
        } else if (key == "Exec") {
            if (!read(entry.exec)) return std::nullopt;
        } else if (key == "Hidden") {
            if (value != "true" && value != "false") return std::nullopt;
            entry.hidden = value == "true";
        }
    }
    if (!sawEntry) return std::nullopt;
    return entry;
}

bool Autostarts(const DesktopEntry& entry) {
    return entry.type == "Application" && !entry.name.empty() && !Trim(entry.exec).empty() && !entry.hidden;
}

std::vector<RebootJob> ParseRebootJobs(std::string_view text, bool systemTable) {
    std::vector<RebootJob> jobs;
    auto word = [](std::string_view& rest) {
        const size_t start = rest.find_first_not_of(" \t");
        if (start == std::string_view::npos) {
            rest = {};
            return std::string_view();
        }
        rest.remove_prefix(start);
        const size_t end = rest.find_first_of(" \t");
        std::string_view w = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        return w;
    };
    while (!text.empty()) {
        std::string_view line = NextLine(text);
        if (line.size() > kMaxCronLine || line.find('\0') != std::string_view::npos) continue;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view rest = line;
        const std::string_view schedule = word(rest);
        if (schedule != "@reboot") continue;  // comments, settings and timed jobs
        RebootJob job;
        if (systemTable) {
            job.user = std::string(word(rest));
            if (job.user.empty()) continue;
        }
        std::string command;
        for (size_t n = 0; n < rest.size(); ++n) {
            if (rest[n] == '\\' && n + 1 < rest.size() && rest[n + 1] == '%') {
                command += '%';
                ++n;
            } else if (rest[n] == '%') {
                break;
            } else {
                command += rest[n];
            }
        }
        job.command = std::string(Trim(command));
        if (job.command.empty()) continue;
        jobs.push_back(std::move(job));
    }
    return jobs;
}

}  // namespace cimv2
