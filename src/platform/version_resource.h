#pragma once
// The fixed version information in the bytes of a program file, found by a
// bounds-checked walk of its headers and resource directory of our own. It calls
// no system function: the POSIX side reads versions with it alone, the Windows
// side checks a file with it before the system's version functions, which trust
// the file, may read it.

#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/program_version.h"

namespace stats::platform {

// None when the bytes are no program file or hold no well-formed version
// resource, including any version entry that points outside the file.
std::optional<FileVersion> FindFileVersion(std::string_view program);

// Program files larger than this are not searched for a version.
inline constexpr std::size_t kMaxProgramFileSize = std::size_t{64} << 20;

}  // namespace stats::platform
