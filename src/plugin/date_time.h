#pragma once
// Formatting of the host's automation dates (days since 30 December 1899).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/stats_api.h"

namespace stats {

struct CalendarTime {
    int year;
    int month;   // 1-12
    int day;     // 1-31
    int hour;
    int minute;
    int second;
};

// Calendar fields of an automation date, rounded to the nearest second; none for
// NaN, infinities and years outside 100-9999.
std::optional<CalendarTime> ToCalendarTime(double automationDate);

// Expands a strftime-style pattern (%Y %m %d %H %M %S %%): the empty text for a
// null value, "Invalid DateTime" for an invalid one or one without a calendar date.
std::string FormatDateTime(const DateTimeValue& value, std::string_view pattern);

// The value a host pointer stands for: a null pointer is a null date.
DateTimeValue DateTimeOrNull(const DateTimeValue* value);

}  // namespace stats
