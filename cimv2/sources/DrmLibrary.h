#pragma once
// libdrm, loaded when a display's current mode is first read on the live machine.

#include <xf86drm.h>
#include <xf86drmMode.h>

#include "cimv2/sources/SharedLibrary.h"

// clang-format off
#define SYSQUILL_DRM_FUNCTIONS(X) \
    X(drmModeFreeConnector) \
    X(drmModeFreeCrtc) \
    X(drmModeFreeEncoder) \
    X(drmModeFreeFB) \
    X(drmModeFreeResources) \
    X(drmModeGetConnectorCurrent) \
    X(drmModeGetConnectorTypeName) \
    X(drmModeGetCrtc) \
    X(drmModeGetEncoder) \
    X(drmModeGetFB) \
    X(drmModeGetResources)
// clang-format on

namespace cimv2 {
SYSQUILL_SHARED_LIBRARY(DrmApi, Drm, SYSQUILL_DRM_FUNCTIONS)
}  // namespace cimv2
