#pragma once
// Environment settings that the machine gives every session: pam_env's
// /etc/environment and systemd's environment.d(5) files, the system's and
// a user's own (~/.config/environment.d).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

struct EnvAssignment {
    std::string name, value;
    bool operator==(const EnvAssignment&) const = default;
};

// Longest environment file read; a longer file is read up to here.
inline constexpr size_t kMaxEnvironmentFileBytes = 1u << 20;

// NAME=VALUE lines, in file order, by the rules both readers share: blanks
// before a line and around '=' are skipped, as are blank lines and '#'
// comments; an "export " before the name is read past (pam_env allows it);
// NAME is a shell name ([A-Za-z_][A-Za-z0-9_]*) of at most 255 bytes, else
// the line is skipped; one pair of matching quotes around the whole value is
// removed. References such as ${PATH} are kept as written: the value is the
// setting, not what a session makes of it. A line holding a NUL byte is skipped.
std::vector<EnvAssignment> ParseEnvironmentAssignments(std::string_view text);

// The *.conf files of environment.d directories in the order systemd applies
// them: by file name, a name in an earlier directory hiding the same name in
// a later one. dirs: most important first.
std::vector<std::string> EnvironmentDFiles(const SystemRoot& root, const std::vector<std::string>& dirs);

// systemd's system-wide environment.d directories, most important first.
inline constexpr const char* kEnvironmentDDirs[] = {"/etc/environment.d", "/run/environment.d",
                                                    "/usr/local/lib/environment.d", "/usr/lib/environment.d"};

}  // namespace cimv2
