#pragma once
// The machine's groups. NSS answers for the live machine (local files and
// whatever directory services nsswitch.conf names); a captured tree has only
// its /etc/group. Tests hand in a list.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

struct GroupEntry {
    std::string name;
    uint32_t gid = 0;
    bool operator==(const GroupEntry&) const = default;
};

// The lines "name:password:gid:members" of a group file, in file order.
// Lines without a name or a decimal gid, and NIS "+"/"-" entries, are skipped.
std::vector<GroupEntry> ParseGroupFile(std::string_view text);

class GroupDirectory {
public:
    virtual ~GroupDirectory() = default;
    virtual std::vector<GroupEntry> Groups() const = 0;
};

// getgrent over every NSS source, each name once.
class NssGroupDirectory final : public GroupDirectory {
public:
    std::vector<GroupEntry> Groups() const override;
};

class ListedGroupDirectory final : public GroupDirectory {
public:
    explicit ListedGroupDirectory(std::vector<GroupEntry> groups) : FGroups(std::move(groups)) {}
    std::vector<GroupEntry> Groups() const override { return FGroups; }

private:
    std::vector<GroupEntry> FGroups;
};

// NSS for the real root ("/"), the tree's /etc/group for any other.
std::unique_ptr<GroupDirectory> GroupsFor(const SystemRoot& root);

}  // namespace cimv2
