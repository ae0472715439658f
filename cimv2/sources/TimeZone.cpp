#include "cimv2/sources/TimeZone.h"

#include <cstdio>
#include <vector>

namespace cimv2::tz {

namespace {

uint32_t Be32(std::string_view d, size_t at) {
    auto b = [&](size_t n) { return static_cast<uint32_t>(static_cast<unsigned char>(d[at + n])); };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

int64_t Be64(std::string_view d, size_t at) {
    return static_cast<int64_t>(static_cast<uint64_t>(Be32(d, at)) << 32 | Be32(d, at + 4));
}

constexpr size_t kHeaderSize = 44;

struct Header {
    char version = 0;
    uint32_t isutcnt = 0, isstdcnt = 0, leapcnt = 0, timecnt = 0, typecnt = 0, charcnt = 0;

    // Bytes of the data block after the header; the counts are 32-bit, so
    // the sum cannot overflow 64 bits.
    uint64_t BlockSize(size_t timeSize) const {
        return uint64_t{timecnt} * (timeSize + 1) + uint64_t{typecnt} * 6 + charcnt +
               uint64_t{leapcnt} * (timeSize + 4) + isstdcnt + isutcnt;
    }
};

std::optional<Header> ReadHeader(std::string_view d, size_t at) {
    if (d.size() < at || d.size() - at < kHeaderSize || d.substr(at, 4) != "TZif") return std::nullopt;
    Header h;
    h.version = d[at + 4];
    h.isutcnt = Be32(d, at + 20);
    h.isstdcnt = Be32(d, at + 24);
    h.leapcnt = Be32(d, at + 28);
    h.timecnt = Be32(d, at + 32);
    h.typecnt = Be32(d, at + 36);
    h.charcnt = Be32(d, at + 40);
    if (h.typecnt == 0) return std::nullopt;
    return h;
}

struct TimeType {
    int32_t utcOffset;
    bool isDst;
};

struct Zone {
    std::vector<int64_t> times;
    std::vector<uint8_t> indexes;
    std::vector<TimeType> types;
    std::string_view footer;  // the POSIX TZ rule for times after the last transition
};

std::optional<Zone> ReadBlock(std::string_view d, size_t at, const Header& h, size_t timeSize) {
    if (d.size() - at < h.BlockSize(timeSize)) return std::nullopt;
    Zone z;
    z.times.reserve(h.timecnt);
    for (uint32_t n = 0; n < h.timecnt; ++n, at += timeSize)
        z.times.push_back(timeSize == 8 ? Be64(d, at) : static_cast<int32_t>(Be32(d, at)));
    for (uint32_t n = 0; n < h.timecnt; ++n, ++at) {
        uint8_t index = static_cast<uint8_t>(d[at]);
        if (index >= h.typecnt) return std::nullopt;
        z.indexes.push_back(index);
    }
    for (uint32_t n = 0; n < h.typecnt; ++n, at += 6) {
        uint8_t dst = static_cast<uint8_t>(d[at + 4]);
        if (dst > 1) return std::nullopt;
        z.types.push_back({static_cast<int32_t>(Be32(d, at)), dst == 1});
    }
    return z;
}

// --- The POSIX TZ rule of the footer, "CET-1CEST,M3.5.0,M10.5.0/3" ---

class RuleReader {
public:
    explicit RuleReader(std::string_view text) : FText(text) {}
    bool AtEnd() const { return FPos == FText.size(); }
    bool Take(char c) {
        if (FPos < FText.size() && FText[FPos] == c) return ++FPos, true;
        return false;
    }
    bool Peek(char c) const { return FPos < FText.size() && FText[FPos] == c; }

    // "CET" or "<+0530>" (the name is the text inside the brackets)
    bool Name(std::string_view* name = nullptr) {
        if (Take('<')) {
            size_t end = FText.find('>', FPos);
            if (end == std::string_view::npos || end == FPos) return false;
            if (name) *name = FText.substr(FPos, end - FPos);
            FPos = end + 1;
            return true;
        }
        size_t start = FPos;
        while (FPos < FText.size() &&
               ((FText[FPos] >= 'A' && FText[FPos] <= 'Z') || (FText[FPos] >= 'a' && FText[FPos] <= 'z')))
            ++FPos;
        if (name) *name = FText.substr(start, FPos - start);
        return FPos - start >= 3;
    }
    std::optional<int64_t> Number(int64_t max) {
        size_t start = FPos;
        int64_t value = 0;
        while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9') {
            value = value * 10 + (FText[FPos++] - '0');
            if (value > max) return std::nullopt;
        }
        if (FPos == start) return std::nullopt;
        return value;
    }
    // [+-]hh[:mm[:ss]] in seconds
    std::optional<int64_t> Clock(int64_t maxHours) {
        int64_t sign = Take('-') ? -1 : (Take('+'), 1);
        auto hours = Number(maxHours);
        if (!hours) return std::nullopt;
        int64_t seconds = *hours * 3600;
        for (int64_t unit : {60, 1}) {
            if (!Take(':')) break;
            auto part = Number(59);
            if (!part) return std::nullopt;
            seconds += *part * unit;
        }
        return sign * seconds;
    }

private:
    std::string_view FText;
    size_t FPos = 0;
};

struct DateRule {
    char kind = 'M';  // 'M' month.week.day, 'J' day 1..365 without Feb 29, 'N' day 0..365
    int month = 0, week = 0, weekday = 0, day = 0;
    int64_t time = 7200;
};

bool IsLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct CivilDate {
    int64_t year;
    int month, day;
};

// The civil date of a day counted from 1970-01-01 (the inverse of DaysFromCivil).
CivilDate CivilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

int64_t YearOf(int64_t days) { return CivilFromDays(days).year; }

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Local seconds since the epoch at which the rule falls in year y.
int64_t RuleMoment(const DateRule& r, int64_t y) {
    int64_t days;
    if (r.kind == 'J') {
        days = DaysFromCivil(y, 1, 1) + r.day - 1 + (IsLeap(y) && r.day >= 60 ? 1 : 0);
    } else if (r.kind == 'N') {
        days = DaysFromCivil(y, 1, 1) + r.day;
    } else {
        static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const int64_t first = DaysFromCivil(y, r.month, 1);
        const int64_t firstWeekday = ((first + 4) % 7 + 7) % 7;  // 1970-01-01 was a Thursday
        int64_t dom = 1 + ((r.weekday - firstWeekday) % 7 + 7) % 7 + (r.week - 1) * 7;
        const int monthDays = kMonthDays[r.month - 1] + (r.month == 2 && IsLeap(y) ? 1 : 0);
        while (dom > monthDays) dom -= 7;
        days = first + dom - 1;
    }
    return days * 86400 + r.time;
}

std::optional<DateRule> ReadDateRule(RuleReader& in) {
    DateRule r;
    if (in.Take('M')) {
        auto month = in.Number(12);
        if (!month || *month < 1 || !in.Take('.')) return std::nullopt;
        auto week = in.Number(5);
        if (!week || *week < 1 || !in.Take('.')) return std::nullopt;
        auto weekday = in.Number(6);
        if (!weekday) return std::nullopt;
        r.month = static_cast<int>(*month), r.week = static_cast<int>(*week), r.weekday = static_cast<int>(*weekday);
    } else {
        r.kind = in.Take('J') ? 'J' : 'N';
        auto day = in.Number(365);
        if (!day || (r.kind == 'J' && *day < 1)) return std::nullopt;
        r.day = static_cast<int>(*day);
    }
    if (in.Take('/')) {
        auto time = in.Clock(167);
        if (!time) return std::nullopt;
        r.time = *time;
    }
    return r;
}

struct Footer {
    std::string_view standardName, daylightName;
    int64_t standardOffset = 0, daylightOffset = 0;  // east of Greenwich, in seconds
    bool hasDaylight = false;
    DateRule start, end;
};

std::optional<Footer> ReadFooter(std::string_view text) {
    RuleReader in(text);
    Footer f;
    if (!in.Name(&f.standardName)) return std::nullopt;
    auto stdWest = in.Clock(24);  // POSIX offsets count west of Greenwich
    if (!stdWest) return std::nullopt;
    f.standardOffset = -*stdWest;
    if (in.AtEnd()) return f;

    if (!in.Name(&f.daylightName)) return std::nullopt;
    f.daylightOffset = f.standardOffset + 3600;
    if (!in.Peek(',') && !in.AtEnd()) {
        auto dstWest = in.Clock(24);
        if (!dstWest) return std::nullopt;
        f.daylightOffset = -*dstWest;
    }
    if (!in.Take(',')) return std::nullopt;  // a daylight name needs its rule
    auto start = ReadDateRule(in);
    if (!start || !in.Take(',')) return std::nullopt;
    auto end = ReadDateRule(in);
    if (!end || !in.AtEnd()) return std::nullopt;
    f.hasDaylight = true;
    f.start = *start;
    f.end = *end;
    return f;
}

std::optional<ZoneState> FooterAt(std::string_view footer, int64_t when) {
    auto f = ReadFooter(footer);
    if (!f) return std::nullopt;
    ZoneState state;
    state.utcOffsetSeconds = static_cast<int32_t>(f->standardOffset);
    if (!f->hasDaylight) return state;

    state.observesDaylight = true;
    // Daylight starts at a moment of standard time and ends at one of daylight time.
    const int64_t year = YearOf(FloorDiv(when + state.utcOffsetSeconds, 86400));
    const int64_t starts = RuleMoment(f->start, year) - state.utcOffsetSeconds;
    const int64_t ends = RuleMoment(f->end, year) - f->daylightOffset;
    const bool inDaylight = starts < ends ? (when >= starts && when < ends) : !(when >= ends && when < starts);
    if (inDaylight) {
        state.utcOffsetSeconds = static_cast<int32_t>(f->daylightOffset);
        state.daylightInEffect = true;
    }
    return state;
}

std::optional<TransitionRule> MonthWeekDay(const DateRule& r) {
    if (r.kind != 'M') return std::nullopt;
    return TransitionRule{r.month, r.week, r.weekday, r.time};
}

// The zone's transitions, and the footer of a version 2 or later file.
std::optional<Zone> ReadZone(std::string_view d) {
    auto first = ReadHeader(d, 0);
    if (!first) return std::nullopt;
    std::optional<Zone> zone;
    if (first->version >= '2') {
        // Version 2 and later repeat the data with 64-bit times, then the footer.
        const uint64_t v1 = first->BlockSize(4);
        if (d.size() - kHeaderSize < v1) return std::nullopt;
        const size_t second = kHeaderSize + static_cast<size_t>(v1);
        auto h2 = ReadHeader(d, second);
        if (!h2) return std::nullopt;
        zone = ReadBlock(d, second + kHeaderSize, *h2, 8);
        if (!zone) return std::nullopt;
        const size_t footerAt = second + kHeaderSize + static_cast<size_t>(h2->BlockSize(8));
        if (footerAt < d.size() && d[footerAt] == '\n') {
            size_t close = d.find('\n', footerAt + 1);
            if (close != std::string_view::npos) zone->footer = d.substr(footerAt + 1, close - footerAt - 1);
        }
    } else {
        zone = ReadBlock(d, kHeaderSize, *first, 4);
    }
    return zone;
}

}  // namespace

std::optional<ZoneState> ZoneAt(std::string_view d, int64_t when) {
    auto zone = ReadZone(d);
    if (!zone) return std::nullopt;

    // The last transition at or before the moment; type 0 before the first.
    size_t last = 0;
    while (last < zone->times.size() && zone->times[last] <= when) ++last;
    if (!zone->footer.empty() && last == zone->times.size()) {
        if (auto state = FooterAt(zone->footer, when)) return state;
    }
    const TimeType& now = zone->types[last == 0 ? 0 : zone->indexes[last - 1]];
    ZoneState state;
    state.utcOffsetSeconds = now.utcOffset;
    state.daylightInEffect = now.isDst;
    state.observesDaylight = now.isDst;
    for (size_t n = last; n < zone->times.size(); ++n) state.observesDaylight |= zone->types[zone->indexes[n]].isDst;
    if (!zone->footer.empty() && zone->footer.find(',') != std::string_view::npos) state.observesDaylight = true;
    return state;
}

std::optional<ZoneRule> RuleOf(std::string_view tzif) {
    auto zone = ReadZone(tzif);
    if (!zone || zone->footer.empty()) return std::nullopt;
    auto f = ReadFooter(zone->footer);
    if (!f) return std::nullopt;
    ZoneRule rule;
    rule.standardName = std::string(f->standardName);
    rule.standardOffsetSeconds = static_cast<int32_t>(f->standardOffset);
    if (f->hasDaylight) {
        rule.daylightName = std::string(f->daylightName);
        rule.daylightOffsetSeconds = static_cast<int32_t>(f->daylightOffset);
        rule.daylightStart = MonthWeekDay(f->start);
        rule.standardStart = MonthWeekDay(f->end);
    }
    return rule;
}

std::optional<std::string> CimDateTime(int64_t unixSeconds, int offsetMinutes, uint32_t micros) {
    // Past any year CIM can write, and out of reach of overflow below.
    constexpr int64_t kLimit = int64_t{400} * 366 * 86400 * 1000;
    if (unixSeconds < -kLimit || unixSeconds > kLimit || offsetMinutes <= -1000 || offsetMinutes >= 1000 ||
        micros >= 1'000'000)
        return std::nullopt;
    const int64_t local = unixSeconds + int64_t{offsetMinutes} * 60;
    const int64_t days = FloorDiv(local, 86400);
    const int64_t seconds = local - days * 86400;
    const CivilDate date = CivilFromDays(days);
    if (date.year < 1 || date.year > 9999) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d.%06u%c%03d", static_cast<int>(date.year), date.month,
                  date.day, static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60), micros, offsetMinutes < 0 ? '-' : '+',
                  offsetMinutes < 0 ? -offsetMinutes : offsetMinutes);
    return text;
}

}  // namespace cimv2::tz
