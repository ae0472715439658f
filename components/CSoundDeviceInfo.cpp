#include "components/CSoundDeviceInfo.h"

namespace components {

SYSQUILL_RECORD_TABLE(TSoundDeviceProperties, SYSQUILL_SOUND_DEVICE_FIELDS)

TSoundDeviceInfo::TSoundDeviceInfo() : TRecordComponent("Win32_SoundDevice", "/en-us/library/aa394463(VS.85).aspx") {}

}  // namespace components
