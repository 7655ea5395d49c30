#pragma once
// INI files ("profile" files) the host's way: "[section]" lines and "key=value"
// lines. Section and key names match without regard to case. A value read loses
// the blanks around it and one pair of matching quotes; it is read whole, however
// long. Writes create the file, the section or the key as needed, replace an
// existing key's value in place and leave every other line alone; new lines end
// in CR LF. Paths are relative to the current folder, '\' separating folders.

#include <optional>
#include <string>

namespace stats::platform {

// The value, or none when the file, the section or the key is missing.
std::optional<std::string> ReadProfileString(const std::string& path, const std::string& section,
                                             const std::string& key);

// False when the file could not be written.
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

}  // namespace stats::platform
