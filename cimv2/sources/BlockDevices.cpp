#include "cimv2/sources/BlockDevices.h"

#include <algorithm>

#include "cimv2/core/TextFields.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2::block {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::optional<std::string> Attribute(const SystemRoot& root, const std::string& path) {
    auto text = root.ReadAttribute(path);
    if (!text) return std::nullopt;
    std::string trimmed(Trim(*text));
    if (trimmed.empty()) return std::nullopt;
    return trimmed;
}

// Where the device hangs: the bus in the path of its sysfs directory.
Transport TransportOf(std::string_view name, std::string_view link, bool hasScsiAddress) {
    if (StartsWith(name, "loop")) return Transport::Loop;
    if (Contains(link, "/usb")) return Transport::Usb;
    if (Contains(link, "/nvme")) return Transport::Nvme;
    if (Contains(link, "/virtio")) return Transport::Virtio;
    if (Contains(link, "/mmc_host/") || StartsWith(name, "mmcblk")) return Transport::Mmc;
    if (Contains(link, "/fw") || Contains(link, "/firewire")) return Transport::Ieee1394;
    if (Contains(link, "/ata")) return Transport::Ata;
    if (hasScsiAddress) return Transport::Scsi;
    return Transport::Unknown;
}

BlockDevice Read(const SystemRoot& root, const std::string& name, const std::string& link) {
    BlockDevice d;
    d.name = name;
    d.dir = "/sys/block/" + name;
    d.sizeSectors = ReadUnsigned(root, d.dir + "/size");
    if (auto size = ReadUnsigned(root, d.dir + "/queue/logical_block_size"); size && *size > 0 && *size <= 1u << 20)
        d.logicalBlockSize = static_cast<uint32_t>(*size);
    d.removable = ReadUnsigned(root, d.dir + "/removable") == 1u;
    d.readOnly = ReadUnsigned(root, d.dir + "/ro") == 1u;
    const std::string device = d.dir + "/device";
    if (auto target = root.ReadLink(device)) d.scsi = ParseScsiAddress(target->substr(target->rfind('/') + 1));
    d.transport = TransportOf(name, link, d.scsi.has_value());
    switch (d.transport) {
        case Transport::Nvme:  // the controller (or subsystem) holds the namespace's identity
            d.model = Attribute(root, device + "/model");
            d.serial = Attribute(root, device + "/serial");
            d.firmware = Attribute(root, device + "/firmware_rev");
            break;
        case Transport::Mmc:
            d.model = Attribute(root, device + "/name");
            d.serial = Attribute(root, device + "/serial");
            d.firmware = Attribute(root, device + "/fwrev");
            break;
        default:
            d.vendor = Attribute(root, device + "/vendor");
            d.model = Attribute(root, device + "/model");
            d.firmware = Attribute(root, device + "/rev");
            // virtio and Xen disks carry their serial on the block device.
            d.serial = Attribute(root, d.dir + "/serial");
            if (!d.serial) {
                if (auto page = root.ReadFile(device + "/vpd_pg80", 4096)) d.serial = ParseVpdSerial(*page);
            }
            break;
    }
    // A virtio device's "vendor" is the transport's PCI vendor number, no name.
    if (d.vendor && StartsWith(*d.vendor, "0x")) d.vendor.reset();
    for (const auto& entry : root.List(d.dir)) {
        if (!StartsWith(entry, name)) continue;
        const std::string dir = d.dir + "/" + entry;
        auto number = ReadUnsigned(root, dir + "/partition");
        auto start = ReadUnsigned(root, dir + "/start");
        auto size = ReadUnsigned(root, dir + "/size");
        if (!number || !start || !size || *number == 0 || *number > UINT32_MAX) continue;
        d.partitions.push_back(
            {entry, static_cast<uint32_t>(*number), *start, *size, ReadUnsigned(root, dir + "/ro") == 1u});
    }
    std::sort(d.partitions.begin(), d.partitions.end(),
              [](const Partition& a, const Partition& b) { return a.number < b.number; });
    return d;
}

bool IsOptical(const SystemRoot& root, const std::string& name) {
    return StartsWith(name, "sr") || ReadUnsigned(root, "/sys/block/" + name + "/device/type") == 5u;
}

}  // namespace

std::vector<BlockDevice> ReadDisks(const SystemRoot& root) {
    std::vector<BlockDevice> out;
    for (const auto& name : root.List("/sys/block")) {
        const std::string link = root.ReadLink("/sys/block/" + name).value_or("");
        if (IsOptical(root, name) || StartsWith(name, "fd")) continue;
        if (Contains(link, "/virtual/") && !Contains(link, "/nvme-subsystem/")) {
            if (!StartsWith(name, "loop") || !root.ReadAttribute("/sys/block/" + name + "/loop/backing_file")) continue;
        }
        out.push_back(Read(root, name, link));
    }
    return out;
}

std::vector<BlockDevice> ReadOpticalDrives(const SystemRoot& root) {
    std::vector<BlockDevice> out;
    for (const auto& name : root.List("/sys/block"))
        if (IsOptical(root, name)) out.push_back(Read(root, name, root.ReadLink("/sys/block/" + name).value_or("")));
    return out;
}

std::optional<ScsiAddress> ParseScsiAddress(std::string_view text) {
    uint32_t parts[4];
    for (size_t n = 0; n < 4; ++n) {
        const size_t colon = n < 3 ? text.find(':') : text.size();
        if (colon == std::string_view::npos) return std::nullopt;
        auto value = ParseUnsigned(text.substr(0, colon));
        if (!value || *value > UINT32_MAX) return std::nullopt;
        parts[n] = static_cast<uint32_t>(*value);
        text.remove_prefix(n < 3 ? colon + 1 : colon);
    }
    return ScsiAddress{parts[0], parts[1], parts[2], parts[3]};
}

std::optional<std::string> ParseVpdSerial(std::string_view page) {
    if (page.size() < 4 || static_cast<uint8_t>(page[1]) != 0x80) return std::nullopt;
    const size_t length = static_cast<uint8_t>(page[3]);
    if (page.size() < 4 + length) return std::nullopt;
    std::string serial(Trim(page.substr(4, length)));
    // Some devices pad with NULs.
    while (!serial.empty() && serial.back() == '\0') serial.pop_back();
    serial = std::string(Trim(serial));
    for (char c : serial)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return std::nullopt;
    if (serial.empty()) return std::nullopt;
    return serial;
}

CdromInfo ParseCdromInfo(std::string_view text) {
    // "label:" then one tab-separated column per drive.
    auto columns = [](std::string_view values) {
        std::vector<std::string> out;
        while (!values.empty()) {
            const size_t tab = values.find('\t');
            std::string_view value = Trim(values.substr(0, tab));
            if (!value.empty()) out.emplace_back(value);
            values.remove_prefix(tab == std::string_view::npos ? values.size() : tab + 1);
        }
        return out;
    };
    std::vector<std::string> drives;
    CdromInfo info;
    while (!text.empty()) {
        const std::string_view line = NextLine(text);
        const size_t colon = line.find(":\t");
        if (colon == std::string_view::npos) continue;
        const std::string label(Trim(line.substr(0, colon)));
        if (label.empty()) continue;
        const std::vector<std::string> values = columns(line.substr(colon + 2));
        if (label == "drive name") {
            drives = values;
            continue;
        }
        for (size_t n = 0; n < values.size() && n < drives.size(); ++n) info[drives[n]][label] = values[n];
    }
    return info;
}

}  // namespace cimv2::block
