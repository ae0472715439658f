#include "components/MethodResult.h"

#include "wmi/UProcedures.h"

namespace components {

int32_t MethodReturnCode(const wmi::OleVariant& result) {
    switch (result.GetType()) {
        case wmi::OleVariant::Type::Empty:
        case wmi::OleVariant::Type::Null:
            return static_cast<int32_t>(kNothingRan);
        case wmi::OleVariant::Type::Int:
            return static_cast<int32_t>(result.AsInt());
        case wmi::OleVariant::Type::UInt:
            return static_cast<int32_t>(result.AsUInt());
        default:
            return static_cast<int32_t>(wmi::WMIVarToInt64(result, false));
    }
}

}  // namespace components
