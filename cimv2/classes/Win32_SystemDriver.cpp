// Win32_SystemDriver: the kernel's drivers, loaded modules (/proc/modules,
// state from /sys/module/NAME) and built-in ones (a /sys/module/NAME without
// initstate), named and described by libkmod over /lib/modules/RELEASE.
//   Name           the module's name
//   Description    its modinfo description; null without one
//   DisplayName, Caption   the description, else the name
//   PathName       the module file (modules.dep); built in: the kernel image
//                  the loader started (BOOT_IMAGE=), else /boot/vmlinuz-RELEASE
//   ServiceType    "Kernel Driver"
//   StartMode      "Boot" built in, "System" when modules-load.d, /etc/modules
//                  or modules-load= on the command line names it, else "Manual"
//   StartName      the kernel object the driver lives as, /sys/module/NAME
//   Started, State, Status   built in or Live: true, "Running", "OK";
//                  Loading: false, "Start Pending", "Starting"; Unloading:
//                  true, "Stop Pending", "Stopping"
//   AcceptStop     a loaded module nobody uses (refcount 0, no holders)
//   AcceptPause, DesktopInteract   false: drivers can neither
//   ErrorControl   "Normal": a driver that fails is logged and boot goes on
//   ExitCode, ServiceSpecificExitCode   0: every listed driver initialised
//   TagId          the load order of a loaded module (1 the first loaded);
//                  0 for built-in drivers, which have none
#include <algorithm>
#include <set>

#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/KernelModules.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

const ClassSchema& Win32_SystemDriverSchema() {
    static const ClassSchema schema("Win32_SystemDriver", Win32_BaseService(), {});
    return schema;
}

namespace {

std::set<std::string> ListedForLoading(const SystemRoot& root, const std::string& cmdline) {
    std::set<std::string> names;
    for (const char* dir : {"/etc/modules-load.d", "/run/modules-load.d", "/usr/local/lib/modules-load.d",
                            "/usr/lib/modules-load.d", "/lib/modules-load.d"})
        for (const auto& file : root.List(dir))
            if (file.ends_with(".conf"))
                if (auto text = root.ReadFile(std::string(dir) + "/" + file, 1u << 20))
                    for (auto& n : ParseModulesLoad(*text)) names.insert(n);
    if (auto text = root.ReadFile("/etc/modules", 1u << 20))
        for (auto& n : ParseModulesLoad(*text)) names.insert(n);
    // modules-load=a,b on the kernel command line (also rd.modules-load=).
    size_t at = 0;
    while ((at = cmdline.find("modules-load=", at)) != std::string::npos) {
        if (at > 0 && cmdline[at - 1] != ' ' && cmdline.compare(at - 3, 3, "rd.") != 0) {
            ++at;
            continue;
        }
        at += 13;
        std::string list = cmdline.substr(at, cmdline.find(' ', at) - at);
        for (char& c : list)
            if (c == ',') c = '\n';
        for (auto& n : ParseModulesLoad(list)) names.insert(n);
    }
    return names;
}

std::optional<std::string> KernelImage(const SystemRoot& root, const std::string& cmdline,
                                       const std::optional<std::string>& release) {
    const size_t at = cmdline.find("BOOT_IMAGE=");
    if (at != std::string::npos && (at == 0 || cmdline[at - 1] == ' ')) {
        std::string image = cmdline.substr(at + 11, cmdline.find(' ', at) - at - 11);
        if (!image.empty()) return image;
    }
    if (release && root.Exists("/boot/vmlinuz-" + *release)) return "/boot/vmlinuz-" + *release;
    return std::nullopt;
}

}  // namespace

std::vector<Instance> EnumerateWin32_SystemDriver(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    const auto loadedText = root.ReadFile("/proc/modules", 4u << 20);
    const std::vector<LoadedModule> loaded = loadedText ? ParseProcModules(*loadedText) : std::vector<LoadedModule>();
    std::vector<std::string> builtIn;
    std::set<std::string> loadedNames;
    for (const auto& m : loaded) loadedNames.insert(m.name);
    for (const auto& name : root.List("/sys/module"))
        if (!loadedNames.count(name) && !root.Exists("/sys/module/" + name + "/initstate") &&
            root.IsDirectory("/sys/module/" + name))
            builtIn.push_back(name);
    if (loaded.empty() && builtIn.empty()) return out;

    const auto& release = context.Facts().kernelRelease;
    const ModuleDirectory modules(root, release.value_or(""));
    const std::string cmdline = ReadLine(root, "/proc/cmdline").value_or("");
    const std::set<std::string> listed = ListedForLoading(root, cmdline);
    const auto kernelImage = KernelImage(root, cmdline, release);

    auto make = [&](const std::string& name, std::optional<ModuleInfo> info) {
        Instance inst(Win32_SystemDriverSchema());
        inst.SetText("Name", name);
        const std::string display = info && !info->description.empty() ? info->description : name;
        inst.SetText("DisplayName", display);
        inst.SetText("Caption", display);
        if (info && !info->description.empty()) inst.SetText("Description", info->description);
        inst.SetText("ServiceType", "Kernel Driver");
        inst.SetText("StartName", "/sys/module/" + name);
        inst.SetBool("AcceptPause", false);
        inst.SetBool("DesktopInteract", false);
        inst.SetText("ErrorControl", "Normal");
        inst.Set("ExitCode", Value::UInt(0));
        inst.Set("ServiceSpecificExitCode", Value::UInt(0));
        SetIdentity(inst, context);
        return inst;
    };

    // /proc/modules lists the latest first.
    uint32_t tag = static_cast<uint32_t>(loaded.size());
    for (const auto& m : loaded) {
        auto info = modules.Find(m.name);
        Instance inst = make(m.name, info);
        if (info && !info->path.empty()) inst.SetText("PathName", info->path);
        inst.SetText("StartMode", listed.count(m.name) ? "System" : "Manual");
        const bool loading = m.state == "Loading", unloading = m.state == "Unloading";
        inst.SetBool("Started", !loading);
        inst.SetText("State", loading ? "Start Pending" : unloading ? "Stop Pending" : "Running");
        inst.SetText("Status", loading ? "Starting" : unloading ? "Stopping" : "OK");
        inst.SetBool("AcceptStop", m.state == "Live" && m.refcount == 0 && !m.hasHolders);
        inst.Set("TagId", Value::UInt(tag--));
        out.push_back(std::move(inst));
    }
    for (const auto& name : builtIn) {
        Instance inst = make(name, modules.Find(name));
        if (kernelImage) inst.SetText("PathName", *kernelImage);
        inst.SetText("StartMode", "Boot");
        inst.SetBool("Started", true);
        inst.SetText("State", "Running");
        inst.SetText("Status", "OK");
        inst.SetBool("AcceptStop", false);
        inst.Set("TagId", Value::UInt(0));
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
