#pragma once
// libkmod, loaded when a kernel module's file or description is first asked for.

#include <libkmod.h>

#include "cimv2/sources/SharedLibrary.h"

// clang-format off
#define SYSQUILL_KMOD_FUNCTIONS(X) \
    X(kmod_list_next) \
    X(kmod_load_resources) \
    X(kmod_module_get_info) \
    X(kmod_module_get_path) \
    X(kmod_module_info_free_list) \
    X(kmod_module_info_get_key) \
    X(kmod_module_info_get_value) \
    X(kmod_module_new_from_name) \
    X(kmod_module_unref) \
    X(kmod_new) \
    X(kmod_set_log_priority) \
    X(kmod_unref)
// clang-format on

namespace cimv2 {
SYSQUILL_SHARED_LIBRARY(KmodApi, Kmod, SYSQUILL_KMOD_FUNCTIONS)
}  // namespace cimv2
