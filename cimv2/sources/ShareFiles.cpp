#include "cimv2/sources/ShareFiles.h"

#include <unordered_map>

#include "cimv2/core/Schema.h"
#include "cimv2/core/TextFields.h"

namespace cimv2 {

namespace {

// Logical lines: a line ending in a backslash is joined with the next.
template <typename F>
void EachJoinedLine(std::string_view text, F&& f) {
    std::string pending;
    while (!text.empty()) {
        std::string_view line = NextLine(text);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line.back() == '\\' && !text.empty()) {
            pending.append(line.substr(0, line.size() - 1));
            if (pending.size() > kMaxShareFileBytes) pending.clear();
            continue;
        }
        if (pending.empty()) {
            f(line);
        } else {
            pending.append(line);
            f(std::string_view(pending));
            pending.clear();
        }
    }
}

std::string ParameterName(std::string_view name) {
    std::string out;
    for (char c : name)
        if (c != ' ' && c != '\t' && c != '_') out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

// Folded as EqualsNoCase compares: ASCII letters only, whatever the locale.
std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::optional<bool> SambaBool(std::string_view value) {
    const std::string v = Lower(value);
    if (v == "yes" || v == "true" || v == "on" || v == "1") return true;
    if (v == "no" || v == "false" || v == "off" || v == "0") return false;
    return std::nullopt;
}

}  // namespace

std::vector<SambaShare> ParseSmbConf(std::string_view text) {
    std::vector<SambaShare> shares;
    std::vector<bool> tooLong;
    // Each section name once, without letter case: a file of many sections
    // is read in one pass rather than one scan of the sections per header.
    std::unordered_map<std::string, size_t> byName;
    // Index of the current section's share; -1 in [global], before any
    // section, and after a broken header.
    long current = -1;
    if (text.size() > kMaxShareFileBytes) text = text.substr(0, kMaxShareFileBytes);
    EachJoinedLine(text, [&](std::string_view raw) {
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#' || line.front() == ';') return;
        if (line.front() == '[') {
            current = -1;
            const size_t close = line.find(']');
            if (close == std::string_view::npos) return;
            const std::string_view name = Trim(line.substr(1, close - 1));
            if (name.empty() || EqualsNoCase(name, "global")) return;
            const auto [known, added] = byName.try_emplace(AsciiLower(name), shares.size());
            if (added) {
                shares.push_back({});
                shares.back().name = std::string(name);
                tooLong.push_back(name.size() > kMaxShareField);
            }
            current = static_cast<long>(known->second);
            return;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos || current < 0) return;
        const std::string key = ParameterName(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        SambaShare& share = shares[static_cast<size_t>(current)];
        if (key == "path" || key == "directory") {
            share.path = std::string(value);
        } else if (key == "comment") {
            share.comment = std::string(value);
        } else if (key == "printable" || key == "printok") {
            if (auto b = SambaBool(value)) share.printable = *b;
        } else if (key == "available") {
            if (auto b = SambaBool(value)) share.available = *b;
        } else if (key == "maxconnections") {
            if (auto n = ParseUnsigned(value); n && *n <= UINT32_MAX) share.maxConnections = static_cast<uint32_t>(*n);
        } else {
            return;
        }
        if (share.path.size() > kMaxShareField || share.comment.size() > kMaxShareField)
            tooLong[static_cast<size_t>(current)] = true;
    });
    std::vector<SambaShare> out;
    for (size_t n = 0; n < shares.size(); ++n)
        if (!tooLong[n]) out.push_back(std::move(shares[n]));
    return out;
}

std::vector<NfsExport> ParseExports(std::string_view text) {
    std::vector<NfsExport> exports;
    if (text.size() > kMaxShareFileBytes) text = text.substr(0, kMaxShareFileBytes);
    EachJoinedLine(text, [&](std::string_view raw) {
        std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') return;
        // The path: quoted or up to the first blank, octal escapes resolved.
        std::string path;
        size_t n = 0;
        const bool quoted = line.front() == '"';
        if (quoted) ++n;
        for (; n < line.size(); ++n) {
            const char c = line[n];
            if (quoted ? c == '"' : (c == ' ' || c == '\t')) break;
            if (c == '\\' && n + 3 < line.size()) {
                const std::string_view digits = line.substr(n + 1, 3);
                bool octal = true;
                for (char d : digits) octal = octal && d >= '0' && d <= '7';
                const int code = octal ? (digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0') : 0;
                if (octal && code > 0 && code < 256) {
                    path += static_cast<char>(code);
                    n += 3;
                    continue;
                }
            }
            path += c;
        }
        if (quoted) {
            if (n >= line.size()) return;  // no closing quote
            ++n;
        }
        if (path.empty() || path.front() != '/' || path.size() > kMaxShareField) return;
        // The rest: client words, blanks collapsed to one.
        std::string clients;
        std::string_view rest = line.substr(n);
        while (!rest.empty()) {
            const size_t start = rest.find_first_not_of(" \t");
            if (start == std::string_view::npos) break;
            rest.remove_prefix(start);
            const size_t end = rest.find_first_of(" \t");
            if (!clients.empty()) clients += ' ';
            clients.append(rest.substr(0, end));
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        }
        if (clients.size() > kMaxShareField) return;
        exports.push_back({std::move(path), std::move(clients)});
    });
    return exports;
}

}  // namespace cimv2
