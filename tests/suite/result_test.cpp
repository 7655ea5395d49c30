// Scoring and the result table that GetResult0 returns.

#include <gtest/gtest.h>

#include <cmath>

#include "support/plugin.h"

namespace stats::test {
namespace {

using ResultTest = PluginTest;

Qso Scored(const std::string& call, const std::string& band, const std::string& country, const std::string& prefix) {
    Qso qso;
    qso.call = call;
    qso.band = band;
    qso.country = country;
    qso.prefix = prefix;
    return qso;
}

TEST_F(ResultTest, TheTenLineExample) {
    plugin.ResetStats();  // 05.09 - 06.09.2016, N0CALL, own country Homeland
    plugin.AddData(Scored("Q1A", "80m", "Elsewhere", "Q1"));  // 6
    plugin.AddData(Scored("Q2B", "20m", "Elsewhere", "Q2"));  // 2
    plugin.AddData(Scored("Q3C", "80m", "Elsewhere", "Q3"));  // 6
    EXPECT_EQ(plugin.Result(),
              "KYRVEN RTTY CONTEST  05.09-06.09.2016 \r\n"
              "\tContestant: N0CALL\r\n"
              "\tQSOs\tPoints\r\n"
              "80m\t 2\t 12\r\n"
              "20m\t 1\t 2\r\n"
              "Total\t 3\t 14\r\n"
              "\r\n"
              "Score: = 14\r\n"
              "\r\n");
}

TEST_F(ResultTest, EmptyRunBeforeAnyReset) {
    EXPECT_EQ(plugin.Result(),
              "KYRVEN RTTY CONTEST  - \r\n\tContestant: \r\n\tQSOs\tPoints\r\nTotal\t 0\t 0\r\n\r\nScore: = 0\r\n\r\n");
}

TEST_F(ResultTest, PointsOfOneQso) {
    struct Case {
        const char* call;
        const char* band;
        const char* country;
        const char* prefix;
        int points;
    };
    const Case cases[] = {
        {"Q0A", "20m", "Homeland", "Q0", 1},
        {"Q0A", "20m", "Elsewhere", "Q0", 2},
        {"Q0A", "80m", "Homeland", "Q0", 3},
        {"Q0A", "40m", "Homeland", "Q0", 3},
        {"Q0A", "80M", "Homeland", "Q0", 1},  // not the text 80m
        {"Q0A", "20m", "Homeland", "SV5", 3},
        {"Q0A", "20m", "Homeland", "SV8", 3},
        {"Q0A", "20m", "Homeland", "SV9", 3},
        {"Q0A", "20m", "Homeland", "SV50", 1},
        {"Q0A", "20m", "Homeland", "sv5", 1},
        {"Q0A", "20m", "Homeland", "SV5 ", 1},
        {"Q0A", "20m", "Homeland", "", 1},
        {"Q0A/QRP", "20m", "Homeland", "Q0", 2},
        {"Q0A/QRP/P", "20m", "Homeland", "Q0", 2},
        {"Q0A/qrp", "20m", "Homeland", "Q0", 1},
        {"/QRP", "20m", "Homeland", "Q0", 1},
        {"/QRPQ0A/QRP", "20m", "Homeland", "Q0", 1},  // only the first occurrence counts
        {"Q/QRP", "20m", "Homeland", "Q0", 2},
        {"Q0A/QRP", "40m", "Elsewhere", "SV9", 36},
        {"Q0A/QRP", "80m", "Elsewhere", "SV5", 36},
        {"Q0A", "20m", "homeland", "Q0", 2},  // countries compare exactly
    };
    for (const Case& c : cases) {
        Plugin fresh;
        fresh.ResetStats();
        fresh.AddData(Scored(c.call, c.band, c.country, c.prefix));
        const std::string line = std::string(c.band) + "\t 1\t " + std::to_string(c.points) + "\r\n";
        EXPECT_NE(fresh.Result().find(line), std::string::npos)
            << c.call << " " << c.band << " " << c.country << " " << c.prefix << " -> " << c.points;
    }
}

TEST_F(ResultTest, OwnCountryIsEmptyBeforeTheFirstReset) {
    plugin.AddData(Scored("Q0A", "20m", "Elsewhere", "Q0"));
    plugin.AddData(Scored("Q0B", "20m", "", "Q0"));
    EXPECT_NE(plugin.Result().find("20m\t 2\t 3\r\n"), std::string::npos);
}

TEST_F(ResultTest, BandOrder) {
    plugin.ResetStats();
    for (const char* band : {"20m", "80m", "10m", "160M", "40m", "15m", "6m", "70cm", "2m"})
        plugin.AddData(Scored("Q0A", band, "Homeland", "Q0"));
    const std::string text = plugin.Result();
    const std::string expected[] = {"70cm", "160M", "80m", "40m", "20m", "15m", "10m", "6m", "2m", "Total"};
    size_t at = 0;
    for (const std::string& band : expected) {
        const size_t found = text.find("\r\n" + band + "\t", at);
        ASSERT_NE(found, std::string::npos) << band << " after offset " << at << " in\n" << text;
        at = found + 1;
    }
}

TEST_F(ResultTest, WorkedBandOrderExample) {
    for (const char* band : {"20m", "80m", "10m", "40m", "15m"}) plugin.AddData(Scored("Q0A", band, "", ""));
    plugin.AddData(Scored("Q0A", "160m", "", ""));  // refused: never in the band list
    const std::string text = plugin.Result();
    EXPECT_NE(text.find("QSOs\tPoints\r\n80m\t 1\t 3\r\n40m\t 1\t 3\r\n20m\t 1\t 1\r\n15m\t 1\t 1\r\n10m\t 1\t 1\r\nTotal"),
              std::string::npos)
        << text;
}

TEST_F(ResultTest, EqualBandKeysKeepTheExchangeSortsOrder) {
    // 80m and 080m have equal keys; 40m sorts below both. The exchange sort puts
    // the larger key first and never swaps equal keys.
    for (const char* band : {"40m", "80m", "080m"}) plugin.AddData(Scored("Q0A", band, "", ""));
    const std::string text = plugin.Result();
    EXPECT_NE(text.find("\r\n80m\t 1\t 3\r\n080m\t 1\t 1\r\n40m\t 1\t 3\r\n"), std::string::npos) << text;
}

TEST_F(ResultTest, EmptyCallCountsInTheTotalOnly) {
    plugin.AddData(Scored("", "20m", "Elsewhere", "SV5"));
    plugin.AddData(Scored("Q0A", "20m", "Elsewhere", "Q0"));
    const std::string text = plugin.Result();
    EXPECT_NE(text.find("20m\t 1\t 2\r\nTotal\t 2\t 2\r\n"), std::string::npos) << text;
}

TEST_F(ResultTest, RepeatedRequestsGiveEqualTexts) {
    plugin.AddData(Scored("Q0A", "20m", "Elsewhere", "Q0"));
    plugin.AddData(Scored("Q0B", "80m", "Elsewhere", "Q0"));
    const std::string first = plugin.Result();
    EXPECT_EQ(plugin.Result(), first);
    plugin.AddData(Scored("Q0C", "40m", "Elsewhere", "Q0"));
    EXPECT_NE(plugin.Result(), first);
}

TEST_F(ResultTest, ResultCodeUntouchedWithoutCabrilloAndNullAccepted) {
    int32_t code = 77;
    plugin.Result(&code);
    EXPECT_EQ(code, 77);
    ASSERT_NE(plugin.getResult0(nullptr), nullptr);
}

TEST_F(ResultTest, ResetDatesAndTexts) {
    struct Case {
        DateTimeValue start, end;
        const char* heading;
    };
    const Case cases[] = {
        {Date(2016, 9, 5, 12), Date(2016, 9, 6, 12), "KYRVEN RTTY CONTEST  05.09-06.09.2016 \r\n"},
        {NullDate(), NullDate(), "KYRVEN RTTY CONTEST  - \r\n"},
        {InvalidDate(), InvalidDate(), "KYRVEN RTTY CONTEST  Invalid DateTime-Invalid DateTime \r\n"},
        {DateTimeValue{-1.25, kDateTimeValid}, DateTimeValue{2958465.0, kDateTimeValid},
         "KYRVEN RTTY CONTEST  29.12-31.12.9999 \r\n"},
        {DateTimeValue{2958466.0, kDateTimeValid}, DateTimeValue{-657434.0, kDateTimeValid},
         "KYRVEN RTTY CONTEST  Invalid DateTime-01.01.0100 \r\n"},
        {DateTimeValue{-657435.0, kDateTimeValid}, DateTimeValue{std::nan(""), kDateTimeValid},
         "KYRVEN RTTY CONTEST  Invalid DateTime-Invalid DateTime \r\n"},
    };
    for (const Case& c : cases) {
        Reset reset;
        reset.periodStart = c.start;
        reset.periodEnd = c.end;
        EXPECT_EQ(plugin.ResetStats(reset), 1);
        EXPECT_EQ(plugin.Result().substr(0, std::string(c.heading).size()), c.heading);
    }
}

TEST_F(ResultTest, ResetForgetsTheQsosAndTakesTheNewTexts) {
    plugin.AddData(Scored("Q0A", "20m", "Elsewhere", "Q0"));
    Reset reset;
    reset.contestantCall = "Q9ME";
    EXPECT_EQ(plugin.ResetStats(reset), 1);
    EXPECT_EQ(plugin.ResetStats(reset), 1);
    const std::string text = plugin.Result();
    EXPECT_NE(text.find("\tContestant: Q9ME\r\n\tQSOs\tPoints\r\nTotal\t 0\t 0\r\n"), std::string::npos) << text;

    // Null texts and dates from the host are empty texts and null dates.
    EXPECT_EQ(plugin.resetStats0(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr, nullptr,
                                 nullptr),
              1);
    plugin.AddData(Scored("Q0A", "20m", "", "Q0"));
    EXPECT_EQ(plugin.Result(),
              "KYRVEN RTTY CONTEST  - \r\n\tContestant: \r\n\tQSOs\tPoints\r\n20m\t 1\t 1\r\nTotal\t 1\t 1\r\n\r\n"
              "Score: = 1\r\n\r\n");
}

}  // namespace
}  // namespace stats::test
