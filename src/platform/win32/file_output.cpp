#include "platform/file_output.h"

#include <windows.h>

namespace stats::platform {
namespace {

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// WriteFile takes at most a DWORD of bytes at a time and may write fewer.
bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

// Paths go to the system as they are: '\' is already its separator.
AppendFile::AppendFile(const std::string& path)
    : handle_(reinterpret_cast<std::intptr_t>(::CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))) {}

AppendFile::~AppendFile() {
    if (IsOpen()) ::CloseHandle(AsHandle(handle_));
}

bool AppendFile::IsOpen() const { return AsHandle(handle_) != INVALID_HANDLE_VALUE; }

bool AppendFile::Write(std::string_view bytes) {
    if (!IsOpen()) return false;
    const bool written = WriteAll(AsHandle(handle_), bytes);
    return ::FlushFileBuffers(AsHandle(handle_)) && written;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    // Other programs may read (or write) the file while it is written.
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(file, bytes);
    ok = ::FlushFileBuffers(file) && ok;
    ok = ::CloseHandle(file) && ok;
    if (!ok) ::DeleteFileA(path.c_str());
    return ok;
}

}  // namespace stats::platform
