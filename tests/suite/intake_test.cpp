// QSO intake: the acceptance rules, duplicates and the lines of "err.txt".

#include <gtest/gtest.h>

#include "support/plugin.h"

namespace stats::test {
namespace {

class IntakeTest : public PluginTest {
protected:
    std::string ErrTxt() { return ReadFile("err.txt").value_or("<missing>"); }
};

TEST_F(IntakeTest, RefusalLineOfTheWorkedExample) {
    Qso qso;
    qso.freqHz = 10120000;
    qso.qsoTime = Date(2016, 5, 14, 12, 34);
    qso.band = "30m";
    qso.call = "Q0DX";
    qso.exchSent = "001";
    qso.exchRcvd = "005";
    EXPECT_EQ(plugin.AddData(qso), 0);
    EXPECT_EQ(ErrTxt(),
              "QSO:  10120  RTTY  2016-05-14 1234  N0CALL  599  001  Q0DX  599  005   NO CONTEST BAND !!!\r\n");
}

TEST_F(IntakeTest, RulesInOrderFirstFailureOnly) {
    struct Case {
        const char* name;
        std::string band, mode, exchSent, exchRcvd;
        int result;
        const char* reason;  // null: no line
    };
    const Case cases[] = {
        {"160m excluded", "160m", "RTTY", "001", "002", 0, "   NO CONTEST BAND !!!"},
        {"30m excluded", "30m", "RTTY", "001", "002", 0, "   NO CONTEST BAND !!!"},
        {"17m excluded", "17m", "RTTY", "001", "002", 0, "   NO CONTEST BAND !!!"},
        {"12m excluded", "12m", "RTTY", "001", "002", 0, "   NO CONTEST BAND !!!"},
        {"capital M passes", "160M", "RTTY", "001", "002", 1, nullptr},
        {"6m passes", "6m", "RTTY", "001", "002", 1, nullptr},
        {"2m passes", "2m", "RTTY", "001", "002", 1, nullptr},
        {"empty band passes", "", "RTTY", "001", "002", 1, nullptr},
        {"no received number", "80m", "RTTY", "001", "", 0, "   NO RX/TX NUMBER !!!"},
        {"no sent number", "80m", "RTTY", "", "002", 0, "   NO RX/TX NUMBER !!!"},
        {"blanks count as a number", "80m", "RTTY", "001", "   ", 1, nullptr},
        {"lower-case mode", "80m", "rtty", "001", "002", 0, "   NO CONTEST MODE !!!"},
        {"other mode", "80m", "CW", "001", "002", 0, "   NO CONTEST MODE !!!"},
        {"band reported first", "30m", "CW", "", "", 0, "   NO CONTEST BAND !!!"},
        {"number before mode", "80m", "CW", "", "", 0, "   NO RX/TX NUMBER !!!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove("err.txt");
        Plugin fresh;
        Qso qso;
        qso.band = c.band;
        qso.mode = c.mode;
        qso.exchSent = c.exchSent;
        qso.exchRcvd = c.exchRcvd;
        EXPECT_EQ(fresh.AddData(qso), c.result);
        const std::string expected = c.reason ? "QSO:  3585  " + c.mode + "  2016-09-05 1234  N0CALL  599  " +
                                                    c.exchSent + "  Q0DX  599  " + c.exchRcvd + c.reason + "\r\n"
                                              : "";
        EXPECT_EQ(ErrTxt(), expected);
    }
}

TEST_F(IntakeTest, DuplicatesAreStoredAndNotedOnceForEveryEarlierCopy) {
    Qso qso;
    EXPECT_EQ(plugin.AddData(qso), 1);
    EXPECT_EQ(ErrTxt(), "");
    EXPECT_EQ(plugin.AddData(qso), 1);
    const std::string dupe = "QSO:  3585  RTTY  2016-09-05 1234  N0CALL  599  001  Q0DX  599  005   DUPE !!!\r\n";
    EXPECT_EQ(ErrTxt(), dupe);
    EXPECT_EQ(plugin.AddData(qso), 1);
    EXPECT_EQ(ErrTxt(), dupe + dupe + dupe);

    Qso otherBand = qso;
    otherBand.band = "40m";
    EXPECT_EQ(plugin.AddData(otherBand), 1);
    EXPECT_EQ(ErrTxt(), dupe + dupe + dupe);
    // All four count: three on 80m, one on 40m.
    EXPECT_NE(plugin.Result().find("80m\t 3\t 18\r\n"), std::string::npos);
}

TEST_F(IntakeTest, DuplicateNeedsSameCallBandAndModeExactly) {
    Qso qso;
    qso.call = "Q0ABC";
    ASSERT_EQ(plugin.AddData(qso), 1);
    Qso lower = qso;
    lower.call = "q0abc";
    Qso otherTime = qso;
    otherTime.qsoTime = Date(2016, 9, 6, 1, 2);
    otherTime.exchRcvd = "777";
    EXPECT_EQ(plugin.AddData(lower), 1);
    EXPECT_EQ(ErrTxt(), "");
    EXPECT_EQ(plugin.AddData(otherTime), 1);
    EXPECT_EQ(ErrTxt(), "QSO:  3585  RTTY  2016-09-06 0102  N0CALL  599  001  Q0ABC  599  777   DUPE !!!\r\n");
}

TEST_F(IntakeTest, FrequencyIsWholeKilohertzRoundedDown) {
    const std::pair<std::uint32_t, std::string> cases[] = {
        {3579999u, "3579"}, {999u, "0"}, {0u, "0"}, {4294967295u, "4294967"}};
    for (const auto& [hz, khz] : cases) {
        std::filesystem::remove("err.txt");
        Qso qso;
        qso.freqHz = hz;
        qso.mode = "CW";
        plugin.AddData(qso);
        EXPECT_EQ(ErrTxt().substr(0, 6 + khz.size() + 2), "QSO:  " + khz + "  ") << hz;
    }
}

TEST_F(IntakeTest, DateItemForNullAndInvalidTimesAndTheQsoIsStillJudged) {
    Qso qso;
    qso.mode = "CW";
    qso.qsoTime = NullDate();
    EXPECT_EQ(plugin.AddData(qso), 0);
    qso.qsoTime = InvalidDate();
    EXPECT_EQ(plugin.AddData(qso), 0);
    EXPECT_EQ(ErrTxt(),
              "QSO:  3585  CW    N0CALL  599  001  Q0DX  599  005   NO CONTEST MODE !!!\r\n"
              "QSO:  3585  CW  Invalid DateTime  N0CALL  599  001  Q0DX  599  005   NO CONTEST MODE !!!\r\n");
    qso.mode = "RTTY";
    EXPECT_EQ(plugin.AddData(qso), 1);
}

TEST_F(IntakeTest, ArgumentsAreWrittenAsPassed) {
    Qso qso;
    qso.ownCall = " N0CALL/P ";
    qso.call = "Q0\"DX\"";
    qso.rstSent = "";
    qso.band = "12m";
    plugin.AddData(qso);
    EXPECT_EQ(ErrTxt(), "QSO:  3585  RTTY  2016-09-05 1234   N0CALL/P     001  Q0\"DX\"  599  005   NO CONTEST BAND !!!\r\n");
}

TEST_F(IntakeTest, ErrTxtIsCreatedByEveryCallAndOnlyAppended) {
    EXPECT_EQ(plugin.AddData(Qso()), 1);
    EXPECT_EQ(ReadFile("err.txt"), std::optional<std::string>(""));
    WriteFile("err.txt", "earlier run\r\n");
    Qso cw;
    cw.mode = "CW";
    plugin.AddData(cw);
    plugin.ResetStats();
    EXPECT_EQ(ErrTxt(), "earlier run\r\nQSO:  3585  CW  2016-09-05 1234  N0CALL  599  001  Q0DX  599  005   NO CONTEST MODE !!!\r\n");
}

TEST_F(IntakeTest, UnwritableErrTxtChangesNoVerdict) {
    std::filesystem::create_directory("err.txt");  // cannot be opened as a file
    Qso qso;
    EXPECT_EQ(plugin.AddData(qso), 1);
    EXPECT_EQ(plugin.AddData(qso), 1);
    qso.band = "30m";
    EXPECT_EQ(plugin.AddData(qso), 0);
    EXPECT_NE(plugin.Result().find("80m\t 2\t 12\r\n"), std::string::npos);
}

TEST_F(IntakeTest, NullTextsAreEmptyTextsAndANullDateIsANullDate) {
    const DateTimeValue other{0.0, kDateTimeValid};
    // A null exchange is an empty one: refused, not a crash.
    EXPECT_EQ(plugin.addData0(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 3585000, "RTTY", nullptr,
                              nullptr, "001", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr, nullptr, nullptr, nullptr,
                              nullptr),
              0);
    EXPECT_EQ(ErrTxt(), "QSO:  3585  RTTY        001         NO RX/TX NUMBER !!!\r\n");
    EXPECT_EQ(plugin.addData0(nullptr, nullptr, nullptr, &other, &other, &other, 0, 3585000, "RTTY", nullptr,
                              nullptr, "001", "002", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, 0, 0, 0, 0.0, 0.0, nullptr, nullptr, nullptr, nullptr,
                              nullptr),
              1);
}

}  // namespace
}  // namespace stats::test
