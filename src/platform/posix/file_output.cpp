#include "platform/file_output.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/fd_io.h"
#include "platform/posix/paths.h"

namespace stats::platform {
AppendFile::AppendFile(const std::string& path)
    : handle_(OpenRegularFile(NativePath(path).c_str(), O_WRONLY | O_APPEND | O_CREAT)) {}

AppendFile::~AppendFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool AppendFile::IsOpen() const { return handle_ >= 0; }

bool AppendFile::Write(std::string_view bytes) {
    // Every write goes straight to the file, so there is nothing to flush.
    return IsOpen() && WriteAll(static_cast<int>(handle_), bytes);
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    const std::string native = NativePath(path);
    const int fd = OpenRegularFile(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes);
    ok = (::fsync(fd) == 0 || errno == EINVAL) && ok;
    ok = (::close(fd) == 0) && ok;
    if (!ok) ::unlink(native.c_str());
    return ok;
}

}  // namespace stats::platform
