#include "cimv2/sources/SystemdLibrary.h"

#include "cimv2/sources/DlopenNote.h"

namespace cimv2 {

SYSQUILL_SHARED_LIBRARY_LOADER(SystemdApi, Systemd, "libsystemd.so.0", SYSQUILL_SYSTEMD_FUNCTIONS)

SYSQUILL_DLOPEN_NOTE("system-bus", "Services, logind and hostnamed over the system bus", "libsystemd.so.0");

}  // namespace cimv2
