#include "cimv2/sources/KernelModules.h"

#include "cimv2/core/TextFields.h"
#include "cimv2/sources/KmodLibrary.h"

namespace cimv2 {

namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    while (!line.empty()) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos) break;
        line = line.substr(start);
        const size_t end = line.find_first_of(" \t");
        words.push_back(line.substr(0, end));
        line = end == std::string_view::npos ? std::string_view() : line.substr(end);
    }
    return words;
}

template <typename Each>
void Lines(std::string_view text, Each each) {
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        each(text.substr(0, eol));
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    }
}

}  // namespace

std::vector<LoadedModule> ParseProcModules(std::string_view text) {
    std::vector<LoadedModule> modules;
    Lines(text, [&](std::string_view line) {
        const auto w = Words(line);
        if (w.size() < 5) return;
        auto size = ParseUnsigned(w[1]);
        auto refs = ParseUnsigned(w[2]);
        if (!size || !refs || *refs > UINT32_MAX) return;
        if (w[4] != "Live" && w[4] != "Loading" && w[4] != "Unloading") return;
        if (w[0].find('/') != std::string_view::npos) return;
        modules.push_back({std::string(w[0]), *size, static_cast<uint32_t>(*refs), std::string(w[4]), w[3] != "-"});
    });
    return modules;
}

std::vector<std::string> ParseModulesLoad(std::string_view text) {
    std::vector<std::string> names;
    Lines(text, [&](std::string_view line) {
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') return;
        const auto w = Words(line);
        // /etc/modules allows arguments after the name; the name is what counts.
        std::string name(w[0]);
        for (char& c : name)
            if (c == '-') c = '_';
        names.push_back(std::move(name));
    });
    return names;
}

ModuleDirectory::ModuleDirectory(const SystemRoot& root, const std::string& release) {
    if (release.empty() || release.find('/') != std::string::npos || release == "..") return;
    const std::string machinePath = "/lib/modules/" + release;
    if (!root.IsDirectory(machinePath)) return;
    const std::string dir = root.Resolve(machinePath);
    FPrefix = root.Dir() == "/" ? std::string() : root.Dir();
    while (FPrefix.size() > 1 && FPrefix.back() == '/') FPrefix.pop_back();
    // No modprobe configuration: only the module directory is read.
    static const char* const kNoConfig[] = {nullptr};
    const KmodApi* api = Kmod();
    if (!api) return;
    const KmodApi& kmod = *api;
    FContext = kmod.kmod_new(dir.c_str(), kNoConfig);
    if (!FContext) return;
    kmod.kmod_set_log_priority(FContext, 0);
    if (kmod.kmod_load_resources(FContext) < 0) {
        kmod.kmod_unref(FContext);
        FContext = nullptr;
    }
}

ModuleDirectory::~ModuleDirectory() {
    // A context exists only once libkmod has loaded.
    if (FContext) Kmod()->kmod_unref(FContext);
}

std::optional<ModuleInfo> ModuleDirectory::Find(const std::string& name) const {
    if (!FContext) return std::nullopt;
    const KmodApi& kmod = *Kmod();
    struct kmod_module* mod = nullptr;
    if (kmod.kmod_module_new_from_name(FContext, name.c_str(), &mod) < 0 || !mod) return std::nullopt;
    ModuleInfo info;
    bool known = false;
    if (const char* path = kmod.kmod_module_get_path(mod)) {
        std::string p = path;
        if (!FPrefix.empty() && p.starts_with(FPrefix + "/")) p = p.substr(FPrefix.size());
        info.path = p;
        known = true;
    }
    struct kmod_list* list = nullptr;
    if (kmod.kmod_module_get_info(mod, &list) >= 0 && list) {
        known = true;
        for (struct kmod_list* item = list; item; item = kmod.kmod_list_next(list, item)) {
            const char* key = kmod.kmod_module_info_get_key(item);
            const char* value = kmod.kmod_module_info_get_value(item);
            if (key && value && std::string_view(key) == "description" && info.description.empty())
                info.description = value;
        }
        kmod.kmod_module_info_free_list(list);
    }
    kmod.kmod_module_unref(mod);
    if (!known) return std::nullopt;
    return info;
}

}  // namespace cimv2
