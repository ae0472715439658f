#include "ui/pages/ListTools.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <functional>

#include "cimv2/core/SafeText.h"

namespace ui {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Appends the upper-case form of text to out. Bytes that are not valid
// UTF-8 are copied unchanged.
void AppendUpper(std::string& out, std::string_view text) {
    size_t n = 0;
    while (n < text.size()) {
        unsigned char b = static_cast<unsigned char>(text[n]);
        if (b < 0x80) {
            out += (b >= 'a' && b <= 'z') ? static_cast<char>(b - 32) : static_cast<char>(b);
            ++n;
            continue;
        }
        size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        char32_t c = length == 4 ? (b & 0x07) : length == 3 ? (b & 0x0F) : (b & 0x1F);
        bool valid = length > 1 && n + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            unsigned char t = static_cast<unsigned char>(text[n + k]);
            if ((t & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (t & 0x3F);
        }
        if (!valid) {
            out += static_cast<char>(b);
            ++n;
            continue;
        }
        wint_t upper = std::towupper(static_cast<wint_t>(c));
        AppendUtf8(out, static_cast<char32_t>(upper));
        n += length;
    }
}

bool NeedsQuotes(std::string_view value) {
    for (char ch : value) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == ',' || c == ' ' || c < 32 || c == 127) return true;
    }
    return false;
}

void AppendCsvField(std::string& out, std::string_view value) {
    if (value.empty()) {
        out += "\"\"";
        return;
    }
    if (!NeedsQuotes(value)) {
        out += value;
        return;
    }
    out += '"';
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// A spreadsheet opening the export would take a cell beginning with one of
// these for a formula and run it; a leading apostrophe makes it text, as
// OWASP's advice on CSV injection has it.
bool StartsLikeAFormula(std::string_view value) {
    return !value.empty() && std::string_view("=+-@\t\r").find(value.front()) != std::string_view::npos;
}

void AppendValueCell(std::string& out, std::string_view value) {
    if (!StartsLikeAFormula(value)) {
        AppendCsvField(out, value);
        return;
    }
    std::string inert = "'";
    inert += value;
    AppendCsvField(out, inert);
}

std::string SystemReason(int error) { return std::strerror(error); }

[[noreturn]] void CannotCreate(const std::string& fileName, int error) {
    throw EFCreateError("Cannot create file \"" + fileName + "\". " + SystemReason(error));
}

std::string KindOf(mode_t mode) {
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// An existing target that is not a regular file is refused and left as it is.
void RefuseUnlessRegular(const std::string& fileName, const struct stat& st) {
    if (S_ISREG(st.st_mode)) return;
    if (S_ISDIR(st.st_mode)) CannotCreate(fileName, EISDIR);
    throw EFCreateError("Cannot create file \"" + fileName + "\". It is " + KindOf(st.st_mode) +
                        ", not a regular file");
}

void WriteAll(int fd, std::string_view bytes, off_t offset, const std::function<void(int)>& fail) {
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = pwrite(fd, data, left, offset);
        if (written < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        data += written;
        left -= static_cast<size_t>(written);
        offset += written;
    }
}

// A new file beside target, renamed over it: a failure leaves the old file
// whole. A replaced file keeps its permission bits and, where the process
// may, its owner.
void ReplaceByRename(const std::string& fileName, const std::string& target, const struct stat* existing,
                     std::string_view bytes) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) CannotCreate(fileName, EISDIR);
    mode_t mode = 0;
    if (existing) {
        mode = existing->st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }

    std::string temp = folder + "/." + base + ".XXXXXX";
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) CannotCreate(fileName, errno);
    auto fail = [&](int error) {
        close(fd);
        unlink(temp.c_str());
        CannotCreate(fileName, error);
    };
    WriteAll(fd, bytes, 0, fail);
    // Owner first: a change of owner clears set-user-ID bits that fchmod then restores.
    if (existing && fchown(fd, existing->st_uid, existing->st_gid) != 0 &&
        fchown(fd, static_cast<uid_t>(-1), existing->st_gid) != 0) {
        // Not ours to give away: the file becomes the user's, as a new one would.
    }
    if (fchmod(fd, mode) != 0) fail(errno);
    if (close(fd) != 0) {
        int error = errno;
        unlink(temp.c_str());
        CannotCreate(fileName, error);
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        int error = errno;
        unlink(temp.c_str());
        CannotCreate(fileName, error);
    }
}

