#include "platform/profile.h"

#include <windows.h>
// windows.h maps this name onto its own function for the win.ini file.
#undef WriteProfileString

#include <vector>

namespace stats::platform {
namespace {

// No line of a profile file can hold these characters, so a result equal to this
// default means the key (or its section, or the file) is missing.
constexpr char kMissing[] = "\x01\x02\x03missing\x03\x02\x01";

// A relative name alone would be looked up in the Windows folder: resolve it
// against the current folder first.
std::string FullPath(const std::string& path) {
    DWORD size = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::vector<char> buffer(size + 1);
    DWORD length = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return path;
    return std::string(buffer.data(), length);
}

}  // namespace

std::optional<std::string> ReadProfileString(const std::string& path, const std::string& section,
                                             const std::string& key) {
    const std::string file = FullPath(path);
    // A full buffer returns size - 1 characters (size - 2 when a quote was cut
    // off with the value): grow it until the value leaves two bytes to spare.
    for (DWORD size = 256;; size *= 2) {
        std::vector<char> buffer(size);
        DWORD length =
            ::GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, buffer.data(), size, file.c_str());
        if (length + 2 < size || size >= (1u << 26)) {
            std::string value(buffer.data(), length);
            if (value == kMissing) return std::nullopt;
            return value;
        }
    }
}

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
    const std::string file = FullPath(path);
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

}  // namespace stats::platform
