#include "components/CNetworkAdapterInfo.h"

namespace components {

SYSQUILL_RECORD_TABLE(TNetworkAdapterProperties, SYSQUILL_NETWORK_ADAPTER_FIELDS)

TNetworkAdapterInfo::TNetworkAdapterInfo()
    : TRecordComponent("Win32_NetworkAdapter", "/en-us/library/aa394220(VS.85).aspx") {}

}  // namespace components
