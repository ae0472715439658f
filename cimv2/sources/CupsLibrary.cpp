#include "cimv2/sources/CupsLibrary.h"

#include "cimv2/sources/DlopenNote.h"

namespace cimv2 {

SYSQUILL_SHARED_LIBRARY_LOADER(CupsApi, Cups, "libcups.so.2", SYSQUILL_CUPS_FUNCTIONS)

SYSQUILL_DLOPEN_NOTE("printing", "Printers and print jobs from the print server", "libcups.so.2");

}  // namespace cimv2
