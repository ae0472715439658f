// Win32_Group from NSS (getgrent: /etc/group and any directory service that
// nsswitch.conf names; a captured tree's /etc/group).
//   Name          the group's name
//   Domain        the computer's name (groups are the machine's own view)
//   Caption       "Domain\Name"
//   SID           S-1-22-2-<gid>, the form Samba and winbind give Unix groups
//   SIDType       2 (a group)
//   LocalAccount  true when the group is in the root's /etc/group
// Description and Status have no source and stay null.
#include <set>

#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/provider/NotedRead.h"
#include "cimv2/sources/Groups.h"

namespace cimv2 {

const ClassSchema& Win32_GroupSchema() {
    static const ClassSchema schema("Win32_Group", Win32_Account(), {});
    return schema;
}

std::vector<Instance> EnumerateWin32_Group(const ProviderContext& context) {
    std::vector<Instance> out;
    const auto file = ReadTextNoted(context, "/etc/group", 16u << 20);
    const std::vector<GroupEntry> local = file ? ParseGroupFile(*file) : std::vector<GroupEntry>();
    const std::vector<GroupEntry> groups = context.Groups().Groups();
    std::set<std::string> localNames;
    for (const auto& g : local) localNames.insert(g.name);

    const auto& domain = context.Facts().computerName;
    std::set<std::string> seen;
    for (const auto& group : groups) {
        if (!seen.insert(group.name).second) continue;
        Instance inst(Win32_GroupSchema());
        inst.SetText("Name", group.name);
        inst.SetText("Caption", domain ? *domain + "\\" + group.name : group.name);
        if (domain) inst.SetText("Domain", *domain);
        inst.SetText("SID", "S-1-22-2-" + std::to_string(group.gid));
        inst.SetInt("SIDType", 2);
        inst.SetBool("LocalAccount", localNames.count(group.name) > 0);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
