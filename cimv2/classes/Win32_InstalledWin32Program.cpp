// Win32_InstalledWin32Program: the installed packages. dpkg's status
// database (/var/lib/dpkg/status; every package whose files are on disk),
// then Flatpak applications of the system installation and snaps.
//   Name       the package name (Flatpak: the application id)
//   ProgramId  "dpkg:NAME:ARCH", "flatpak:ID/ARCH/BRANCH" or "snap:NAME"
//   Vendor     dpkg: the Maintainer's name; Flatpak: the remote it came from
//   Version    the package's version (Flatpak: its metainfo's latest release)
//   Language   null: no package format records one
// MsiProductCode and MsiPackageCode are Windows Installer's and stay null.
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/NotedRead.h"
#include "cimv2/sources/Packages.h"

namespace cimv2 {

// clang-format off
const ClassSchema& Win32_InstalledWin32ProgramSchema() {
    static const ClassSchema schema("Win32_InstalledWin32Program", {
        {"Language", CimType::String},
        {"MsiPackageCode", CimType::String},
        {"MsiProductCode", CimType::String},
        {"Name", CimType::String},
        {"ProgramId", CimType::String, kKey},
        {"Vendor", CimType::String},
        {"Version", CimType::String},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_InstalledWin32Program(const ProviderContext& context) {
    std::vector<Instance> out;
    if (auto status = ReadTextNoted(context, "/var/lib/dpkg/status", 256u << 20)) {
        const auto packages = ParseDpkgStatus(*status);
        out.reserve(packages.size());
        for (const auto& p : packages) {
            Instance inst(Win32_InstalledWin32ProgramSchema());
            inst.SetText("Name", p.name);
            inst.SetText("ProgramId", "dpkg:" + p.name + ":" + p.architecture);
            if (auto vendor = MaintainerName(p.maintainer); !vendor.empty()) inst.SetText("Vendor", vendor);
            if (!p.version.empty()) inst.SetText("Version", p.version);
            out.push_back(std::move(inst));
        }
    }
    for (const auto& b : ReadBundles(context.root)) {
        if (b.runtime) continue;  // runtimes are frameworks, not programs
        Instance inst(Win32_InstalledWin32ProgramSchema());
        inst.SetText("Name", b.name);
        inst.SetText("ProgramId", b.kind == "flatpak" ? "flatpak:" + b.name + "/" + b.architecture + "/" + b.branch
                                                      : "snap:" + b.name);
        if (!b.origin.empty()) inst.SetText("Vendor", b.origin);
        if (!b.version.empty()) inst.SetText("Version", b.version);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
