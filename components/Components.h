#pragma once
// Every component, one line each in TAllComponents (and its header here):
// the tests walk this list, so a new component is checked against its
// class as soon as it is listed. A component header missing here fails
// Components.EveryOneIsListed.
#include "components/CBatteryInfo.h"
#include "components/CBiosInfo.h"
#include "components/CCDRomDriveInfo.h"
#include "components/CComputerSystemInfo.h"
#include "components/CDesktopMonitorInfo.h"
#include "components/CDiskDriveInfo.h"
#include "components/CDiskPartitionInfo.h"
#include "components/CDisplayInfo.h"
#include "components/CEnvironmentInfo.h"
#include "components/CKeyboardInfo.h"
#include "components/CNetworkAdapterInfo.h"
#include "components/COperatingSystemInfo.h"
#include "components/CPhysicalMemoryInfo.h"
#include "components/CPointingDeviceInfo.h"
#include "components/CPrintJobInfo.h"
#include "components/CPrinterInfo.h"
#include "components/CProcessInfo.h"
#include "components/CProcessorInfo.h"
#include "components/CServiceInfo.h"
#include "components/CShareInfo.h"
#include "components/CSoundDeviceInfo.h"
#include "components/CStartupCommandInfo.h"
#include "components/CUSBControllerInfo.h"
#include "components/CUserAccountInfo.h"

namespace components {

template <typename... C>
struct TComponentList {};

using TAllComponents =
    TComponentList<TBiosInfo, TComputerSystemInfo, TOperatingSystemInfo, TProcessorInfo, TDiskDriveInfo,
                   TDiskPartitionInfo, TPhysicalMemoryInfo, TCDRomDriveInfo, TProcessInfo, TServiceInfo, TPrinterInfo,
                   TPrintJobInfo, TEnvironmentInfo, TStartupCommandInfo, TUserAccountInfo, TShareInfo,
                   TNetworkAdapterInfo, TBatteryInfo, TKeyboardInfo, TPointingDeviceInfo, TDisplayInfo,
                   TDesktopMonitorInfo, TUSBControllerInfo, TSoundDeviceInfo>;

}  // namespace components
