// Disks, partitions, optical drives and memory modules: the partition table
// reader over disk images built here, the sysfs block readers, the four
// classes over the storage fixtures, their components' decoders and pages.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <clocale>
#include <cstring>
#include <filesystem>

#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Provider.h"
#include "cimv2/sources/BlockDevices.h"
#include "cimv2/sources/LiveSources.h"
#include "cimv2/sources/PartitionTable.h"
#include "components/Components.h"
#include "tests/support/ComponentFakes.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LocalComputer.h"
#include "tests/unit/TempTree.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/PageCatalogue.h"

using namespace cimv2;
using namespace components;
using namespace compfake;

namespace {

// ---- disk images

constexpr size_t kSector = 512;

class Image {
public:
    explicit Image(size_t sectors) : FBytes(sectors * kSector, 0) {}
    uint8_t* At(size_t offset) { return FBytes.data() + offset; }
    void Put32(size_t offset, uint32_t v) { std::memcpy(At(offset), &v, 4); }
    void Put64(size_t offset, uint64_t v) { std::memcpy(At(offset), &v, 8); }
    size_t Sectors() const { return FBytes.size() / kSector; }
    void Truncate(size_t bytes) { FBytes.resize(bytes); }
    // The image as libblkid sees a device: an anonymous memory file.
    std::optional<parts::PartitionTable> Read() const {
        const int fd = memfd_create("disk-image", MFD_CLOEXEC);
        if (fd < 0 || write(fd, FBytes.data(), FBytes.size()) != static_cast<ssize_t>(FBytes.size())) {
            ADD_FAILURE() << "memfd";
            return std::nullopt;
        }
        auto table = parts::ReadPartitionTable(fd);
        close(fd);
        return table;
    }

private:
    std::vector<uint8_t> FBytes;
};

// One MBR slot (0 to 3): boot flag, type, first sector, sectors.
void MbrEntry(Image& image, size_t sector, int slot, uint8_t boot, uint8_t type, uint32_t start, uint32_t count) {
    const size_t at = sector * kSector + 446 + static_cast<size_t>(slot) * 16;
    *image.At(at) = boot;
    *image.At(at + 4) = type;
    image.Put32(at + 8, start);
    image.Put32(at + 12, count);
    *image.At(sector * kSector + 510) = 0x55;
    *image.At(sector * kSector + 511) = 0xAA;
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t n = 0; n < size; ++n) {
        crc ^= data[n];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

struct GptPart {
    std::array<uint8_t, 16> type;
    uint64_t first, last;
    uint64_t attributes;
};

// GUIDs as GPT stores them (the first three fields little-endian).
constexpr std::array<uint8_t, 16> kEfiSystem = {0x28, 0x73, 0x2a, 0xc1, 0x1f, 0xf8, 0xd2, 0x11,
                                                0xba, 0x4b, 0x00, 0xa0, 0xc9, 0x3e, 0xc9, 0x3b};
constexpr std::array<uint8_t, 16> kLinuxData = {0xaf, 0x3d, 0xc6, 0x0f, 0x83, 0x84, 0x72, 0x47,
                                                0x8e, 0x79, 0x3d, 0x69, 0xd8, 0x47, 0x7d, 0xe4};

// A GPT disk: protective MBR, primary header and entries, backup entries and
// header; the header declares entryCount entries (128, as the usual tools make).
Image GptDisk(size_t sectors, const std::vector<GptPart>& partitions, uint32_t entryCount = 128) {
    Image image(sectors);
    const uint64_t last = sectors - 1;
    MbrEntry(image, 0, 0, 0, 0xEE, 1, static_cast<uint32_t>(last));
    std::vector<uint8_t> entries((entryCount * 128 + kSector - 1) / kSector * kSector, 0);
    const uint64_t entrySectors = entries.size() / kSector;
    for (size_t n = 0; n < partitions.size(); ++n) {
        uint8_t* e = entries.data() + n * 128;
        std::memcpy(e, partitions[n].type.data(), 16);
        const uint64_t unique = n + 1;  // a unique partition GUID
        std::memcpy(e + 16, &unique, sizeof unique);
        std::memcpy(e + 32, &partitions[n].first, 8);
        std::memcpy(e + 40, &partitions[n].last, 8);
        std::memcpy(e + 48, &partitions[n].attributes, 8);
    }
    const uint32_t entriesCrc = Crc32(entries.data(), entryCount * 128);
    auto header = [&](uint64_t self, uint64_t other, uint64_t entriesAt) {
        const size_t at = self * kSector;
        std::memcpy(image.At(at), "EFI PART", 8);
        image.Put32(at + 8, 0x00010000);
        image.Put32(at + 12, 92);
        image.Put64(at + 24, self);
        image.Put64(at + 32, other);
        image.Put64(at + 40, 2 + entrySectors);
        image.Put64(at + 48, last - entrySectors - 1);
        *image.At(at + 56) = 0x42;  // disk GUID
        image.Put64(at + 72, entriesAt);
        image.Put32(at + 80, entryCount);
        image.Put32(at + 84, 128);
        image.Put32(at + 88, entriesCrc);
        image.Put32(at + 16, Crc32(image.At(at), 92));
        std::memcpy(image.At(entriesAt * kSector), entries.data(), entries.size());
    };
    header(1, last, 2);
    header(last, 1, last - entrySectors);
    return image;
}

TEST(PartitionTable, ReadsMbrPrimaryExtendedAndLogicalPartitions) {
    Image image(4096);
    image.Put32(440, 0x1a2b3c4d);  // disk signature
    MbrEntry(image, 0, 0, 0x80, 0x83, 2048, 1024);
    MbrEntry(image, 0, 1, 0, 0x05, 3072, 1024);
    MbrEntry(image, 3072, 0, 0, 0x82, 1, 512);  // the logical partition, relative to its EBR
    const auto table = image.Read();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->type, "dos");
    EXPECT_EQ(parts::MbrSignature(*table), 0x1a2b3c4du);
    ASSERT_EQ(table->partitions.size(), 3u);
    const auto& boot = table->partitions[0];
    EXPECT_EQ(boot.number, 1u);
    EXPECT_EQ(boot.startSector, 2048u);
    EXPECT_EQ(boot.sizeSectors, 1024u);
    EXPECT_TRUE(boot.active);
    EXPECT_TRUE(boot.primary);
    EXPECT_EQ(parts::TypeName(*table, boot), "Linux");
    EXPECT_TRUE(table->partitions[1].extended);
    const auto& logical = table->partitions[2];
    EXPECT_EQ(logical.number, 5u);
    EXPECT_EQ(logical.startSector, 3073u);
    EXPECT_FALSE(logical.primary);
    EXPECT_FALSE(logical.active);
    EXPECT_EQ(logical.type, "0x82");
}

TEST(PartitionTable, LeavesOutEntriesOutsideTheDiskOrOverlappingAnEarlierOne) {
    Image image(4096);
    MbrEntry(image, 0, 0, 0, 0x83, 2048, 1024);
    MbrEntry(image, 0, 1, 0, 0x83, 2560, 1024);  // overlaps the first
    MbrEntry(image, 0, 2, 0, 0x83, 3584, 4096);  // runs past the end
    MbrEntry(image, 0, 3, 0, 0x07, 100, 100);
    const auto table = image.Read();
    ASSERT_TRUE(table);
    std::vector<uint32_t> numbers;
    for (const auto& p : table->partitions) numbers.push_back(p.number);
    EXPECT_EQ(numbers, (std::vector<uint32_t>{1, 4}));
    EXPECT_EQ(parts::TypeName(*table, table->partitions[1]), "HPFS/NTFS/exFAT");
}

// Entries in any order: each is checked against those kept before it, in
// table order, whatever their places on the disk.
TEST(PartitionTable, GptEntriesOverlappingEarlierOnesAnywhereAreLeftOut) {
    const std::vector<GptPart> layout = {
        {kLinuxData, 1000, 1999, 0},  // 1
        {kLinuxData, 100, 199, 0},    // 2
        {kLinuxData, 150, 1050, 0},   // 3: meets both
        {kLinuxData, 2000, 2099, 0},  // 4
        {kLinuxData, 1999, 1999, 0},  // 5: the last sector of 1
        {kLinuxData, 200, 999, 0},    // 6: the gap between 2 and 1, exactly
        {kLinuxData, 50, 100, 0},     // 7: the first sector of 2
        {kLinuxData, 40, 49, 0},      // 8
    };
    const auto table = GptDisk(4096, layout).Read();
    ASSERT_TRUE(table);
    std::vector<uint32_t> numbers;
    for (const auto& p : table->partitions) numbers.push_back(p.number);
    EXPECT_EQ(numbers, (std::vector<uint32_t>{1, 2, 4, 6, 8}));
}

// A header may declare far more entries than any machine uses; the kernel
// makes partitions of the first 255 only, and so does the reader.
TEST(PartitionTable, GptEntriesPastTheKernelsLastPartitionNumberAreLeftOut) {
    std::vector<GptPart> layout;
    for (uint64_t n = 0; n < 300; ++n) layout.push_back({kLinuxData, 400 + 2 * n, 400 + 2 * n, 0});
    const auto table = GptDisk(2048, layout, 300).Read();
    ASSERT_TRUE(table);
    ASSERT_EQ(table->partitions.size(), 255u);
    EXPECT_EQ(table->partitions.front().number, 1u);
    EXPECT_EQ(table->partitions.back().number, 255u);
    EXPECT_EQ(table->partitions.back().startSector, 400u + 2 * 254);
}

TEST(PartitionTable, ReadsGptAndFallsBackToTheBackupHeaderWhenThePrimaryCrcIsWrong) {
    const std::vector<GptPart> layout = {{kEfiSystem, 34, 1057, 0}, {kLinuxData, 1058, 2047, 1ull << 2}};
    Image good = GptDisk(4096, layout);
    auto table = good.Read();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->type, "gpt");
    ASSERT_EQ(table->partitions.size(), 2u);
    EXPECT_EQ(table->partitions[0].type, "c12a7328-f81f-11d2-ba4b-00a0c93ec93b");
    EXPECT_EQ(parts::TypeName(*table, table->partitions[0]), "EFI System");
    EXPECT_EQ(table->partitions[1].startSector, 1058u);
    EXPECT_EQ(table->partitions[1].sizeSectors, 990u);
    EXPECT_TRUE(table->partitions[1].active) << "legacy BIOS bootable attribute";
    EXPECT_FALSE(parts::MbrSignature(*table));

