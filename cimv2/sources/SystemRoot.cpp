#include "cimv2/sources/SystemRoot.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace cimv2 {

namespace {

// "/tree/" and "/tree" are the same root; "" is the real one.
std::string WithoutTrailingSlashes(std::string dir) {
    size_t end = dir.find_last_not_of('/');
    return end == std::string::npos ? std::string(1, '/') : dir.substr(0, end + 1);
}

// Reads an opened file to its end (at most maxBytes) and closes it. Reads
// start at one page and grow: procfs's sysctl files make the kernel allocate
// and clear a buffer as large as the read asked for, and most files here are
// shorter than a page. With shortReadEnds, a read that gives less than was
// asked for is the end (a sysfs attribute comes whole from its first read).
std::optional<std::string> ReadToEnd(int fd, size_t maxBytes, bool shortReadEnds = false,
                                     SystemRoot::TextRead* text = nullptr) {
    // Asked for text: one byte more tells a file cut at the limit from one
    // that ends there.
    const size_t limit = maxBytes;
    if (text) maxBytes = maxBytes + 1;
    std::string data;
    // Reads of up to a page go through the stack: most files here fit in
    // one, and a string resized for the read would clear it first.
    char page[4096];
    size_t chunk = sizeof page;
    while (data.size() < maxBytes) {
        const size_t had = data.size();
        const size_t want = std::min(chunk, maxBytes - had);
        ssize_t n;
        if (want <= sizeof page) {
            n = ::read(fd, page, want);
            if (n > 0) data.append(page, static_cast<size_t>(n));
        } else {
            data.resize(had + want);
            n = ::read(fd, data.data() + had, want);
            data.resize(had + static_cast<size_t>(std::max<ssize_t>(n, 0)));
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (text && n > 0 && std::memchr(data.data() + had, '\0', static_cast<size_t>(n))) {
            text->notText = true;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0 || (shortReadEnds && static_cast<size_t>(n) < want)) break;
        // A short read is usually the end: the read that confirms it asks
        // for no more than the last one.
        if (static_cast<size_t>(n) == want) chunk = std::min<size_t>(chunk * 2, 1u << 20);
    }
    ::close(fd);
    if (text && data.size() > limit) {
        text->cut = true;
        data.resize(limit);
    }
    return data;
}

// Reads an opened file (and closes it) if it is still the regular file that
// was looked at before opening, in case the tree changed in between.
std::optional<std::string> ReadOpened(int fd, const struct stat& before, size_t maxBytes,
                                      SystemRoot::TextRead* text = nullptr) {
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != before.st_dev || st.st_ino != before.st_ino) {
        ::close(fd);
        return std::nullopt;
    }
    return ReadToEnd(fd, maxBytes, false, text);
}

// Calls visit(name, d_type) for each entry of an opened directory but "."
// and "..", and closes it; false when a read of the directory failed, so
// the entries visited are not all of them. The entries are read with
// getdents64 into the stack: fdopendir would look at the descriptor again
// and allocate a buffer on the heap for every listing.
template <typename Visit>
bool ForEachEntry(int fd, Visit visit) {
    alignas(8) char buffer[8192];
    for (;;) {
        const ssize_t n = ::getdents64(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        for (size_t offset = 0; offset < static_cast<size_t>(n);) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
            offset += entry->d_reclen;
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..") visit(name, entry->d_type);
        }
    }
    ::close(fd);
    return true;
}

// The running machine's /proc or /sys, held open once they proved to be
// procfs and sysfs; -1 when they are something else.
int LivePseudoFileSystem(const char* dir, long magic) {
    int fd = ::open(dir, O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct statfs fs {};
    if (fd >= 0 && (::fstatfs(fd, &fs) != 0 || fs.f_type != magic)) {
        ::close(fd);
        fd = -1;
    }
    return fd;
}

// Opens a file of the running machine's procfs or sysfs directly, without
// looking first: these hold no device nodes, FIFOs or sockets, and the open
// stays beneath the mount, on it (no other file system mounted inside it)
// and off magic links (/proc/PID/fd/N). Looking first would add a system
// call to every attribute read. -2 when the path is not such a file and
// must be looked at first.
int OpenOnLivePseudoFileSystem(std::string_view path) {
    static const int proc = LivePseudoFileSystem("/proc", PROC_SUPER_MAGIC);
    static const int sys = LivePseudoFileSystem("/sys", SYSFS_MAGIC);
    int dir = -1;
    if (path.starts_with("/proc/")) dir = proc;
    if (path.starts_with("/sys/")) dir = sys;
    if (dir < 0) return -2;
    const std::string relative(path.substr(path.find('/', 1) + 1));
    open_how how{};
    how.flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS | RESOLVE_NO_XDEV;
    long fd;
    do {
        fd = ::syscall(SYS_openat2, dir, relative.c_str(), &how, sizeof how);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) return static_cast<int>(fd);
    // Crossing into another mount, a raced "..", or a kernel without openat2.
    if (errno == EXDEV || errno == EAGAIN || errno == ENOSYS) return -2;
    return -1;
}

}  // namespace

SystemRoot::SystemRoot(std::string dir) : FDir(WithoutTrailingSlashes(std::move(dir))) {
    if (FDir == "/") return;
    int fd = ::open(FDir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) FOpenError = errno;
    FDirFd = std::shared_ptr<const int>(new int(fd), [](const int* p) {
        if (*p >= 0) ::close(*p);
        delete p;
    });
}

int SystemRoot::Open(std::string_view path, int flags) const {
    if (!FDirFd) return ::open(Resolve(path).c_str(), flags);
    if (*FDirFd < 0) return -1;
    size_t start = path.find_first_not_of('/');
    const std::string relative(start == std::string_view::npos ? std::string_view(".") : path.substr(start));
    open_how how{};
    how.flags = static_cast<uint64_t>(flags);
    how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
    // The kernel answers EAGAIN when a rename anywhere on the system raced
    // with resolving a ".." of the path (sysfs links are full of them); it
    // asks the caller to try again rather than risk an escape.
    long fd;
    int attempts = 0;
    do {
        fd = ::syscall(SYS_openat2, *FDirFd, relative.c_str(), &how, sizeof how);
    } while (fd < 0 && (errno == EINTR || (errno == EAGAIN && ++attempts < 1000)));
    // Kernels before 5.6 lack openat2: read the tree as plain paths there.
    if (fd < 0 && errno == ENOSYS) return ::open(Resolve(path).c_str(), flags);
    return static_cast<int>(fd);
}

std::string SystemRoot::Resolve(std::string_view path) const {
    std::string p(path);
    if (p.empty() || p.front() != '/') p.insert(p.begin(), '/');
    return FDir == "/" ? p : FDir + p;
}

int SystemRoot::OpenRegular(std::string_view path, struct stat& before) const {
    // Look before opening: opening a device can block or act (a tape
    // rewinds, a watchdog starts), and sysfs attributes are regular files.
    int probe = Open(path, O_PATH | O_CLOEXEC);
    if (probe < 0) return -1;
    bool regular = ::fstat(probe, &before) == 0 && S_ISREG(before.st_mode);
    ::close(probe);
    if (!regular) return -1;
    return Open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

std::optional<std::string> SystemRoot::ReadFile(std::string_view path, size_t maxBytes) const {
    if (!FDirFd) {
        const int fd = OpenOnLivePseudoFileSystem(path);
        if (fd == -1) return std::nullopt;
        // A directory there fails to read (EISDIR) like any unreadable file.
        // sysfs makes an attribute's text at once, by one call of its show
        // method into a page, and gives it whole to a read of a page; its
        // binary attributes give what a read asks for up to their end. So
        // a short read there is the end, and asking again would cost a
        // system call for each attribute. procfs files are made a record
        // at a time: a short read there is not the end.
        if (fd >= 0) return ReadToEnd(fd, maxBytes, path.starts_with("/sys/"));
    }
    struct stat before {};
    const int fd = OpenRegular(path, before);
    return ReadOpened(fd, before, maxBytes);
}

SystemRoot::TextRead SystemRoot::ReadText(std::string_view path, size_t maxBytes) const {
    TextRead read;
    if (!FDirFd) {
        const int fd = OpenOnLivePseudoFileSystem(path);
        if (fd == -1) return read;
        if (fd >= 0) {
            read.text = ReadToEnd(fd, maxBytes, path.starts_with("/sys/"), &read);
            return read;
        }
    }
    struct stat before {};
    const int fd = OpenRegular(path, before);
    read.text = ReadOpened(fd, before, maxBytes, &read);
    return read;
}

int SystemRoot::ReadError(std::string_view path) const {
    const int probe = Open(path, O_PATH | O_CLOEXEC);
    if (probe < 0) return errno;
    struct stat st {};
    const bool looked = ::fstat(probe, &st) == 0;
    ::close(probe);
    if (!looked) return EIO;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    // Never opened, as ReadFile never opens it.
    if (!S_ISREG(st.st_mode)) return EINVAL;
    const int fd = Open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

SystemRoot::File SystemRoot::OpenFile(std::string_view path) const {
    struct stat before {};
    const int fd = OpenRegular(path, before);
    if (fd < 0) return File();
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != before.st_dev || st.st_ino != before.st_ino) {
        ::close(fd);
        return File();
    }
    return File(fd);
}

SystemRoot::File& SystemRoot::File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (FFd >= 0) ::close(FFd);
        FFd = other.FFd;
        other.FFd = -1;
    }
    return *this;
}

