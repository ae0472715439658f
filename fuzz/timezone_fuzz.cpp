// libFuzzer target for the zone file reader: headers, counts, transition
// tables and the footer's daylight rule, at moments the input chooses, and
// the rule itself as the time zone class reads it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "cimv2/sources/TimeZone.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first four bytes pick the moment, within some centuries of 1970.
    int64_t when = 1782907200;
    if (size >= 4) {
        int32_t shift;
        std::memcpy(&shift, data, 4);
        when += static_cast<int64_t>(shift) * 3;
        data += 4, size -= 4;
    }
    std::string_view file(reinterpret_cast<const char*>(data), size);
    if (auto zone = cimv2::tz::ZoneAt(file, when)) {
        // Daylight time in effect is daylight time the zone observes.
        if (zone->daylightInEffect && !zone->observesDaylight) std::abort();
    }
    // The footer's rule: months and weeks stay in their ranges.
    if (auto rule = cimv2::tz::RuleOf(file)) {
        for (const auto& change : {rule->daylightStart, rule->standardStart})
            if (change && (change->month < 1 || change->month > 12 || change->week < 1 || change->week > 5 ||
                           change->weekday < 0 || change->weekday > 6))
                std::abort();
        if (rule->standardName.empty()) std::abort();
    }
    return 0;
}
