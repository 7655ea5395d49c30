#include "platform/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "support/workdir.h"

namespace stats::platform {
namespace {

using test::ReadFile;
using test::WriteFile;

const std::string kIni = "Plugins\\KYRVEN.ini";
const std::filesystem::path kIniPath = std::filesystem::path("Plugins") / "KYRVEN.ini";

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory("Plugins"); }
    test::WorkDir dir;
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesNone) {
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "Name"), std::nullopt);

    WriteFile(kIniPath, "[Other]\r\nName=x\r\n[Settings]\r\nClub=y\r\n");
    EXPECT_EQ(ReadProfileString(kIni, "Nowhere", "Name"), std::nullopt);
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "Name"), std::nullopt);
    EXPECT_EQ(ReadProfileString(kIni, "Other", "Club"), std::nullopt);
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "Club"), "y");
    EXPECT_EQ(ReadProfileString(kIni, "Other", "Name"), "x");
}

TEST_F(ProfileTest, ValuesAsTheyReadBack) {
    WriteFile(kIniPath,
              "[Settings]\r\n"
              "Empty=\r\n"
              "Spaced  =  \t two words \t \r\n"
              "  Indented=yes\r\n"
              "Double=\" quoted \"\r\n"
              "Single='single'\r\n"
              "Mismatched=\"half'\r\n"
              "Twice=\"\"inner\"\"\r\n"
              "Lonely=\"\r\n"
              "Equals=a=b=c\r\n"
              "Soap=Line one<CR><LF>Line two\r\n");
    const struct {
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"Empty", ""},
        {"Spaced", "two words"},
        {"Indented", "yes"},
        {"Double", " quoted "},
        {"Single", "single"},
        {"Mismatched", "\"half'"},
        {"Twice", "\"inner\""},
        {"Lonely", "\""},
        {"Equals", "a=b=c"},
        {"Soap", "Line one<CR><LF>Line two"},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadProfileString(kIni, "Settings", c.key), c.value) << c.key;
}

TEST_F(ProfileTest, NamesMatchInAnyLetterCase) {
    WriteFile(kIniPath, "[SETTINGS]\r\noperators=N0CALL\r\n");
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "Operators"), "N0CALL");
    EXPECT_EQ(ReadProfileString(kIni, "settings", "OPERATORS"), "N0CALL");

    // A write finds the same line rather than adding a second one.
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "OPERATORS", "Q0DX"));
    EXPECT_EQ(ReadFile(kIniPath), "[SETTINGS]\r\noperators=Q0DX\r\n");
}

TEST_F(ProfileTest, ReadsLfOnlyFilesAndALastLineWithoutLineEnd) {
    WriteFile(kIniPath, "[Settings]\nName=Ann\nClub=KRC");
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "Name"), "Ann");
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "Club"), "KRC");
}

TEST_F(ProfileTest, LongValueIsReadWhole) {
    std::string value;
    for (int i = 0; i < 300; ++i) value += static_cast<char>('a' + i % 26);
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "SoapBox", value));
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "SoapBox"), value);

    // Quotes around a long value still come off.
    WriteFile(kIniPath, "[Settings]\r\nSoapBox=\"" + value + "\"\r\n");
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "SoapBox"), value);
}

TEST_F(ProfileTest, FirstWriteCreatesFileAndSection) {
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Operators", "N0CALL"));
    EXPECT_EQ(ReadFile(kIniPath), "[Settings]\r\nOperators=N0CALL\r\n");
}

TEST_F(ProfileTest, SavingTheThirteenKeysListsThemInOrder) {
    const std::vector<std::pair<std::string, std::string>> keys = {
        {"Operators", "N0CALL"}, {"Name", "Ann Example"}, {"Address", "1 Main St"},
        {"Address-City", "Town"}, {"Address-PostalCode", "12345"}, {"Address-Country", "Kyrven"},
        {"Category", "SINGLE-OP"}, {"Location", ""}, {"Power", "HIGH"},
        {"Contest", "KYRVEN RTTY CONTEST"}, {"Email", "ann@example.org"}, {"Club", ""},
        {"SoapBox", "Line one<CR><LF>Line two"},
    };
    std::string expected = "[Settings]\r\n";
    for (const auto& [key, value] : keys) {
        ASSERT_TRUE(WriteProfileString(kIni, "Settings", key, value)) << key;
        expected += key + "=" + value + "\r\n";
    }
    EXPECT_EQ(ReadFile(kIniPath), expected);
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "Location"), "");

    // A trailing blank is not read back (the system's writer on Wine drops it
    // already, ours keeps it in the file).
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Contest", "KYRVEN RTTY CONTEST "));
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "Contest"), "KYRVEN RTTY CONTEST");
}

