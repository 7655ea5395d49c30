#pragma once
// Writing to a file descriptor, whole, on the Linux side of the platform layer.

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

namespace stats::platform {

// Writes every byte, going on after short writes and interrupted calls; false
// when the system refuses.
inline bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Opens a regular file and nothing else: a FIFO or device put where the
// plug-in expects one of its files must not block or feed the host's thread.
// -1 (errno set) when the file cannot be opened or is not a regular file.
inline int OpenRegularFile(const char* path, int flags, mode_t mode = 0666) {
    const int fd = ::open(path, flags | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

}  // namespace stats::platform
