#pragma once
// Files the plug-in writes. Paths are relative to the current folder; a '\' in a
// path separates folders on every platform. Bytes are written unchanged: the
// callers put CR LF at the ends of lines themselves.

#include <cstdint>
#include <string>
#include <string_view>

namespace stats::platform {

// A file opened for appending, created when missing and shared with other
// readers and writers; closed when the object goes.
class AppendFile {
public:
    explicit AppendFile(const std::string& path);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    bool IsOpen() const;
    // Appends the bytes and flushes them to the file; false when that failed.
    bool Write(std::string_view bytes);

private:
    std::intptr_t handle_;
};

// Creates or empties the file and writes the bytes, then flushes and closes it.
// When any step fails the file is removed, so no partial file is left, and the
// result is false.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace stats::platform
