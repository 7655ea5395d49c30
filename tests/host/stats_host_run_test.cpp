// stats-host run as the operator runs it: a child process on a log, in a
// folder of its own.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/host_test_files.h"
#include "host/run_program.h"
#include "support/cabrillo_reader.h"
#include "support/workdir.h"

namespace stats::test {
namespace {

namespace fs = std::filesystem;

// The number on the summary line that starts with the label; -1 when none.
long SummaryNumber(const std::string& err, const std::string& label) {
    const std::string text = Unix(err);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        const std::size_t start = line.find_first_not_of(' ');
        if (start == std::string::npos || line.compare(start, label.size(), label) != 0) continue;
        line = line.substr(start + label.size());
        const std::size_t digits = line.find_first_not_of(' ');
        if (digits == std::string::npos || line[digits] < '0' || line[digits] > '9') continue;
        return std::stol(line.substr(digits));
    }
    return -1;
}

// A log file of QSOs without a header.
std::string Log(const std::vector<std::string>& records) {
    std::string bytes;
    for (const std::string& record : records) bytes += record + "<EOR>\n";
    return bytes;
}

class StatsHostRun : public ::testing::Test {
protected:
    ProgramRun Run(const std::vector<std::string>& args, const RunOptions& options = {}) {
        fs::create_directories(dir.Path() / "scratch");
        ProgramRun run = RunProgram(kHost, args, dir.Path() / "scratch", options);
        EXPECT_FALSE(run.timedOut) << "stats-host was killed after " << options.timeout.count() << " s\n" << run.err;
        return run;
    }
    fs::path At(const fs::path& relative) const { return (dir.Path() / relative).lexically_normal(); }

