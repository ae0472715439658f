#include "cimv2/sources/LiveSources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "cimv2/sources/BlkidLibrary.h"

namespace cimv2 {

namespace {

class RunningMachine : public LiveSources {
public:
    std::optional<FileSystemUsage> Usage(const std::string& mountPoint, SourceNotes*) const override {
        struct statvfs fs {};
        if (statvfs(mountPoint.c_str(), &fs) != 0) return std::nullopt;
        FileSystemUsage usage;
        usage.blockSize = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
        usage.blocks = fs.f_blocks;
        usage.freeBlocks = fs.f_bavail;
        usage.nameMax = fs.f_namemax;
        return usage;
    }
    VolumeTags Tags(const std::string& device) const override {
        // Probes the device itself (no cache file): readable devices only,
        // so an unprivileged user gets nothing rather than stale tags.
        VolumeTags tags;
        const BlkidApi* api = Blkid();
        if (!api) return tags;
        const BlkidApi& blkid = *api;
        blkid_probe probe = blkid.blkid_new_probe_from_filename(device.c_str());
        if (!probe) return tags;
        blkid.blkid_probe_enable_superblocks(probe, 1);
        blkid.blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID);
        if (blkid.blkid_do_safeprobe(probe) == 0) {
            const char* value = nullptr;
            size_t length = 0;
            if (blkid.blkid_probe_lookup_value(probe, "LABEL", &value, &length) == 0 && value && *value)
                tags.label = std::string(value);
            if (blkid.blkid_probe_lookup_value(probe, "UUID", &value, &length) == 0 && value && *value)
                tags.uuid = std::string(value);
        }
        blkid.blkid_free_probe(probe);
        return tags;
    }
    std::optional<std::vector<net::Ip4Route>> MainRoutes() const override { return net::ReadLiveMainTable(); }
    std::optional<parts::PartitionTable> PartitionTableOf(const std::string& device) const override {
        // Only a block device is opened (opening some character devices has
        // effects), read-only and non-blocking: a drive without a medium
        // answers at once.
        struct stat node {};
        if (lstat(device.c_str(), &node) != 0 || !S_ISBLK(node.st_mode)) return std::nullopt;
        const int fd = open(device.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
        if (fd < 0) return std::nullopt;
        struct stat opened {};
        std::optional<parts::PartitionTable> table;
        if (fstat(fd, &opened) == 0 && S_ISBLK(opened.st_mode) && opened.st_rdev == node.st_rdev)
            table = parts::ReadPartitionTable(fd);
        close(fd);
        return table;
    }
};

class NoSources : public LiveSources {
public:
    std::optional<FileSystemUsage> Usage(const std::string&, SourceNotes*) const override { return std::nullopt; }
    VolumeTags Tags(const std::string&) const override { return {}; }
    std::optional<std::vector<net::Ip4Route>> MainRoutes() const override { return std::nullopt; }
    std::optional<parts::PartitionTable> PartitionTableOf(const std::string&) const override { return std::nullopt; }
};

// One call on its worker: the worker fills it in, whoever waits reads it.
struct Call {
    std::optional<FileSystemUsage> usage;
    bool done = false;
};

}  // namespace

struct BoundedUsage::Shared {
    std::mutex lock;
    std::condition_variable changed;
    std::set<std::string> blocked;  // mount points whose call has not returned
    size_t running = 0;
};

BoundedUsage::BoundedUsage(const LiveSources& inner, std::chrono::milliseconds deadline)
    : FInner(inner), FDeadline(deadline), FShared(std::make_shared<Shared>()) {}

// The workers keep what they share; an abandoned one may outlive this.
BoundedUsage::~BoundedUsage() = default;

std::optional<FileSystemUsage> BoundedUsage::Usage(const std::string& mountPoint, SourceNotes* notes) const {
    auto call = std::make_shared<Call>();
    std::unique_lock<std::mutex> guard(FShared->lock);
    if (!FShared->blocked.insert(mountPoint).second) {
        if (notes) notes->Add(NoteCause::NotAnswering, mountPoint);
        return std::nullopt;
    }
    ++FShared->running;
    std::thread([shared = FShared, call, &inner = FInner, mountPoint] {
        auto usage = inner.Usage(mountPoint, nullptr);
        std::lock_guard<std::mutex> done(shared->lock);
        call->usage = std::move(usage);
        call->done = true;
        shared->blocked.erase(mountPoint);
        --shared->running;
        shared->changed.notify_all();
    }).detach();
    if (!FShared->changed.wait_for(guard, FDeadline, [&] { return call->done; })) {
        if (notes) notes->Add(NoteCause::NotAnswering, mountPoint);
        return std::nullopt;
    }
    return call->usage;
}

size_t BoundedUsage::Blocked() const {
    std::lock_guard<std::mutex> guard(FShared->lock);
    return FShared->running;
}

void BoundedUsage::WaitUntilNoneBlocked() const {
    std::unique_lock<std::mutex> guard(FShared->lock);
    FShared->changed.wait(guard, [&] { return FShared->running == 0; });
}

const LiveSources& LiveSourcesFor(const SystemRoot& root) {
    // Never destroyed: a worker stuck on a hung mount may still use them at exit.
    static const auto* running = new RunningMachine();
    static const auto* bounded = new BoundedUsage(*running, kUsageDeadline);
    static const NoSources none;
    return root.IsThisComputer() ? static_cast<const LiveSources&>(*bounded) : none;
}

}  // namespace cimv2
