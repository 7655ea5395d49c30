#include "platform/program_version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/program_file.h"
#include "support/workdir.h"

#ifdef STATS_REAL_PROGRAM_FIXTURE
#include "real_program_fixture.h"
#endif

namespace stats::platform {
namespace {

using namespace test;

class ProgramVersionTest : public ::testing::Test {
protected:
    test::WorkDir dir;
};

TEST_F(ProgramVersionTest, ReadsTheFileVersion) {
    const struct {
        const char* name;
        std::string bytes;
        std::uint32_t ms, ls;
    } cases[] = {
        {"Zorv.exe", ProgramFile(2, 20, 0, 5), 0x00020014, 0x00000005},
        {"Zorv2.exe", ProgramFile(3, 1, 2, 0), 0x00030001, 0x00020000},
        {"Zorv64.exe", ProgramFile(3, 1, 2, 0, true), 0x00030001, 0x00020000},
        {"High.exe", ProgramFile(65535, 65534, 65533, 65532), 0xFFFFFFFE, 0xFFFDFFFC},
    };
    for (const auto& c : cases) {
        WriteFile(c.name, c.bytes);
        const auto version = ReadFileVersion(c.name);
        ASSERT_TRUE(version.has_value()) << c.name;
        EXPECT_EQ(version->ms, c.ms) << c.name;
        EXPECT_EQ(version->ls, c.ls) << c.name;
    }
}

TEST_F(ProgramVersionTest, MissingFileOrFolderHasNoVersion) {
    EXPECT_EQ(ReadFileVersion("Zorv.exe"), std::nullopt);
    std::filesystem::create_directory("Folder.exe");
    EXPECT_EQ(ReadFileVersion("Folder.exe"), std::nullopt);
}

#ifdef STATS_REAL_PROGRAM_FIXTURE
// A program built by the cross toolchain with a compiled version resource
// (file version 3.1.2.0, product version 9.8.7.6): our reader and the system's
// must agree on files that the usual tools write.
TEST_F(ProgramVersionTest, ReadsAProgramBuiltByTheToolchain) {
    WriteFile("Zorv.exe", std::string(reinterpret_cast<const char*>(kRealProgramFixture), sizeof kRealProgramFixture));
    const auto version = ReadFileVersion("Zorv.exe");
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->ms, 0x00030001u);
    EXPECT_EQ(version->ls, 0x00020000u);
}
#endif

TEST_F(ProgramVersionTest, EveryShorterPrefixHasNoVersion) {
    const std::string full = ProgramFile(2, 20, 0, 5);
    for (std::size_t length = 0; length <= full.size(); ++length) {
        WriteFile("Cut.exe", full.substr(0, length));
        const auto version = ReadFileVersion("Cut.exe");  // must not crash, whatever the length
        if (length == full.size()) {
            ASSERT_TRUE(version.has_value());
            EXPECT_EQ(version->ms, 0x00020014u);
        } else {
            EXPECT_EQ(version, std::nullopt) << "cut at " << length;
        }
    }
}

TEST_F(ProgramVersionTest, DamagedFilesHaveNoVersion) {
    using Damage = void (*)(std::string&);
    const struct {
        const char* what;
        Damage damage;
    } cases[] = {
        {"empty file", [](std::string& f) { f.clear(); }},
        {"not a program", [](std::string& f) { f = "This is a text file, not a program.\r\n"; }},
        {"no MZ", [](std::string& f) { f[0] = 'X'; }},
        {"e_lfanew past the end", [](std::string& f) { Put32(f, kLfanewField, 0x7FFFFFF0); }},
        {"e_lfanew wraps around", [](std::string& f) { Put32(f, kLfanewField, 0xFFFFFFFF); }},
        {"no PE signature", [](std::string& f) { f[kPeHeader + 1] = 'X'; }},
        {"unknown optional header", [](std::string& f) { Put16(f, kOptionalHeader, 0x0107); }},
        {"optional header past the end", [](std::string& f) { Put16(f, kPeHeader + 20, 0xFFFF); }},
        {"no resource directory", [](std::string& f) { Put32(f, kOptionalHeader + 92, 2); }},
        {"resources in no section", [](std::string& f) { Put32(f, kOptionalHeader + 96 + 16, 0x50000); }},
        {"section table past the end", [](std::string& f) { Put16(f, kPeHeader + 6, 0xFFFF); }},
        {"section data past the end", [](std::string& f) { Put32(f, kOptionalHeader + 224 + 20, 0x7FFFFFFF); }},
        {"section larger than the file", [](std::string& f) { Put32(f, kOptionalHeader + 224 + 16, 0x10000); }},
        {"huge entry counts", [](std::string& f) { Put32(f, kTypeDirectory + 12, 0xFFFFFFFF); }},
        {"no version type", [](std::string& f) { Put32(f, kTypeDirectory + 16, 3); }},
        {"name level points at the root",
         [](std::string& f) { Put32(f, kNameDirectory + 20, 0x80000000u); }},
        {"language level points at itself",
         [](std::string& f) { Put32(f, kLanguageDirectory + 20, 0x80000000u | 0x30); }},
        {"type entry is data", [](std::string& f) { Put32(f, kTypeDirectory + 20, 0x48); }},
        {"directory offset past the end", [](std::string& f) { Put32(f, kNameDirectory + 20, 0x8FFFFFF0u); }},
        {"data entry past the end", [](std::string& f) { Put32(f, kLanguageDirectory + 20, 0x7FFFFFF0); }},
        // The system may choose another language than the first: each must be sound.
        {"second language entry unsound", [](std::string& f) { Put16(f, kLanguageDirectory + 14, 2); }},
        {"second name entry unsound", [](std::string& f) { Put16(f, kNameDirectory + 14, 2); }},
        {"data outside every section", [](std::string& f) { Put32(f, kDataEntry, 0x9000); }},
        {"data longer than its section", [](std::string& f) { Put32(f, kDataEntry + 4, 0x1000); }},
        {"block longer than its data", [](std::string& f) { Put16(f, kVersionBlock, kVersionBlockSize + 4); }},
        {"block too short for the fixed part", [](std::string& f) { Put16(f, kVersionBlock, 60); }},
        {"no fixed part", [](std::string& f) { Put16(f, kVersionBlock + 2, 0); }},
        {"fixed part past the block", [](std::string& f) { Put16(f, kVersionBlock + 2, 56); }},
        {"wrong key", [](std::string& f) { Put16(f, kVersionBlock + 6 + 2 * 14, 'X'); }},
        {"wrong signature", [](std::string& f) { Put32(f, kFixedInfo, 0xFEEF04BE); }},
    };
    for (const auto& c : cases) {
        std::string file = ProgramFile(2, 20, 0, 5);
        c.damage(file);
        WriteFile("Damaged.exe", file);
        EXPECT_EQ(ReadFileVersion("Damaged.exe"), std::nullopt) << c.what;  // and no crash
    }
}

TEST_F(ProgramVersionTest, ListsProgramFilesOfTheCurrentFolder) {
    EXPECT_TRUE(ListProgramFiles().empty());

    // "e.exe_" and "f.execute" are found through their short names, whose
    // extension keeps only the first three characters of the long one.
    for (const char* name : {"b.exe", "a.EXE", "Zorv.Exe", "e.exe_", "f.execute", "c.exe.txt", "d.ex", "exe", "g.ex_e"})
        WriteFile(name, "x");
    std::filesystem::create_directory("Sub");
    WriteFile(std::filesystem::path("Sub") / "inner.exe", "x");

    std::vector<std::string> names = ListProgramFiles();
#ifdef _WIN32
    std::sort(names.begin(), names.end());  // the system's own order
#else
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));  // byte order: capitals first
#endif
    EXPECT_EQ(names, (std::vector<std::string>{"Zorv.Exe", "a.EXE", "b.exe", "e.exe_", "f.execute"}));
}

}  // namespace
}  // namespace stats::platform
