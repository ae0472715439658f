#include "cimv2/SystemRoot.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace cimv2 {

namespace {

// "/tree/" and "/tree" are the same root; "" is the real one.
std::string WithoutTrailingSlashes(std::string dir) {
    size_t end = dir.find_last_not_of('/');
    return end == std::string::npos ? std::string(1, '/') : dir.substr(0, end + 1);
}

}  // namespace

SystemRoot::SystemRoot(std::string dir) : FDir(WithoutTrailingSlashes(std::move(dir))) {}

std::string SystemRoot::Resolve(std::string_view path) const {
    std::string p(path);
    if (p.empty() || p.front() != '/') p.insert(p.begin(), '/');
    return FDir == "/" ? p : FDir + p;
}

std::optional<std::string> SystemRoot::ReadFile(std::string_view path, size_t maxBytes) const {
    int fd = ::open(Resolve(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string data;
    char buf[65536];
    while (data.size() < maxBytes) {
        ssize_t n = ::read(fd, buf, std::min(sizeof buf, maxBytes - data.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
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
    DIR* dir = ::opendir(Resolve(path).c_str());
    if (!dir) return names;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(std::move(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> SystemRoot::ReadLink(std::string_view path) const {
    char buf[4096];
    ssize_t n = ::readlink(Resolve(path).c_str(), buf, sizeof buf);
    if (n < 0 || static_cast<size_t>(n) >= sizeof buf) return std::nullopt;
    return std::string(buf, static_cast<size_t>(n));
}

bool SystemRoot::Exists(std::string_view path) const {
    struct stat st {};
    return ::stat(Resolve(path).c_str(), &st) == 0;
}

bool SystemRoot::IsDirectory(std::string_view path) const {
    struct stat st {};
    return ::stat(Resolve(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace cimv2
