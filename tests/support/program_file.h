#pragma once
// A small but complete Windows program file with a version resource, written
// byte by byte, for the tests of the host version text.

#include <cstddef>
#include <cstdint>
#include <string>

namespace stats::test {

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

inline void Put16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

inline void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

// A resource directory with one entry.
inline void PutDirectory(std::string& bytes, std::size_t at, std::uint32_t id, std::uint32_t target) {
    Put16(bytes, at + 14, 1);  // one id entry, no named ones
    Put32(bytes, at + 16, id);
    Put32(bytes, at + 20, target);
}

// The smallest program file that carries a version resource: headers, one
// section ".rsrc" whose data ends with the version block, nothing after it.
inline std::string ProgramFile(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d, bool pe32plus = false) {
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

}  // namespace stats::test
