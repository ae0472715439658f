// Win32_Environment: the environment settings the machine gives sessions.
// System-wide (UserName "<SYSTEM>", SystemVariable true): pam_env's
// /etc/environment, then systemd's environment.d directories
// (kEnvironmentDDirs, files by name, an earlier directory's file hiding a
// later one's of the same name). Per user (UserName "Computer\user",
// SystemVariable false): the *.conf files of ~/.config/environment.d for each
// account whose files can be read; an account without readable files has none.
// A name set twice in one scope is one instance with the last value, where it
// was first set. (~/.pam_environment is not read: pam_env ignores it unless
// configured with user_readenv, which Debian does not.)
//   Name           the variable's name
//   VariableValue  the value as written (${X} references unexpanded, as WMI
//                  shows %X%)
//   Caption, Description   "UserName\Name", as WMI writes them
// InstallDate and Status have no source and stay null.
#include <map>

#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/sources/EnvironmentFiles.h"
#include "cimv2/sources/UserHomes.h"

namespace cimv2 {

namespace {

// Assignments of one scope: the last value of each name, in first-set order.
class Scope {
public:
    void Add(const std::vector<EnvAssignment>& assignments) {
        for (const auto& a : assignments) {
            auto [it, added] = FIndex.emplace(a.name, FItems.size());
            if (added)
                FItems.push_back(a);
            else
                FItems[it->second].value = a.value;
        }
    }
    const std::vector<EnvAssignment>& Items() const { return FItems; }

private:
    std::vector<EnvAssignment> FItems;
    std::map<std::string, size_t> FIndex;
};

void AddFiles(Scope& scope, const SystemRoot& root, const std::vector<std::string>& dirs) {
    for (const auto& file : EnvironmentDFiles(root, dirs))
        if (auto text = root.ReadFile(file, kMaxEnvironmentFileBytes)) scope.Add(ParseEnvironmentAssignments(*text));
}

}  // namespace

const ClassSchema& Win32_EnvironmentSchema() {
    static const ClassSchema schema("Win32_Environment", CIM_SystemResource(),
                                    {
                                        {"Name", CimType::String, kKey},
                                        {"SystemVariable", CimType::Boolean},
                                        {"UserName", CimType::String, kKey},
                                        {"VariableValue", CimType::String},
                                    });
    return schema;
}

std::vector<Instance> EnumerateWin32_Environment(const ProviderContext& context) {
    std::vector<Instance> out;
    auto emit = [&](const Scope& scope, const std::string& userName, bool system) {
        for (const auto& a : scope.Items()) {
            Instance inst(Win32_EnvironmentSchema());
            inst.SetText("Name", a.name);
            inst.SetText("VariableValue", a.value);
            inst.SetText("UserName", userName);
            inst.SetBool("SystemVariable", system);
            inst.SetText("Caption", userName + "\\" + a.name);
            inst.SetText("Description", userName + "\\" + a.name);
            out.push_back(std::move(inst));
        }
    };

    Scope system;
    if (auto text = context.root.ReadFile("/etc/environment", kMaxEnvironmentFileBytes))
        system.Add(ParseEnvironmentAssignments(*text));
    AddFiles(system, context.root, {std::begin(kEnvironmentDDirs), std::end(kEnvironmentDDirs)});
    emit(system, "<SYSTEM>", true);

    const auto& computer = context.Facts().computerName;
    for (const auto& user : AccountsWithHomes(context.Accounts().Users())) {
        Scope own;
        AddFiles(own, context.root, {user.home + "/.config/environment.d"});
        emit(own, computer ? *computer + "\\" + user.name : user.name, false);
    }
    return out;
}

}  // namespace cimv2