SystemRoot::File::~File() {
    if (FFd >= 0) ::close(FFd);
}

std::optional<size_t> SystemRoot::File::ReadAt(char* buffer, size_t size, uint64_t offset) const {
    if (FFd < 0) return std::nullopt;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(FFd, buffer + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

std::optional<std::string> SystemRoot::ReadAttribute(std::string_view path) const {
    auto text = ReadFile(path, 1u << 20);
    if (!text) return std::nullopt;
    while (!text->empty() && (text->back() == '\n' || text->back() == '\r' || text->back() == ' ' ||
                              text->back() == '\t' || text->back() == '\0'))
        text->pop_back();
    if (text->empty()) return std::nullopt;
    return text;
}

std::vector<std::string> SystemRoot::List(std::string_view path) const {
    std::vector<std::string> names;
    int fd = Open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return names;
    if (!ForEachEntry(fd, [&](std::string_view name, unsigned char) { names.emplace_back(name); })) return {};
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> SystemRoot::ReadLink(std::string_view path) const {
    // The link itself is read, so only the folder that holds it is resolved.
    std::string_view trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.remove_suffix(1);
    size_t slash = trimmed.rfind('/');
    std::string_view folder = slash == std::string_view::npos ? std::string_view("/") : trimmed.substr(0, slash + 1);
    std::string name(slash == std::string_view::npos ? trimmed : trimmed.substr(slash + 1));
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    int dirFd = Open(folder, O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return std::nullopt;
    char buf[4096];
    ssize_t n = ::readlinkat(dirFd, name.c_str(), buf, sizeof buf);
    ::close(dirFd);
    if (n < 0 || static_cast<size_t>(n) >= sizeof buf) return std::nullopt;
    return std::string(buf, static_cast<size_t>(n));
}

namespace {

bool StatOf(int fd, struct stat& st) {
    if (fd < 0) return false;
    bool ok = ::fstat(fd, &st) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

bool SystemRoot::Exists(std::string_view path) const {
    struct stat st {};
    return StatOf(Open(path, O_PATH | O_CLOEXEC), st);
}

bool SystemRoot::IsDirectory(std::string_view path) const {
    struct stat st {};
    return StatOf(Open(path, O_PATH | O_CLOEXEC), st) && S_ISDIR(st.st_mode);
}

bool SystemRoot::IsProcFs(std::string_view path) const {
    int fd = Open(path, O_PATH | O_CLOEXEC);
    if (fd < 0) return false;
    struct statfs fs {};
    const bool proc = ::fstatfs(fd, &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
    ::close(fd);
    return proc;
}

namespace {

bool IsSingleName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

}  // namespace

SystemRoot::Directory& SystemRoot::Directory::operator=(Directory&& other) noexcept {
    if (this != &other) {
        if (FFd >= 0) ::close(FFd);
        FFd = other.FFd;
        other.FFd = -1;
    }
    return *this;
}

SystemRoot::Directory::~Directory() {
    if (FFd >= 0) ::close(FFd);
}

SystemRoot::Directory SystemRoot::OpenDirectory(std::string_view path) const {
    return Directory(Open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

std::optional<std::string> SystemRoot::Directory::ReadFile(std::string_view name, size_t maxBytes) const {
    if (FFd < 0 || !IsSingleName(name)) return std::nullopt;
    const std::string entry(name);
    // Look before opening, as SystemRoot::ReadFile does: never a device.
    struct stat before {};
    if (::fstatat(FFd, entry.c_str(), &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(before.st_mode))
        return std::nullopt;
    int fd = ::openat(FFd, entry.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW);
    return ReadOpened(fd, before, maxBytes);
}

std::optional<std::string> SystemRoot::Directory::ReadLink(std::string_view name) const {
    if (FFd < 0 || !IsSingleName(name)) return std::nullopt;
    char buf[4096];
    ssize_t n = ::readlinkat(FFd, std::string(name).c_str(), buf, sizeof buf);
    if (n < 0 || static_cast<size_t>(n) >= sizeof buf) return std::nullopt;
    return std::string(buf, static_cast<size_t>(n));
}

int SystemRoot::Directory::ReadError(std::string_view name) const {
    if (FFd < 0) return EBADF;
    if (!IsSingleName(name)) return EINVAL;
    const std::string entry(name);
    struct stat st {};
    if (::fstatat(FFd, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (S_ISLNK(st.st_mode)) {
        // procfs checks who may follow a process's links (exe, cwd) here.
        char target[1];
        return ::readlinkat(FFd, entry.c_str(), target, sizeof target) < 0 ? errno : 0;
    }
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return EINVAL;
    const int flags = S_ISDIR(st.st_mode) ? O_RDONLY | O_DIRECTORY : O_RDONLY | O_NONBLOCK | O_NOCTTY;
    const int fd = ::openat(FFd, entry.c_str(), flags | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

std::vector<SystemRoot::Directory::Entry> SystemRoot::Directory::Entries() const {
    std::vector<Entry> entries;
    if (FFd < 0) return entries;
    // A descriptor of its own: reading moves the offset it shares with nobody.
    int fd = ::openat(FFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return entries;
    const bool whole = ForEachEntry(fd, [&](std::string_view name, unsigned char type) {
        if (type == DT_UNKNOWN) {
            // Some file systems leave the type to a look of its own.
            struct stat st {};
            if (::fstatat(fd, std::string(name).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISREG(st.st_mode)   ? DT_REG
                       : S_ISLNK(st.st_mode) ? DT_LNK
                       : S_ISDIR(st.st_mode) ? DT_DIR
                                             : DT_FIFO;
        }
        const Kind kind = type == DT_REG   ? Kind::File
                          : type == DT_LNK ? Kind::Link
                          : type == DT_DIR ? Kind::Directory
                                           : Kind::Other;
        entries.push_back({std::string(name), kind});
    });
    if (!whole) return {};
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

std::optional<std::pair<uint64_t, uint64_t>> SystemRoot::Directory::Identity() const {
    struct stat st {};
    if (FFd < 0 || ::fstat(FFd, &st) != 0) return std::nullopt;
    return std::make_pair(static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino));
}

std::optional<size_t> SystemRoot::Directory::CountEntries(std::string_view name) const {
    if (FFd < 0 || !IsSingleName(name)) return std::nullopt;
    int fd = ::openat(FFd, std::string(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return std::nullopt;
    size_t count = 0;
    if (!ForEachEntry(fd, [&](std::string_view, unsigned char) { ++count; })) return std::nullopt;
    return count;
}

std::optional<size_t> SystemRoot::Directory::CountDescriptors(std::string_view name, bool onProcFs) const {
    if (onProcFs && FFd >= 0 && IsSingleName(name)) {
        struct stat st {};
        if (::fstatat(FFd, std::string(name).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode) &&
            st.st_size > 0)
            return static_cast<size_t>(st.st_size);
    }
    // Older kernels give 0, as does a process without descriptors.
    return CountEntries(name);
}

}  // namespace cimv2
