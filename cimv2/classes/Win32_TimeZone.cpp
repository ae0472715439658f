// Win32_TimeZone from the local zone file (/etc/localtime, TZif) and the
// zone's name (/etc/timezone, else the zoneinfo path /etc/localtime links to).
// The rule the zone follows now is the POSIX TZ string at the file's end:
//   Bias               standard offset east of UTC, minutes
//   StandardName       the standard abbreviation ("CET", "AEST", "+0530")
//   DaylightName       the daylight abbreviation; the standard one for a zone
//                      without daylight time
//   StandardBias       0 (standard time is what Bias gives)
//   DaylightBias       minus the daylight shift in minutes (-60 for one hour)
//   *Month, *Day (week of the month, 5 the last), *DayOfWeek (0 Sunday),
//   *Hour, *Minute, *Second from the rule's Mm.w.d/time, *Year 0 (the rule
//   recurs yearly), *Millisecond 0. Without daylight time every date field
//   is 0, the class's way of saying the clocks never change.
// A rule on a day of the year (Jn, n) or at a time outside the day leaves
// the fields it cannot express null. Caption and Description read
// "(UTC+01:00) Europe/Berlin". Without a readable zone file: no instance.
#include <cstdio>

#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/RootReaders.h"
#include "cimv2/sources/TimeZone.h"

namespace cimv2 {

// clang-format off
const ClassSchema& Win32_TimeZoneSchema() {
    static const ClassSchema schema("Win32_TimeZone", CIM_Setting(), {
        {"Bias", CimType::SInt32},
        {"DaylightBias", CimType::SInt32},
        {"DaylightDay", CimType::UInt32},
        {"DaylightDayOfWeek", CimType::UInt8},
        {"DaylightHour", CimType::UInt32},
        {"DaylightMillisecond", CimType::UInt32},
        {"DaylightMinute", CimType::UInt32},
        {"DaylightMonth", CimType::UInt32},
        {"DaylightName", CimType::String},
        {"DaylightSecond", CimType::UInt32},
        {"DaylightYear", CimType::UInt32},
        {"StandardBias", CimType::UInt32},
        {"StandardDay", CimType::UInt32},
        {"StandardDayOfWeek", CimType::UInt8},
        {"StandardHour", CimType::UInt32},
        {"StandardMillisecond", CimType::UInt32},
        {"StandardMinute", CimType::UInt32},
        {"StandardMonth", CimType::UInt32},
        {"StandardName", CimType::String, kKey},
        {"StandardSecond", CimType::UInt32},
        {"StandardYear", CimType::UInt32},
    });
    return schema;
}
// clang-format on

namespace {

constexpr std::string_view kZoneInfo = "zoneinfo/";

std::optional<std::string> ZoneName(const SystemRoot& root) {
    if (auto name = ReadLine(root, "/etc/timezone")) return name;
    if (auto target = root.ReadLink("/etc/localtime")) {
        size_t at = target->rfind(kZoneInfo);
        if (at != std::string::npos && at + kZoneInfo.size() < target->size())
            return target->substr(at + kZoneInfo.size());
    }
    return std::nullopt;
}

std::string UtcOffsetText(int32_t seconds) {
    const int32_t minutes = (seconds < 0 ? -seconds : seconds) / 60;
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", seconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

// Month, Day, DayOfWeek, Hour, Minute, Second, Millisecond and Year of one
// change of clocks; prefix "Standard" or "Daylight".
void SetTransition(Instance& inst, const std::string& prefix, const std::optional<tz::TransitionRule>& rule) {
    if (!rule) return;
    inst.Set(prefix + "Year", Value::UInt(0));
    inst.Set(prefix + "Month", Value::UInt(static_cast<uint64_t>(rule->month)));
    inst.Set(prefix + "Day", Value::UInt(static_cast<uint64_t>(rule->week)));
    inst.Set(prefix + "DayOfWeek", Value::UInt(static_cast<uint64_t>(rule->weekday)));
    if (rule->time < 0 || rule->time >= 86400) return;
    inst.Set(prefix + "Hour", Value::UInt(static_cast<uint64_t>(rule->time / 3600)));
    inst.Set(prefix + "Minute", Value::UInt(static_cast<uint64_t>(rule->time / 60 % 60)));
    inst.Set(prefix + "Second", Value::UInt(static_cast<uint64_t>(rule->time % 60)));
    inst.Set(prefix + "Millisecond", Value::UInt(0));
}

void SetNoTransition(Instance& inst, const std::string& prefix) {
    for (const char* field : {"Year", "Month", "Day", "DayOfWeek", "Hour", "Minute", "Second", "Millisecond"})
        inst.Set(prefix + field, Value::UInt(0));
}

}  // namespace

std::vector<Instance> EnumerateWin32_TimeZone(const ProviderContext& context) {
    std::vector<Instance> out;
    auto file = context.root.ReadFile("/etc/localtime", 1u << 20);
    if (!file) return out;
    auto rule = tz::RuleOf(*file);
    if (!rule) return out;

    Instance inst(Win32_TimeZoneSchema());
    const std::string offset = "(UTC" + UtcOffsetText(rule->standardOffsetSeconds) + ")";
    auto name = ZoneName(context.root);
    if (name) inst.SetText("SettingID", *name);
    const std::string caption = name ? offset + " " + *name : offset;
    inst.SetText("Caption", caption);
    inst.SetText("Description", caption);
    inst.SetInt("Bias", rule->standardOffsetSeconds / 60);
    inst.SetText("StandardName", rule->standardName);
    inst.Set("StandardBias", Value::UInt(0));
    if (rule->daylightName) {
        inst.SetText("DaylightName", *rule->daylightName);
        inst.SetInt("DaylightBias", -(rule->daylightOffsetSeconds - rule->standardOffsetSeconds) / 60);
        SetTransition(inst, "Standard", rule->standardStart);
        SetTransition(inst, "Daylight", rule->daylightStart);
    } else {
        inst.SetText("DaylightName", rule->standardName);
        inst.SetInt("DaylightBias", 0);
        SetNoTransition(inst, "Standard");
        SetNoTransition(inst, "Daylight");
    }
    out.push_back(std::move(inst));
    return out;
}

}  // namespace cimv2