// The bytes written into the file itself, for a file with other hard links
// (all its names see the new text) and for a symbolic link whose file is
// not there yet. Room is taken first, so a full disk fails before any old
// byte changes.
void WriteInPlace(const std::string& fileName, const std::string& path, std::string_view bytes) {
    mode_t mask = umask(0);
    umask(mask);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, 0666 & ~mask);
    if (fd < 0) CannotCreate(fileName, errno);
    auto fail = [&](int error) {
        close(fd);
        CannotCreate(fileName, error);
    };
    struct stat st {};
    if (fstat(fd, &st) != 0) fail(errno);
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        RefuseUnlessRegular(fileName, st);
    }
    const auto size = static_cast<off_t>(bytes.size());
    if (size > st.st_size) {
        int error = fallocate(fd, 0, st.st_size, size - st.st_size) == 0 ? 0 : errno;
        if (error != 0 && error != EOPNOTSUPP && error != ENOSYS) {
            if (ftruncate(fd, st.st_size) != 0) {
                // The size is what fallocate left; the old bytes are whole either way.
            }
            fail(error);
        }
    }
    WriteAll(fd, bytes, 0, fail);
    if (ftruncate(fd, size) != 0) fail(errno);
    if (close(fd) != 0) CannotCreate(fileName, errno);
}

}  // namespace

std::string UpperText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendUpper(out, text);
    return out;
}

std::optional<size_t> FindItem(const PageList& list, std::string_view text, const RowRef& start) {
    const size_t count = list.Count();
    if (count == 0 || text.empty()) return std::nullopt;
    size_t first = 0;
    if (std::ptrdiff_t position = start.PositionIn(list); position >= 0) first = static_cast<size_t>(position) + 1;
    if (first >= count) first = 0;
    const std::string needle = UpperText(text);
    std::string haystack;
    for (size_t visited = 0; visited < count; ++visited) {
        size_t n = (first + visited) % count;
        const PageRow& row = list.Row(n);
        haystack.clear();
        AppendUpper(haystack, row.property);
        haystack += "\r\n";
        if (row.hasValue) {
            AppendUpper(haystack, row.value);
            haystack += "\r\n";
        }
        if (haystack.find(needle) != std::string::npos) return n;
    }
    return std::nullopt;
}

std::string CsvField(std::string_view value) {
    std::string out;
    AppendValueCell(out, cimv2::ValidUtf8(value));
    return out;
}

std::string ListToCsv(const PageList& list) {
    std::string out;
    size_t estimate = 0;
    for (const PageRow& row : list.Rows()) estimate += row.property.size() + row.value.size() + 8;
    out.reserve(estimate);
    std::string valid;
    for (const PageRow& row : list.Rows()) {
        cimv2::AppendValidUtf8(out, row.property);
        out += ',';
        if (row.hasValue) {
            valid.clear();
            cimv2::AppendValidUtf8(valid, row.value);
            AppendValueCell(out, valid);
        }
        out += "\r\n";
    }
    return out;
}

void ReplaceFileContents(const std::string& fileName, std::string_view bytes) {
    struct stat st {};
    if (lstat(fileName.c_str(), &st) != 0) {
        if (errno != ENOENT) CannotCreate(fileName, errno);
        ReplaceByRename(fileName, fileName, nullptr, bytes);  // a new name
        return;
    }
    std::string target = fileName;
    if (S_ISLNK(st.st_mode)) {
        // The link stays; the file it names is what changes.
        char resolved[PATH_MAX];
        if (!realpath(fileName.c_str(), resolved)) {
            if (errno != ENOENT) CannotCreate(fileName, errno);
            WriteInPlace(fileName, fileName, bytes);
            return;
        }
        target = resolved;
        if (stat(target.c_str(), &st) != 0) CannotCreate(fileName, errno);
    }
    RefuseUnlessRegular(fileName, st);
    if (st.st_nlink > 1)
        WriteInPlace(fileName, target, bytes);
    else
        ReplaceByRename(fileName, target, &st, bytes);
}

void SaveListToCSV(const PageList& list, const std::string& fileName) {
    ReplaceFileContents(fileName, ListToCsv(list));
}

}  // namespace ui
