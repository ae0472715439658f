#include "cimv2/sources/Packages.h"

#include <algorithm>

#include "cimv2/core/TextFields.h"

namespace cimv2 {

namespace {

void ReadDepends(std::string_view field, std::vector<Dependency>& out) {
    while (!field.empty()) {
        const size_t comma = field.find(',');
        std::string_view item = field.substr(0, comma);
        field = comma == std::string_view::npos ? std::string_view() : field.substr(comma + 1);
        item = Trim(item.substr(0, item.find('|')));
        const size_t open = item.find('(');
        std::string_view name = Trim(item.substr(0, open));
        name = name.substr(0, name.find(':'));
        name = name.substr(0, name.find_first_of(" \t["));
        if (name.empty()) continue;
        Dependency dep{std::string(name), {}};
        if (open != std::string_view::npos) {
            const size_t close = item.find(')', open);
            if (close == std::string_view::npos) continue;
            dep.constraint = std::string(Trim(item.substr(open + 1, close - open - 1)));
        }
        out.push_back(std::move(dep));
    }
}

// The package's files are on disk in every state but these two.
bool Present(std::string_view status) {
    const size_t last = status.find_last_of(' ');
    if (last == std::string_view::npos || std::count(status.begin(), status.end(), ' ') != 2) return false;
    const std::string_view state = status.substr(last + 1);
    static constexpr std::string_view kStates[] = {"installed",      "half-configured",  "unpacked",
                                                   "half-installed", "triggers-awaited", "triggers-pending"};
    for (auto s : kStates)
        if (state == s) return true;
    return false;
}

}  // namespace

std::vector<DpkgPackage> ParseDpkgStatus(std::string_view text) {
    std::vector<DpkgPackage> packages;
    DpkgPackage current;
    std::string_view status;
    bool statusSeen = false;
    std::string* field = nullptr;  // the field a continuation line belongs to
    std::string depends;
    auto finish = [&] {
        if (!current.name.empty() && statusSeen && Present(status)) {
            ReadDepends(depends, current.depends);
            packages.push_back(std::move(current));
        }
        current = DpkgPackage();
        depends.clear();
        statusSeen = false;
        field = nullptr;
    };
    while (!text.empty()) {
        std::string_view line = NextLine(text);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (Trim(line).empty()) {
            finish();
            continue;
        }
        if (line[0] == ' ' || line[0] == '\t') {
            if (field == &depends) depends.append(" ").append(Trim(line));
            continue;
        }
        field = nullptr;
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, colon);
        const std::string_view value = Trim(line.substr(colon + 1));
        if (key == "Package") {
            current.name = value;
        } else if (key == "Status") {
            status = value;
            statusSeen = true;
        } else if (key == "Architecture") {
            current.architecture = value;
        } else if (key == "Version") {
            current.version = value;
        } else if (key == "Maintainer") {
            current.maintainer = value;
        } else if (key == "Source") {
            current.source = value.substr(0, value.find(' '));
        } else if (key == "Depends" || key == "Pre-Depends") {
            if (!depends.empty()) depends.append(",");
            depends.append(value);
            field = &depends;
        }
    }
    finish();
    return packages;
}

namespace {

bool DigitsAndDots(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789.") == std::string_view::npos && text.front() != '.' &&
           text.back() != '.';
}

}  // namespace

bool IsRuntimePackage(std::string_view name) {
    static constexpr std::string_view kExact[] = {"python3",    "perl",        "default-jre",  "default-jre-headless",
                                                  "nodejs",     "ruby",        "mono-runtime", "tcl",
                                                  "php",        "erlang-base", "guile-3.0",    "lua5.1",
                                                  "openjdk-jre"};
    for (auto exact : kExact)
        if (name == exact) return true;
    // A name, a version, and possibly a suffix: python3.11, ruby3.1, lua5.4,
    // openjdk-17-jre-headless, dotnet-runtime-8.0, php8.2-cli.
    struct Versioned {
        std::string_view prefix, suffix;
    };
    static constexpr Versioned kVersioned[] = {
        {"python3.", ""},
        {"python2.", ""},
        {"ruby", ""},
        {"lua", ""},
        {"tcl", ""},
        {"openjdk-", "-jre"},
        {"openjdk-", "-jre-headless"},
        {"dotnet-runtime-", ""},
        {"aspnetcore-runtime-", ""},
        {"php", "-cli"},
    };
    for (const auto& v : kVersioned) {
        if (!name.starts_with(v.prefix) || !name.ends_with(v.suffix)) continue;
        if (name.size() < v.prefix.size() + v.suffix.size()) continue;
        if (DigitsAndDots(name.substr(v.prefix.size(), name.size() - v.prefix.size() - v.suffix.size()))) return true;
    }
    return false;
}

