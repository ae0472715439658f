// Win32_CodecFile: the audio and video codec libraries on disk: GStreamer
// plugins that hold codecs (/usr/lib/TRIPLET/gstreamer-1.0/libgst*.so, the
// plugins named below) and FFmpeg's libavcodec (/usr/lib/TRIPLET/libavcodec.so.N.*,
// the file itself, not its links).
//   Name, Caption, Description  the file's path; Path its directory with a
//                   trailing "/"; FileName the name up to ".so"; Extension the
//                   rest ("so", "so.59.37.100"); FileType "Shared Library"
//   Group          "Audio" or "Video", by the plugin (libav and libavcodec:
//                  "Video")
//   FileSize       the file's size
//   Version, Manufacturer  the owning dpkg package's Version and Maintainer
//                  (/var/lib/dpkg/info/PACKAGE.list of gstreamer1.0-* and
//                  libavcodec* packages)
//   AccessMask, Readable, Writeable  what every user may do, from the file
//                  mode's "other" bits: read gives FILE_GENERIC_READ (0x120089),
//                  write FILE_GENERIC_WRITE's data bits (0x116), execute
//                  FILE_EXECUTE (0x20)
//   Hidden         the name starts with "."
//   FSName         the type of the mount that holds the file (/proc/self/mounts)
// Drive (no drive letters), Archive, System, Compressed and Encrypted have
// no counterpart and stay null.
#include <sys/stat.h>

#include <map>

#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/Packages.h"

