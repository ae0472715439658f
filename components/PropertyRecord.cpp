#include "components/PropertyRecord.h"

namespace components {

std::string Decode(TDecoder table, int64_t code) {
    for (const auto& entry : table)
        if (code >= entry.low && code <= entry.high) return entry.text;
    return {};
}

}  // namespace components
