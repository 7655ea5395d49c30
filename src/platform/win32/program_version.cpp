#include "platform/program_version.h"

#include <windows.h>

#include <cstddef>

#include "platform/version_resource.h"

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

// The file's bytes, at most one more than the largest program file searched.
bool ReadWholeFile(const std::string& name, std::string& bytes) {
    HANDLE file = ::CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buffer[65536];
    bool ok = true;
    while (bytes.size() <= kMaxProgramFileSize) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            ok = false;
            break;
        }
        if (read == 0) break;
        bytes.append(buffer, read);
    }
    ::CloseHandle(file);
    return ok;
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
    // The system's functions trust the file's offsets and can fault on a damaged
    // one: only a file that our own walk finds sound is handed to them.
    std::string bytes;
    if (!ReadWholeFile(name, bytes) || !FindFileVersion(bytes)) return std::nullopt;

    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(name.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::string block(size, '\0');
    if (!::GetFileVersionInfoA(name.c_str(), 0, size, block.data())) return std::nullopt;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), "\\", &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    const std::size_t at = static_cast<const char*>(value) - block.data();
    if (at > block.size() || block.size() - at < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    if (fixed->dwSignature != 0xFEEF04BD) return std::nullopt;
    return FileVersion{fixed->dwFileVersionMS, fixed->dwFileVersionLS};
}

}  // namespace stats::platform
