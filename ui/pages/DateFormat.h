#pragma once
// Dates of the pages in the user's formats (LC_TIME): the short date, and
// the short date with the long time for date-times.
#include <string>

namespace ui {

// A date-time is days since 30 December 1899, the fraction the time of day.
std::string FormatShortDate(double dateTime);
// Short date, a blank and the long time; the time is left out at exactly midnight.
std::string FormatDateTime(double dateTime);

}  // namespace ui
