#pragma once
// Shared directories and printers: Samba's shares from smb.conf(5) and the
// kernel NFS server's exports from exports(5).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2 {

// Longest share file read, and longest share name, path or client list kept.
inline constexpr size_t kMaxShareFileBytes = 4u << 20;
inline constexpr size_t kMaxShareField = 4096;

struct SambaShare {
    std::string name;                        // the section's name as first written
    std::string path;                        // "path" (or its synonym "directory"); empty when not given
    std::string comment;                     // empty when not given
    bool printable = false;                  // "printable" / "print ok"
    bool available = true;                   // "available = no" switches the share off
    std::optional<uint32_t> maxConnections;  // "max connections"; Samba's default 0 is no limit
};

// smb.conf as Samba's parameter reader takes it: '#' and ';' comment lines;
// a line ending in '\' continues on the next; "[name]" starts a section (a
// header without its ']' or with an empty name makes the lines up to the next
// good header count for nothing); "name = value" lines, the name compared
// without letter case, blanks or underscores, blanks around the value
// removed; a line without '=' is skipped. A section named twice is one share
// (names compared without letter case), later values winning. [global] is the
// server's own settings, not a share. Booleans are yes/no, true/false, on/off,
// 1/0 (anything else leaves the default); "max connections" a decimal number.
// Names, paths and comments over kMaxShareField bytes drop their section.
std::vector<SambaShare> ParseSmbConf(std::string_view text);

struct NfsExport {
    std::string path;
    std::string clients;  // the client list as written ("192.0.2.0/24(rw,sync) *(ro)"), blanks collapsed
};

// exports(5): one export per line, '#' starting a comment line, '\' at the
// end of a line continuing it. The path comes first, in double quotes when it
// holds blanks, with \ooo octal escapes resolved; it must be absolute (a line
// whose path is not is skipped). A "-options" word after the path is the
// line's default options and part of the client list. A path or client list
// over kMaxShareField bytes, or an unterminated quote, drops the line.
std::vector<NfsExport> ParseExports(std::string_view text);

}  // namespace cimv2
