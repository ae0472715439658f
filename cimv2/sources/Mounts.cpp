#include "cimv2/sources/Mounts.h"

#include "cimv2/core/TextFields.h"

namespace cimv2::mounts {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::vector<std::string> Options(std::string_view field) {
    std::vector<std::string> options;
    for (auto part : Split(field, ','))
        if (!part.empty()) options.push_back(DecodeEscapes(part));
    return options;
}

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    for (auto n : names)
        if (n == name) return true;
    return false;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

std::optional<uint32_t> DriveType(const Mount& mount, bool removable) {
    const std::string& fs = mount.fileSystem;
    if (OneOf(fs, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "ceph", "glusterfs", "fuse.sshfs"})) return 4;
    if (OneOf(fs, {"tmpfs", "ramfs"})) {
        for (std::string_view system : {"/dev", "/run", "/sys", "/proc"})
            if (mount.mountPoint == system || StartsWith(mount.mountPoint, std::string(system) + "/"))
                return std::nullopt;
        return 6;
    }
    // A block device's file system; btrfs shows an anonymous device number (major 0) but its
    // source is still the device. squashfs images (snaps, live media) are read-only parts of
    // the system.
    if (!StartsWith(mount.source, "/dev/") || fs == "squashfs") return std::nullopt;
    if (OneOf(fs, {"iso9660", "udf"}) || mount.major == 11) return 5;
    return removable ? 2 : 3;
}

std::string DecodeEscapes(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out.push_back(static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<Mount> ParseMountInfo(std::string_view text) {
    std::vector<Mount> mounts;
    while (!text.empty()) {
        const std::string_view line = NextLine(text);
        std::vector<std::string_view> fields;
        for (auto part : Split(line, ' '))
            if (!part.empty()) fields.push_back(part);
        // id parent major:minor root mountpoint options [optional...] - fstype source superoptions
        size_t dash = 6;
        while (dash < fields.size() && fields[dash] != "-") ++dash;
        if (fields.size() < 6 || dash + 2 >= fields.size()) continue;
        const auto numbers = Split(fields[2], ':');
        if (numbers.size() != 2) continue;
        const auto major = ParseUnsigned(numbers[0]), minor = ParseUnsigned(numbers[1]);
        if (!major || !minor || *major > 0xFFFFFFFF || *minor > 0xFFFFFFFF) continue;
        Mount mount;
        mount.major = static_cast<uint32_t>(*major);
        mount.minor = static_cast<uint32_t>(*minor);
        mount.root = DecodeEscapes(fields[3]);
        mount.mountPoint = DecodeEscapes(fields[4]);
        mount.options = Options(fields[5]);
        mount.fileSystem = DecodeEscapes(fields[dash + 1]);
        mount.source = DecodeEscapes(fields[dash + 2]);
        if (dash + 3 < fields.size()) mount.superOptions = Options(fields[dash + 3]);
        if (mount.mountPoint.empty() || mount.mountPoint[0] != '/') continue;
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

}  // namespace cimv2::mounts