// A file edited by hand: comments, blank lines, other sections, odd spacing
// and LF-only line ends, and a last line without a line end.
// A file edited by hand: comments, blank lines, other sections, odd spacing
// and LF-only line ends, and a last line without a line end.
const std::string kHandEdited =
    "; settings of the contest plug-in\r\n"
    "[Other]\r\n"
    "Claimed = 7\n"
    "\r\n"
    "[ Settings ]\r\n"
    "  Name =  Ann \r\n"
    "Claimed=100\r\n"
    "; comment after the keys\r\n"
    "\r\n"
    "[Last]\r\n"
    "Key = value";

// Every key of the hand-edited file, with the value it should read back as.
void ExpectValues(const std::vector<std::tuple<const char*, const char*, const char*>>& values) {
    for (const auto& [section, key, value] : values)
        EXPECT_EQ(ReadProfileString(kIni, section, key), value) << section << "/" << key;
}

// Our own writer leaves the untouched lines byte for byte. The Windows build
// hands the file to the system, which may lay it out anew (Wine's does), so
// there the values are what must survive.
void ExpectBytes([[maybe_unused]] const std::string& expected) {
#ifndef _WIN32
    EXPECT_EQ(ReadFile(kIniPath), expected);
#endif
}

TEST_F(ProfileTest, ReplacingAValueLeavesEveryOtherLineAlone) {
    WriteFile(kIniPath, kHandEdited);
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Claimed", "4321"));
    std::string expected = kHandEdited;
    expected.replace(expected.find("Claimed=100"), 11, "Claimed=4321");
    ExpectBytes(expected);
    ExpectValues({{"Other", "Claimed", "7"}, {"Settings", "Name", "Ann"}, {"Settings", "Claimed", "4321"},
                  {"Last", "Key", "value"}});
}

TEST_F(ProfileTest, NewKeyFollowsTheLastKeyOfItsSection) {
    WriteFile(kIniPath, kHandEdited);
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Club", "KRC"));
    std::string expected = kHandEdited;
    expected.insert(expected.find("; comment after"), "Club=KRC\r\n");
    ExpectBytes(expected);
    ExpectValues({{"Other", "Claimed", "7"}, {"Settings", "Name", "Ann"}, {"Settings", "Claimed", "100"},
                  {"Settings", "Club", "KRC"}, {"Last", "Key", "value"}});
    EXPECT_EQ(ReadProfileString(kIni, "Last", "Club"), std::nullopt);
}

TEST_F(ProfileTest, NewSectionGoesAtTheEnd) {
    WriteFile(kIniPath, kHandEdited);
    ASSERT_TRUE(WriteProfileString(kIni, "New", "Key", "v"));
    ExpectBytes(kHandEdited + "\r\n[New]\r\nKey=v\r\n");
    ExpectValues({{"New", "Key", "v"}, {"Last", "Key", "value"}, {"Settings", "Claimed", "100"}});

    // A key for the section whose last line had no line end.
    WriteFile(kIniPath, kHandEdited);
    ASSERT_TRUE(WriteProfileString(kIni, "Last", "More", "w"));
    ExpectBytes(kHandEdited + "\r\nMore=w\r\n");
    ExpectValues({{"Last", "Key", "value"}, {"Last", "More", "w"}});
}

TEST_F(ProfileTest, WriteWithoutPluginsFolderFailsAndCreatesNothing) {
    std::filesystem::remove("Plugins");
    EXPECT_FALSE(WriteProfileString(kIni, "Settings", "Claimed", "42"));
    EXPECT_FALSE(std::filesystem::exists("Plugins"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST_F(ProfileTest, ValueWithEqualsSignRoundTrips) {
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Club", "a=b"));
    EXPECT_EQ(ReadFile(kIniPath), "[Settings]\r\nClub=a=b\r\n");
    EXPECT_EQ(ReadProfileString(kIni, "Settings", "Club"), "a=b");
}

// The exact bytes after a fixed run of writes. The same expectation holds on
// every platform the plug-in is built for, so the builds leave identical files.
TEST_F(ProfileTest, BytesAfterAFixedRunOfWrites) {
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Operators", "N0CALL"));
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Name", ""));
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Claimed", "120"));
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Name", "Ann"));
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Claimed", "1234"));
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "SoapBox", "a<CR><LF>b"));
    ASSERT_TRUE(WriteProfileString(kIni, "Settings", "Club", "x=y"));
    EXPECT_EQ(ReadFile(kIniPath),
              "[Settings]\r\n"
              "Operators=N0CALL\r\n"
              "Name=Ann\r\n"
              "Claimed=1234\r\n"
              "SoapBox=a<CR><LF>b\r\n"
              "Club=x=y\r\n");
}

}  // namespace
}  // namespace stats::platform
