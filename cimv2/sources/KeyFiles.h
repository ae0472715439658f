#pragma once
// Files of "[Section]" headers and "Key=Value" lines: D-Bus service files
// and desktop entries (the XDG key-file format). Unit files have their own
// reader (UnitFileText.h).
#include <string>
#include <string_view>
#include <vector>

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
    const std::vector<KeyFileEntry>& Entries() const { return FEntries; }

private:
    std::vector<KeyFileEntry> FEntries;
};

}  // namespace cimv2
