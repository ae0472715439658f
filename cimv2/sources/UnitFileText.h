#pragma once
// Unit files read as systemd reads them, one reader for the files of a
// captured tree and for those behind the live manager's units.
#include <string>
#include <string_view>
#include <vector>

namespace cimv2 {

// One "Key=value" line of a unit file, in the section it stands in.
struct UnitAssignment {
    std::string section;  // "Install", without the brackets
    std::string key;
    std::string value;
};

// The assignments in file order. A line ending in a backslash goes on with
// the next (comment lines between are left out), '#' and ';' start comment
// lines, blanks around keys and values are dropped, and lines that are
// neither a section header nor an assignment are skipped.
std::vector<UnitAssignment> ReadUnitFile(std::string_view text);

// The value a section's key is left with: its last assignment's, empty when
// it has none or the last one empties it.
std::string UnitValue(const std::vector<UnitAssignment>& assignments, std::string_view section, std::string_view key);
// The words of a list key (Wants=a b, After=...) over all its assignments;
// an empty assignment empties the list.
std::vector<std::string> UnitWords(const std::vector<UnitAssignment>& assignments, std::string_view section,
                                   std::string_view key);

// The unit file state an [Install] section gives a file no link refers to,
// as systemd's install logic reads the section: rules (WantedBy=,
// RequiredBy=, UpheldBy=, Alias=) make it "disabled", only Also=
// "indirect", none "static". An assignment with an empty value empties its
// list, so WantedBy=x followed by WantedBy= leaves no rule.
std::string InstallState(const std::vector<UnitAssignment>& assignments);

}  // namespace cimv2