    Image damaged = GptDisk(4096, layout);
    *damaged.At(kSector + 48) ^= 0xFF;  // the last usable LBA, under the header's CRC
    table = damaged.Read();
    ASSERT_TRUE(table) << "the backup header holds the same table";
    EXPECT_EQ(table->partitions.size(), 2u);

    *damaged.At(4095 * kSector + 48) ^= 0xFF;  // and the backup's
    table = damaged.Read();
    EXPECT_TRUE(!table || table->partitions.empty());
}

TEST(PartitionTable, TruncatedOrEmptyImagesGiveNothingOrWhatFits) {
    Image truncated = GptDisk(4096, {{kLinuxData, 34, 4000, 0}});
    truncated.Truncate(2048);  // the protective MBR and part of the header only
    auto table = truncated.Read();
    EXPECT_TRUE(!table || table->partitions.empty());
    EXPECT_FALSE(Image(8).Read()) << "zeros hold no table";
    Image tiny(1);
    MbrEntry(tiny, 0, 0, 0, 0x83, 2048, 1024);  // a table larger than its disk
    table = tiny.Read();
    EXPECT_TRUE(!table || table->partitions.empty());
}

// ---- sysfs block readers

TEST(BlockDevices, ScsiAddressesVpdSerialsAndTheCdromTable) {
    auto address = block::ParseScsiAddress("2:0:15:3");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->host, 2u);
    EXPECT_EQ(address->target, 15u);
    EXPECT_EQ(address->lun, 3u);
    for (const char* bad : {"2:0:15", "2:0:15:3:1", "a:0:0:0", "", "0:0::0"})
        EXPECT_FALSE(block::ParseScsiAddress(bad)) << bad;

    using namespace std::string_literals;
    EXPECT_EQ(block::ParseVpdSerial("\0\x80\0\x0a"
                                    "  WD-1234 \0"s),
              "WD-1234");
    EXPECT_FALSE(
        block::ParseVpdSerial("\0\x80\0\x20"
                              "short"s))
        << "length past the page";
    EXPECT_FALSE(
        block::ParseVpdSerial("\0\x83\0\x02"
                              "ab"s))
        << "another page";
    EXPECT_FALSE(block::ParseVpdSerial("\0\x80\0\x02\x01\x02"s)) << "control bytes";

    const auto info = block::ParseCdromInfo(
        "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\ndrive name:\t\tsr1\tsr0\ndrive speed:\t\t48\t24\n"
        "Can write CD-R:\t\t1\t0\nbroken line\n  :\t1\t1\nCan read DVD:\t\t1\n");
    ASSERT_EQ(info.size(), 2u);
    EXPECT_EQ(info.at("sr0").at("drive speed"), "24");
    EXPECT_EQ(info.at("sr1").at("Can write CD-R"), "1");
    EXPECT_EQ(info.at("sr0").count("Can read DVD"), 0u) << "a short row fills the first columns";
    EXPECT_EQ(info.at("sr0").count(""), 0u) << "a row without a label";
}

