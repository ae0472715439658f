#include "cimv2/sources/PartitionTable.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <string_view>
#include <type_traits>

#include "cimv2/core/TextFields.h"
#include "cimv2/sources/BlkidLibrary.h"

namespace cimv2::parts {

namespace {

struct ProbeFree {
    void operator()(blkid_probe probe) const { Blkid()->blkid_free_probe(probe); }
};
using Probe = std::unique_ptr<std::remove_pointer_t<blkid_probe>, ProbeFree>;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Sector ranges that do not overlap one another, first sector to one past
// the last, in order: finding one that meets a new range is a look-up, so a
// table of many entries is checked in n log n rather than pairwise.
class Ranges {
public:
    bool Overlaps(uint64_t start, uint64_t end) const {
        // Only the last range starting before end can reach past start: the
        // ranges are apart, so their ends come in the order of their starts.
        auto after = FRanges.lower_bound(end);
        return after != FRanges.begin() && std::prev(after)->second > start;
    }
    bool Holds(uint64_t start, uint64_t end) const {
        auto after = FRanges.upper_bound(start);
        return after != FRanges.begin() && std::prev(after)->second >= end;
    }
    void Add(uint64_t start, uint64_t end) { FRanges.emplace(start, end); }

private:
    std::map<uint64_t, uint64_t> FRanges;
};

// Keeps the entries a disk can hold, in table order: each must lie on the
// disk and meet no entry kept before it, except that a logical partition
// lies inside an extended one.
std::vector<PartitionEntry> Plausible(const std::vector<PartitionEntry>& entries, uint64_t deviceSectors) {
    std::vector<PartitionEntry> kept;
    Ranges plain, extended, logical;
    for (const PartitionEntry& entry : entries) {
        if (entry.number == 0 || entry.sizeSectors == 0 || entry.startSector >= deviceSectors ||
            entry.sizeSectors > deviceSectors - entry.startSector)
            continue;
        const uint64_t start = entry.startSector, end = entry.startSector + entry.sizeSectors;
        if (plain.Overlaps(start, end) || logical.Overlaps(start, end)) continue;
        if (entry.primary ? extended.Overlaps(start, end) : !extended.Holds(start, end)) continue;
        (!entry.primary ? logical : entry.extended ? extended : plain).Add(start, end);
        kept.push_back(entry);
    }
    return kept;
}

}  // namespace

std::optional<PartitionTable> ReadPartitionTable(int fd) {
    const BlkidApi* api = Blkid();
    if (!api) return std::nullopt;
    const BlkidApi& blkid = *api;
    Probe probe(blkid.blkid_new_probe());
    if (!probe || blkid.blkid_probe_set_device(probe.get(), fd, 0, 0) != 0) return std::nullopt;
    blkid.blkid_probe_enable_superblocks(probe.get(), 0);
    blkid.blkid_probe_enable_partitions(probe.get(), 1);
    blkid.blkid_probe_set_partitions_flags(probe.get(), BLKID_PARTS_ENTRY_DETAILS);
    blkid_partlist list = blkid.blkid_probe_get_partitions(probe.get());
    if (!list) return std::nullopt;
    blkid_parttable root = blkid.blkid_partlist_get_table(list);
    if (!root || !blkid.blkid_parttable_get_type(root)) return std::nullopt;
    PartitionTable table;
    table.type = blkid.blkid_parttable_get_type(root);
    if (table.type != "dos" && table.type != "gpt") return std::nullopt;
    if (const char* id = blkid.blkid_parttable_get_id(root); id && *id) table.id = Lower(id);
    const blkid_loff_t bytes = blkid.blkid_probe_get_size(probe.get());
    table.deviceSectors = bytes > 0 ? static_cast<uint64_t>(bytes) / 512 : 0;
    const bool gpt = table.type == "gpt";
    std::vector<PartitionEntry> entries;
    const int count = blkid.blkid_partlist_numof_partitions(list);
    for (int n = 0; n < count; ++n) {
        blkid_partition part = blkid.blkid_partlist_get_partition(list, n);
        // Tables nested in a partition (a BSD label) are that partition's business.
        if (!part || blkid.blkid_partition_get_table(part) != root) continue;
        const int number = blkid.blkid_partition_get_partno(part);
        const blkid_loff_t start = blkid.blkid_partition_get_start(part);
        const blkid_loff_t size = blkid.blkid_partition_get_size(part);
        if (number <= 0 || number > kMaxPartitionNumber || start < 0 || size <= 0) continue;
        PartitionEntry entry;
        entry.number = static_cast<uint32_t>(number);
        entry.startSector = static_cast<uint64_t>(start);
        entry.sizeSectors = static_cast<uint64_t>(size);
        entry.extended = !gpt && blkid.blkid_partition_is_extended(part);
        entry.primary = gpt || blkid.blkid_partition_is_primary(part) || entry.extended;
        const unsigned long long flags = blkid.blkid_partition_get_flags(part);
        entry.active = gpt ? (flags & (1ull << 2)) != 0 : flags == 0x80;
        if (gpt) {
            if (const char* guid = blkid.blkid_partition_get_type_string(part)) entry.type = Lower(guid);
        } else {
            char text[8];
            std::snprintf(text, sizeof text, "0x%02x", blkid.blkid_partition_get_type(part) & 0xFF);
            entry.type = text;
        }
        entries.push_back(std::move(entry));
    }
    table.partitions = Plausible(entries, table.deviceSectors);
    return table;
}

std::optional<uint32_t> MbrSignature(const PartitionTable& table) {
    if (table.type != "dos" || !table.id) return std::nullopt;
    std::string_view digits = *table.id;
    if (digits.substr(0, 2) == "0x") digits.remove_prefix(2);
    if (digits.size() != 8) return std::nullopt;
    return ParseHex(digits, 8);
}

std::optional<std::string> TypeName(const PartitionTable& table, const PartitionEntry& entry) {
    struct Name {
        const char* type;
        const char* name;
    };
    // fdisk's names of the common types.
    static constexpr Name kMbr[] = {
        {"0x01", "FAT12"},
        {"0x05", "Extended"},
        {"0x06", "FAT16"},
        {"0x07", "HPFS/NTFS/exFAT"},
        {"0x0b", "W95 FAT32"},
        {"0x0c", "W95 FAT32 (LBA)"},
        {"0x0e", "W95 FAT16 (LBA)"},
        {"0x0f", "W95 Ext'd (LBA)"},
        {"0x27", "Hidden NTFS WinRE"},
        {"0x82", "Linux swap / Solaris"},
        {"0x83", "Linux"},
        {"0x85", "Linux extended"},
        {"0x8e", "Linux LVM"},
        {"0xa5", "FreeBSD"},
        {"0xee", "GPT"},
        {"0xef", "EFI (FAT-12/16/32)"},
        {"0xfd", "Linux raid autodetect"},
    };
    static constexpr Name kGpt[] = {
        {"c12a7328-f81f-11d2-ba4b-00a0c93ec93b", "EFI System"},
        {"21686148-6449-6e6f-744e-656564454649", "BIOS boot"},
        {"e3c9e316-0b5c-4db8-817d-f92df00215ae", "Microsoft reserved"},
        {"ebd0a0a2-b9e5-4433-87c0-68b6b72699c7", "Microsoft basic data"},
        {"de94bba4-06d1-4d40-a16a-bfd50179d6ac", "Windows recovery environment"},
        {"0fc63daf-8483-4772-8e79-3d69d8477de4", "Linux filesystem"},
        {"0657fd6d-a4ab-43c4-84e5-0933c84b4f4f", "Linux swap"},
        {"e6d6d379-f507-44c2-a23c-238f2a3df928", "Linux LVM"},
        {"a19d880f-05fc-4d3b-a006-743f0f84911e", "Linux RAID"},
        {"4f68bce3-e8cd-4db1-96e7-fbcaf984b709", "Linux root (x86-64)"},
        {"933ac7e1-2eb4-4f13-b844-0e14e2aef915", "Linux home"},
        {"bc13c2ff-59e6-4262-a352-b275fd6f7172", "Linux extended boot"},
    };
    auto find = [&](const auto& names) -> std::optional<std::string> {
        for (const Name& n : names)
            if (entry.type == n.type) return std::string(n.name);
        return std::nullopt;
    };
    return table.type == "gpt" ? find(kGpt) : find(kMbr);
}

}  // namespace cimv2::parts
