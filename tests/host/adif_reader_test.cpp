// The ADIF reader: what it keeps of a log, and how it refuses a malformed one.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "adif_reader.h"
#include "support/workdir.h"

namespace stats::host {
namespace {

std::vector<AdifRecord> Parse(const std::string& bytes) { return ParseAdif(bytes, "test.adi"); }

TEST(AdifReader, ValuesAreTakenByTheirLengthWhateverBytesTheyHold) {
    // A value may hold '<', '>' and line breaks; only its length ends it.
    const auto records = Parse("<CALL:5>Q0ABC<COMMENT:10>a<b>\r\nc<d>\n<NAME:0><EOR>\n");
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].fields.size(), 3u);
    EXPECT_EQ(records[0].fields[1].name, "COMMENT");
    EXPECT_EQ(records[0].fields[1].value, "a<b>\r\nc<d>");
    EXPECT_EQ(records[0].Find("NAME"), std::optional<std::string_view>(""));
    EXPECT_EQ(records[0].Find("QTH"), std::nullopt);
}

TEST(AdifReader, NamesAndEndTagsMatchWithoutRegardToCase) {
    const auto records = Parse("<call:5>Q0ABC<Band:3:E>80M<eor><CaLl:4>Q1CD<EoR>");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Find("Call"), std::optional<std::string_view>("Q0ABC"));
    EXPECT_EQ(records[0].Find("BAND"), std::optional<std::string_view>("80M"));
    EXPECT_EQ(records[1].Find("call"), std::optional<std::string_view>("Q1CD"));
}

TEST(AdifReader, HeaderIsOptionalAndItsFieldsAreNotARecord) {
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t records;
    };
    const Case cases[] = {
        {"no header", "<CALL:5>Q0ABC<EOR>\n<CALL:4>Q1CD<EOR>\n", 2},
        {"header with free text", "Exported log, 3 QSOs\n<ADIF_VER:5>3.1.4 <PROGRAMID:3>abc\n<EOH>\n<CALL:5>Q0ABC<EOR>", 1},
        {"header tag at the start", "<ADIF_VER:5>3.1.4<eoh><CALL:5>Q0ABC<EOR>", 1},
        {"free text but no <EOH>", "Some words first\n<CALL:5>Q0ABC<EOR>", 1},
        {"header only", "Nothing logged yet <EOH>\n", 0},
        {"empty file", "", 0},
        {"<EOR> without fields", "<EOR><CALL:5>Q0ABC<EOR><EOR>", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto records = Parse(c.bytes);
        ASSERT_EQ(records.size(), c.records);
        for (const AdifRecord& record : records) {
            EXPECT_EQ(record.Find("ADIF_VER"), std::nullopt);
            EXPECT_EQ(record.Find("CALL"), std::optional<std::string_view>(record.fields[0].value));
        }
    }
}

TEST(AdifReader, RecordOffsetIsThatOfItsFirstTag) {
    const auto records = Parse("head<EOH>\n<CALL:5>Q0ABC<EOR>\r\n  <CALL:4>Q1CD<EOR>");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].offset, 10u);
    EXPECT_EQ(records[1].offset, 32u);
}

TEST(AdifReader, MalformedLogsAreRefusedNamingFileAndPlace) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> said;  // all of these in the message
    };
    const Case cases[] = {
        {"truncated tag at the end", "<CALL:5>Q0ABC<EOR><CALL:5", {"record 2", "byte 18", "truncated tag"}},
        {"tag cut by the next tag", "<CALL:5>Q0ABC<BAND:3<EOR>", {"record 1", "byte 13", "truncated tag"}},
        {"length past the end", "<CALL:5>Q0ABC<EOR><CALL:10>Q1CD<EOR>",
         {"record 2", "byte 18", "CALL", "runs past the end"}},
        {"length not a number", "<CALL:x5>Q0ABC<EOR>", {"record 1", "byte 0", "bad length 'x5'"}},
        {"negative length", "<CALL:-5>Q0ABC<EOR>", {"bad length '-5'"}},
        {"empty length", "<CALL:>Q0ABC<EOR>", {"bad length ''"}},
        {"length too large", "<CALL:12345678901>Q0ABC<EOR>", {"bad length '12345678901'"}},
        {"tag without a length", "<CALL:5>Q0ABC<NOTES>x<EOR>", {"byte 13", "<NOTES> has no length"}},
        {"tag without a name", "<:5>Q0ABC<EOR>", {"byte 0", "no field name"}},
        {"too many parts", "<CALL:5:S:x>Q0ABC<EOR>", {"too many parts"}},
        {"record without <EOR>", "<CALL:5>Q0ABC<EOR>\n<CALL:4>Q1CD <BAND:3>80M\n",
         {"record 2", "byte 19", "no <EOR>"}},
        {"header without <EOH>", "Log\n<ADIF_VER:5>3.1.4", {"header", "byte 4", "no <EOH>"}},
        {"<EOH> after a record", "<CALL:5>Q0ABC<EOR><EOH>", {"byte 18", "<EOH> after the header"}},
        {"no tag at all", "START-OF-LOG: 3.0\r\nQSO: 14085 RY\r\n", {"no ADIF tag found"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            Parse(c.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const AdifError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind("test.adi: ", 0), 0u) << message;
            for (const std::string& part : c.said) EXPECT_NE(message.find(part), std::string::npos) << message;
        }
    }
}

TEST(AdifReader, FilesThatCannotBeReadAreRefusedByName) {
    stats::test::WorkDir dir;
    std::filesystem::create_directory("folder.adi");
    std::vector<std::string> paths = {"missing.adi", "folder.adi"};
#ifndef _WIN32
    paths.push_back("/dev/zero");  // would feed the reader for ever
#endif
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        try {
            ReadAdifFile(path);
            ADD_FAILURE() << "accepted";
        } catch (const AdifError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(path + ": ", 0), 0u) << error.what();
        }
    }
}

TEST(AdifReader, FileIsReadByteForByte) {
    stats::test::WorkDir dir;
    stats::test::WriteFile("log.adi", std::string("<CALL:7>Q0\r\nA\0B<EOR>\r\n", 22));
    const auto records = ReadAdifFile("log.adi");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].fields[0].value, std::string("Q0\r\nA\0B", 7));
}

}  // namespace
}  // namespace stats::host
