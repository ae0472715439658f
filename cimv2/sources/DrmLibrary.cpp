#include "cimv2/sources/DrmLibrary.h"

#include "cimv2/sources/DlopenNote.h"

namespace cimv2 {

SYSQUILL_SHARED_LIBRARY_LOADER(DrmApi, Drm, "libdrm.so.2", SYSQUILL_DRM_FUNCTIONS)

SYSQUILL_DLOPEN_NOTE("displays", "Current modes of the displays", "libdrm.so.2");

}  // namespace cimv2
