#pragma once
// The kernel's modules: /proc/modules for the loaded ones, libkmod over the
// module directory (/lib/modules/RELEASE: modules.dep, modules.builtin.modinfo
// and the module files) for what each one is.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/sources/SystemRoot.h"

struct kmod_ctx;

namespace cimv2 {

struct LoadedModule {
    std::string name;
    uint64_t size = 0;
    uint32_t refcount = 0;
    std::string state;  // "Live", "Loading" or "Unloading"
    bool hasHolders = false;
};

// "name size refcount deps state address" lines; damaged lines are skipped.
std::vector<LoadedModule> ParseProcModules(std::string_view text);

// The names modules-load.d files list (blank and '#'/';' lines skipped).
std::vector<std::string> ParseModulesLoad(std::string_view text);

struct ModuleInfo {
    std::string path;  // the module file as the machine names it; empty when built in
    std::string description;
};

// libkmod over one machine's module directory.
class ModuleDirectory {
public:
    // Nothing is found when the directory or its indexes cannot be read.
    ModuleDirectory(const SystemRoot& root, const std::string& release);
    ~ModuleDirectory();
    ModuleDirectory(const ModuleDirectory&) = delete;
    ModuleDirectory& operator=(const ModuleDirectory&) = delete;

    std::optional<ModuleInfo> Find(const std::string& name) const;

private:
    ::kmod_ctx* FContext = nullptr;
    std::string FPrefix;  // the root's directory, to strip from paths libkmod gives
};

}  // namespace cimv2
