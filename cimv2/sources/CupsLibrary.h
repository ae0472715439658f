#pragma once
// libcups, loaded when printers or print jobs are first asked for.

#include <cups/cups.h>

#include "cimv2/sources/SharedLibrary.h"

// clang-format off
#define SYSQUILL_CUPS_FUNCTIONS(X) \
    X(cupsDoRequest) \
    X(cupsEncryption) \
    X(cupsFreeDests) \
    X(cupsGetNamedDest) \
    X(cupsLastError) \
    X(cupsLastErrorString) \
    X(cupsSendRequest) \
    X(cupsServer) \
    X(cupsUser) \
    X(httpAddrFamily) \
    X(httpAddrFreeList) \
    X(httpAddrGetList) \
    X(httpAddrLength) \
    X(httpClose) \
    X(httpConnect2) \
    X(httpFlush) \
    X(httpGetState) \
    X(httpRead2) \
    X(httpUpdate) \
    X(ippAddInteger) \
    X(ippAddString) \
    X(ippAddStrings) \
    X(ippDelete) \
    X(ippErrorString) \
    X(ippLength) \
    X(ippNewRequest) \
    X(ippPort) \
    X(ippSetState) \
    X(ippWriteIO)
// clang-format on

namespace cimv2 {
SYSQUILL_SHARED_LIBRARY(CupsApi, Cups, SYSQUILL_CUPS_FUNCTIONS)
}  // namespace cimv2
