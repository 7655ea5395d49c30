#pragma once
// From ADIF records to the QSO field block that AddData0 takes, and the facts
// about the log (own call, own country, period) that ResetStats0 takes.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "adif_reader.h"
#include "plugin/stats_api.h"

namespace stats::host {

// The fields of the block that the plug-in reads; absent ADIF fields are empty.
struct HostQso {
    std::string ownCall;
    std::string call;
    DateTimeValue qsoTime{0.0, kDateTimeNull};
    std::uint32_t freqHz = 0;
    std::string mode;
    std::string rstSent;
    std::string rstRcvd;
    std::string exchSent;
    std::string exchRcvd;
    std::string prefix;
    std::string country;
    std::string band;
};

// A record whose values cannot be passed on (a FREQ that is no frequency).
class MappingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Maps one record. `fallbackOwnCall` is used when the record has neither
// STATION_CALLSIGN nor OPERATOR. Throws MappingError.
HostQso MapRecord(const AdifRecord& record, std::string_view fallbackOwnCall);

// A FREQ value (MHz, decimal text such as "14.0855") in hertz, converted on the
// decimal digits; digits past the hertz are rounded half up. None when the text
// is not a plain decimal number or the result does not fit 32 bits. Blanks
// around the number are allowed.
std::optional<std::uint32_t> FrequencyHz(std::string_view mhz);

// QSO_DATE (YYYYMMDD) and TIME_ON (HHMM or HHMMSS, UTC) as an automation date.
// No date gives a null value; a malformed date or time an invalid one; no time
// is midnight.
DateTimeValue QsoDateTime(std::optional<std::string_view> date, std::optional<std::string_view> time);

// Days since 30 December 1899 for a calendar date; none when there is no such day.
std::optional<double> AutomationDay(int year, int month, int day);

// A day given on the command line, YYYY-MM-DD or YYYYMMDD, at midnight.
std::optional<DateTimeValue> ParseDay(std::string_view text);

// What the log itself says about the station: STATION_CALLSIGN of the first
// record that has one, else OPERATOR of the first record that has one; and
// MY_COUNTRY of the first record that has one. Empty when no record has any.
std::string LogOwnCall(const std::vector<AdifRecord>& records);
std::string LogOwnCountry(const std::vector<AdifRecord>& records);

// The first and last days of the valid QSO dates, at midnight; null values
// when no QSO has a valid date.
struct Period {
    DateTimeValue from{0.0, kDateTimeNull};
    DateTimeValue to{0.0, kDateTimeNull};
};
Period LogPeriod(const std::vector<HostQso>& qsos);

}  // namespace stats::host
