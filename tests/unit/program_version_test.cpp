#include "platform/program_version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/workdir.h"

#ifdef STATS_REAL_PROGRAM_FIXTURE
#include "real_program_fixture.h"
#endif

namespace stats::platform {
namespace {

using test::WriteFile;

// Offsets in the program file that the builder below writes.
constexpr std::size_t kLfanewField = 0x3C;
constexpr std::size_t kPeHeader = 0x40;
constexpr std::size_t kOptionalHeader = kPeHeader + 24;
constexpr std::size_t kResources = 0x200;  // file offset of the resource section
constexpr std::uint32_t kResourcesRva = 0x1000;
constexpr std::size_t kTypeDirectory = kResources;
constexpr std::size_t kNameDirectory = kResources + 0x18;
constexpr std::size_t kLanguageDirectory = kResources + 0x30;
constexpr std::size_t kDataEntry = kResources + 0x48;
constexpr std::size_t kVersionBlock = kResources + 0x58;
constexpr std::size_t kFixedInfo = kVersionBlock + 40;
constexpr std::size_t kVersionBlockSize = 92;

void Put16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

// A resource directory with one entry.
void PutDirectory(std::string& bytes, std::size_t at, std::uint32_t id, std::uint32_t target) {
    Put16(bytes, at + 14, 1);  // one id entry, no named ones
    Put32(bytes, at + 16, id);
    Put32(bytes, at + 20, target);
}

// The smallest program file that carries a version resource: headers, one
// section ".rsrc" whose data ends with the version block, nothing after it.
std::string ProgramFile(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d, bool pe32plus = false) {
    const std::size_t optionalSize = pe32plus ? 240 : 224;
    const std::size_t rawSize = kVersionBlock + kVersionBlockSize - kResources;
    std::string bytes(kResources + rawSize, '\0');

    Put16(bytes, 0, 0x5A4D);  // "MZ"
    Put32(bytes, kLfanewField, kPeHeader);
    Put32(bytes, kPeHeader, 0x00004550);  // "PE\0\0"
    Put16(bytes, kPeHeader + 4, pe32plus ? 0x8664 : 0x014C);
    Put16(bytes, kPeHeader + 6, 1);  // one section
    Put16(bytes, kPeHeader + 20, static_cast<std::uint16_t>(optionalSize));
    Put16(bytes, kPeHeader + 22, pe32plus ? 0x0022 : 0x0102);

    const std::size_t o = kOptionalHeader;
    Put16(bytes, o, pe32plus ? 0x20B : 0x10B);
    if (pe32plus)
        Put32(bytes, o + 28, 0x1);  // image base 0x1'00000000
    else
        Put32(bytes, o + 28, 0x400000);
    Put32(bytes, o + 32, 0x1000);  // section alignment
    Put32(bytes, o + 36, 0x200);   // file alignment
    Put16(bytes, o + 40, 4);       // operating system version
    Put16(bytes, o + 48, 4);       // subsystem version
    Put32(bytes, o + 56, 0x2000);  // size of image
    Put32(bytes, o + 60, 0x200);   // size of headers
    Put16(bytes, o + 68, 2);       // windows GUI
    const std::size_t directories = o + (pe32plus ? 112 : 96);
    Put32(bytes, directories - 4, 16);  // number of data directories
    Put32(bytes, directories + 8 * 2, kResourcesRva);
    Put32(bytes, directories + 8 * 2 + 4, static_cast<std::uint32_t>(rawSize));

    const std::size_t section = o + optionalSize;
    bytes.replace(section, 5, ".rsrc");
    Put32(bytes, section + 8, static_cast<std::uint32_t>(rawSize));  // virtual size
    Put32(bytes, section + 12, kResourcesRva);
    Put32(bytes, section + 16, static_cast<std::uint32_t>(rawSize));
    Put32(bytes, section + 20, kResources);
    Put32(bytes, section + 36, 0x40000040);  // initialised data, readable

    // RT_VERSION -> id 1 -> language 0x409 -> data entry.
    PutDirectory(bytes, kTypeDirectory, 16, 0x80000000u | (kNameDirectory - kResources));
    PutDirectory(bytes, kNameDirectory, 1, 0x80000000u | (kLanguageDirectory - kResources));
    PutDirectory(bytes, kLanguageDirectory, 0x409, kDataEntry - kResources);
    Put32(bytes, kDataEntry, kResourcesRva + (kVersionBlock - kResources));
    Put32(bytes, kDataEntry + 4, kVersionBlockSize);

    Put16(bytes, kVersionBlock, kVersionBlockSize);
    Put16(bytes, kVersionBlock + 2, 52);  // the fixed information
    const char key[] = "VS_VERSION_INFO";
    for (std::size_t i = 0; i < sizeof key; ++i)
        Put16(bytes, kVersionBlock + 6 + 2 * i, static_cast<unsigned char>(key[i]));
    Put32(bytes, kFixedInfo, 0xFEEF04BD);
    Put32(bytes, kFixedInfo + 4, 0x00010000);
    Put32(bytes, kFixedInfo + 8, (std::uint32_t{a} << 16) | b);
    Put32(bytes, kFixedInfo + 12, (std::uint32_t{c} << 16) | d);
    Put32(bytes, kFixedInfo + 16, 0x00090008);  // product version: must not be taken
    Put32(bytes, kFixedInfo + 20, 0x00070006);
    Put32(bytes, kFixedInfo + 28, 0x00040004);  // for NT
    Put32(bytes, kFixedInfo + 32, 1);           // an application
    return bytes;
}

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
