// libFuzzer target for the partition table reader (libblkid over a disk
// image), the kernel's CD-ROM table and SCSI VPD serial pages.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cimv2/sources/BlockDevices.h"
#include "cimv2/sources/PartitionTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = memfd_create("fuzz-disk", MFD_CLOEXEC);
    if (fd < 0) return 0;
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
        if (auto table = cimv2::parts::ReadPartitionTable(fd)) {
            // Every entry kept lies inside the image, none empty, none numbered
            // past the kernel's last partition.
            const auto& kept = table->partitions;
            if (kept.size() > static_cast<size_t>(cimv2::parts::kMaxPartitionNumber)) std::abort();
            for (const auto& p : kept)
                if (p.sizeSectors == 0 || p.startSector + p.sizeSectors > table->deviceSectors ||
                    table->deviceSectors > size / 512 || p.number == 0 ||
                    p.number > static_cast<uint32_t>(cimv2::parts::kMaxPartitionNumber))
                    std::abort();
            // No two meet, but a logical partition inside its extended one.
            for (size_t a = 0; a < kept.size(); ++a)
                for (size_t b = a + 1; b < kept.size(); ++b) {
                    const auto& x = kept[a];
                    const auto& y = kept[b];
                    const bool meet =
                        x.startSector < y.startSector + y.sizeSectors && y.startSector < x.startSector + x.sizeSectors;
                    if (meet && !(x.extended && !y.primary) && !(y.extended && !x.primary)) std::abort();
                }
        }
    }
    close(fd);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& [drive, rows] : cimv2::block::ParseCdromInfo(text)) {
        if (drive.empty() || drive.size() > size) std::abort();
        for (const auto& [label, value] : rows)
            if (label.empty() || value.empty() || value.size() > size) std::abort();
    }
    if (auto serial = cimv2::block::ParseVpdSerial(text); serial && (serial->empty() || serial->size() > size))
        std::abort();
    return 0;
}
