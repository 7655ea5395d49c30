#pragma once
// Program files in the current folder and the file version in their version
// resource.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace stats::platform {

// Names (without folder) of the files in the current folder that match "*.exe",
// in the platform's search order; empty when the search cannot start.
std::vector<std::string> ListProgramFiles();

// The file version of the fixed version information (the root block of the
// version resource): the most and the least significant 32 bits.
struct FileVersion {
    std::uint32_t ms = 0;
    std::uint32_t ls = 0;
};

// None when the file cannot be read or has no (well-formed) version resource.
std::optional<FileVersion> ReadFileVersion(const std::string& name);

}  // namespace stats::platform
