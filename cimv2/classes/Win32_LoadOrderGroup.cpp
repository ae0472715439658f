// Win32_LoadOrderGroup: systemd's targets, the groups that start-up reaches
// in order, read from the unit files (no running systemd needed). The groups
// are default.target and the targets it pulls in, transitively, through
// Requires=, Wants=, BindsTo= and the .wants/.requires directories.
//   Name           the target's unit name ("sysinit.target")
//   Caption, Description  the unit's Description= ("System Initialization")
//   GroupOrder     1 for the first group reached: the targets in the order
//                  their After=/Before= relations give (ties by name)
//   DriverEnabled  whether the group pulls in a unit that loads drivers
//                  (systemd-modules-load, systemd-udevd, udev triggers,
//                  kmod static nodes)
// Status has no source and stays null. Drop-in files are not read.
#include <algorithm>
#include <map>
#include <set>

#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/sources/UnitSearchPath.h"

namespace cimv2 {

// clang-format off
const ClassSchema& Win32_LoadOrderGroupSchema() {
    static const ClassSchema schema("Win32_LoadOrderGroup", CIM_LogicalElement(), {
        {"DriverEnabled", CimType::Boolean},
        {"GroupOrder", CimType::UInt32},
        {"Name", CimType::String, kKey},
    });
    return schema;
}
// clang-format on

namespace {

constexpr std::string_view kDriverUnits[] = {"systemd-modules-load.service", "systemd-udevd.service",
                                             "systemd-udev-trigger.service", "kmod-static-nodes.service",
                                             "kmod.service"};

bool IsTarget(const std::string& unit) { return unit.size() > 7 && unit.ends_with(".target"); }

struct Group {
    FoundUnit unit;
    std::vector<std::string> pulls;  // every unit it pulls in
};

}  // namespace

std::vector<Instance> EnumerateWin32_LoadOrderGroup(const ProviderContext& context) {
    std::vector<Instance> out;
    std::map<std::string, Group> groups;
    std::vector<std::string> queue = {"default.target"};
    // default.target is a link to the target the machine boots into.
    for (const char* dir : kUnitDirs)
        if (auto target = context.root.ReadLink(std::string(dir) + "/default.target")) {
            const std::string name = target->substr(target->rfind('/') + 1);
            if (IsTarget(name)) queue[0] = name;
            break;
        }
    while (!queue.empty()) {
        const std::string name = queue.back();
        queue.pop_back();
        if (groups.count(name)) continue;
        Group group{FindUnit(context.root, name), {}};
        if (group.unit.path.empty() || group.unit.masked) continue;
        for (const char* key : {"Requires", "Wants", "BindsTo", "Requisite"})
            for (auto& u : UnitWords(group.unit.assignments, "Unit", key)) group.pulls.push_back(u);
        for (auto& u : LinkedUnits(context.root, name)) group.pulls.push_back(u);
        for (const auto& u : group.pulls)
            if (IsTarget(u)) queue.push_back(u);
        groups.emplace(name, std::move(group));
    }
    if (groups.empty()) return out;

    // a -> b when a starts before b.
    std::map<std::string, std::set<std::string>> before;
    std::map<std::string, int> waiting;
    for (const auto& [name, g] : groups) waiting[name];
    auto edge = [&](const std::string& first, const std::string& then) {
        if (!groups.count(first) || !groups.count(then) || first == then) return;
        if (before[first].insert(then).second) ++waiting[then];
    };
    for (const auto& [name, g] : groups) {
        for (const auto& u : UnitWords(g.unit.assignments, "Unit", "After")) edge(u, name);
        for (const auto& u : UnitWords(g.unit.assignments, "Unit", "Before")) edge(name, u);
    }
    std::set<std::string> ready;
    for (const auto& [name, count] : waiting)
        if (count == 0) ready.insert(name);
    std::vector<std::string> order;
    while (order.size() < groups.size()) {
        if (ready.empty()) {
            // An ordering cycle: systemd breaks it too; take the first waiting group.
            for (const auto& [name, count] : waiting)
                if (count > 0 && std::find(order.begin(), order.end(), name) == order.end()) {
                    ready.insert(name);
                    waiting[name] = 0;
                    break;
                }
        }
        const std::string next = *ready.begin();
        ready.erase(ready.begin());
        order.push_back(next);
        for (const auto& then : before[next])
            if (--waiting[then] == 0) ready.insert(then);
    }

    uint32_t position = 0;
    for (const auto& name : order) {
        const Group& g = groups.at(name);
        Instance inst(Win32_LoadOrderGroupSchema());
        inst.SetText("Name", name);
        const std::string description = UnitValue(g.unit.assignments, "Unit", "Description");
        if (!description.empty()) {
            inst.SetText("Caption", description);
            inst.SetText("Description", description);
        }
        inst.Set("GroupOrder", Value::UInt(++position));
        bool drivers = false;
        for (const auto& u : g.pulls)
            drivers |= std::find(std::begin(kDriverUnits), std::end(kDriverUnits), u) != std::end(kDriverUnits);
        inst.SetBool("DriverEnabled", drivers);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
