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

std::string SystemReason(int error) { return std::strerror(error); }

[[noreturn]] void CannotCreate(const std::string& fileName, int error) {
    throw EFCreateError("Cannot create file \"" + fileName + "\". " + SystemReason(error));
}

// Where the bytes really go: a symbolic link is followed so that the link
// itself survives the rename.
std::string ResolveTarget(const std::string& fileName) {
    struct stat st {};
    if (lstat(fileName.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(fileName.c_str(), resolved)) return resolved;
    }
    return fileName;
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
    AppendCsvField(out, value);
    return out;
}

std::string ListToCsv(const PageList& list) {
    std::string out;
    size_t estimate = 0;
    for (const PageRow& row : list.Rows()) estimate += row.property.size() + row.value.size() + 8;
    out.reserve(estimate);
    for (const PageRow& row : list.Rows()) {
        out += row.property;
        out += ',';
        if (row.hasValue) AppendCsvField(out, row.value);
        out += "\r\n";
    }
    return out;
}

void ReplaceFileContents(const std::string& fileName, std::string_view bytes) {
    const std::string target = ResolveTarget(fileName);
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) CannotCreate(fileName, EISDIR);

    // A replaced file keeps its permissions; a new one gets the usual ones.
    mode_t mode = 0;
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) CannotCreate(fileName, EISDIR);
        mode = existing.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }

    std::string temp = folder + "/." + base + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) CannotCreate(fileName, errno);
    auto fail = [&](int error) {
        close(fd);
        unlink(temp.c_str());
        CannotCreate(fileName, error);
    };
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        data += written;
        left -= static_cast<size_t>(written);
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

void SaveListToCSV(const PageList& list, const std::string& fileName) {
    ReplaceFileContents(fileName, ListToCsv(list));
}

}  // namespace ui