// ---- the classes

ProviderContext Machine(const char* name) {
    return testsupport::FixtureContext(std::filesystem::path(SYSQUILL_FIXTURES) / name);
}

std::string Text(const Instance& inst, const char* name) { return inst.Get(name).ToText(); }

// The partition tables a live machine would read, by device.
class TableSource : public LiveSources {
public:
    std::optional<FileSystemUsage> Usage(const std::string&, SourceNotes*) const override { return std::nullopt; }
    VolumeTags Tags(const std::string&) const override { return {}; }
    std::optional<std::vector<net::Ip4Route>> MainRoutes() const override { return std::nullopt; }
    std::optional<parts::PartitionTable> PartitionTableOf(const std::string& device) const override {
        auto it = tables.find(device);
        if (it == tables.end()) return std::nullopt;
        return it->second;
    }
    std::map<std::string, parts::PartitionTable> tables;
};

TEST(DiskClasses, DisksOfTheStorageServerAndWhatIsLeftOut) {
    const auto disks = EnumerateWin32_DiskDrive(Machine("server-storage"));
    // nvme0n1, sda, sdb, sdc: no dm-0 (LVM), no sr0 (an optical drive).
    ASSERT_EQ(disks.size(), 4u);
    const Instance& sas = disks[1];
    EXPECT_EQ(Text(sas, "DeviceID"), "\\\\.\\PHYSICALDRIVE1");
    EXPECT_EQ(Text(sas, "Model"), "ST1200MM0009");
    EXPECT_EQ(Text(sas, "SerialNumber"), "WFK1A2B3") << "VPD page 0x80";
    EXPECT_EQ(Text(sas, "Size"), "1200243695616");
    EXPECT_EQ(Text(sas, "TotalSectors"), "2344225968");
    EXPECT_EQ(Text(sas, "TotalCylinders"), "145921") << "2344225968 / (255 * 63), whole";
    EXPECT_EQ(Text(sas, "Partitions"), "2");
    EXPECT_EQ(Text(sas, "InterfaceType"), "SCSI");
    EXPECT_EQ(Text(sas, "PNPDeviceID"), "SCSI\\Disk&Ven_SEAGATE&Prod_ST1200MM0009\\0:0:0:0");
    EXPECT_TRUE(sas.Get("Signature").IsNull()) << "no partition table in a tree";
    const Instance& sata = disks[2];
    EXPECT_EQ(Text(sata, "InterfaceType"), "IDE") << "Windows files SATA disks as IDE";
    EXPECT_EQ(Text(sata, "MediaType"), "Fixed hard disk media");
    const Instance& stick = disks[3];
    EXPECT_EQ(Text(stick, "InterfaceType"), "USB");
    EXPECT_EQ(Text(stick, "MediaType"), "Removable Media");
    EXPECT_EQ(Text(stick, "Capabilities"), "3, 4, 7");
    EXPECT_EQ(Text(stick, "SCSIPort"), "2");
    const Instance& nvme = disks[0];
    EXPECT_EQ(Text(nvme, "SerialNumber"), "PHLJ912345AB2P0BGN");
    EXPECT_EQ(Text(nvme, "FirmwareRevision"), "VDV10170");
    EXPECT_EQ(Text(nvme, "Manufacturer"), "Intel Corporation") << "the controller's PCI vendor";
    EXPECT_TRUE(nvme.Get("SCSIPort").IsNull());

    const auto vm = EnumerateWin32_DiskDrive(Machine("this-vm"));
    ASSERT_EQ(vm.size(), 1u) << "no unbound loop device, no zram";
    EXPECT_EQ(Text(vm[0], "SerialNumber"), "overlayblk");
    EXPECT_EQ(Text(vm[0], "InterfaceType"), "SCSI");
}

