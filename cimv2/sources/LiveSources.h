#pragma once
// The sources that are not files: the size of a mounted file system
// (statvfs), the routing table (rtnetlink), a block device's label and
// UUID and a disk's partition table (libblkid, reading the device). The live machine has them; a captured tree has
// none, so what they give is null there. Tests hand theirs to the
// provider's context.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cimv2/core/SourceNotes.h"
#include "cimv2/sources/NetTables.h"
#include "cimv2/sources/PartitionTable.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

struct FileSystemUsage {
    uint64_t blockSize = 0;  // f_frsize
    uint64_t blocks = 0;
    uint64_t freeBlocks = 0;  // f_bavail: free to an ordinary user, as df shows it
    uint64_t nameMax = 0;     // f_namemax
};

struct VolumeTags {
    std::optional<std::string> label;
    std::optional<std::string> uuid;
};

class LiveSources {
public:
    virtual ~LiveSources() = default;
    // Nothing when the file system cannot say; when it did not answer in
    // time, notes say so.
    virtual std::optional<FileSystemUsage> Usage(const std::string& mountPoint, SourceNotes* notes) const = 0;
    // Tags of the block device at a path such as "/dev/sda1".
    virtual VolumeTags Tags(const std::string& device) const = 0;
    virtual std::optional<std::vector<net::Ip4Route>> MainRoutes() const = 0;
    // The partition table of a disk at a path such as "/dev/sda"; nothing
    // when the device cannot be opened (an unprivileged user) or holds none.
    virtual std::optional<parts::PartitionTable> PartitionTableOf(const std::string& device) const = 0;
};

// Another source's usage, waited for on a worker until the deadline: a
// network mount whose server is gone (an NFS hard mount) blocks statvfs
// for ever, as it blocks df. A mount point that did not answer gives
// nothing, is noted, and is not asked again while its call still blocks;
// the worker ends when the call does. The other sources pass through.
class BoundedUsage : public LiveSources {
public:
    BoundedUsage(const LiveSources& inner, std::chrono::milliseconds deadline);
    ~BoundedUsage() override;
    BoundedUsage(const BoundedUsage&) = delete;
    BoundedUsage& operator=(const BoundedUsage&) = delete;

    std::optional<FileSystemUsage> Usage(const std::string& mountPoint, SourceNotes* notes) const override;
    VolumeTags Tags(const std::string& device) const override { return FInner.Tags(device); }
    std::optional<std::vector<net::Ip4Route>> MainRoutes() const override { return FInner.MainRoutes(); }
    std::optional<parts::PartitionTable> PartitionTableOf(const std::string& device) const override {
        return FInner.PartitionTableOf(device);
    }
    // Calls that have not returned yet, abandoned or not.
    size_t Blocked() const;
    // Waits until every call has returned (for a test that released them).
    void WaitUntilNoneBlocked() const;

private:
    struct Shared;
    const LiveSources& FInner;
    std::chrono::milliseconds FDeadline;
    std::shared_ptr<Shared> FShared;
};

// How long the live machine's statvfs may take before a mount counts as hung.
inline constexpr std::chrono::milliseconds kUsageDeadline{2000};

// The running machine's sources for the root "/"; for a tree, sources that
// give nothing.
const LiveSources& LiveSourcesFor(const SystemRoot& root);

}  // namespace cimv2
