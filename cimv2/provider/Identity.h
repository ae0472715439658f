#pragma once
// The properties that say which class an instance is and on which computer
// it lives, set the same way for every class.
#include "cimv2/core/Schema.h"
#include "cimv2/provider/ProviderContext.h"

namespace cimv2 {

// Sets those of the identity properties the class has: CreationClassName
// (the class's own name), SystemCreationClassName and CSCreationClassName
// ("Win32_ComputerSystem"), SystemName and CSName (the computer's name,
// null when the machine does not say).
void SetIdentity(Instance& inst, const ProviderContext& context);

}  // namespace cimv2
