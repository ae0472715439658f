#pragma once
// Declarations of the served classes, one line each.
#include "cimv2/ClassRegistry.h"

namespace cimv2 {
}  // namespace cimv2
