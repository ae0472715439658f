#pragma once
// Declarations of the served classes, one line each.
#include "cimv2/ClassRegistry.h"

namespace cimv2 {
SYSQUILL_DECLARE_CLASS(Win32_IRQResource)
SYSQUILL_DECLARE_CLASS(Win32_DMAChannel)
SYSQUILL_DECLARE_CLASS(Win32_Bus)
SYSQUILL_DECLARE_CLASS(Win32_PnPEntity)
}  // namespace cimv2
