#pragma once
// What starts by itself: XDG autostart desktop entries (the Desktop Entry
// Specification 1.5 and the Desktop Application Autostart Specification)
// and the @reboot lines of crontabs (crontab(5) as Debian's cron reads it).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2 {

// The keys of an entry's [Desktop Entry] group that autostart uses, string
// escapes (\s \n \t \r \\) resolved. Localised keys (Name[de]) are read
// past: the unlocalised value is the entry's own.
struct DesktopEntry {
    std::string type;
    std::string name;
    std::string comment;  // empty when the entry has none
    std::string exec;
    bool hidden = false;  // Hidden=true: the entry counts as deleted
};

// Longest desktop entry read; a longer file is not an entry.
inline constexpr size_t kMaxDesktopEntryBytes = 64u << 10;

// The entry, or nothing when the text is not a valid one, as GLib's key-file
// reader judges it: a line that is not blank, a '#' comment, a "[Group]"
// header or "Key=Value" (Key of A-Za-z0-9-, an optional [locale]); a key
// before the first group or twice in one group; no [Desktop Entry] group, or
// one that is not the first; an unknown escape in a string value; a Hidden
// that is neither "true" nor "false"; a text over kMaxDesktopEntryBytes or
// holding a NUL byte.
std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text);

// Whether autostart would run the entry: an Application with a Name and an
// Exec that is not Hidden.
bool Autostarts(const DesktopEntry& entry);

// One @reboot line of a crontab.
struct RebootJob {
    std::string user;  // the user field of a system crontab; empty for a user's own
    std::string command;
};

// The @reboot lines of a crontab, in file order. systemTable: the
// /etc/crontab and /etc/cron.d form, whose lines name the user after the
// schedule. Blank lines, '#' comments and NAME=value settings are skipped,
// as is every other schedule. The command ends at the first '%' that is not
// escaped with a backslash (what follows is its standard input); "\%" stands
// for '%'. A line without a command (or without a user in a system table) is
// skipped, as is a line longer than kMaxCronLine, which cron refuses.
inline constexpr size_t kMaxCronLine = 1000;
std::vector<RebootJob> ParseRebootJobs(std::string_view text, bool systemTable);

}  // namespace cimv2
