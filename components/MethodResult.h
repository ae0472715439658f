#pragma once
// What a component's management method answers: the method's ReturnValue,
// or kNothingRan when no method ran at all (the component was not active,
// or no object matched the selection), which must never read as 0, success.
#include <cstdint>

#include "wmi/OleVariant.h"

namespace components {

// WBEM's "not found".
constexpr uint32_t kNothingRan = 0x80041002;

int32_t MethodReturnCode(const wmi::OleVariant& result);

}  // namespace components
