// Win32_InstalledProgramFramework: which installed program runs on which
// language or application runtime, one instance per pair.
// dpkg: a package whose Depends or Pre-Depends names an installed runtime
// package (python3, python3.N, perl, openjdk-N-jre, default-jre, nodejs,
// ruby, dotnet-runtime-N, mono-runtime, ...: cimv2/sources/Packages.h).
// Flatpak: an application and the runtime its metadata names.
//   ProgramId               the program, as Win32_InstalledWin32Program names it
//   FrameworkName           the runtime's package name (Flatpak: runtime id)
//   FrameworkPublisher      its Maintainer's name (Flatpak: its remote)
//   FrameworkVersion        the version the program asks for: the dependency's
//                           constraint (">= 3.11~"; null without one), the
//                           runtime branch for Flatpak
//   FrameworkVersionActual  the runtime's installed version
//   IsPrivate               false: these runtimes are shared system packages
#include <map>

#include "cimv2/provider/Classes.h"
#include "cimv2/provider/NotedRead.h"
#include "cimv2/sources/Packages.h"

namespace cimv2 {

// clang-format off
const ClassSchema& Win32_InstalledProgramFrameworkSchema() {
    static const ClassSchema schema("Win32_InstalledProgramFramework", {
        {"FrameworkName", CimType::String, kKey},
        {"FrameworkPublisher", CimType::String},
        {"FrameworkVersion", CimType::String},
        {"FrameworkVersionActual", CimType::String},
        {"IsPrivate", CimType::Boolean},
        {"ProgramId", CimType::String, kKey},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_InstalledProgramFramework(const ProviderContext& context) {
    std::vector<Instance> out;
    auto add = [&out](const std::string& programId, const std::string& name, const std::string& publisher,
                      const std::string& wanted, const std::string& actual) {
        Instance inst(Win32_InstalledProgramFrameworkSchema());
        inst.SetText("ProgramId", programId);
        inst.SetText("FrameworkName", name);
        if (!publisher.empty()) inst.SetText("FrameworkPublisher", publisher);
        if (!wanted.empty()) inst.SetText("FrameworkVersion", wanted);
        if (!actual.empty()) inst.SetText("FrameworkVersionActual", actual);
        inst.SetBool("IsPrivate", false);
        out.push_back(std::move(inst));
    };
    if (auto status = ReadTextNoted(context, "/var/lib/dpkg/status", 256u << 20)) {
        const auto packages = ParseDpkgStatus(*status);
        std::map<std::string, const DpkgPackage*> runtimes;
        for (const auto& p : packages)
            if (IsRuntimePackage(p.name)) runtimes.emplace(p.name, &p);
        for (const auto& p : packages) {
            std::map<std::string, bool> named;  // each runtime once per program
            for (const auto& dep : p.depends) {
                auto runtime = runtimes.find(dep.package);
                if (runtime == runtimes.end() || runtime->second == &p || named[dep.package]) continue;
                named[dep.package] = true;
                const DpkgPackage& r = *runtime->second;
                add("dpkg:" + p.name + ":" + p.architecture, r.name, MaintainerName(r.maintainer), dep.constraint,
                    r.version);
            }
        }
    }
    const auto bundles = ReadBundles(context.root);
    for (const auto& app : bundles) {
        if (app.kind != "flatpak" || app.runtime || app.usesRuntime.empty()) continue;
        const std::string ref = app.usesRuntime;
        const size_t slash = ref.find('/');
        const std::string id = ref.substr(0, slash);
        const std::string branch = ref.substr(ref.rfind('/') + 1);
        std::string publisher, actual;
        for (const auto& r : bundles)
            if (r.runtime && r.name == id && r.branch == branch) publisher = r.origin, actual = r.version;
        add("flatpak:" + app.name + "/" + app.architecture + "/" + app.branch, id, publisher,
            slash == std::string::npos ? std::string() : branch, actual);
    }
    return out;
}

}  // namespace cimv2
