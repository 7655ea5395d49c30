#include "plugin/date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace stats {
namespace {

std::string Format(double date, const char* pattern = "%Y-%m-%d %H:%M:%S") {
    return FormatDateTime(DateTimeValue{date, kDateTimeValid}, pattern);
}

TEST(DateTimeTest, CalendarFieldsRoundedToTheSecond) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "1899-12-30 00:00:00"},
        {1.0, "1899-12-31 00:00:00"},
        {2.0, "1900-01-01 00:00:00"},
        {60.0, "1900-02-28 00:00:00"},
        {61.0, "1900-03-01 00:00:00"},  // 1900 is no leap year
        {42618.5, "2016-09-05 12:00:00"},
        {42504.0 + (12 * 60 + 34) / 1440.0, "2016-05-14 12:34:00"},
        {42504.0 + (12 * 60 + 34) / 1440.0 - 1e-9, "2016-05-14 12:34:00"},  // 12:33:59.9999
        {42504.0 + (23 * 3600 + 59 * 60 + 59.6) / 86400.0, "2016-05-15 00:00:00"},
        {42434.0 + (14 * 3600 + 23 * 60 + 50) / 86400.0, "2016-03-05 14:23:50"},
        {-1.25, "1899-12-29 06:00:00"},
        {-1.0, "1899-12-29 00:00:00"},
        {-0.5, "1899-12-30 12:00:00"},
        {2958465.999988426, "9999-12-31 23:59:59"},
        {-657434.0, "0100-01-01 00:00:00"},
        {1521.0, "1904-02-29 00:00:00"},
    };
    for (const auto& [date, text] : cases) EXPECT_EQ(Format(date), text) << date;
}

TEST(DateTimeTest, NoCalendarDateIsAnInvalidDateTime) {
    const double cases[] = {2958466.0, -657435.0, 1e300, -1e300, std::nan(""),
                            std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                            2958465.9999999};  // rounds into the year 10000
    for (double date : cases) EXPECT_EQ(Format(date), "Invalid DateTime") << date;
}

TEST(DateTimeTest, StatusDecidesFirst) {
    EXPECT_EQ(FormatDateTime(DateTimeValue{42618.5, kDateTimeNull}, "%Y"), "");
    EXPECT_EQ(FormatDateTime(DateTimeValue{42618.5, kDateTimeInvalid}, "%Y"), "Invalid DateTime");
    EXPECT_EQ(FormatDateTime(DateTimeValue{42618.5, 7}, "%Y"), "Invalid DateTime");
    EXPECT_EQ(FormatDateTime(DateTimeOrNull(nullptr), "%Y"), "");
}

TEST(DateTimeTest, PatternsOfThePlugIn) {
    const double date = 42618.5 + 7 / 1440.0;
    EXPECT_EQ(Format(date, "%d.%m"), "05.09");
    EXPECT_EQ(Format(date, "%d.%m.%Y"), "05.09.2016");
    EXPECT_EQ(Format(date, "%Y-%m-%d %H%M"), "2016-09-05 1207");
    EXPECT_EQ(Format(date, "100%% %q%"), "100% %q%");
}

}  // namespace
}  // namespace stats
