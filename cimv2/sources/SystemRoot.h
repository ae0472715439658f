#pragma once
// Every file the provider reads goes through a system root, so tests can
// point it at a captured tree instead of the live machine. Inside a tree,
// paths and symbolic links resolve as if the tree were "/": an absolute
// link or a run of ".." never reaches the files of the machine running us.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct stat;

namespace cimv2 {

class SystemRoot {
public:
    explicit SystemRoot(std::string dir = "/");

    const std::string& Dir() const { return FDir; }
    // The root "/" is the computer this program runs on, whose sources that
    // are not files (NSS, statvfs, drivers, libdrm) answer for it; any other
    // root is a captured tree, which has none.
    bool IsThisComputer() const { return FDir == "/"; }
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
    // A file of a text format, read as ReadFile reads it, saying what was
    // left out: whether it went on past maxBytes (text then holds its first
    // maxBytes), or held a NUL byte, which no text holds: the read stops
    // there and gives nothing, rather than take in a large file of nothing.
    struct TextRead {
        std::optional<std::string> text;
        bool cut = false;
        bool notText = false;
    };
    TextRead ReadText(std::string_view path, size_t maxBytes) const;
    // Why ReadFile of the path gave nothing, to tell the user: an errno
    // value (ENOENT: there is no such file, EACCES: this user may not read
    // it), 0 when it reads now. It looks again, so only a failed read pays.
    int ReadError(std::string_view path) const;
    // A sysfs-style attribute: the file's text without trailing blanks and
    // line ends; nothing when unreadable or empty.
    std::optional<std::string> ReadAttribute(std::string_view path) const;
    // Entry names of a directory, sorted; empty when unreadable, also when a
    // read fails partway (never a part of the list).
    std::vector<std::string> List(std::string_view path) const;
    // Target text of a symbolic link.
    std::optional<std::string> ReadLink(std::string_view path) const;
    bool Exists(std::string_view path) const;
    bool IsDirectory(std::string_view path) const;
    // Whether the path is on a live procfs (not a copy of one in a tree).
    bool IsProcFs(std::string_view path) const;

    // A directory held open so that many of its entries are read without
    // walking the whole path each time (the files of /proc/PID). Entries are
    // single names: no '/', no "." or "..", and a symbolic link is never
    // followed, so nothing outside the directory is reached.
    class Directory {
    public:
        Directory() = default;
        explicit Directory(int fd) : FFd(fd) {}
        Directory(Directory&& other) noexcept : FFd(other.FFd) { other.FFd = -1; }
        Directory& operator=(Directory&& other) noexcept;
        Directory(const Directory&) = delete;
        Directory& operator=(const Directory&) = delete;
        ~Directory();

        bool IsOpen() const { return FFd >= 0; }
        // As SystemRoot::ReadFile: regular files only, at most maxBytes.
        std::optional<std::string> ReadFile(std::string_view name, size_t maxBytes = 64u << 20) const;
        std::optional<std::string> ReadLink(std::string_view name) const;
        // Why an entry could not be read (a file's text, a link's target, a
        // directory's entries), as SystemRoot::ReadError says it.
        int ReadError(std::string_view name) const;
        enum class Kind { File, Link, Directory, Other };
        struct Entry {
            std::string name;
            Kind kind;  // the entry's own: a link is a Link, whatever it points to
        };
        // The entries with their kinds, sorted by name; empty when unreadable.
        std::vector<Entry> Entries() const;
        // Device and inode: the same for two paths to one directory.
        std::optional<std::pair<uint64_t, uint64_t>> Identity() const;
        // How many entries a subdirectory holds; nothing when unreadable.
        std::optional<size_t> CountEntries(std::string_view name) const;
        // How many descriptors a process's fd/ directory holds. On procfs
        // since Linux 6.2 the directory's size is that count, which spares
        // listing it (each listed descriptor costs the kernel a lookup);
        // elsewhere the entries are counted.
        std::optional<size_t> CountDescriptors(std::string_view name, bool onProcFs) const;

    private:
        int FFd = -1;
    };
    Directory OpenDirectory(std::string_view path) const;

    // A regular file held open to be read in pieces. For a file of
    // megabytes (the ID databases) read once to index it and again here and
    // there: reading it whole would have the kernel fault in fresh memory
    // for every page of it, which costs more than reading it.
    class File {
    public:
        File() = default;
        explicit File(int fd) : FFd(fd) {}
        File(File&& other) noexcept : FFd(other.FFd) { other.FFd = -1; }
        File& operator=(File&& other) noexcept;
        File(const File&) = delete;
        File& operator=(const File&) = delete;
        ~File();

        bool IsOpen() const { return FFd >= 0; }
        // Up to size bytes from offset into buffer: fewer only at the end of
        // the file; nothing when it cannot be read.
        std::optional<size_t> ReadAt(char* buffer, size_t size, uint64_t offset) const;

    private:
        int FFd = -1;
    };
    // As ReadFile: regular files only, looked at before opening.
    File OpenFile(std::string_view path) const;

private:
    // A descriptor of the path inside the root (-1 when it does not resolve).
    int Open(std::string_view path, int flags) const;
    // A descriptor for reading the path if it is a regular file (-1 if not),
    // and what it was before it was opened, to check that it still is.
    int OpenRegular(std::string_view path, struct stat& before) const;

    std::string FDir;
    std::shared_ptr<const int> FDirFd;  // the tree's directory; null for "/"
    int FOpenError = 0;
};

}  // namespace cimv2
