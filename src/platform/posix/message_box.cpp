#include "platform/message_box.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <string>

#include "platform/posix/fd_io.h"

namespace stats::platform {
// With a controlling terminal the box is shown there and waits for Enter; a
// headless host gets the text on stderr and goes on at once, so no call can hang.
void ShowMessageBox(const char* caption, const std::string& text, MessageBoxStyle) {
    const std::string line = (caption ? std::string(caption) + ": " : std::string()) + text + "\n";
    int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) {
        WriteAll(STDERR_FILENO, line);
        return;
    }
    WriteAll(tty, "\n" + line + "[Press Enter] ");
    char c = 0;
    while (::read(tty, &c, 1) == 1 && c != '\n') {
    }
    ::close(tty);
}

}  // namespace stats::platform
