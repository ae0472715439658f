#include "cimv2/sources/KmodLibrary.h"

#include "cimv2/sources/DlopenNote.h"

namespace cimv2 {

SYSQUILL_SHARED_LIBRARY_LOADER(KmodApi, Kmod, "libkmod.so.2", SYSQUILL_KMOD_FUNCTIONS)

SYSQUILL_DLOPEN_NOTE("kernel-modules", "Files and descriptions of kernel modules", "libkmod.so.2");

}  // namespace cimv2
