#pragma once
// The machine's user accounts: from NSS (getpwent: files, LDAP, sssd, ...)
// on the live machine, from the tree's /etc/passwd for a captured one, and
// the shadow data (/etc/shadow, root-only) where it can be read.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

struct UserEntry {
    std::string name;
    uint32_t uid = 0;
    uint32_t gid = 0;
    std::string gecos;
    std::string home;
    std::string shell;
    bool operator==(const UserEntry&) const = default;
};

class AccountSource {
public:
    virtual ~AccountSource() = default;
    // Every account, in the order the source gives them.
    virtual std::vector<UserEntry> Users() const = 0;
    virtual std::optional<UserEntry> UserById(uint32_t uid) const = 0;
};

// The live machine through NSS.
class NssAccounts : public AccountSource {
public:
    std::vector<UserEntry> Users() const override;
    std::optional<UserEntry> UserById(uint32_t uid) const override;
};

// passwd(5) text, as a tree holds it.
class PasswdFileAccounts : public AccountSource {
public:
    explicit PasswdFileAccounts(std::vector<UserEntry> users) : FUsers(std::move(users)) {}
    std::vector<UserEntry> Users() const override { return FUsers; }
    std::optional<UserEntry> UserById(uint32_t uid) const override;

private:
    std::vector<UserEntry> FUsers;
};

// NSS for the real root ("/"), the tree's /etc/passwd for any other.
std::unique_ptr<AccountSource> AccountsFor(const SystemRoot& root);

// passwd(5) lines name:password:uid:gid:gecos:home:shell; a line with a
// missing field or a uid or gid that is not a number is skipped, as are
// comments and NIS "+"/"-" lines.
std::vector<UserEntry> ParsePasswd(std::string_view text);

// shadow(5): name:password:lastchange:min:max:warn:inactive:expire:reserved,
// the day counts since 1 January 1970; an empty field is absent.
struct ShadowEntry {
    std::string name;
    std::string password;
    std::optional<int64_t> lastChange, minDays, maxDays, warnDays, inactiveDays, expireDay;
};
std::vector<ShadowEntry> ParseShadow(std::string_view text);

// The SID form of a Unix user id (Samba's and Windows' convention for
// Unix users): S-1-22-1-UID.
std::string UnixUserSid(uint32_t uid);

}  // namespace cimv2
