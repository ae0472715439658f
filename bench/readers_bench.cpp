// The share-file and partition-table readers at the sizes a hostile file or
// disk can reach: smb.conf with many distinct sections (the 4 MiB cap
// allows some 470,000), and a GPT whose header declares 200,000 entries, all
// in use and none overlapping (the disk image is a sparse memory file).
// Both readers should grow with the input, not with its square.
#include <benchmark/benchmark.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "cimv2/sources/PartitionTable.h"
#include "cimv2/sources/ShareFiles.h"

namespace {

void SmbConfSections(benchmark::State& state) {
    std::string text;
    for (int64_t n = 0; n < state.range(0); ++n) text += "[s" + std::to_string(n) + "]\npath=/x\n";
    size_t shares = 0;
    for (auto _ : state) {
        shares = cimv2::ParseSmbConf(text).size();
        benchmark::DoNotOptimize(shares);
    }
    state.counters["shares"] = static_cast<double>(shares);
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(SmbConfSections)->Arg(20'000)->Arg(80'000)->Arg(470'000)->Unit(benchmark::kMillisecond)->Iterations(1);

uint32_t Crc32(const uint8_t* data, size_t size) {
    static const std::vector<uint32_t> table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t n = 0; n < size; ++n) crc = table[(crc ^ data[n]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
void Put64(std::vector<uint8_t>& b, size_t at, uint64_t v) { std::memcpy(b.data() + at, &v, 8); }

// A disk of one-sector partitions, one per declared entry, in a memory file.
int GptWithEntries(uint32_t count) {
    constexpr size_t kSector = 512;
    const uint64_t entrySectors = (uint64_t{count} * 128 + kSector - 1) / kSector;
    const uint64_t firstUsable = 2 + entrySectors;
    const uint64_t sectors = firstUsable + count + entrySectors + 2;
    const uint64_t last = sectors - 1;
    std::vector<uint8_t> entries(entrySectors * kSector, 0);
    static const uint8_t kLinuxData[16] = {0xaf, 0x3d, 0xc6, 0x0f, 0x83, 0x84, 0x72, 0x47,
                                           0x8e, 0x79, 0x3d, 0x69, 0xd8, 0x47, 0x7d, 0xe4};
    for (uint32_t n = 0; n < count; ++n) {
        const size_t at = size_t{n} * 128;
        std::memcpy(entries.data() + at, kLinuxData, 16);
        Put64(entries, at + 16, n + 1);
        Put64(entries, at + 32, firstUsable + n);
        Put64(entries, at + 40, firstUsable + n);
    }
    const uint32_t entriesCrc = Crc32(entries.data(), size_t{count} * 128);
    const int fd = memfd_create("gpt-bench", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(sectors * kSector)) != 0) return -1;
    std::vector<uint8_t> mbr(kSector, 0);
    mbr[446 + 4] = 0xEE;
    Put32(mbr, 446 + 8, 1);
    Put32(mbr, 446 + 12, last > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(last));
    mbr[510] = 0x55;
    mbr[511] = 0xAA;
    bool ok = pwrite(fd, mbr.data(), kSector, 0) == static_cast<ssize_t>(kSector);
    auto header = [&](uint64_t self, uint64_t other, uint64_t entriesAt) {
        std::vector<uint8_t> h(kSector, 0);
        std::memcpy(h.data(), "EFI PART", 8);
        Put32(h, 8, 0x00010000);
        Put32(h, 12, 92);
        Put64(h, 24, self);
        Put64(h, 32, other);
        Put64(h, 40, firstUsable);
        Put64(h, 48, last - entrySectors - 1);
        h[56] = 0x42;
        Put64(h, 72, entriesAt);
        Put32(h, 80, count);
        Put32(h, 84, 128);
        Put32(h, 88, entriesCrc);
        Put32(h, 16, Crc32(h.data(), 92));
        ok = ok && pwrite(fd, h.data(), kSector, static_cast<off_t>(self * kSector)) == static_cast<ssize_t>(kSector);
        ok = ok && pwrite(fd, entries.data(), entries.size(), static_cast<off_t>(entriesAt * kSector)) ==
                       static_cast<ssize_t>(entries.size());
    };
    header(1, last, 2);
    header(last, 1, last - entrySectors);
    if (!ok) {
        close(fd);
        return -1;
    }
    return fd;
}

void GptEntries(benchmark::State& state) {
    const int fd = GptWithEntries(static_cast<uint32_t>(state.range(0)));
    if (fd < 0) {
        state.SkipWithError("no memory file for the disk image");
        return;
    }
    size_t kept = 0;
    for (auto _ : state) {
        auto table = cimv2::parts::ReadPartitionTable(fd);
        kept = table ? table->partitions.size() : 0;
        benchmark::DoNotOptimize(kept);
    }
    state.counters["kept"] = static_cast<double>(kept);
    close(fd);
}
BENCHMARK(GptEntries)->Arg(128)->Arg(20'000)->Arg(200'000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
