#include "platform/message_box.h"

#include <unistd.h>

#include <string>

#include "platform/posix/fd_io.h"
#include "platform/posix/terminal.h"

namespace stats::platform {

// With a terminal in the foreground the box is shown there and waits for Enter;
// a headless host (or a background job) gets the text on stderr and goes on at
// once, so no call can hang.
void ShowMessageBox(const char* caption, const std::string& text, MessageBoxStyle) {
    const std::string line = (caption ? std::string(caption) + ": " : std::string()) + text + "\n";
    const int tty = OpenForegroundTerminal();
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
