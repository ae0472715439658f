#include "cimv2/sources/Accounts.h"

#include <pwd.h>

#include <mutex>

#include "cimv2/core/TextFields.h"

namespace cimv2 {

namespace {

std::vector<std::string_view> SplitColons(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        size_t colon = line.find(':');
        fields.push_back(line.substr(0, colon));
        if (colon == std::string_view::npos) break;
        line.remove_prefix(colon + 1);
    }
    return fields;
}

template <typename F>
void EachLine(std::string_view text, F&& f) {
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#' || line.front() == '+' || line.front() == '-') continue;
        f(line);
    }
}

UserEntry FromPasswd(const passwd& pw) {
    return {
        pw.pw_name ? pw.pw_name : "",  pw.pw_uid, pw.pw_gid, pw.pw_gecos ? pw.pw_gecos : "", pw.pw_dir ? pw.pw_dir : "",
        pw.pw_shell ? pw.pw_shell : ""};
}

}  // namespace

std::vector<UserEntry> NssAccounts::Users() const {
    // getpwent walks one process-wide cursor.
    static std::mutex cursor;
    std::lock_guard lock(cursor);
    std::vector<UserEntry> users;
    setpwent();
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* result = nullptr;
    for (;;) {
        int rc = getpwent_r(&pw, buf.data(), buf.size(), &result);
        if (rc == ERANGE && buf.size() < (1u << 20)) {
            buf.resize(buf.size() * 2);
            continue;
        }
        if (rc != 0 || !result) break;
        users.push_back(FromPasswd(pw));
    }
    endpwent();
    return users;
}

std::optional<UserEntry> NssAccounts::UserById(uint32_t uid) const {
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* result = nullptr;
    while (getpwuid_r(uid, &pw, buf.data(), buf.size(), &result) == ERANGE && buf.size() < (1u << 20))
        buf.resize(buf.size() * 2);
    if (!result) return std::nullopt;
    return FromPasswd(pw);
}

std::optional<UserEntry> PasswdFileAccounts::UserById(uint32_t uid) const {
    for (const auto& user : FUsers)
        if (user.uid == uid) return user;
    return std::nullopt;
}

std::unique_ptr<AccountSource> AccountsFor(const SystemRoot& root) {
    if (root.IsThisComputer()) return std::make_unique<NssAccounts>();
    auto text = root.ReadFile("/etc/passwd", 16u << 20);
    return std::make_unique<PasswdFileAccounts>(text ? ParsePasswd(*text) : std::vector<UserEntry>{});
}

std::vector<UserEntry> ParsePasswd(std::string_view text) {
    std::vector<UserEntry> users;
    EachLine(text, [&](std::string_view line) {
        auto f = SplitColons(line);
        if (f.size() != 7 || f[0].empty()) return;
        auto uid = ParseUnsigned(f[2]), gid = ParseUnsigned(f[3]);
        if (!uid || !gid || *uid > UINT32_MAX || *gid > UINT32_MAX) return;
        users.push_back({std::string(f[0]), static_cast<uint32_t>(*uid), static_cast<uint32_t>(*gid), std::string(f[4]),
                         std::string(f[5]), std::string(f[6])});
    });
    return users;
}

std::vector<ShadowEntry> ParseShadow(std::string_view text) {
    std::vector<ShadowEntry> entries;
    EachLine(text, [&](std::string_view line) {
        auto f = SplitColons(line);
        if (f.size() != 9 || f[0].empty()) return;
        auto days = [&](size_t n) -> std::optional<int64_t> {
            if (f[n].empty()) return std::nullopt;
            return ParseSigned(f[n]);
        };
        entries.push_back({std::string(f[0]), std::string(f[1]), days(2), days(3), days(4), days(5), days(6), days(7)});
    });
    return entries;
}

std::string UnixUserSid(uint32_t uid) { return "S-1-22-1-" + std::to_string(uid); }

}  // namespace cimv2