TEST(DiskClasses, PartitionsTakeTheTableOnlyWhereItAgreesWithTheKernel) {
    ProviderContext laptop = Machine("laptop-usb");
    auto plain = EnumerateWin32_DiskPartition(laptop);
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(Text(plain[1], "DeviceID"), "Disk #0, Partition #1");
    EXPECT_EQ(Text(plain[1], "StartingOffset"), "537919488");
    EXPECT_EQ(Text(plain[1], "Size"), "511571394560");
    EXPECT_EQ(Text(plain[2], "DiskIndex"), "1");
    for (const char* tableOnly : {"Type", "Bootable", "BootPartition", "PrimaryPartition", "HiddenSectors"})
        EXPECT_TRUE(plain[0].Get(tableOnly).IsNull()) << tableOnly;

    TableSource source;
    parts::PartitionTable gpt{"gpt", "guid", 1000215216, {}};
    gpt.partitions.push_back({1, 2048, 1048576, "c12a7328-f81f-11d2-ba4b-00a0c93ec93b", true, false, false});
    gpt.partitions.push_back({2, 1050625, 999162879, "0fc63daf-8483-4772-8e79-3d69d8477de4", true, false, false});
    source.tables["/dev/nvme0n1"] = gpt;
    parts::PartitionTable mbr{"dos", "0badcafe", 60437504, {}};
    mbr.partitions.push_back({1, 2048, 60435456, "0x0c", true, false, true});
    source.tables["/dev/sda"] = mbr;
    laptop.live = &source;
    const auto read = EnumerateWin32_DiskPartition(laptop);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(Text(read[0], "Type"), "GPT: EFI System");
    EXPECT_EQ(read[0].Get("Bootable").ToText(), "True");
    EXPECT_EQ(read[0].Get("BootPartition").ToText(), "False");
    EXPECT_TRUE(read[1].Get("Type").IsNull()) << "the table puts partition 2 elsewhere than the kernel";
    EXPECT_EQ(Text(read[1], "Size"), "511571394560") << "the kernel's figures stay";
    EXPECT_EQ(Text(read[2], "Type"), "W95 FAT32 (LBA)");
    EXPECT_EQ(Text(read[2], "HiddenSectors"), "2048");
    EXPECT_EQ(read[2].Get("BootPartition").ToText(), "True");
    const auto disks = EnumerateWin32_DiskDrive(laptop);
    EXPECT_EQ(Text(disks[1], "Signature"), std::to_string(0x0badcafe));
    EXPECT_TRUE(disks[0].Get("Signature").IsNull()) << "GPT disks have no MBR signature";
}

