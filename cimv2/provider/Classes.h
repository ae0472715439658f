#pragma once
// The served classes, one line each. SYSQUILL_CLASS(X) names a class file
// that defines XSchema() and EnumerateX(); SYSQUILL_CLASS_WITH_METHODS(X)
// one that also defines InvokeX(). The registry and these declarations are
// both expanded from this list.
#include "cimv2/provider/ClassRegistry.h"

#define SYSQUILL_CLASS_LIST(SYSQUILL_CLASS, SYSQUILL_CLASS_WITH_METHODS) \
    SYSQUILL_CLASS(Win32_BIOS)                                           \
    SYSQUILL_CLASS(Win32_BaseBoard)                                      \
    SYSQUILL_CLASS(Win32_SystemSlot)                                     \
    SYSQUILL_CLASS(Win32_CacheMemory)                                    \
    SYSQUILL_CLASS_WITH_METHODS(Win32_ComputerSystem)                    \
    SYSQUILL_CLASS_WITH_METHODS(Win32_OperatingSystem)                   \
    SYSQUILL_CLASS(Win32_Processor)                                      \
    SYSQUILL_CLASS(Win32_IRQResource)                                    \
    SYSQUILL_CLASS(Win32_DMAChannel)                                     \
    SYSQUILL_CLASS(Win32_Bus)                                            \
    SYSQUILL_CLASS(Win32_PnPEntity)                                      \
    SYSQUILL_CLASS(Win32_SystemDriver)                                   \
    SYSQUILL_CLASS(Win32_LoadOrderGroup)                                 \
    SYSQUILL_CLASS(Win32_BootConfiguration)                              \
    SYSQUILL_CLASS(Win32_Group)                                          \
    SYSQUILL_CLASS(Win32_TimeZone)                                       \
    SYSQUILL_CLASS(Win32_InstalledWin32Program)                          \
    SYSQUILL_CLASS(Win32_InstalledProgramFramework)                      \
    SYSQUILL_CLASS(Win32_COMClass)                                       \
    SYSQUILL_CLASS(Win32_CodecFile)                                      \
    SYSQUILL_CLASS(Win32_TerminalService)                                \
    SYSQUILL_CLASS_WITH_METHODS(Win32_Process)                           \
    SYSQUILL_CLASS(Win32_LogicalDisk)                                    \
    SYSQUILL_CLASS(Win32_DiskDrive)                                      \
    SYSQUILL_CLASS(Win32_DiskPartition)                                  \
    SYSQUILL_CLASS(Win32_CDROMDrive)                                     \
    SYSQUILL_CLASS(Win32_PhysicalMemory)                                 \
    SYSQUILL_CLASS(Win32_IDEController)                                  \
    SYSQUILL_CLASS(Win32_SCSIController)                                 \
    SYSQUILL_CLASS(Win32_NetworkProtocol)                                \
    SYSQUILL_CLASS(Win32_IP4RouteTable)                                  \
    SYSQUILL_CLASS(Win32_VideoController)                                \
    SYSQUILL_CLASS(Win32_DisplayConfiguration)                           \
    SYSQUILL_CLASS(Win32_DesktopMonitor)                                 \
    SYSQUILL_CLASS(Win32_USBController)                                  \
    SYSQUILL_CLASS(Win32_SoundDevice)                                    \
    SYSQUILL_CLASS(Win32_USBHub)                                         \
    SYSQUILL_CLASS_WITH_METHODS(Win32_Service)                           \
    SYSQUILL_CLASS(Win32_Printer)                                        \
    SYSQUILL_CLASS(Win32_PrintJob)                                       \
    SYSQUILL_CLASS(Win32_Environment)                                    \
    SYSQUILL_CLASS(Win32_StartupCommand)                                 \
    SYSQUILL_CLASS(Win32_UserAccount)                                    \
    SYSQUILL_CLASS(Win32_Share)                                          \
    SYSQUILL_CLASS(Win32_NetworkAdapter)                                 \
    SYSQUILL_CLASS(Win32_Battery)                                        \
    SYSQUILL_CLASS(Win32_Keyboard)                                       \
    SYSQUILL_CLASS(Win32_PointingDevice)

namespace cimv2 {

#define SYSQUILL_DECLARE_CLASS(Name)   \
    const ClassSchema& Name##Schema(); \
    std::vector<Instance> Enumerate##Name(const ProviderContext& context);
#define SYSQUILL_DECLARE_CLASS_WITH_METHODS(Name)                                                      \
    SYSQUILL_DECLARE_CLASS(Name)                                                                       \
    ParamList Invoke##Name(const ProviderContext&, const Instance&, const Instance&, const MethodDef&, \
                           const ParamList&);

SYSQUILL_CLASS_LIST(SYSQUILL_DECLARE_CLASS, SYSQUILL_DECLARE_CLASS_WITH_METHODS)

}  // namespace cimv2
