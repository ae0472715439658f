// Win32_BootConfiguration: the boot entry the running kernel came from.
//   Name, Caption      the firmware's boot option in use (EFI BootCurrent and
//                      its Boot#### description, "debian"), else the kernel
//                      image the loader passed (BOOT_IMAGE=), else
//                      "Linux <release>"
//   Description        the kernel command line (/proc/cmdline)
//   ConfigurationPath  the boot loader's configuration (/boot/grub/grub.cfg,
//                      the systemd-boot loader.conf) when present
//   BootDirectory      /boot when present
//   ScratchDirectory   /run, the file system start-up writes to before any
//                      disk is mounted, when present
//   TempDirectory      TMPDIR from /etc/environment, else /tmp when present
//   LastDrive          null: there are no drive letters
// Without /proc/cmdline: no instance.
#include <cstdio>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

// clang-format off
const ClassSchema& Win32_BootConfigurationSchema() {
    static const ClassSchema schema("Win32_BootConfiguration", CIM_Setting(), {
        {"BootDirectory", CimType::String},
        {"ConfigurationPath", CimType::String},
        {"LastDrive", CimType::String},
        {"Name", CimType::String, kKey},
        {"ScratchDirectory", CimType::String},
        {"TempDirectory", CimType::String},
    });
    return schema;
}
// clang-format on

namespace {

constexpr const char* kEfiGlobal = "-8be4df61-93ca-11d2-aa0d-00e098032b8c";

// UCS-2 text up to its terminator, as UTF-8.
std::string Ucs2(std::string_view data) {
    std::string out;
    for (size_t n = 0; n + 1 < data.size(); n += 2) {
        const unsigned c = static_cast<uint8_t>(data[n]) | static_cast<uint8_t>(data[n + 1]) << 8;
        if (c == 0) break;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// efivarfs files: four bytes of attributes, then the variable.
std::optional<std::string> EfiBootEntry(const SystemRoot& root) {
    const std::string dir = "/sys/firmware/efi/efivars/";
    auto current = root.ReadFile(dir + "BootCurrent" + kEfiGlobal, 64);
    if (!current || current->size() != 6) return std::nullopt;
    const unsigned number = static_cast<uint8_t>((*current)[4]) | static_cast<uint8_t>((*current)[5]) << 8;
    char name[16];
    std::snprintf(name, sizeof name, "Boot%04X", number);
    auto option = root.ReadFile(dir + name + kEfiGlobal, 64u << 10);
    // EFI_LOAD_OPTION: attributes (4), file path list length (2), description.
    if (!option || option->size() < 4 + 6 + 2) return std::nullopt;
    std::string description = Ucs2(std::string_view(*option).substr(10));
    if (description.empty()) return std::nullopt;
    return description;
}

std::optional<std::string> BootImage(std::string_view cmdline) {
    while (!cmdline.empty()) {
        const size_t start = cmdline.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        cmdline = cmdline.substr(start);
        const size_t end = cmdline.find(' ');
        const std::string_view word = cmdline.substr(0, end);
        if (word == "--") break;  // what follows is for init
        if (word.substr(0, 11) == "BOOT_IMAGE=" && word.size() > 11) return std::string(word.substr(11));
        cmdline = end == std::string_view::npos ? std::string_view() : cmdline.substr(end);
    }
    return std::nullopt;
}

std::optional<std::string> FirstPresent(const SystemRoot& root, std::initializer_list<const char*> paths) {
    for (const char* path : paths)
        if (root.Exists(path)) return std::string(path);
    return std::nullopt;
}

}  // namespace

std::vector<Instance> EnumerateWin32_BootConfiguration(const ProviderContext& context) {
    std::vector<Instance> out;
    auto cmdline = ReadLine(context.root, "/proc/cmdline");
    if (!cmdline) return out;
    std::optional<std::string> name = EfiBootEntry(context.root);
    if (!name) name = BootImage(*cmdline);
    if (!name)
        if (const auto& release = context.Facts().kernelRelease) name = "Linux " + *release;
    if (!name) return out;

    Instance inst(Win32_BootConfigurationSchema());
    inst.SetText("Name", *name);
    inst.SetText("Caption", *name);
    inst.SetText("Description", *cmdline);
    if (auto config = FirstPresent(context.root, {"/boot/grub/grub.cfg", "/boot/efi/loader/loader.conf",
                                                  "/efi/loader/loader.conf", "/boot/loader/loader.conf"}))
        inst.SetText("ConfigurationPath", *config);
    if (context.root.IsDirectory("/boot")) inst.SetText("BootDirectory", "/boot");
    if (context.root.IsDirectory("/run")) inst.SetText("ScratchDirectory", "/run");
    const auto environment = ReadKeyValues(context.root, "/etc/environment");
    if (auto tmp = environment.find("TMPDIR"); tmp != environment.end() && !tmp->second.empty())
        inst.SetText("TempDirectory", tmp->second);
    else if (context.root.IsDirectory("/tmp"))
        inst.SetText("TempDirectory", "/tmp");
    out.push_back(std::move(inst));
    return out;
}

}  // namespace cimv2