// Sizes at the limits of what sysfs can say: a byte count that does not fit,
// or a partition reaching past its disk, is null, never wrapped.
TEST(DiskClasses, SizesThatDoNotFitAreNull) {
    const std::string huge = std::to_string(uint64_t{1} << 55);
    const std::string max = std::to_string(UINT64_MAX);
    const struct {
        const char* what;
        std::string diskSectors, partStart, partSectors;
        Value diskSize, totalSectors, partSize, partOffset, blocks;
    } cases[] = {
        {"plain", "2097152", "2048", "1048576", Value::UInt(1073741824), Value::UInt(2097152), Value::UInt(536870912),
         Value::UInt(1048576), Value::UInt(1048576)},
        {"2^55 sectors", huge, "2048", std::to_string((uint64_t{1} << 55) - 1), Value::Null(), Value::Null(),
         Value::Null(), Value::UInt(1048576), Value::Null()},
        {"partition past the disk", "2097152", "2048", "2097152", Value::UInt(1073741824), Value::UInt(2097152),
         Value::Null(), Value::UInt(1048576), Value::Null()},
        {"start at the limit", max, max, "1", Value::Null(), Value::Null(), Value::Null(), Value::Null(),
         Value::Null()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempTree tree;
        const std::string dir = "/sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda";
        tree.File(dir + "/size", c.diskSectors + "\n")
            .File(dir + "/queue/logical_block_size", "512\n")
            .File(dir + "/sda1/partition", "1\n")
            .File(dir + "/sda1/start", c.partStart + "\n")
            .File(dir + "/sda1/size", c.partSectors + "\n")
            .Link("/sys/block/sda", "../devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda");
        const ProviderContext context{SystemRoot(tree.Dir())};
        const auto disks = EnumerateWin32_DiskDrive(context);
        ASSERT_EQ(disks.size(), 1u);
        EXPECT_EQ(disks[0].Get("Size"), c.diskSize);
        EXPECT_EQ(disks[0].Get("TotalSectors"), c.totalSectors);
        EXPECT_EQ(disks[0].Get("MediaLoaded"), Value::Bool(true));
        const auto partitions = EnumerateWin32_DiskPartition(context);
        ASSERT_EQ(partitions.size(), 1u);
        EXPECT_EQ(partitions[0].Get("Size"), c.partSize);
        EXPECT_EQ(partitions[0].Get("StartingOffset"), c.partOffset);
        EXPECT_EQ(partitions[0].Get("NumberOfBlocks"), c.blocks);
    }
}

TEST(DiskClasses, TheBmcDvdWithItsMountedDisc) {
    const auto drives = EnumerateWin32_CDROMDrive(Machine("server-storage"));
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(Text(drives[0], "Drive"), "/mnt/cdrom");
    EXPECT_EQ(Text(drives[0], "MediaType"), "DVD-ROM");
    EXPECT_EQ(Text(drives[0], "Capabilities"), "3, 7") << "it writes nothing";
    EXPECT_EQ(Text(drives[0], "TransferRate"), "1200") << "8 times 150 KiB/s";
    EXPECT_EQ(Text(drives[0], "Size"), "670302208");
    EXPECT_TRUE(EnumerateWin32_CDROMDrive(Machine("laptop-usb")).empty());

    const auto writer = EnumerateWin32_CDROMDrive(Machine("physical-desktop"));
    ASSERT_EQ(writer.size(), 1u);
    EXPECT_EQ(Text(writer[0], "MediaType"), "DVD Writer");
    EXPECT_EQ(Text(writer[0], "Capabilities"), "3, 4, 7");
    EXPECT_EQ(Text(writer[0], "Caption"), "HL-DT-ST DVDRAM GH24NSD5");
    EXPECT_EQ(writer[0].Get("MediaLoaded").ToText(), "False");
    for (const char* discOnly : {"Size", "Drive", "Id", "VolumeName"})
        EXPECT_TRUE(writer[0].Get(discOnly).IsNull()) << discOnly << " without a disc";
}

TEST(MemoryClass, PopulatedSlotsOnlyAndNothingWithoutTables) {
    const auto modules = EnumerateWin32_PhysicalMemory(Machine("physical-desktop"));
    ASSERT_EQ(modules.size(), 2u) << "DIMM_A1 and DIMM_B1 are empty";
    EXPECT_EQ(Text(modules[1], "DeviceLocator"), "DIMM_B2");
    EXPECT_EQ(Text(modules[1], "BankLabel"), "P0 CHANNEL B");
    EXPECT_EQ(Text(modules[1], "Tag"), "Physical Memory 1");
    EXPECT_EQ(Text(modules[0], "Capacity"), "17179869184");
    EXPECT_EQ(Text(modules[0], "SMBIOSMemoryType"), "26");
    EXPECT_EQ(Text(modules[0], "MemoryType"), "0") << "DDR4 is past the class's codes";
    EXPECT_EQ(Text(modules[0], "FormFactor"), "8");
    EXPECT_EQ(Text(modules[0], "ConfiguredVoltage"), "1200");
    EXPECT_EQ(Text(modules[0], "Attributes"), "2");
    EXPECT_TRUE(EnumerateWin32_PhysicalMemory(Machine("this-vm")).empty());

    // DDR5 RDIMMs: sizes past 32 GB in the extended field, four of eight slots populated.
    const auto server = EnumerateWin32_PhysicalMemory(Machine("memory-server"));
    ASSERT_EQ(server.size(), 4u);
    EXPECT_EQ(Text(server[0], "Capacity"), "68719476736");
    EXPECT_EQ(Text(server[2], "Capacity"), "34359738368") << "32768 MB needs the extended field";
    EXPECT_EQ(Text(server[3], "Capacity"), "17179869184");
    EXPECT_EQ(Text(server[3], "Manufacturer"), "SK Hynix");
    EXPECT_EQ(Text(server[0], "SMBIOSMemoryType"), "34");
    EXPECT_EQ(Text(server[0], "TypeDetail"), "8320") << "synchronous and registered";
    EXPECT_EQ(Text(server[0], "TotalWidth"), "80");
    EXPECT_EQ(Text(server[0], "ConfiguredClockSpeed"), "4400");
}

// ---- the components

struct DecodeCase {
    int32_t code;
    const char* text;
};

template <typename Record, typename Set, typename Get>
void ExpectDecodes(Set set, Get get, std::initializer_list<DecodeCase> cases) {
    Record record;
    for (const DecodeCase& c : cases) {
        (record.*set)(c.code);
        EXPECT_EQ((record.*get)(), c.text) << c.code;
    }
}

TEST(StorageDecoders, ExactCodesOnly) {
    ExpectDecodes<TDiskDriveProperties>(&TDiskDriveProperties::SetAvailability,
                                        &TDiskDriveProperties::AvailabilityAsString,
                                        {{3, "Running or Full Power"}, {0, ""}, {8, "Off Line"}});
    using P = TDiskPartitionProperties;
    ExpectDecodes<P>(&P::SetAccess, &P::AccessAsString, {{3, "Read/write Supported"}, {5, ""}});
    ExpectDecodes<P>(&P::SetAvailability, &P::AvailabilityAsString, {{8, "Offline"}});
    using M = TPhysicalMemoryProperties;
    ExpectDecodes<M>(&M::SetTypeDetail, &M::TypeDetailAsString,
                     {{128, "Synchronous"}, {132, ""}, {4096, "Nonvolatile"}});
    ExpectDecodes<M>(&M::SetMemoryType, &M::MemoryTypeAsString, {{21, "DDR-2"}, {24, ""}, {0, "Unknown"}});
    ExpectDecodes<M>(&M::SetFormFactor, &M::FormFactorAsString, {{8, "DIMM"}, {12, "SODIMM"}, {24, ""}});
    ExpectDecodes<M>(&M::SetInterleavePosition, &M::InterleavePositionAsString, {{2, "Second position"}, {3, ""}});
    using C = TCDRomDriveProperties;
    ExpectDecodes<C>(&C::SetFileSystemFlagsEx, &C::FileSystemFlagsExAsString,
                     {{524288,
                       "The specified volume is read-only.. Windows 2000, Windows NT 4.0, and Windows Me/98/95:  "
                       "This value is not supported."},
                      {512, ""},
                      {1024, ""},
                      {8192, ""},
                      {64, "The file system supports spare files."}});
}

TEST(StorageComponents, RecordsHoldTheirFieldsInReadingOrder) {
    EXPECT_EQ(TDiskDriveProperties::Fields().size(), 51u);
    EXPECT_EQ(TDiskPartitionProperties::Fields().size(), 34u);
    EXPECT_EQ(TCDRomDriveProperties::Fields().size(), 49u);
    EXPECT_EQ(TPhysicalMemoryProperties::Fields().size(), 30u);
    auto alphabetical = [](auto fields) {
        for (size_t n = 1; n < fields.size(); ++n)
            if (Lower(fields[n - 1].name) >= Lower(fields[n].name)) return std::string(fields[n].name);
        return std::string();
    };
    EXPECT_EQ(alphabetical(TDiskDriveProperties::Fields()), "");
    EXPECT_EQ(alphabetical(TDiskPartitionProperties::Fields()), "");
    EXPECT_EQ(alphabetical(TCDRomDriveProperties::Fields()), "");
    EXPECT_EQ(alphabetical(TPhysicalMemoryProperties::Fields()), "");
    EXPECT_EQ(TDiskPartitionInfo().WMIClass(), "Win32_DiskPartition");
    EXPECT_EQ(TCDRomDriveInfo().WMIClass(), "Win32_CDRomDrive");
}

TEST(StorageComponents, SerialTextsTypeAndSizesReachTheRecords) {
    FakeHost host(std::make_shared<FakeBackend>(Win32_CDROMDriveSchema()));
    for (const char* serial : {"WX42", "1234"}) {
        Instance drive(Win32_CDROMDriveSchema());
        drive.SetText("SerialNumber", serial);
        drive.Set("TransferRate", Value::Real(2.5));
        host.Backend().instances.push_back(drive);
    }
    TCDRomDriveInfo cd;
    cd.SetHost(FakeHost::kName);
    cd.SetActive(true);
    EXPECT_EQ(cd.CDRomDriveProperties().SerialNumber(), 666) << "letters are no number";
    cd.SetObjectIndex(2);
    EXPECT_EQ(cd.CDRomDriveProperties().SerialNumber(), 1234);
    EXPECT_EQ(cd.CDRomDriveProperties().TransferRate(), 2.5);

    FakeHost partitionHost(std::make_shared<FakeBackend>(Win32_DiskPartitionSchema()));
    Instance partition(Win32_DiskPartitionSchema());
    partition.SetText("Type", "GPT: EFI System");
    partition.Set("Size", Value::UInt(5000000000));
    partitionHost.Backend().instances = {partition};
    TDiskPartitionInfo parts;
    parts.SetHost(FakeHost::kName);
    parts.SetActive(true);
    EXPECT_EQ(parts.DiskPartitionProperties().TypePartition(), "GPT: EFI System");
    EXPECT_EQ(parts.DiskPartitionProperties().PropertyValue("TypePartition").AsText(), "GPT: EFI System");
    EXPECT_EQ(parts.DiskPartitionProperties().Size(), 5000000000);
}

// ---- the pages

const ui::PageInfo& PageNamed(const std::string& caption) {
    for (const auto& page : ui::Pages())
        if (page.caption == caption) return page;
    throw std::logic_error("no page " + caption);
}

TEST(StoragePages, BlocksPerObjectWithTheirHeaderRows) {
    const std::string savedTime = std::setlocale(LC_TIME, nullptr);
    std::setlocale(LC_TIME, "C");
    testsupport::LocalComputer local(Machine("laptop-usb"));
    const struct {
        const char* page;
        size_t rows;
    } cases[] = {{"Disk Drive", 88}, {"Disk Partition", 3 * 28}, {"CD-ROM", 0}, {"Physical Memory", 0}};
    for (const auto& c : cases) {
        const ui::PageInfo& page = PageNamed(c.page);
        ui::PageList list(page.headerLabel);
        ui::FillPage(page, list, ".");
        ASSERT_EQ(list.Count(), c.rows) << c.page;
        if (c.rows == 0) continue;
        const size_t block = std::string(c.page) == "Disk Drive" ? 44 : 28;
        EXPECT_TRUE(list.IsHeaderRow(0)) << c.page;
        EXPECT_TRUE(list.IsHeaderRow(block)) << c.page;
        EXPECT_FALSE(list.IsHeaderRow(1)) << c.page;
    }
    local.Use(Machine("physical-desktop"));
    ui::PageList memory(PageNamed("Physical Memory").headerLabel);
    ui::FillPage(PageNamed("Physical Memory"), memory, ".");
    ASSERT_EQ(memory.Count(), 46u);
    EXPECT_EQ(memory.Row(2).property, "Memory Capacity");
    EXPECT_EQ(memory.Row(2).value, "17179869184") << "above 4294967295, in full";
    EXPECT_EQ(memory.Row(11).value, "Synchronous");
    local.Use(Machine("server-storage"));
    ui::PageList cd(PageNamed("CD-ROM").headerLabel);
    ui::FillPage(PageNamed("CD-ROM"), cd, ".");
    ASSERT_EQ(cd.Count(), 47u);
    EXPECT_EQ(cd.Row(12).property, "CD-ROM Transfer Rate");
    EXPECT_EQ(cd.Row(12).value, "1200") << "a whole rate without decimals";
    std::setlocale(LC_TIME, savedTime.c_str());
}

}  // namespace
