// Withdrawing QSOs and checking calls while the operator types.

#include <gtest/gtest.h>

#include <cstring>

#include "support/plugin.h"

namespace stats::test {
namespace {

using RemovalTest = PluginTest;

Qso On(const std::string& call, const std::string& band, const std::string& exchRcvd = "005") {
    Qso qso;
    qso.call = call;
    qso.band = band;
    qso.exchRcvd = exchRcvd;
    return qso;
}

TEST_F(RemovalTest, RemovesTheOldestOfEqualQsosOnly) {
    const Qso qso = On("Q0DX", "80m");
    for (int i = 0; i < 3; ++i) ASSERT_EQ(plugin.AddData(qso), 1);
    // Time, frequency and exchanges are not compared.
    Qso withdrawn = qso;
    withdrawn.exchRcvd = "999";
    withdrawn.freqHz = 3599000;
    withdrawn.qsoTime = NullDate();
    EXPECT_EQ(plugin.RemoveData(withdrawn), 1);
    EXPECT_NE(plugin.Result().find("80m\t 2\t 12\r\n"), std::string::npos);
}

TEST_F(RemovalTest, RemovalClosesTheGapInStoreOrder) {
    plugin.AddData(On("Q1A", "80m", "011"));
    plugin.AddData(On("Q2B", "80m", "022"));
    plugin.AddData(On("Q3C", "80m", "033"));
    EXPECT_EQ(plugin.RemoveData(On("Q1A", "80m")), 1);
    char exch[50];
    EXPECT_EQ(plugin.CheckCall("Q2B", "80m", "80m", exch), 0);
    EXPECT_STREQ(exch, "022");
    EXPECT_EQ(plugin.CheckCall("Q3C", "80m", "80m", exch), 0);
    EXPECT_STREQ(exch, "033");
    EXPECT_EQ(plugin.CheckCall("Q1A", "80m", "80m", exch), 1);
    EXPECT_STREQ(exch, "");
}

TEST_F(RemovalTest, VerdictsOfRemoveData0) {
    struct Case {
        const char* name;
        Qso qso;
        int result;
        bool removes;
    };
    Qso otherMode = On("Q0DX", "80m");
    otherMode.mode = "CW";
    Qso noSent = On("Q0DX", "80m");
    noSent.exchSent = "";
    Qso noRcvd = On("Q0DX", "80m", "");
    const Case cases[] = {
        {"matching QSO", On("Q0DX", "80m"), 1, true},
        {"excluded band is not checked", On("Q0DX", "30m"), 1, false},
        {"nothing matches", On("Q9ZZ", "80m"), 1, false},
        {"other band", On("Q0DX", "40m"), 1, false},
        {"call compared exactly", On("q0dx", "80m"), 1, false},
        {"other mode", otherMode, 0, false},
        {"no exchange sent", noSent, 0, false},
        {"no exchange received", noRcvd, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Plugin fresh;
        ASSERT_EQ(fresh.AddData(On("Q0DX", "80m")), 1);
        EXPECT_EQ(fresh.RemoveData(c.qso), c.result);
        EXPECT_EQ(fresh.CheckCall("Q0DX", "80m", "80m", nullptr), c.removes ? 1 : 0);
    }
}

TEST_F(RemovalTest, RemovingTheLastQsoOfABandKeepsTheBand) {
    plugin.AddData(On("Q0DX", "40m"));
    plugin.AddData(On("Q1DX", "80m"));
    plugin.RemoveData(On("Q0DX", "40m"));
    EXPECT_NE(plugin.Result().find("80m\t 1\t 6\r\n40m\t 0\t 0\r\nTotal\t 1\t 6\r\n"), std::string::npos);
}

TEST_F(RemovalTest, CheckCallFindsTheExchangeOfTheBandOrTheLastOne) {
    char exch[50] = "untouched";
    EXPECT_EQ(plugin.CheckCall("Q0DX", "80m", "80m", exch), 1);
    EXPECT_STREQ(exch, "");

    plugin.AddData(On("Q0DX", "80m", "011"));
    plugin.AddData(On("Q0DX", "40m", "027"));
    plugin.AddData(On("Q0DX", "80m", "099"));
    EXPECT_EQ(plugin.CheckCall("Q0DX", "20m", "20m", exch), 1);
    EXPECT_STREQ(exch, "099");
    EXPECT_EQ(plugin.CheckCall("Q0DX", "80m", "80m", exch), 0);
    EXPECT_STREQ(exch, "011");
    EXPECT_EQ(plugin.CheckCall("Q0DX", "40m", "40m", exch), 0);
    EXPECT_STREQ(exch, "027");
    EXPECT_EQ(plugin.CheckCall("q0dx", "80m", "80m", exch), 1);
    EXPECT_STREQ(exch, "");
    EXPECT_EQ(plugin.CheckCall("Q0DX", "80m", "80m", nullptr), 0);
}

TEST_F(RemovalTest, CheckCallWithDisagreeingBands) {
    plugin.AddData(On("Q0DX", "80m", "011"));
    char exch[50] = "untouched";
    EXPECT_EQ(plugin.CheckCall("Q0DX", "80m", "80M", exch), 0);  // case is ignored
    EXPECT_STREQ(exch, "011");
    std::strcpy(exch, "untouched");
    EXPECT_EQ(plugin.CheckCall("Q0DX", "80m", "40m", exch), 4);
    EXPECT_STREQ(exch, "untouched");
    // Only texts the host passed can disagree: a missing second band is no verdict.
    EXPECT_EQ(plugin.CheckCall("Q0DX", "80m", nullptr, exch), 0);
    EXPECT_EQ(plugin.CheckCall(nullptr, nullptr, nullptr, exch), 1);
    EXPECT_STREQ(exch, "");
}

TEST_F(RemovalTest, CheckCallNeverWritesMoreThanTheHostsFiftyBytes) {
    plugin.AddData(On("Q0DX", "80m", std::string(200, '7')));
    char buffer[60];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(plugin.CheckCall("Q0DX", "80m", "80m", buffer), 0);
    EXPECT_EQ(std::string(buffer), std::string(49, '7'));
    for (size_t i = 50; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'x') << i;
}

}  // namespace
}  // namespace stats::test
