#pragma once
// The local time zone from a compiled zone file (/etc/localtime, the TZif
// format of RFC 8536): the offset from UTC and daylight saving at a moment.
#include <cstdint>
#include <optional>
#include <string_view>

namespace cimv2::tz {

struct ZoneState {
    int32_t utcOffsetSeconds = 0;  // local time minus UTC
    bool daylightInEffect = false;
    bool observesDaylight = false;  // the zone changes to daylight saving time at all from now on
};

// Nothing when the data is not a zone file or is cut short or inconsistent.
std::optional<ZoneState> ZoneAt(std::string_view tzif, int64_t unixTime);

}  // namespace cimv2::tz
