// From ADIF records to the QSO field block and the run's facts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adif_reader.h"
#include "qso_mapping.h"

namespace stats::host {
namespace {

AdifRecord Record(const std::string& fields) {
    const auto records = ParseAdif(fields + "<EOR>", "test.adi");
    if (records.size() != 1) throw std::runtime_error("not one record: " + fields);
    return records[0];
}

double Day(int year, int month, int day) { return AutomationDay(year, month, day).value(); }

TEST(QsoMapping, FrequencyIsConvertedOnTheDecimalDigits) {
    struct Case {
        const char* mhz;
        std::optional<std::uint32_t> hz;
    };
    const Case cases[] = {
        {"14.0855", 14085500u},  // 14.0855 * 1e6 in binary floating point is 14085499.99...
        {"3.5855", 3585500u},
        {"3.585", 3585000u},
        {"7", 7000000u},
        {"28.", 28000000u},
        {".5", 500000u},
        {" 21.08 ", 21080000u},
        {"0014.000001", 14000001u},
        {"14.0855004", 14085500u},  // past the hertz: rounded half up
        {"14.0855005", 14085501u},
        {"3.5799999999", 3580000u},
        {"4294.967295", 4294967295u},
        {"4294.9672955", std::nullopt},  // rounds past 32 bits
        {"4294.967296", std::nullopt},
        {"5000", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"14,085", std::nullopt},
        {"-3.5", std::nullopt},
        {"+3.5", std::nullopt},
        {"1.2.3", std::nullopt},
        {"3.5e0", std::nullopt},
        {".", std::nullopt},
        {"", std::nullopt},
        {"3. 5", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mhz);
        EXPECT_EQ(FrequencyHz(c.mhz), c.hz);
    }
}

TEST(QsoMapping, AutomationDayCountsFromTheLastDaysOf1899) {
    EXPECT_EQ(AutomationDay(1899, 12, 30), 0.0);
    EXPECT_EQ(AutomationDay(1900, 1, 1), 2.0);
    EXPECT_EQ(AutomationDay(2016, 9, 5), 42618.0);
    EXPECT_EQ(AutomationDay(2000, 3, 1), 36586.0);
    EXPECT_EQ(AutomationDay(2024, 2, 29), 45351.0);
    EXPECT_EQ(AutomationDay(2023, 2, 29), std::nullopt);
    EXPECT_EQ(AutomationDay(1900, 2, 29), std::nullopt);
    EXPECT_EQ(AutomationDay(2026, 4, 31), std::nullopt);
    EXPECT_EQ(AutomationDay(2026, 0, 1), std::nullopt);
    EXPECT_EQ(AutomationDay(0, 1, 1), std::nullopt);
}

TEST(QsoMapping, DateAndTimeGiveAnAutomationDateOrLetThePluginDecide) {
    struct Case {
        std::optional<std::string_view> date;
        std::optional<std::string_view> time;
        int status;
        double value;  // for valid ones
    };
    const double day = Day(2026, 3, 14);
    const Case cases[] = {
        {"20260314", "1230", kDateTimeValid, day + 0.5 + 30 / 1440.0},
        {"20260314", "123456", kDateTimeValid, day + (12 * 3600 + 34 * 60 + 56) / 86400.0},
        {"20260314", "0000", kDateTimeValid, day},
        {"20260314", "235959", kDateTimeValid, day + 86399 / 86400.0},
        {"20260314", std::nullopt, kDateTimeValid, day},
        {"20260314", "", kDateTimeValid, day},
        {"20240229", "1200", kDateTimeValid, Day(2024, 2, 29) + 0.5},
        {std::nullopt, "1230", kDateTimeNull, 0},
        {std::nullopt, std::nullopt, kDateTimeNull, 0},
        {"", "1230", kDateTimeNull, 0},
        {"20261314", "1230", kDateTimeInvalid, 0},  // month 13
        {"20260230", "1230", kDateTimeInvalid, 0},
        {"20260014", "1230", kDateTimeInvalid, 0},
        {"2026-03-14", "1230", kDateTimeInvalid, 0},
        {"2026031", "1230", kDateTimeInvalid, 0},
        {"2026031x", "1230", kDateTimeInvalid, 0},
        {"20260314", "2561", kDateTimeInvalid, 0},
        {"20260314", "2400", kDateTimeInvalid, 0},
        {"20260314", "123460", kDateTimeInvalid, 0},
        {"20260314", "12:30", kDateTimeInvalid, 0},
        {"20260314", "123", kDateTimeInvalid, 0},
        {"20260314", "12a0", kDateTimeInvalid, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.date.value_or("<none>")) + " " + std::string(c.time.value_or("<none>")));
        const DateTimeValue value = QsoDateTime(c.date, c.time);
        EXPECT_EQ(value.status, c.status);
        if (c.status == kDateTimeValid) {
            EXPECT_DOUBLE_EQ(value.date, c.value);
        }
    }
}

TEST(QsoMapping, CommandLineDaysTakeBothForms) {
    EXPECT_DOUBLE_EQ(ParseDay("2026-03-14").value().date, Day(2026, 3, 14));
    EXPECT_DOUBLE_EQ(ParseDay("20260315").value().date, Day(2026, 3, 15));
    EXPECT_EQ(ParseDay("20260315").value().status, kDateTimeValid);
    for (const char* bad : {"2026-3-14", "2026/03/14", "2026-02-30", "14.03.2026", "2026031", "", "2026-03-1x"})
        EXPECT_EQ(ParseDay(bad), std::nullopt) << bad;
}

void ExpectSame(const HostQso& actual, const HostQso& expected) {
    EXPECT_EQ(actual.ownCall, expected.ownCall);
    EXPECT_EQ(actual.call, expected.call);
    EXPECT_EQ(actual.qsoTime.status, expected.qsoTime.status);
    EXPECT_DOUBLE_EQ(actual.qsoTime.date, expected.qsoTime.date);
    EXPECT_EQ(actual.freqHz, expected.freqHz);
    EXPECT_EQ(actual.mode, expected.mode);
    EXPECT_EQ(actual.rstSent, expected.rstSent);
    EXPECT_EQ(actual.rstRcvd, expected.rstRcvd);
    EXPECT_EQ(actual.exchSent, expected.exchSent);
    EXPECT_EQ(actual.exchRcvd, expected.exchRcvd);
    EXPECT_EQ(actual.prefix, expected.prefix);
    EXPECT_EQ(actual.country, expected.country);
    EXPECT_EQ(actual.band, expected.band);
}

TEST(QsoMapping, RecordFieldsGoToTheirPlaceInTheBlock) {
    struct Case {
        const char* name;
        std::string fields;
        HostQso expected;
    };
    const double day = Day(2026, 3, 14);
    const Case cases[] = {
        {"every field",
         "<CALL:5>Q3XYZ<QSO_DATE:8>20260314<TIME_ON:6>123456<FREQ:7>14.0855<MODE:4>RTTY<RST_SENT:3>599"
         "<RST_RCVD:3>579<STX_STRING:3>001<SRX_STRING:3>042<PFX:3>SV9<COUNTRY:7>Vellund<BAND:3>20M"
         "<STATION_CALLSIGN:5>Q0KRV",
         {"Q0KRV", "Q3XYZ", {day + (12 * 3600 + 34 * 60 + 56) / 86400.0, kDateTimeValid}, 14085500, "RTTY", "599",
          "579", "001", "042", "SV9", "Vellund", "20m"}},
        {"nothing but the call: empty texts, no frequency, null date",
         "<CALL:4>Q1AB",
         {"Q9ME", "Q1AB", {0, kDateTimeNull}, 0, "", "", "", "", "", "", "", ""}},
        {"names in any case",
         "<call:4>Q1AB<Band:4>160M<mode:4>RTTY<freq:5>1.838<Stx:1>7<srx:2>12<Operator:4>Q2OP",
         {"Q2OP", "Q1AB", {0, kDateTimeNull}, 1838000, "RTTY", "", "", "7", "12", "", "", "160m"}},
        {"STX_STRING before STX, SRX_STRING before SRX",
         "<CALL:4>Q1AB<STX:1>7<STX_STRING:3>007<SRX_STRING:4>0012<SRX:2>12",
         {"Q9ME", "Q1AB", {0, kDateTimeNull}, 0, "", "", "", "007", "0012", "", "", ""}},
        {"an empty STX_STRING gives way to STX",
         "<CALL:4>Q1AB<STX_STRING:0><STX:1>7<SRX_STRING:0>",
         {"Q9ME", "Q1AB", {0, kDateTimeNull}, 0, "", "", "", "7", "", "", "", ""}},
        {"STATION_CALLSIGN before OPERATOR",
         "<OPERATOR:4>Q2OP<STATION_CALLSIGN:6>Q0STN/<CALL:4>Q1AB",
         {"Q0STN/", "Q1AB", {0, kDateTimeNull}, 0, "", "", "", "", "", "", "", ""}},
        {"values holding '<' and line breaks go through unchanged",
         "<CALL:6>Q1<A>B<SRX_STRING:5>1\r\n2<<COUNTRY:6>Far\nOf",
         {"Q9ME", "Q1<A>B", {0, kDateTimeNull}, 0, "", "", "", "", "1\r\n2<", "", "Far\nOf", ""}},
        {"a malformed date is passed as invalid",
         "<CALL:4>Q1AB<QSO_DATE:8>20261314<TIME_ON:4>1230",
         {"Q9ME", "Q1AB", {0, kDateTimeInvalid}, 0, "", "", "", "", "", "", "", ""}},
        {"band texts only lose their capitals",
         "<CALL:4>Q1AB<BAND:5> 2M x",
         {"Q9ME", "Q1AB", {0, kDateTimeNull}, 0, "", "", "", "", "", "", "", " 2m x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectSame(MapRecord(Record(c.fields), "Q9ME"), c.expected);
    }
}

TEST(QsoMapping, AFrequencyThatIsNoneRefusesTheRecord) {
    for (const char* freq : {"<FREQ:6>14,085", "<FREQ:4>5000", "<FREQ:3>abc"}) {
        SCOPED_TRACE(freq);
        EXPECT_THROW(MapRecord(Record(std::string("<CALL:4>Q1AB") + freq), ""), MappingError);
    }
    // An empty or blank FREQ is an absent one.
    EXPECT_EQ(MapRecord(Record("<CALL:4>Q1AB<FREQ:2>  "), "").freqHz, 0u);
}

TEST(QsoMapping, LogFactsComeFromTheFirstRecordThatHasThem) {
    const std::vector<AdifRecord> records = {
        Record("<CALL:4>Q1AB<OPERATOR:4>Q2OP"),
        Record("<CALL:4>Q1CD<STATION_CALLSIGN:0><MY_COUNTRY:0>"),
        Record("<CALL:4>Q1EF<STATION_CALLSIGN:5>Q0STN<MY_COUNTRY:8>Rolvania"),
        Record("<CALL:4>Q1GH<STATION_CALLSIGN:5>Q0OTH<MY_COUNTRY:7>Estmark"),
    };
    EXPECT_EQ(LogOwnCall(records), "Q0STN");  // any STATION_CALLSIGN before OPERATOR
    EXPECT_EQ(LogOwnCall({records[0], records[1]}), "Q2OP");
    EXPECT_EQ(LogOwnCall({records[1]}), "");
    EXPECT_EQ(LogOwnCountry(records), "Rolvania");
    EXPECT_EQ(LogOwnCountry({records[0]}), "");
}

TEST(QsoMapping, PeriodRunsFromTheEarliestToTheLatestValidQsoDay) {
    auto qso = [](int status, double date) {
        HostQso q;
        q.qsoTime = {date, status};
        return q;
    };
    const double day = Day(2026, 3, 14);
    const Period period = LogPeriod({qso(kDateTimeValid, day + 1.75), qso(kDateTimeInvalid, day - 10),
                                     qso(kDateTimeValid, day + 0.5), qso(kDateTimeNull, day + 9),
                                     qso(kDateTimeValid, day + 1.25)});
    EXPECT_EQ(period.from.status, kDateTimeValid);
    EXPECT_DOUBLE_EQ(period.from.date, day);
    EXPECT_EQ(period.to.status, kDateTimeValid);
    EXPECT_DOUBLE_EQ(period.to.date, day + 1);

    const Period none = LogPeriod({qso(kDateTimeInvalid, day), qso(kDateTimeNull, day)});
    EXPECT_EQ(none.from.status, kDateTimeNull);
    EXPECT_EQ(none.to.status, kDateTimeNull);
}

}  // namespace
}  // namespace stats::host
