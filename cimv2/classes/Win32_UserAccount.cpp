// Win32_UserAccount: every account NSS knows (getpwent: /etc/passwd and any
// directory service nsswitch.conf names; a captured tree's /etc/passwd),
// each name once.
//   Name          the login name; Domain the computer's name; Caption "Domain\Name"
//   FullName      the first comma-separated field of the GECOS text
//   SID           S-1-22-1-<uid>, the form Samba and winbind give Unix users
//   SIDType       1 (a user); AccountType 512 (UF_NORMAL_ACCOUNT: Unix has no other kind)
//   LocalAccount  true when the account is in the root's /etc/passwd
// From shadow(5) (/etc/shadow, root-only on a live machine), null where the
// file cannot be read (noted when for lack of rights) or has no line for the account:
//   Lockout             the password is locked ('!' before it: passwd -l, usermod -L)
//   Disabled            the account has expired (expiry day at or before today:
//                       chage -E, usermod -e, "the account is disabled" in shadow(5))
//   PasswordExpires     a maximum password age is set (99999, the tools' "never", is none)
//   PasswordRequired    the password field is not empty (empty: no password asked)
//   PasswordChangeable  false when the maximum age is below the minimum, which
//                       shadow(5) says keeps the user from changing it
// Description, InstallDate and Status have no source and stay null.
#include <map>
#include <set>

#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/NotedRead.h"
#include "cimv2/sources/Accounts.h"

namespace cimv2 {

namespace {

constexpr int64_t kNeverDays = 99999;
constexpr int64_t kSecondsPerDay = 86400;

}  // namespace

const ClassSchema& Win32_UserAccountSchema() {
    static const ClassSchema schema("Win32_UserAccount", Win32_Account(),
                                    {
                                        {"AccountType", CimType::UInt32},
                                        {"Disabled", CimType::Boolean},
                                        {"FullName", CimType::String},
                                        {"Lockout", CimType::Boolean},
                                        {"PasswordChangeable", CimType::Boolean},
                                        {"PasswordExpires", CimType::Boolean},
                                        {"PasswordRequired", CimType::Boolean},
                                    });
    return schema;
}

std::vector<Instance> EnumerateWin32_UserAccount(const ProviderContext& context) {
    std::vector<Instance> out;
    const auto passwdText = ReadTextNoted(context, "/etc/passwd", 16u << 20);
    std::set<std::string> localNames;
    if (passwdText)
        for (const auto& user : ParsePasswd(*passwdText)) localNames.insert(user.name);
    std::map<std::string, ShadowEntry> shadow;
    if (auto text = context.root.ReadFile("/etc/shadow", 16u << 20))
        for (auto& entry : ParseShadow(*text)) shadow.emplace(entry.name, std::move(entry));
    else
        context.NoteIfDenied(context.root.ReadError("/etc/shadow"), "/etc/shadow");
    const int64_t today = context.Now() / kSecondsPerDay;

    const auto& domain = context.Facts().computerName;
    std::set<std::string> seen;
    for (const auto& user : context.Accounts().Users()) {
        if (!seen.insert(user.name).second) continue;
        Instance inst(Win32_UserAccountSchema());
        inst.SetText("Name", user.name);
        if (domain) inst.SetText("Domain", *domain);
        inst.SetText("Caption", domain ? *domain + "\\" + user.name : user.name);
        inst.SetText("FullName", user.gecos.substr(0, user.gecos.find(',')));
        inst.SetText("SID", UnixUserSid(user.uid));
        inst.SetInt("SIDType", 1);
        inst.SetInt("AccountType", 512);
        inst.SetBool("LocalAccount", localNames.count(user.name) > 0);
        if (auto it = shadow.find(user.name); it != shadow.end()) {
            const ShadowEntry& s = it->second;
            inst.SetBool("Lockout", s.password.starts_with("!"));
            inst.SetBool("Disabled", s.expireDay && *s.expireDay <= today);
            inst.SetBool("PasswordExpires", s.maxDays && *s.maxDays >= 0 && *s.maxDays < kNeverDays);
            inst.SetBool("PasswordRequired", !s.password.empty());
            inst.SetBool("PasswordChangeable", !(s.minDays && s.maxDays && *s.maxDays >= 0 && *s.maxDays < *s.minDays));
        }
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
