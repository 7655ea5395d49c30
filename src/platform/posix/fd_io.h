#pragma once
// Writing to a file descriptor, whole, on the Linux side of the platform layer.

#include <errno.h>
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

}  // namespace stats::platform
