// Win32_Share: what the machine shares. No instances where neither file
// exists.
//   Samba's shares from /etc/samba/smb.conf (see ParseSmbConf); a share with
//   "available = no" is off and not listed, [global] is no share. "include ="
//   files and the usershares that users define with "net usershare" are not read.
//     Name            the section's name ("homes" and "printers" as written)
//     Path            path = (null when not given, as for [homes])
//     Type            1 (Print Queue) for a printable share, else 0 (Disk Drive)
//     AllowMaximum, MaximumAllowed   "max connections": 0 or absent (Samba's
//                     default) is no limit, AllowMaximum true; N is a limit of N
//     Description     comment = (null without one)
//     Caption         the comment, as WMI captions a share by its remark; the name without one
//   The NFS server's exports from /etc/exports, then /etc/exports.d/*.exports
//   by name (see ParseExports):
//     Name, Path      the exported directory; Type 0 (Disk Drive)
//     Description     the client list with its options as written
//     Caption         the exported directory
// A name already listed (Samba's first) is not listed again. AccessMask (which
// WMI no longer fills), InstallDate and Status stay null.
#include <set>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/Schema.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/sources/ShareFiles.h"

namespace cimv2 {

namespace {

constexpr uint32_t kDiskDrive = 0;
constexpr uint32_t kPrintQueue = 1;

}  // namespace

const ClassSchema& Win32_ShareSchema() {
    static const ClassSchema schema("Win32_Share", CIM_LogicalElement(),
                                    {
                                        {"AccessMask", CimType::UInt32},
                                        {"AllowMaximum", CimType::Boolean},
                                        {"MaximumAllowed", CimType::UInt32},
                                        {"Name", CimType::String, kKey},
                                        {"Path", CimType::String},
                                        {"Type", CimType::UInt32},
                                    });
    return schema;
}

std::vector<Instance> EnumerateWin32_Share(const ProviderContext& context) {
    std::vector<Instance> out;
    std::set<std::string> seen;
    auto add = [&](const std::string& name, const std::string& path, uint32_t type, const std::string& description,
                   const std::string& caption, std::optional<bool> allowMaximum, std::optional<uint32_t> maximum) {
        if (!seen.insert(Lower(name)).second) return;
        Instance inst(Win32_ShareSchema());
        inst.SetText("Name", name);
        if (!path.empty()) inst.SetText("Path", path);
        inst.SetInt("Type", type);
        if (!description.empty()) inst.SetText("Description", description);
        inst.SetText("Caption", caption);
        if (allowMaximum) inst.SetBool("AllowMaximum", *allowMaximum);
        if (maximum) inst.SetInt("MaximumAllowed", *maximum);
        out.push_back(std::move(inst));
    };

    if (auto text = context.root.ReadFile("/etc/samba/smb.conf", kMaxShareFileBytes)) {
        for (const auto& share : ParseSmbConf(*text)) {
            if (!share.available) continue;
            const bool limited = share.maxConnections && *share.maxConnections > 0;
            add(share.name, share.path, share.printable ? kPrintQueue : kDiskDrive, share.comment,
                share.comment.empty() ? share.name : share.comment, !limited,
                limited ? share.maxConnections : std::nullopt);
        }
    }
    std::vector<std::string> exportFiles = {"/etc/exports"};
    for (const auto& name : context.root.List("/etc/exports.d"))
        if (name.size() > 8 && name.ends_with(".exports") && name.front() != '.')
            exportFiles.push_back("/etc/exports.d/" + name);
    for (const auto& file : exportFiles)
        if (auto text = context.root.ReadFile(file, kMaxShareFileBytes))
            for (const auto& e : ParseExports(*text))
                add(e.path, e.path, kDiskDrive, e.clients, e.path, std::nullopt, std::nullopt);
    return out;
}

}  // namespace cimv2
