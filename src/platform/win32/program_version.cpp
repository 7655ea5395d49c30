#include "platform/program_version.h"

#include <windows.h>

namespace stats::platform {
namespace {

// A bare name would be looked for along the library search path, the program's
// own folder first: name the file in the current folder instead.
std::string FullPath(const std::string& name) {
    char buffer[MAX_PATH * 4];
    DWORD length = ::GetFullPathNameA(name.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer) return name;
    return std::string(buffer, length);
}

}  // namespace

std::vector<std::string> ListProgramFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA("*.exe", &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.emplace_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

std::optional<FileVersion> ReadFileVersion(const std::string& program) {
    const std::string name = FullPath(program);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(name.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::string block(size, '\0');
    if (!::GetFileVersionInfoA(name.c_str(), 0, size, block.data())) return std::nullopt;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), "\\", &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    return FileVersion{fixed->dwFileVersionMS, fixed->dwFileVersionLS};
}

}  // namespace stats::platform
