#include "cimv2/sources/BlkidLibrary.h"

#include "cimv2/sources/DlopenNote.h"

namespace cimv2 {

SYSQUILL_SHARED_LIBRARY_LOADER(BlkidApi, Blkid, "libblkid.so.1", SYSQUILL_BLKID_FUNCTIONS)

SYSQUILL_DLOPEN_NOTE("volumes", "Volume labels and partition tables", "libblkid.so.1");

}  // namespace cimv2
