#pragma once
// libblkid, loaded when a volume label or a partition table is first read.

#include <blkid/blkid.h>

#include "cimv2/sources/SharedLibrary.h"

// clang-format off
#define SYSQUILL_BLKID_FUNCTIONS(X) \
    X(blkid_do_safeprobe) \
    X(blkid_free_probe) \
    X(blkid_new_probe) \
    X(blkid_new_probe_from_filename) \
    X(blkid_partition_get_flags) \
    X(blkid_partition_get_partno) \
    X(blkid_partition_get_size) \
    X(blkid_partition_get_start) \
    X(blkid_partition_get_table) \
    X(blkid_partition_get_type) \
    X(blkid_partition_get_type_string) \
    X(blkid_partition_is_extended) \
    X(blkid_partition_is_primary) \
    X(blkid_partlist_get_partition) \
    X(blkid_partlist_get_table) \
    X(blkid_partlist_numof_partitions) \
    X(blkid_parttable_get_id) \
    X(blkid_parttable_get_type) \
    X(blkid_probe_enable_partitions) \
    X(blkid_probe_enable_superblocks) \
    X(blkid_probe_get_partitions) \
    X(blkid_probe_get_size) \
    X(blkid_probe_lookup_value) \
    X(blkid_probe_set_device) \
    X(blkid_probe_set_partitions_flags) \
    X(blkid_probe_set_superblocks_flags)
// clang-format on

namespace cimv2 {
SYSQUILL_SHARED_LIBRARY(BlkidApi, Blkid, SYSQUILL_BLKID_FUNCTIONS)
}  // namespace cimv2
