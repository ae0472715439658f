// Win32_StartupCommand: what starts by itself when the machine boots or a
// user logs in.
//   XDG autostart entries (*.desktop) that would run: the system's in
//   /etc/xdg/autostart, User "Public" as WMI names the all-users startup
//   folder; each account's own in ~/.config/autostart where readable, User
//   "Computer\user". A user's Hidden=true entry is not a command (it switches
//   the system entry of that name off for that user only, so the system one
//   stays listed); an entry that is not valid (see ParseDesktopEntry) is skipped.
//     Name, Caption  Name=; Description Comment= (null without one)
//     Command        Exec= as written (field codes such as %U kept)
//     Location       the directory ("/etc/xdg/autostart", "/home/alice/.config/autostart")
//   @reboot lines of crontabs: each user's own (/var/spool/cron/crontabs/NAME,
//   root-only on a live machine, so read only where readable) and the system
//   tables /etc/crontab and /etc/cron.d/*, which name their user.
//     Command        the command up to its standard input ('%')
//     Name, Caption  the command's program (the last part of its first word)
//     Location       the crontab's path
//   UserSID          S-1-22-1-UID of a named user that resolves; null for "Public"
// SettingID has no source and stays null.
#include <set>
#include <tuple>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/sources/StartupFiles.h"
#include "cimv2/sources/UserHomes.h"

namespace cimv2 {

namespace {

constexpr const char* kSystemAutostart = "/etc/xdg/autostart";
constexpr const char* kUserCrontabs = "/var/spool/cron/crontabs";

std::string ProgramOf(std::string_view command) {
    command = Trim(command);
    std::string_view first = command.substr(0, command.find_first_of(" \t"));
    while (first.size() > 1 && first.back() == '/') first.remove_suffix(1);
    const size_t slash = first.find_last_of('/');
    if (slash != std::string_view::npos && slash + 1 < first.size()) first.remove_prefix(slash + 1);
    return std::string(first);
}

class Collector {
public:
    explicit Collector(std::vector<Instance>& out) : FOut(out) {}

    void Add(const std::string& name, const std::string& description, const std::string& command,
             const std::string& location, const std::string& user, const std::optional<std::string>& sid) {
        if (!FKeys.insert({name, command, location, user}).second) return;
        Instance inst(Win32_StartupCommandSchema());
        inst.SetText("Name", name);
        inst.SetText("Caption", name);
        if (!description.empty()) inst.SetText("Description", description);
        inst.SetText("Command", command);
        inst.SetText("Location", location);
        inst.SetText("User", user);
        if (sid) inst.SetText("UserSID", *sid);
        FOut.push_back(std::move(inst));
    }

private:
    std::vector<Instance>& FOut;
    std::set<std::tuple<std::string, std::string, std::string, std::string>> FKeys;
};

void AddAutostart(Collector& out, const SystemRoot& root, const std::string& dir, const std::string& user,
                  const std::optional<std::string>& sid) {
    for (const auto& file : root.List(dir)) {
        if (!file.ends_with(".desktop") || file.front() == '.') continue;
        const auto text = root.ReadFile(dir + "/" + file, kMaxDesktopEntryBytes + 1);
        if (!text) continue;
        const auto entry = ParseDesktopEntry(*text);
        if (!entry || !Autostarts(*entry)) continue;
        out.Add(entry->name, entry->comment, entry->exec, dir, user, sid);
    }
}

}  // namespace

const ClassSchema& Win32_StartupCommandSchema() {
    static const ClassSchema schema("Win32_StartupCommand", CIM_Setting(),
                                    {
                                        {"Command", CimType::String, kKey},
                                        {"Location", CimType::String, kKey},
                                        {"Name", CimType::String, kKey},
                                        {"User", CimType::String, kKey},
                                        {"UserSID", CimType::String},
                                    });
    return schema;
}

std::vector<Instance> EnumerateWin32_StartupCommand(const ProviderContext& context) {
    std::vector<Instance> out;
    Collector collector(out);
    const SystemRoot& root = context.root;
    const auto& computer = context.Facts().computerName;
    const std::vector<UserEntry> accounts = context.Accounts().Users();
    const std::vector<UserEntry> users = AccountsWithHomes(accounts);
    auto userText = [&](const std::string& name) { return computer ? *computer + "\\" + name : name; };
    auto sidOf = [&](const std::string& name) -> std::optional<std::string> {
        for (const auto& u : accounts)
            if (u.name == name) return UnixUserSid(u.uid);
        return std::nullopt;
    };

    AddAutostart(collector, root, kSystemAutostart, "Public", std::nullopt);
    for (const auto& user : users)
        AddAutostart(collector, root, user.home + "/.config/autostart", userText(user.name), UnixUserSid(user.uid));

    auto addCron = [&](const std::string& path, bool systemTable, const std::string& owner) {
        const auto text = root.ReadFile(path, 1u << 20);
        if (!text) return;
        for (const auto& job : ParseRebootJobs(*text, systemTable)) {
            const std::string& name = systemTable ? job.user : owner;
            collector.Add(ProgramOf(job.command), "", job.command, path, userText(name), sidOf(name));
        }
    };
    for (const auto& owner : root.List(kUserCrontabs))
        if (owner.front() != '.') addCron(std::string(kUserCrontabs) + "/" + owner, false, owner);
    addCron("/etc/crontab", true, "");
    for (const auto& file : root.List("/etc/cron.d"))
        // cron skips names with dots and editor leftovers.
        if (file.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-") ==
            std::string::npos)
            addCron("/etc/cron.d/" + file, true, "");
    return out;
}

}  // namespace cimv2
