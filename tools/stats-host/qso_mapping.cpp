#include "qso_mapping.h"

#include <cmath>

namespace stats::host {
namespace {

std::string Text(const AdifRecord& record, std::string_view name) {
    const auto value = record.Find(name);
    return value ? std::string(*value) : std::string();
}

// The first of the names that the record holds with a non-empty value.
std::optional<std::string_view> FirstOf(const AdifRecord& record, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) {
        const auto value = record.Find(name);
        if (value && !value->empty()) return value;
    }
    return std::nullopt;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

int Number(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<std::uint32_t> FrequencyHz(std::string_view mhz) {
    const std::string_view text = Trim(mhz);
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if ((!whole.empty() && !AllDigits(whole)) || (!fraction.empty() && !AllDigits(fraction))) return std::nullopt;

    constexpr std::uint64_t kLimit = 0xFFFFFFFFu;
    std::uint64_t hz = 0;
    for (char c : whole) {
        hz = hz * 10 + static_cast<std::uint64_t>(c - '0');
        if (hz * 1000000u > kLimit) return std::nullopt;
    }
    hz *= 1000000u;
    std::uint64_t scale = 100000;
    for (std::size_t i = 0; i < fraction.size() && i < 6; ++i, scale /= 10)
        hz += static_cast<std::uint64_t>(fraction[i] - '0') * scale;
    if (fraction.size() > 6 && fraction[6] >= '5') hz += 1;
    if (hz > kLimit) return std::nullopt;
    return static_cast<std::uint32_t>(hz);
}

std::optional<double> AutomationDay(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return std::nullopt;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return std::nullopt;
    // Days from 1970-01-01 in the civil calendar, then moved to 1899-12-30.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097.0 + doe - 719468 + 25569;
}

DateTimeValue QsoDateTime(std::optional<std::string_view> date, std::optional<std::string_view> time) {
    if (!date || date->empty()) return DateTimeValue{0.0, kDateTimeNull};
    const DateTimeValue invalid{0.0, kDateTimeInvalid};
    if (date->size() != 8 || !AllDigits(*date)) return invalid;
    const auto day = AutomationDay(Number(date->substr(0, 4)), Number(date->substr(4, 2)), Number(date->substr(6, 2)));
    if (!day) return invalid;

    int seconds = 0;
    if (time && !time->empty()) {
        if ((time->size() != 4 && time->size() != 6) || !AllDigits(*time)) return invalid;
        const int hour = Number(time->substr(0, 2));
        const int minute = Number(time->substr(2, 2));
        const int second = time->size() == 6 ? Number(time->substr(4, 2)) : 0;
        if (hour > 23 || minute > 59 || second > 59) return invalid;
        seconds = hour * 3600 + minute * 60 + second;
    }
    return DateTimeValue{*day + seconds / 86400.0, kDateTimeValid};
}

std::optional<DateTimeValue> ParseDay(std::string_view text) {
    std::string digits;
    if (text.size() == 10 && text[4] == '-' && text[7] == '-')
        digits = std::string(text.substr(0, 4)) + std::string(text.substr(5, 2)) + std::string(text.substr(8, 2));
    else if (text.size() == 8)
        digits = std::string(text);
    else
        return std::nullopt;
    if (!AllDigits(digits)) return std::nullopt;
    const auto day = AutomationDay(Number(digits.substr(0, 4)), Number(digits.substr(4, 2)), Number(digits.substr(6, 2)));
    if (!day) return std::nullopt;
    return DateTimeValue{*day, kDateTimeValid};
}

HostQso MapRecord(const AdifRecord& record, std::string_view fallbackOwnCall) {
    HostQso qso;
    const auto own = FirstOf(record, {"STATION_CALLSIGN", "OPERATOR"});
    qso.ownCall = own ? std::string(*own) : std::string(fallbackOwnCall);
    qso.call = Text(record, "CALL");
    qso.qsoTime = QsoDateTime(record.Find("QSO_DATE"), record.Find("TIME_ON"));
    const auto freq = record.Find("FREQ");
    if (freq && !Trim(*freq).empty()) {
        const auto hz = FrequencyHz(*freq);
        if (!hz) throw MappingError("FREQ '" + std::string(*freq) + "' is not a frequency in MHz up to 4294.967295");
        qso.freqHz = *hz;
    }
    qso.mode = Text(record, "MODE");
    qso.rstSent = Text(record, "RST_SENT");
    qso.rstRcvd = Text(record, "RST_RCVD");
    const auto sent = FirstOf(record, {"STX_STRING", "STX"});
    qso.exchSent = sent ? std::string(*sent) : std::string();
    const auto rcvd = FirstOf(record, {"SRX_STRING", "SRX"});
    qso.exchRcvd = rcvd ? std::string(*rcvd) : std::string();
    qso.prefix = Text(record, "PFX");
    qso.country = Text(record, "COUNTRY");
    qso.band = Lower(Text(record, "BAND"));
    return qso;
}

std::string LogOwnCall(const std::vector<AdifRecord>& records) {
    for (std::string_view name : {"STATION_CALLSIGN", "OPERATOR"})
        for (const AdifRecord& record : records)
            if (const auto value = record.Find(name); value && !value->empty()) return std::string(*value);
    return {};
}

std::string LogOwnCountry(const std::vector<AdifRecord>& records) {
    for (const AdifRecord& record : records)
        if (const auto value = record.Find("MY_COUNTRY"); value && !value->empty()) return std::string(*value);
    return {};
}

Period LogPeriod(const std::vector<HostQso>& qsos) {
    Period period;
    for (const HostQso& qso : qsos) {
        if (qso.qsoTime.status != kDateTimeValid) continue;
        const DateTimeValue day{std::floor(qso.qsoTime.date), kDateTimeValid};
        if (period.from.status != kDateTimeValid || day.date < period.from.date) period.from = day;
        if (period.to.status != kDateTimeValid || day.date > period.to.date) period.to = day;
    }
    return period;
}

}  // namespace stats::host
