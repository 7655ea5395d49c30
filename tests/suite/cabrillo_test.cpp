// A statistics run with a Cabrillo log: the header values from the settings
// file, the claimed score, the ".cbr" file and the "Output" notice.

#include <gtest/gtest.h>

#include "support/cabrillo_reader.h"
#include "support/message_boxes.h"
#include "support/plugin.h"
#include "support/program_file.h"

namespace stats::test {
namespace {

const char kEmptyHeader[] =
    "START-OF-LOG: 3.0\r\n"
    "CONTEST: KYRVEN RTTY CONTEST \r\n"
    "CALLSIGN: N0CALL\r\n"
    "CATEGORY-OPERATOR: SINGLE-OP\r\n"
    "CATEGORY-BAND: ALL\r\n"
    "CATEGORY-MODE: RTTY \r\n"
    "CATEGORY-POWER: HIGH\r\n"
    "CLAIMED-SCORE: 0\r\n"
    "CLUB: \r\n"
    "CREATED-BY: Zorv \r\n"
    "NAME: \r\n"
    "ADDRESS: \r\n"
    "ADDRESS-CITY: \r\n"
    "ADDRESS-POSTALCODE: \r\n"
    "ADDRESS-COUNTRY: \r\n"
    "EMAIL: \r\n"
    "OPERATORS: N0CALL\r\n"
    "SOAPBOX: \r\n";

class CabrilloTest : public PluginTest {
protected:
    // A run with a Cabrillo log. The header dialog counts as cancelled: on
    // Linux the suite has no terminal, so it cannot be created; on Windows
    // the test harness presses CANCEL. The values are those loaded.
    void StartRun(const std::string& call = "N0CALL") {
        Reset reset;
        reset.cabrilloEnabled = 1;
        reset.contestantCall = call;
        ASSERT_EQ(plugin.ResetStats(reset), 1);
    }
};

TEST_F(CabrilloTest, EmptyLogIsTheHeaderAndTheEndMarker) {
    StartRun();
    MessageBoxWatcher boxes;
    int32_t code = 0;
    plugin.Result(&code);
    EXPECT_EQ(ReadFile("N0CALL.cbr"), std::string(kEmptyHeader) + "END-OF-LOG:\r\n");
    EXPECT_EQ(boxes.Shown(), (std::vector<ShownBox>{{"Output", "File produced: N0CALL.cbr"}}));
    EXPECT_EQ(code, -1);
}

TEST_F(CabrilloTest, QsoLinesByteForByte) {
    StartRun();
    Qso qso;
    qso.freqHz = 14085000;
    qso.qsoTime = Date(2016, 3, 5, 14, 23, 50);
    qso.call = "Q0DX";
    qso.exchSent = "001";
    qso.exchRcvd = "012";
    qso.band = "20m";
    plugin.AddData(qso);
    qso.freqHz = 3585000;
    qso.band = "80m";
    qso.qsoTime = NullDate();
    qso.call = "Q0ABCDEFGHIJKL";  // 14 characters: fills its column, not cut
    plugin.AddData(qso);
    qso.freqHz = 144300000;
    qso.band = "2m";
    qso.qsoTime = InvalidDate();
    qso.exchSent = "1234567";
    qso.rstSent = "5999";
    plugin.AddData(qso);
    plugin.Result();
    const std::string text = ReadFile("N0CALL.cbr").value_or("");
    const std::string example = "QSO: 14085 RY 2016-03-05 1423 N0CALL        599 001    Q0DX          599 012\r\n";
    EXPECT_EQ(example.size(), 78u);
    const size_t first = text.find("\r\nQSO: ") + 2;
    EXPECT_EQ(text.substr(first),
              example +
                  "QSO:  3585 RY  N0CALL        599 001    Q0ABCDEFGHIJKL 599 012\r\n"
                  "QSO: 144300 RY Invalid DateTime N0CALL        5999 1234567 Q0ABCDEFGHIJKL 599 012\r\n"
                  "END-OF-LOG:\r\n");
}

TEST_F(CabrilloTest, AnIndependentReaderReadsEveryQsoBack) {
    StartRun("Q9ME");
    struct Row {
        const char* call;
        const char* band;
        std::uint32_t hz;
        int minute;
        const char* sent;
        const char* rcvd;
    };
    const Row rows[] = {{"Q0AA", "80m", 3585500, 1, "001", "017"},
                        {"Q1BB/QRP", "40m", 7040100, 2, "002", "3"},
                        {"SV5XYZ", "20m", 14085000, 63, "003", "1234"},
                        {"Q0AA", "80m", 3586000, 100, "004", "018"}};
    for (const Row& r : rows) {
        Qso qso;
        qso.call = r.call;
        qso.band = r.band;
        qso.freqHz = r.hz;
        qso.qsoTime = Date(2016, 9, 5, 12 + r.minute / 60, r.minute % 60, 59);
        qso.exchSent = r.sent;
        qso.exchRcvd = r.rcvd;
        ASSERT_EQ(plugin.AddData(qso), 1);
    }
    const std::string result = plugin.Result();
    std::string error;
    const auto log = ReadCabrillo(ReadFile("Q9ME.cbr").value_or(""), error);
    ASSERT_TRUE(log) << error;
    ASSERT_EQ(log->qsos.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const CabrilloQso& q = log->qsos[i];
        EXPECT_EQ(q.freq, std::to_string(rows[i].hz / 1000));
        EXPECT_EQ(q.mode, "RY");
        EXPECT_EQ(q.date, "2016-09-05");
        const int minute = rows[i].minute;
        EXPECT_EQ(q.time, std::to_string(1200 + minute / 60 * 100 + minute % 60));
        EXPECT_EQ(q.sentCall, "Q9ME");
        EXPECT_EQ(q.sentRst, "599");
        EXPECT_EQ(q.sentExch, rows[i].sent);
        EXPECT_EQ(q.rcvdCall, rows[i].call);
        EXPECT_EQ(q.rcvdRst, "599");
        EXPECT_EQ(q.rcvdExch, rows[i].rcvd);
    }
    // The claimed score is the one of the result text.
    const auto claimed = log->header.find("CLAIMED-SCORE");
    ASSERT_NE(claimed, log->header.end());
    EXPECT_NE(result.find("Score: = " + claimed->second + "\r\n"), std::string::npos);
    EXPECT_EQ(log->header.count("SOAPBOX"), 1u);
}

TEST_F(CabrilloTest, RepeatedRequestsWriteEveryQsoOnce) {
    StartRun();
    plugin.AddData(Qso());
    plugin.Result();
    plugin.Result();
    const std::string text = ReadFile("N0CALL.cbr").value_or("");
    EXPECT_EQ(text.find("QSO: "), text.rfind("QSO: ")) << text;
}

TEST_F(CabrilloTest, FileStemFromTheCallSign) {
    const std::pair<std::string, std::string> cases[] = {
        {"N0CALL/P", "N0CALL_P"}, {"AB\\CD", "AB_CD"}, {" \tN0CALL \r\n", "N0CALL"},
        {"", "QQRC"},             {"   ", "QQRC"},     {"Q0/A B/", "Q0_A B_"},
    };
    for (const auto& [call, stem] : cases) {
        SCOPED_TRACE(call);
        Plugin fresh;
        Reset reset;
        reset.cabrilloEnabled = 1;
        reset.contestantCall = call;
        fresh.ResetStats(reset);
        MessageBoxWatcher boxes;
        fresh.Result();
        EXPECT_TRUE(ReadFile(stem + ".cbr").has_value());
        EXPECT_EQ(boxes.Shown(), (std::vector<ShownBox>{{"Output", "File produced: " + stem + ".cbr"}}));
        // The CALLSIGN line keeps the call as it came.
        EXPECT_NE(ReadFile(stem + ".cbr").value_or("").find("\r\nCALLSIGN: " + call + "\r\n"), std::string::npos);
    }
}

TEST_F(CabrilloTest, AFileThatCannotBeWrittenIsReportedNotAnnounced) {
    std::filesystem::create_directory("N0CALL.cbr");  // the name is taken by a folder
    StartRun();
    plugin.AddData(Qso());
    MessageBoxWatcher boxes;
    int32_t code = 5;
    const std::string result = plugin.Result(&code);
    EXPECT_EQ(boxes.Shown(), (std::vector<ShownBox>{{"Output", "File not produced: N0CALL.cbr"}}));
    EXPECT_EQ(code, 5);
    EXPECT_NE(result.find("Score: = 6\r\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory("N0CALL.cbr"));
}

TEST_F(CabrilloTest, NoCabrilloOutputWithoutTheFlag) {
    Reset reset;
    plugin.ResetStats(reset);
    plugin.AddData(Qso());
    MessageBoxWatcher boxes;
    int32_t code = 5;
    plugin.Result(&code);
    EXPECT_EQ(code, 5);
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_FALSE(ReadFile("N0CALL.cbr").has_value());
}

TEST_F(CabrilloTest, HeaderValuesComeFromTheSettingsFile) {
    WriteFile("Plugins/KYRVEN.ini",
              "[Settings]\r\n"
              "Operators=\r\n"
              "Name=  Ann Operator  \r\n"
              "address=\"1 Long Road\"\r\n"
              "Address-City=Kyrvenstad\r\n"
              "Address-PostalCode=12345\r\n"
              "Address-Country=Kyrvenia\r\n"
              "Email=ann@example.org\r\n"
              "Club=Radio Club\r\n"
              "SoapBox=Line one<CR><LF>Line two\r\n"
              "Category=CHECKLOG\r\n"
              "Power=QRP\r\n"
              "Location=" + std::string(150, 'L') + "\r\n"
              "Claimed=999\r\n");
    StartRun();
    plugin.AddData(Qso());
    plugin.Result();
    const std::string text = ReadFile("N0CALL.cbr").value_or("");
    EXPECT_EQ(text.substr(0, text.find("QSO: ")),
              "START-OF-LOG: 3.0\r\n"
              "CONTEST: KYRVEN RTTY CONTEST \r\n"
              "CALLSIGN: N0CALL\r\n"
              "CATEGORY-OPERATOR: SINGLE-OP\r\n"  // fixed at every reset
              "CATEGORY-BAND: ALL\r\n"
              "CATEGORY-MODE: RTTY \r\n"
              "CATEGORY-POWER: HIGH\r\n"
              "CLAIMED-SCORE: 6\r\n"
              "CLUB: Radio Club\r\n"
              "CREATED-BY: Zorv \r\n"
              "NAME: Ann Operator\r\n"
              "ADDRESS: 1 Long Road\r\n"
              "ADDRESS-CITY: Kyrvenstad\r\n"
              "ADDRESS-POSTALCODE: 12345\r\n"
              "ADDRESS-COUNTRY: Kyrvenia\r\n"
              "EMAIL: ann@example.org\r\n"
              "OPERATORS: \r\n"  // present and empty: no default
              "SOAPBOX: Line one\r\n"
              "SOAPBOX: Line two\r\n");
    // A cancelled dialog saves nothing; the result request writes only Claimed.
    const std::string ini = ReadFile("Plugins/KYRVEN.ini").value_or("");
    EXPECT_NE(ini.find("\r\nClaimed=6\r\n"), std::string::npos);
    EXPECT_NE(ini.find("\r\nCategory=CHECKLOG\r\nPower=QRP\r\n"), std::string::npos);
}

TEST_F(CabrilloTest, ClaimedScoreIsWrittenAtEveryRequest) {
    std::filesystem::create_directory("Plugins");
    plugin.AddData(Qso());
    plugin.Result();
    EXPECT_EQ(ReadFile("Plugins/KYRVEN.ini"), std::optional<std::string>("[Settings]\r\nClaimed=6\r\n"));
    plugin.AddData(Qso());
    plugin.Result();
    EXPECT_EQ(ReadFile("Plugins/KYRVEN.ini"), std::optional<std::string>("[Settings]\r\nClaimed=12\r\n"));
}

TEST_F(CabrilloTest, NoPluginsFolderCostsOnlyTheClaimedKey) {
    StartRun();
    plugin.AddData(Qso());
    const std::string result = plugin.Result();
    EXPECT_NE(result.find("Score: = 6\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("Plugins"));
    EXPECT_NE(ReadFile("N0CALL.cbr").value_or("").find("CLAIMED-SCORE: 6\r\n"), std::string::npos);
}

TEST_F(CabrilloTest, CreatedByCarriesTheHostsVersion) {
    const struct {
        const char* name;
        std::string bytes;
        const char* line;
    } cases[] = {
        {"Zorv.exe", ProgramFile(2, 20, 0, 5), "CREATED-BY: Zorv 2.20\r\n"},
        {"Zorv.exe", ProgramFile(3, 1, 2, 0), "CREATED-BY: Zorv 3.1.2\r\n"},
        {"MyZorvLogger.exe", ProgramFile(2, 7, 9, 9), "CREATED-BY: Zorv 2.7\r\n"},
        {"Zorv.exe", ProgramFile(3, 1, 2, 0).substr(0, 600), "CREATED-BY: Zorv \r\n"},  // damaged
        {"Zorv.exe", "MZ", "CREATED-BY: Zorv \r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::filesystem::remove("Zorv.exe");
        std::filesystem::remove("MyZorvLogger.exe");
        WriteFile(c.name, c.bytes);
        Plugin fresh;
        Reset reset;
        reset.cabrilloEnabled = 1;
        fresh.ResetStats(reset);
        fresh.Result();
        const std::string text = ReadFile("N0CALL.cbr").value_or("");
        EXPECT_NE(text.find("\r\nCLUB: \r\n" + std::string(c.line) + "NAME: "), std::string::npos) << text;
    }
}

TEST_F(CabrilloTest, HostProgramWithoutTheExactNameGivesNoVersion) {
    WriteFile("zorv.exe", "not even a program");
    WriteFile("Other.exe", "MZ");
    StartRun();
    plugin.Result();
    EXPECT_NE(ReadFile("N0CALL.cbr").value_or("").find("\r\nCREATED-BY: Zorv \r\n"), std::string::npos);
}

TEST_F(CabrilloTest, ARunWithoutTheFlagAfterOneWithItWritesNoFile) {
    StartRun("Q9ME");
    Reset plain;
    plain.contestantCall = "Q9ME";
    plugin.ResetStats(plain);
    plugin.AddData(Qso());
    MessageBoxWatcher boxes;
    int32_t code = 5;
    plugin.Result(&code);
    EXPECT_FALSE(ReadFile("Q9ME.cbr").has_value());
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(code, 5);
}

}  // namespace
}  // namespace stats::test
