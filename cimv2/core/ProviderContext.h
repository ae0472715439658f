#pragma once
// What a class needs to reach the machine: the file root and the seams to
// sources that are not files.
#include "cimv2/sources/SystemActions.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

struct ProviderContext {
    SystemRoot root;
    SystemActions* actions = nullptr;  // null: management methods are refused
};

}  // namespace cimv2
