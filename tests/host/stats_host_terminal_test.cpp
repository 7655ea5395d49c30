// stats-host --cabrillo started at a terminal: the plug-in's header form comes
// up before anything is scored, and what the operator does there decides the
// header of the Cabrillo file and what the settings file keeps.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "host/host_test_files.h"
#include "host/pty_program.h"
#include "support/workdir.h"

namespace stats::test {
namespace {

const char kFormEnd[] = "c: Cancel.\n> ";

// The number the last form shown gives the field; empty when it shows none.
std::string FieldNumber(const std::string& shown, const std::string& caption) {
    const std::size_t form = shown.rfind("\n--- ");
    std::istringstream lines(shown.substr(form == std::string::npos ? 0 : form));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string number, name;
        if (words >> number >> name && name == caption && number.find_first_not_of("0123456789") == std::string::npos)
            return number;
    }
    return {};
}

// A key's value in the settings file; none when the key is missing.
std::optional<std::string> SettingsValue(const std::string& file, const std::string& key) {
    std::istringstream lines(file);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return std::nullopt;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(StatsHostTerminal, FormComesBeforeTheScoreAndDecidesTheHeader) {
    const std::string expectedCabrillo = ReadFile(kExpected / "sample_cabrillo.cbr").value();
    const std::string table = Unix(ReadFile(kExpected / "sample_result.txt").value());
    const struct {
        const char* name;
        const char* close;  // what the operator types after changing NAME
        const char* closed;  // what the form says then
        const char* kept;    // NAME of the Cabrillo file and Name of the settings file
    } cases[] = {
        {"OK keeps the change", "o\n", "\nOK\n", "Kit Marlow"},
        {"Cancel drops it", "c\n", "\nCancelled\n", "Ada Kestrel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WorkDir dir;
        WriteFile("Plugins/KYRVEN.ini", kHeaderSettings);
        PtyProgram host(kHost, {kSample.string(), "--cabrillo"});
        ASSERT_TRUE(host.Started());

        ASSERT_TRUE(host.WaitFor(kFormEnd)) << host.Shown();
        EXPECT_TRUE(Contains(host.Shown(), "\n--- KYRVEN RTTY CONTEST  ---\n")) << host.Shown();
        EXPECT_TRUE(Contains(host.Shown(), " NAME                 [Ada Kestrel]\n")) << host.Shown();
        EXPECT_FALSE(Contains(host.Shown(), "Score:")) << "scored before the form closed";
        EXPECT_FALSE(std::filesystem::exists("err.txt")) << "QSOs passed before the form closed";

        const std::string number = FieldNumber(host.Shown(), "NAME");
        ASSERT_FALSE(number.empty()) << host.Shown();
        std::size_t mark = host.Shown().size();
        host.Type(number + "\n");
        ASSERT_TRUE(host.WaitFor("\nNAME> ", mark)) << host.Shown();
        mark = host.Shown().size();
        host.Type("Kit Marlow\n");
        ASSERT_TRUE(host.WaitFor(kFormEnd, mark)) << host.Shown();
        EXPECT_TRUE(Contains(host.Shown().substr(mark), " NAME                 [Kit Marlow]\n")) << host.Shown();

        mark = host.Shown().size();
        host.Type(c.close);
        ASSERT_TRUE(host.WaitFor("[Press Enter]", mark)) << host.Shown();
        EXPECT_TRUE(Contains(host.Shown().substr(mark), "Output: File produced: Q0KRV.cbr\n")) << host.Shown();
        host.Type("\n");
        ASSERT_EQ(host.Wait(), 0) << host.Shown();

        const std::string after = host.Shown().substr(mark);
        const std::size_t closed = after.find(c.closed);
        const std::size_t scored = after.find(table);
        ASSERT_NE(closed, std::string::npos) << after;
        ASSERT_NE(scored, std::string::npos) << "no result table:\n" << after;
        EXPECT_LT(closed, scored) << after;
        EXPECT_TRUE(Contains(after, "Cabrillo file          " + (dir.Path() / "Q0KRV.cbr").string() + "\n")) << after;

        const std::string cabrillo = ReadFile("Q0KRV.cbr").value_or("");
        EXPECT_EQ(FirstDifference(cabrillo, Replaced(expectedCabrillo, "NAME: Ada Kestrel\r\n",
                                                     std::string("NAME: ") + c.kept + "\r\n")),
                  "");
        const std::string settings = ReadFile("Plugins/KYRVEN.ini").value_or("");
        EXPECT_EQ(SettingsValue(settings, "Name"), c.kept) << settings;
        // Every run stores its claimed score, OK or not.
        EXPECT_EQ(SettingsValue(settings, "Claimed"), "1390") << settings;
    }
}

}  // namespace
}  // namespace stats::test
