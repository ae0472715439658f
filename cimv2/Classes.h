#pragma once
// Declarations of the served classes, one line each.
#include "cimv2/ClassRegistry.h"

namespace cimv2 {
SYSQUILL_DECLARE_CLASS(Win32_IRQResource)
SYSQUILL_DECLARE_CLASS(Win32_DMAChannel)
SYSQUILL_DECLARE_CLASS(Win32_Bus)
SYSQUILL_DECLARE_CLASS(Win32_PnPEntity)
SYSQUILL_DECLARE_CLASS(Win32_Bios)
SYSQUILL_DECLARE_CLASS(Win32_BaseBoard)
SYSQUILL_DECLARE_CLASS(Win32_SystemSlot)
SYSQUILL_DECLARE_CLASS(Win32_CacheMemory)
SYSQUILL_DECLARE_CLASS(Win32_ComputerSystem)
ParamList InvokeWin32_ComputerSystem(const ProviderContext&, const Instance&, const MethodDef&, const ParamList&);
}  // namespace cimv2
