#pragma once
// The local time zone from a compiled zone file (/etc/localtime, the TZif
// format of RFC 8536): the offset from UTC and daylight saving at a moment.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cimv2::tz {

struct ZoneState {
    int32_t utcOffsetSeconds = 0;  // local time minus UTC
    bool daylightInEffect = false;
    bool observesDaylight = false;  // the zone changes to daylight saving time at all from now on
};

// Nothing when the data is not a zone file or is cut short or inconsistent.
std::optional<ZoneState> ZoneAt(std::string_view tzif, int64_t unixTime);

// A yearly change of clocks in the POSIX form Mm.w.d/time: in month (1-12),
// on weekday (0 Sunday) of week (1-4, 5 the last), at local time seconds
// after midnight (POSIX allows -167..167 hours).
struct TransitionRule {
    int month = 0, week = 0, weekday = 0;
    int64_t time = 7200;
};

// The rule that the zone follows after its last listed transition: the
// POSIX TZ string at the end of a version 2 or later file.
struct ZoneRule {
    std::string standardName;                 // "CET", or "+0530" for "<+0530>"
    int32_t standardOffsetSeconds = 0;        // local standard time minus UTC
    std::optional<std::string> daylightName;  // nothing: no daylight saving time
    int32_t daylightOffsetSeconds = 0;
    // When daylight time starts and when standard time comes back; nothing
    // for a rule on a day of the year (Jn or n) rather than of a month.
    std::optional<TransitionRule> daylightStart, standardStart;
};

// Nothing for a file without a footer (version 1) or with a damaged one.
std::optional<ZoneRule> RuleOf(std::string_view tzif);

// A moment as CIM writes a date-time, "yyyymmddHHMMSS.mmmmmm+UUU": the
// civil time offsetMinutes east of UTC. Computed here rather than by
// gmtime_r, which loads the process's zone file on its first call. Nothing
// for a year before 1 or after 9999.
std::optional<std::string> CimDateTime(int64_t unixSeconds, int offsetMinutes = 0, uint32_t micros = 0);

}  // namespace cimv2::tz
