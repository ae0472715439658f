#pragma once
// The package databases: dpkg's status file (deb-control stanzas, as
// dpkg-query reads them), Flatpak's system installation and Snap's mounts.
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

struct Dependency {
    std::string package;     // without an architecture qualifier (":any")
    std::string constraint;  // ">= 3.11~", empty when none
};

struct DpkgPackage {
    std::string name, architecture, version, maintainer, source;
    // Each entry is one alternative of a Depends or Pre-Depends field: the
    // first alternative that is named.
    std::vector<Dependency> depends;
};

// The stanzas whose Status says the package's files are on disk (its state
// is neither not-installed nor config-files), in file order. Stanzas
// without Package or with a damaged Status line are skipped; continuation
// lines are read as part of their field.
std::vector<DpkgPackage> ParseDpkgStatus(std::string_view text);

// "Name Surname <mail@example.org>" gives "Name Surname".
std::string MaintainerName(std::string_view maintainer);

// Whether a package is a language or application runtime that programs
// run on: python3, python3.N, perl, openjdk-N-jre[-headless], default-jre,
// dotnet-runtime-N, nodejs, ruby, rubyN.N, mono-runtime, luaN.N, tcl, ...
bool IsRuntimePackage(std::string_view name);

struct BundlePackage {
    std::string kind;  // "flatpak" or "snap"
    std::string name, version, origin, branch, architecture;
    bool runtime = false;     // a Flatpak runtime rather than an application
    std::string usesRuntime;  // an application's runtime ref, "org.freedesktop.Platform/x86_64/23.08"
};

// Flatpak's system installation (/var/lib/flatpak/{app,runtime}/ID/ARCH/BRANCH/active,
// the remote from repo/refs/remotes, the version from the metainfo's first release)
// and Snap's (/snap/NAME/current/meta/snap.yaml).
std::vector<BundlePackage> ReadBundles(const SystemRoot& root);

}  // namespace cimv2
