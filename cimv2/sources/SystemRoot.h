#pragma once
// Every file the provider reads goes through a system root, so tests can
// point it at a captured tree instead of the live machine. Inside a tree,
// paths and symbolic links resolve as if the tree were "/": an absolute
// link or a run of ".." never reaches the files of the machine running us.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2 {

class SystemRoot {
public:
    explicit SystemRoot(std::string dir = "/");

    const std::string& Dir() const { return FDir; }
    // Why the tree cannot be read (an errno value: it does not exist or is
    // not a directory); 0 when it can. Check it before querying a tree a
    // user named, or a typo reads as an empty machine.
    int OpenError() const { return FOpenError; }
    // Host path of an absolute machine path ("/proc/cpuinfo").
    std::string Resolve(std::string_view path) const;

    // Whole file, or nothing when it cannot be read or is not a regular
    // file (a device, FIFO or socket is never opened for reading, so it
    // cannot block or have effects). Reads stop at maxBytes.
    std::optional<std::string> ReadFile(std::string_view path, size_t maxBytes = 64u << 20) const;
    // A sysfs-style attribute: the file's text without trailing blanks and
    // line ends; nothing when unreadable or empty.
    std::optional<std::string> ReadAttribute(std::string_view path) const;
    // Entry names of a directory, sorted; empty when unreadable.
    std::vector<std::string> List(std::string_view path) const;
    // Target text of a symbolic link.
    std::optional<std::string> ReadLink(std::string_view path) const;
    bool Exists(std::string_view path) const;
    bool IsDirectory(std::string_view path) const;

private:
    // A descriptor of the path inside the root (-1 when it does not resolve).
    int Open(std::string_view path, int flags) const;

    std::string FDir;
    std::shared_ptr<const int> FDirFd;  // the tree's directory; null for "/"
    int FOpenError = 0;
};

}  // namespace cimv2
