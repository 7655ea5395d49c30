#pragma once
// The operator's terminal, for the modal windows of the Linux build.

#include <fcntl.h>
#include <unistd.h>

namespace stats::platform {

// The controlling terminal, opened for reading and writing, when this process
// may use it: there is one and the process is in its foreground (a background
// job that read from it would be stopped). -1 otherwise; the caller closes it.
inline int OpenForegroundTerminal() {
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    const pid_t foreground = ::tcgetpgrp(fd);
    if (foreground < 0 || foreground != ::getpgrp()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace stats::platform
