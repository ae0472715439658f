#pragma once
// Files of "[Section]" headers and "Key=Value" lines: systemd unit files,
// D-Bus service files and desktop entries (the XDG key-file format).
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

struct KeyFileEntry {
    std::string section, key, value;
};

class KeyFile {
public:
    // Comments ('#', ';') and lines outside a section or without '=' are
    // skipped; blanks around keys and values are trimmed; a line ending in a
    // backslash continues on the next (systemd's rule).
    static KeyFile Parse(std::string_view text);

    // The last value of a key (later lines override earlier ones).
    std::string Value(std::string_view section, std::string_view key) const;
    // systemd's list keys (Wants=a b, After=...): every word of every line, an
    // empty assignment clearing what came before.
    std::vector<std::string> Words(std::string_view section, std::string_view key) const;
    const std::vector<KeyFileEntry>& Entries() const { return FEntries; }

private:
    std::vector<KeyFileEntry> FEntries;
};

// systemd's unit search path, most local first.
inline constexpr const char* kUnitDirs[] = {"/etc/systemd/system", "/run/systemd/system", "/lib/systemd/system",
                                            "/usr/lib/systemd/system"};

// A unit's file in the first directory of the search path that has it;
// empty when none does. A unit linked to /dev/null is masked: masked is set.
struct UnitFile {
    std::string path;
    bool masked = false;
    KeyFile file;
};
UnitFile FindUnit(const SystemRoot& root, const std::string& unit);
// The units a unit's .wants/ and .requires/ directories name, over the
// whole search path.
std::vector<std::string> LinkedUnits(const SystemRoot& root, const std::string& unit);

}  // namespace cimv2
