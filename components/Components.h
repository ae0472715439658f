#pragma once
// Every component, one line each in TAllComponents (and its header here):
// the tests walk this list, so a new component is checked against its
// class as soon as it is listed. A component header missing here fails
// Components.EveryOneIsListed.
#include "components/CBiosInfo.h"
#include "components/CComputerSystemInfo.h"
#include "components/CDesktopMonitorInfo.h"
#include "components/CDisplayInfo.h"
#include "components/COperatingSystemInfo.h"
#include "components/CPrintJobInfo.h"
#include "components/CPrinterInfo.h"
#include "components/CProcessInfo.h"
#include "components/CProcessorInfo.h"
#include "components/CServiceInfo.h"
#include "components/CSoundDeviceInfo.h"
#include "components/CUSBControllerInfo.h"

namespace components {

template <typename... C>
struct TComponentList {};

using TAllComponents = TComponentList<TBiosInfo, TComputerSystemInfo, TOperatingSystemInfo, TProcessorInfo,
                                      TProcessInfo, TServiceInfo, TPrinterInfo, TPrintJobInfo, TDisplayInfo,
                                      TDesktopMonitorInfo, TUSBControllerInfo, TSoundDeviceInfo>;

}  // namespace components
