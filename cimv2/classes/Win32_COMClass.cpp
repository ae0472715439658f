// Win32_COMClass: the components the machine registers for activation on
// demand, D-Bus's activatable services: /usr/share/dbus-1/system-services
// (system bus) and /usr/share/dbus-1/services (session bus), *.service.
//   ComponentId   the service file's path (unique, as a CLSID is)
//   Name, Caption the bus name ([D-BUS Service] Name=)
//   Description   the desktop entry's Comment= or Name= for that bus name
//                 (/usr/share/applications/NAME.desktop), else the Exec= line
// Status and InstallDate have no source and stay null.
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/sources/KeyFiles.h"

namespace cimv2 {

// clang-format off
const ClassSchema& Win32_COMClassSchema() {
    static const ClassSchema schema("Win32_COMClass", CIM_LogicalElement(), {
        {"ComponentId", CimType::String, kKey},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_COMClass(const ProviderContext& context) {
    std::vector<Instance> out;
    for (const char* dir : {"/usr/share/dbus-1/system-services", "/usr/share/dbus-1/services"}) {
        for (const auto& file : context.root.List(dir)) {
            if (!file.ends_with(".service")) continue;
            const std::string path = std::string(dir) + "/" + file;
            auto text = context.root.ReadFile(path, 1u << 20);
            if (!text) continue;
            const KeyFile service = KeyFile::Parse(*text);
            const std::string name = service.Value("D-BUS Service", "Name");
            if (name.empty()) continue;
            Instance inst(Win32_COMClassSchema());
            inst.SetText("ComponentId", path);
            inst.SetText("Name", name);
            inst.SetText("Caption", name);
            std::string description;
            if (name.find('/') == std::string::npos)
                if (auto entry = context.root.ReadFile("/usr/share/applications/" + name + ".desktop", 1u << 20)) {
                    const KeyFile desktop = KeyFile::Parse(*entry);
                    description = desktop.Value("Desktop Entry", "Comment");
                    if (description.empty()) description = desktop.Value("Desktop Entry", "Name");
                }
            if (description.empty()) description = service.Value("D-BUS Service", "Exec");
            if (!description.empty()) inst.SetText("Description", description);
            out.push_back(std::move(inst));
        }
    }
    return out;
}

}  // namespace cimv2