    WorkDir dir;
};

TEST_F(StatsHostRun, ScoresTheSampleLog) {
    // Relative paths, taken from the folder it was started in; the working
    // folder is made.
    fs::create_directories("logs");
    fs::copy_file(kSample, "logs/sample.adi");
    const ProgramRun run = Run({"logs/sample.adi", "--workdir", "run/here"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    EXPECT_EQ(Unix(run.out), Unix(ReadFile(kExpected / "sample_result.txt").value()));
    EXPECT_EQ(ReadFile("run/here/err.txt"), ReadFile(kExpected / "sample_err.txt"));
    EXPECT_FALSE(fs::exists("err.txt")) << "the plug-in ran in the starting folder";

    const struct {
        const char* label;
        long value;
    } summary[] = {
        {"Records read", 300},        {"Stored", 293},
        {"Refused", 7},               {"NO CONTEST BAND !!!", 3},
        {"NO RX/TX NUMBER !!!", 1},   {"NO CONTEST MODE !!!", 3},
        {"Duplicates noted", 5},
    };
    for (const auto& line : summary) EXPECT_EQ(SummaryNumber(run.err, line.label), line.value) << line.label << "\n" << run.err;
    EXPECT_TRUE(Contains(run.err, At("run/here/err.txt").string() + " (12 lines added)")) << run.err;
    EXPECT_TRUE(Contains(run.err, At("logs/sample.adi").string())) << run.err;
    EXPECT_FALSE(Contains(run.err, "Cabrillo file")) << run.err;
}

TEST_F(StatsHostRun, CountsOnlyTheLinesThisRunAddsToErrTxt) {
    const std::string earlier =
        "QSO:  7040  RTTY  2026-03-14 1200  Q0KRV  599  001  Q1AB  599  002   DUPE !!!\r\n"
        "QSO:  7040  CW  2026-03-14 1201  Q0KRV  599  002  Q1CD  599  003   NO CONTEST MODE !!!\r\n";
    WriteFile("err.txt", earlier);
    const ProgramRun run = Run({kSample.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile("err.txt"), earlier + ReadFile(kExpected / "sample_err.txt").value());
    EXPECT_EQ(SummaryNumber(run.err, "Duplicates noted"), 5) << run.err;
    EXPECT_EQ(SummaryNumber(run.err, "NO CONTEST MODE !!!"), 3) << run.err;
    EXPECT_TRUE(Contains(run.err, "(12 lines added)")) << run.err;
}

TEST_F(StatsHostRun, OptionsOverrideWhatTheLogSays) {
    // No station call in the log; the QSO's country is not the log's own one.
    WriteFile("small.adi",
              Log({"<CALL:4>Q2AB<QSO_DATE:8>20260314<TIME_ON:4>1200<BAND:3>20M<FREQ:6>14.085<MODE:4>RTTY"
                   "<STX:1>1<SRX:2>17<COUNTRY:7>Estmark<MY_COUNTRY:8>Rolvania",
                   "<CALL:4>Q2CD<QSO_DATE:8>20260315<TIME_ON:4>0100<BAND:3>30M<FREQ:6>10.140<MODE:4>RTTY"
                   "<RST_SENT:3>599<RST_RCVD:3>599<STX:1>2<SRX:2>18<COUNTRY:7>Estmark"}));
    const struct {
        const char* name;
        std::vector<std::string> options;
        std::string heading;
        std::string score;
        std::string errLine;
    } cases[] = {
        {"from the log", {}, "KYRVEN RTTY CONTEST  14.03-15.03.2026 \n\tContestant: \n", "Score: = 2\n",
         "QSO:  10140  RTTY  2026-03-15 0100    599  2  Q2CD  599  18   NO CONTEST BAND !!!\r\n"},
        {"from the options",
         {"--call", "Q9ZZZ", "--country=Estmark", "--from", "2026-02-01", "--to", "20260203"},
         "KYRVEN RTTY CONTEST  01.02-03.02.2026 \n\tContestant: Q9ZZZ\n", "Score: = 1\n",
         "QSO:  10140  RTTY  2026-03-15 0100  Q9ZZZ  599  2  Q2CD  599  18   NO CONTEST BAND !!!\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove("err.txt");
        std::vector<std::string> args = {"small.adi"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const ProgramRun run = Run(args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string out = Unix(run.out);
        EXPECT_EQ(out.rfind(c.heading, 0), 0u) << out;
        EXPECT_TRUE(Contains(out, c.score)) << out;
        EXPECT_EQ(ReadFile("err.txt"), c.errLine);
    }
}

TEST_F(StatsHostRun, MalformedLogPassesNothingToThePlugin) {
    const std::string good = "<CALL:4>Q2AB<BAND:3>20M<MODE:4>RTTY<STX:1>1<SRX:2>17<EOR>\n";
    const struct {
        const char* name;
        std::string bytes;
        std::string said;
    } cases[] = {
        {"truncated tag", good + "<CALL:4>Q2CD<BAND:3", "record 2, byte 70: truncated tag"},
        {"length past the end", good + "<CALL:40>Q2CD<EOR>", "record 2, byte 58: the value of CALL (40 bytes)"},
        {"bad length", good + "<CALL:4x>Q2CD<EOR>", "record 2, byte 58: bad length '4x'"},
        {"no <EOR>", good + "<CALL:4>Q2CD\n", "record 2, byte 58: the record has no <EOR>"},
        {"no frequency", good + "<CALL:4>Q2CD<FREQ:4>14,1<EOR>", "record 2, byte 58: FREQ '14,1'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile("bad.adi", c.bytes);
        const ProgramRun run = Run({"bad.adi", "--workdir", "run"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(Contains(run.err, At("bad.adi").string() + ": " + c.said)) << run.err;
        EXPECT_EQ(run.out, "");
        // AddData0 makes err.txt at its first call.
        EXPECT_FALSE(fs::exists("run/err.txt"));
        EXPECT_FALSE(fs::exists("err.txt"));
    }

    const ProgramRun missing = Run({"missing.adi"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err, At("missing.adi").string() + ": cannot open the file")) << missing.err;
    EXPECT_FALSE(fs::exists("err.txt"));
}

TEST_F(StatsHostRun, WrongUsageExitsWithTwo) {
    const std::string log = kSample.string();
    const struct {
        std::vector<std::string> args;
        std::string said;
    } cases[] = {
        {{}, "no log file given"},
        {{log, "--bogus"}, "unknown option --bogus"},
        {{log, "other.adi"}, "one log file only"},
        {{log, "--call"}, "option --call needs a value"},
        {{log, "--from", "2026-13-01"}, "'2026-13-01' is not a day"},
        {{log, "--to=14.03.2026"}, "'14.03.2026' is not a day"},
        {{log, "--from", "20260315", "--to", "20260314"}, "--from is after --to"},
        {{log, "--to", "20260301"}, "the contest period would end before it starts"},
        {{log, "--cabrillo=yes"}, "option --cabrillo takes no value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        const ProgramRun run = Run(c.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(Contains(run.err, c.said)) << run.err;
        EXPECT_FALSE(fs::exists("err.txt"));
    }
}

TEST_F(StatsHostRun, PluginThatCannotBeLoadedIsNamed) {
    WriteFile("not-a-library", "plain text");
    for (const std::string plugin : {"no-such-library", "not-a-library"}) {
        SCOPED_TRACE(plugin);
        const ProgramRun run = Run({kSample.string(), "--plugin", plugin});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(Contains(run.err, "cannot load the plug-in " + At(plugin).string())) << run.err;
        EXPECT_FALSE(fs::exists("err.txt"));
    }
}

TEST_F(StatsHostRun, ReportsTheCabrilloFileItFindsNotOneItGuesses) {
    // An older .cbr file in the folder was not written by this run.
    WriteFile("OLD.cbr", "START-OF-LOG: 3.0\r\n");
    fs::last_write_time("OLD.cbr", fs::file_time_type::clock::now() - std::chrono::hours(48));
    RunOptions options;
    options.closeWindows = true;
    const ProgramRun run = Run({kSample.string(), "--cabrillo", "--plugin", kPlugin}, options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(Contains(run.err, "OLD.cbr")) << run.err;

    std::vector<fs::path> written;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= 4 && name.substr(name.size() - 4) == ".cbr" && name != "OLD.cbr")
            written.push_back(entry.path().lexically_normal());
    }
    ASSERT_EQ(written.size(), 1u) << run.err;
    EXPECT_TRUE(Contains(Unix(run.err), "Cabrillo file          " + written[0].string() + "\n")) << run.err;
}

// Both platforms write the same bytes from the same settings: on Linux there
// is no terminal, so the form is not shown and the loaded values are used; on
// Windows the operator presses OK, which keeps them.
TEST_F(StatsHostRun, WritesTheSampleCabrilloFileWithTheStoredHeader) {
    WriteFile("Plugins/KYRVEN.ini", kHeaderSettings);
    RunOptions options;
    options.closeWindows = true;
    const ProgramRun run = Run({kSample.string(), "--cabrillo"}, options);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const std::optional<std::string> written = ReadFile("Q0KRV.cbr");
    ASSERT_TRUE(written) << run.err;
    EXPECT_EQ(FirstDifference(*written, ReadFile(kExpected / "sample_cabrillo.cbr").value()), "");
    // The Cabrillo flag changes nothing else.
    EXPECT_EQ(Unix(run.out), Unix(ReadFile(kExpected / "sample_result.txt").value()));
    EXPECT_EQ(ReadFile("err.txt"), ReadFile(kExpected / "sample_err.txt"));

#ifdef _WIN32
    ASSERT_EQ(run.windows.size(), 2u) << run.err;
    EXPECT_TRUE(run.windows[0].headerDialog) << run.windows[0].caption;
    EXPECT_FALSE(run.windows[1].headerDialog);
    EXPECT_EQ(run.windows[1].caption, "Output");
    EXPECT_EQ(run.windows[1].text, "File produced: Q0KRV.cbr");
    // Only OK saves, and it saves every key, the written-only ones too.
    EXPECT_TRUE(Contains(ReadFile("Plugins/KYRVEN.ini").value_or(""), "Power=HIGH")) << "the dialog was not OK'd";
#else
    EXPECT_TRUE(Contains(Unix(run.err), "Output: File produced: Q0KRV.cbr\n")) << run.err;
    EXPECT_FALSE(Contains(run.out + run.err, "--- KYRVEN")) << "a form without a terminal";
    EXPECT_FALSE(Contains(ReadFile("Plugins/KYRVEN.ini").value_or(""), "Power=")) << "saved without an OK";
#endif

    // Read back by the independent reader: what a contest robot would see.
    std::string error;
    const std::optional<CabrilloFile> log = ReadCabrillo(*written, error);
    ASSERT_TRUE(log) << error;
    EXPECT_EQ(static_cast<long>(log->qsos.size()), SummaryNumber(run.err, "Stored"));
    for (const CabrilloQso& qso : log->qsos) {
        EXPECT_EQ(qso.sentCall, "Q0KRV");
        EXPECT_EQ(qso.mode, "RY");
    }
    const std::string out = Unix(run.out);
    const std::size_t score = out.find("Score: = ");
    ASSERT_NE(score, std::string::npos) << out;
    const auto value = [&](const std::string& tag) {
        const auto it = log->header.find(tag);
        return it == log->header.end() ? std::string("(none)") : it->second;
    };
    EXPECT_EQ(value("CLAIMED-SCORE"), out.substr(score + 9, out.find('\n', score) - score - 9));
    EXPECT_EQ(value("NAME"), "Ada Kestrel");
    EXPECT_EQ(value("ADDRESS-CITY"), "Port Vellin");
    EXPECT_EQ(value("CLUB"), "Rolvania Teletype Club");
    EXPECT_EQ(value("OPERATORS"), "Q0KRV");
    EXPECT_EQ(value("CREATED-BY"), "Zorv ") << "no host program lies in the work folder";
    std::vector<std::string> soapbox;
    for (auto [it, end] = log->header.equal_range("SOAPBOX"); it != end; ++it) soapbox.push_back(it->second);
    EXPECT_EQ(soapbox, (std::vector<std::string>{"Line one", "Line two"}));
}

TEST_F(StatsHostRun, VersionAndHelp) {
    const ProgramRun version = Run({"--version", "--plugin", kPlugin});
    EXPECT_EQ(version.exitCode, 0) << version.err;
    const std::string out = Unix(version.out);
    EXPECT_EQ(out.rfind("stats-host " STATS_PROJECT_VERSION "\n", 0), 0u) << out;
    EXPECT_TRUE(Contains(out, "plug-in: " + kPlugin + "\n")) << out;
    EXPECT_TRUE(Contains(out, "plug-in set 0: KYRVEN RTTY CONTEST (C)\n")) << out;

    const ProgramRun help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--call", "--country", "--from", "--to", "--cabrillo", "--workdir", "--plugin",
                               "--version", "--help"})
        EXPECT_TRUE(Contains(help.out, option)) << option;
}

}  // namespace
}  // namespace stats::test
