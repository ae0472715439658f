#include "cimv2/sources/Groups.h"

#include <grp.h>

#include <mutex>
#include <set>

#include "cimv2/core/TextFields.h"

namespace cimv2 {

std::vector<GroupEntry> ParseGroupFile(std::string_view text) {
    std::vector<GroupEntry> groups;
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        const size_t nameEnd = line.find(':');
        if (nameEnd == 0 || nameEnd == std::string_view::npos) continue;
        const std::string_view name = line.substr(0, nameEnd);
        if (name[0] == '+' || name[0] == '-' || name[0] == '#') continue;
        const size_t gidAt = line.find(':', nameEnd + 1);
        if (gidAt == std::string_view::npos) continue;
        const size_t gidEnd = line.find(':', gidAt + 1);
        if (gidEnd == std::string_view::npos) continue;
        auto gid = ParseUnsigned(line.substr(gidAt + 1, gidEnd - gidAt - 1));
        if (!gid || *gid > UINT32_MAX ||
            line.substr(gidAt + 1, gidEnd - gidAt - 1) != Trim(line.substr(gidAt + 1, gidEnd - gidAt - 1)))
            continue;
        groups.push_back({std::string(name), static_cast<uint32_t>(*gid)});
    }
    return groups;
}

std::vector<GroupEntry> NssGroupDirectory::Groups() const {
    // getgrent keeps one cursor per process.
    static std::mutex cursor;
    std::lock_guard<std::mutex> lock(cursor);
    std::vector<GroupEntry> groups;
    std::set<std::string> seen;
    setgrent();
    while (const group* entry = getgrent()) {
        if (!entry->gr_name || !*entry->gr_name || !seen.insert(entry->gr_name).second) continue;
        groups.push_back({entry->gr_name, static_cast<uint32_t>(entry->gr_gid)});
    }
    endgrent();
    return groups;
}

std::unique_ptr<GroupDirectory> GroupsFor(const SystemRoot& root) {
    if (root.IsThisComputer()) return std::make_unique<NssGroupDirectory>();
    auto text = root.ReadFile("/etc/group", 16u << 20);
    return std::make_unique<ListedGroupDirectory>(text ? ParseGroupFile(*text) : std::vector<GroupEntry>{});
}

}  // namespace cimv2
