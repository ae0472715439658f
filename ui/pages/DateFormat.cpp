#include "ui/pages/DateFormat.h"

#include <langinfo.h>

#include <cmath>
#include <ctime>
#include <optional>

#include "wmi/UProcedures.h"

namespace ui {

namespace {

std::optional<std::tm> CalendarOf(double dateTime) {
    std::tm tm{};
    int year = 0, month = 0, day = 0;
    wmi::DecodeDate(dateTime, year, month, day);
    if (year == 0) return std::nullopt;
    const double days = std::floor(dateTime);
    int seconds = static_cast<int>(std::round((dateTime - days) * 86400.0));
    if (seconds >= 86400) seconds = 86399;
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = seconds / 3600;
    tm.tm_min = seconds / 60 % 60;
    tm.tm_sec = seconds % 60;
    // 30 December 1899 was a Saturday.
    const long long weekday = (static_cast<long long>(days) % 7 + 7 + 6) % 7;
    tm.tm_wday = static_cast<int>(weekday);
    tm.tm_yday = static_cast<int>(days - wmi::EncodeDate(year, 1, 1));
    return tm;
}

std::string Format(const char* format, const std::tm& tm) {
    char buffer[128];
    const size_t length = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, length);
}

const char* LocaleFormat(nl_item item, const char* fallback) {
    const char* format = nl_langinfo(item);
    return format && *format ? format : fallback;
}

}  // namespace

std::string FormatShortDate(double dateTime) {
    const std::optional<std::tm> tm = CalendarOf(dateTime);
    return tm ? Format(LocaleFormat(D_FMT, "%m/%d/%y"), *tm) : std::string();
}

std::string FormatDateTime(double dateTime) {
    const std::optional<std::tm> date = CalendarOf(dateTime);
    if (!date) return {};
    const std::tm& tm = *date;
    std::string text = Format(LocaleFormat(D_FMT, "%m/%d/%y"), tm);
    if (tm.tm_hour != 0 || tm.tm_min != 0 || tm.tm_sec != 0) text += " " + Format(LocaleFormat(T_FMT, "%H:%M:%S"), tm);
    return text;
}

}  // namespace ui
