#include "plugin/date_time.h"

#include <cmath>

namespace stats {
namespace {

constexpr std::string_view kInvalidDateTime = "Invalid DateTime";

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

void AppendPadded(std::string& out, int value, int width) {
    std::string digits = std::to_string(value);
    if (digits.size() < static_cast<size_t>(width)) out.append(width - digits.size(), '0');
    out += digits;
}

}  // namespace

std::optional<CalendarTime> ToCalendarTime(double automationDate) {
    // Beyond this no date lies within the years 100-9999 (about 3 million days).
    if (!std::isfinite(automationDate) || std::fabs(automationDate) > 4.0e6) return std::nullopt;
    // The integer part counts days (negative before the epoch); the time of day is
    // the absolute value of the fraction, so -1.25 is 29 December 1899, 06:00.
    double whole = std::trunc(automationDate);
    auto days = static_cast<std::int64_t>(whole);
    auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(automationDate - whole) * 86400.0));
    if (seconds >= 86400) {
        days += 1;
        seconds -= 86400;
    }
    CalendarTime t{};
    // 30 December 1899 is day -25569 from 1 January 1970.
    CivilFromDays(days - 25569, t.year, t.month, t.day);
    if (t.year < 100 || t.year > 9999) return std::nullopt;
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    return t;
}

std::string FormatDateTime(const DateTimeValue& value, std::string_view pattern) {
    if (value.status == kDateTimeNull) return {};
    if (value.status != kDateTimeValid) return std::string(kInvalidDateTime);
    const std::optional<CalendarTime> t = ToCalendarTime(value.date);
    if (!t) return std::string(kInvalidDateTime);
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            out += pattern[i];
            continue;
        }
        switch (pattern[++i]) {
            case 'Y': AppendPadded(out, t->year, 4); break;
            case 'm': AppendPadded(out, t->month, 2); break;
            case 'd': AppendPadded(out, t->day, 2); break;
            case 'H': AppendPadded(out, t->hour, 2); break;
            case 'M': AppendPadded(out, t->minute, 2); break;
            case 'S': AppendPadded(out, t->second, 2); break;
            case '%': out += '%'; break;
            default: out += '%'; out += pattern[i]; break;
        }
    }
    return out;
}

DateTimeValue DateTimeOrNull(const DateTimeValue* value) {
    if (value == nullptr) return DateTimeValue{0.0, kDateTimeNull};
    return *value;
}

}  // namespace stats