std::string MaintainerName(std::string_view maintainer) {
    return std::string(Trim(maintainer.substr(0, maintainer.find('<'))));
}

namespace {

// The version of a metainfo file's first <release version="...">.
std::string MetainfoVersion(std::string_view xml) {
    const size_t release = xml.find("<release ");
    if (release == std::string_view::npos) return {};
    const size_t close = xml.find('>', release);
    const std::string_view tag = xml.substr(release, close == std::string_view::npos ? close : close - release);
    const size_t at = tag.find("version=\"");
    if (at == std::string_view::npos) return {};
    const size_t end = tag.find('"', at + 9);
    if (end == std::string_view::npos) return {};
    return std::string(tag.substr(at + 9, end - at - 9));
}

void ReadFlatpaks(const SystemRoot& root, std::vector<BundlePackage>& out) {
    const std::string base = "/var/lib/flatpak";
    const std::string remotes = base + "/repo/refs/remotes";
    for (const char* kind : {"app", "runtime"}) {
        const std::string dir = base + "/" + kind;
        for (const auto& id : root.List(dir))
            for (const auto& arch : root.List(dir + "/" + id))
                for (const auto& branch : root.List(dir + "/" + id + "/" + arch)) {
                    const std::string active = dir + "/" + id + "/" + arch + "/" + branch + "/active";
                    if (!root.Exists(active + "/metadata")) continue;
                    BundlePackage p{"flatpak", id, {}, {}, branch, arch, std::string(kind) == "runtime", {}};
                    if (auto metadata = root.ReadFile(active + "/metadata", 1u << 20)) {
                        std::string_view text = *metadata;
                        while (!text.empty()) {
                            std::string_view line = NextLine(text);
                            if (line.substr(0, 8) == "runtime=") p.usesRuntime = Trim(line.substr(8));
                        }
                    }
                    auto xml = root.ReadFile(active + "/files/share/metainfo/" + id + ".metainfo.xml", 1u << 20);
                    if (xml) p.version = MetainfoVersion(*xml);
                    for (const auto& remote : root.List(remotes))
                        if (root.Exists(remotes + "/" + remote + "/" + kind + "/" + id + "/" + arch + "/" + branch))
                            p.origin = remote;
                    out.push_back(std::move(p));
                }
    }
}

void ReadSnaps(const SystemRoot& root, std::vector<BundlePackage>& out) {
    for (const auto& name : root.List("/snap")) {
        auto yaml = root.ReadFile("/snap/" + name + "/current/meta/snap.yaml", 1u << 20);
        if (!yaml) continue;
        BundlePackage p{"snap", name, {}, {}, {}, {}, false, {}};
        std::string_view text = *yaml;
        while (!text.empty()) {
            std::string_view line = NextLine(text);
            if (line.substr(0, 8) == "version:") p.version = Trim(line.substr(8));
            if (line.substr(0, 5) == "type:") p.runtime = Trim(line.substr(5)) == "base";
        }
        if (p.version.size() >= 2 && (p.version.front() == '\'' || p.version.front() == '"') &&
            p.version.back() == p.version.front())
            p.version = p.version.substr(1, p.version.size() - 2);
        out.push_back(std::move(p));
    }
}

}  // namespace

std::vector<BundlePackage> ReadBundles(const SystemRoot& root) {
    std::vector<BundlePackage> out;
    ReadFlatpaks(root, out);
    ReadSnaps(root, out);
    return out;
}

}  // namespace cimv2
