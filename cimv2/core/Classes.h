#pragma once
// The served classes, one line each. SYSQUILL_CLASS(X) names a class file
// that defines XSchema() and EnumerateX(); SYSQUILL_CLASS_WITH_METHODS(X)
// one that also defines InvokeX(). The registry and these declarations are
// both expanded from this list.
#include "cimv2/core/ClassRegistry.h"

#define SYSQUILL_CLASS_LIST(SYSQUILL_CLASS, SYSQUILL_CLASS_WITH_METHODS) \
    SYSQUILL_CLASS(Win32_BIOS)                                           \
    SYSQUILL_CLASS(Win32_BaseBoard)                                      \
    SYSQUILL_CLASS(Win32_SystemSlot)                                     \
    SYSQUILL_CLASS(Win32_CacheMemory)                                    \
    SYSQUILL_CLASS_WITH_METHODS(Win32_ComputerSystem)                    \
    SYSQUILL_CLASS(Win32_IRQResource)                                    \
    SYSQUILL_CLASS(Win32_DMAChannel)                                     \
    SYSQUILL_CLASS(Win32_Bus)                                            \
    SYSQUILL_CLASS(Win32_PnPEntity)                                      \
    SYSQUILL_CLASS(Win32_Printer)                                        \
    SYSQUILL_CLASS(Win32_PrintJob)

namespace cimv2 {

#define SYSQUILL_DECLARE_CLASS(Name)   \
    const ClassSchema& Name##Schema(); \
    std::vector<Instance> Enumerate##Name(const ProviderContext& context);
#define SYSQUILL_DECLARE_CLASS_WITH_METHODS(Name) \
    SYSQUILL_DECLARE_CLASS(Name)                  \
    ParamList Invoke##Name(const ProviderContext&, const Instance&, const MethodDef&, const ParamList&);

SYSQUILL_CLASS_LIST(SYSQUILL_DECLARE_CLASS, SYSQUILL_DECLARE_CLASS_WITH_METHODS)

}  // namespace cimv2