namespace cimv2 {

// clang-format off
const ClassSchema& Win32_CodecFileSchema() {
    static const ClassSchema schema("Win32_CodecFile", CIM_DataFile(), {
        {"Group", CimType::String},
    });
    return schema;
}
// clang-format on

namespace {

struct CodecPlugin {
    std::string_view file;
    const char* group;
};
// GStreamer plugins whose elements are audio or video encoders and decoders.
constexpr CodecPlugin kPlugins[] = {
    {"libgstlibav.so", "Video"},
    {"libgstvpx.so", "Video"},
    {"libgsttheora.so", "Video"},
    {"libgstx264.so", "Video"},
    {"libgstx265.so", "Video"},
    {"libgstdav1d.so", "Video"},
    {"libgstaom.so", "Video"},
    {"libgstopenh264.so", "Video"},
    {"libgstmpeg2dec.so", "Video"},
    {"libgstjpeg.so", "Video"},
    {"libgstvideoparsersbad.so", "Video"},
    {"libgstva.so", "Video"},
    {"libgstvaapi.so", "Video"},
    {"libgstvorbis.so", "Audio"},
    {"libgstopus.so", "Audio"},
    {"libgstflac.so", "Audio"},
    {"libgstmpg123.so", "Audio"},
    {"libgstlame.so", "Audio"},
    {"libgstwavpack.so", "Audio"},
    {"libgstspeex.so", "Audio"},
    {"libgsta52dec.so", "Audio"},
    {"libgstfaad.so", "Audio"},
    {"libgstvoaacenc.so", "Audio"},
    {"libgstamrnb.so", "Audio"},
    {"libgstamrwbdec.so", "Audio"},
    {"libgstalaw.so", "Audio"},
    {"libgstmulaw.so", "Audio"},
    {"libgstfdkaac.so", "Audio"},
    {"libgstdtsdec.so", "Audio"},
    {"libgstaudioparsers.so", "Audio"},
};

struct Owner {
    std::string version, maintainer;
};

// Which package installed each file of the codec packages.
std::map<std::string, Owner> CodecOwners(const SystemRoot& root) {
    std::map<std::string, Owner> owners;
    auto status = root.ReadFile("/var/lib/dpkg/status", 256u << 20);
    if (!status) return owners;
    std::map<std::string, Owner> packages;
    for (const auto& p : ParseDpkgStatus(*status))
        if (p.name.starts_with("gstreamer1.0-") || p.name.starts_with("libavcodec")) {
            Owner owner{p.version, MaintainerName(p.maintainer)};
            packages[p.name] = owner;
            packages[p.name + ":" + p.architecture] = owner;
        }
    for (const auto& entry : root.List("/var/lib/dpkg/info")) {
        if (!entry.ends_with(".list")) continue;
        auto package = packages.find(entry.substr(0, entry.size() - 5));
        if (package == packages.end()) continue;
        auto list = root.ReadFile("/var/lib/dpkg/info/" + entry, 16u << 20);
        if (!list) continue;
        std::string_view text = *list;
        while (!text.empty()) {
            const size_t eol = text.find('\n');
            owners.emplace(std::string(text.substr(0, eol)), package->second);
            text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        }
    }
    return owners;
}

// The mount point and type that hold each path: the longest matching mount.
std::string FileSystemOf(const std::vector<std::pair<std::string, std::string>>& mounts, const std::string& path) {
    std::string type;
    size_t best = 0;
    for (const auto& [point, fsType] : mounts) {
        const bool holds = point == "/" || path.starts_with(point + "/");
        if (holds && point.size() >= best) best = point.size(), type = fsType;
    }
    return type;
}

std::vector<std::pair<std::string, std::string>> Mounts(const SystemRoot& root) {
    std::vector<std::pair<std::string, std::string>> mounts;
    auto text = root.ReadFile("/proc/self/mounts", 4u << 20);
    if (!text) return mounts;
    std::string_view rest = *text;
    while (!rest.empty()) {
        const size_t eol = rest.find('\n');
        std::string_view line = rest.substr(0, eol);
        rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
        const size_t a = line.find(' ');
        const size_t b = a == std::string_view::npos ? a : line.find(' ', a + 1);
        const size_t c = b == std::string_view::npos ? b : line.find(' ', b + 1);
        if (c == std::string_view::npos) continue;
        mounts.emplace_back(std::string(line.substr(a + 1, b - a - 1)), std::string(line.substr(b + 1, c - b - 1)));
    }
    return mounts;
}

}  // namespace

std::vector<Instance> EnumerateWin32_CodecFile(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<std::pair<std::string, const char*>> files;  // path, group
    for (const auto& triplet : root.List("/usr/lib")) {
        if (triplet.find("-linux-") == std::string::npos) continue;
        const std::string lib = "/usr/lib/" + triplet;
        for (const auto& plugin : root.List(lib + "/gstreamer-1.0"))
            for (const auto& known : kPlugins)
                if (plugin == known.file) files.emplace_back(lib + "/gstreamer-1.0/" + plugin, known.group);
        for (const auto& name : root.List(lib))
            if (name.starts_with("libavcodec.so.") && !root.ReadLink(lib + "/" + name))
                files.emplace_back(lib + "/" + name, "Video");
    }
    std::vector<Instance> out;
    if (files.empty()) return out;
    const auto owners = CodecOwners(root);
    const auto mounts = Mounts(root);
    for (const auto& [path, group] : files) {
        struct stat st {};
        if (lstat(root.Resolve(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        Instance inst(Win32_CodecFileSchema());
        const size_t slash = path.rfind('/');
        const std::string name = path.substr(slash + 1);
        const size_t so = name.find(".so");
        inst.SetText("Name", path);
        inst.SetText("Caption", path);
        inst.SetText("Description", path);
        inst.SetText("Path", path.substr(0, slash + 1));
        inst.SetText("FileName", name.substr(0, so));
        inst.SetText("Extension", name.substr(so + 1));
        inst.SetText("FileType", "Shared Library");
        inst.SetText("Group", group);
        inst.Set("FileSize", Value::UInt(static_cast<uint64_t>(st.st_size)));
        uint32_t mask = 0;
        if (st.st_mode & S_IROTH) mask |= 0x120089;
        if (st.st_mode & S_IWOTH) mask |= 0x116;
        if (st.st_mode & S_IXOTH) mask |= 0x20;
        inst.Set("AccessMask", Value::UInt(mask));
        inst.SetBool("Readable", (st.st_mode & S_IROTH) != 0);
        inst.SetBool("Writeable", (st.st_mode & S_IWOTH) != 0);
        inst.SetBool("Hidden", name.front() == '.');
        if (auto fs = FileSystemOf(mounts, path); !fs.empty()) {
            inst.SetText("FSName", fs);
            inst.SetText("FSCreationClassName", "Win32_FileSystem");
        }
        if (auto owner = owners.find(path); owner != owners.end()) {
            if (!owner->second.version.empty()) inst.SetText("Version", owner->second.version);
            if (!owner->second.maintainer.empty()) inst.SetText("Manufacturer", owner->second.maintainer);
        }
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
