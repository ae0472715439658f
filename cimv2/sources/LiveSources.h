#pragma once
// The sources that are not files: the size of a mounted file system
// (statvfs), the routing table (rtnetlink), a block device's label and
// UUID and a disk's partition table (libblkid, reading the device). The live machine has them; a captured tree has
// none, so what they give is null there. Tests hand theirs to the
// provider's context.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
    virtual std::optional<FileSystemUsage> Usage(const std::string& mountPoint) const = 0;
    // Tags of the block device at a path such as "/dev/sda1".
    virtual VolumeTags Tags(const std::string& device) const = 0;
    virtual std::optional<std::vector<net::Ip4Route>> MainRoutes() const = 0;
    // The partition table of a disk at a path such as "/dev/sda"; nothing
    // when the device cannot be opened (an unprivileged user) or holds none.
    virtual std::optional<parts::PartitionTable> PartitionTableOf(const std::string& device) const = 0;
};

// The running machine's sources for the root "/"; for a tree, sources that
// give nothing.
const LiveSources& LiveSourcesFor(const SystemRoot& root);

}  // namespace cimv2
