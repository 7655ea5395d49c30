#pragma once
// Modal message boxes on the host's thread.

#include <string>

namespace stats::platform {

enum class MessageBoxStyle {
    // No owner, OK, no icon.
    kPlain,
    // Owned by the calling thread's active window where there is one, OK and the
    // information icon.
    kInformation,
};

// Shows the box and returns when the operator has closed it. A null caption
// shows the platform's default caption.
void ShowMessageBox(const char* caption, const std::string& text, MessageBoxStyle style);

}  // namespace stats::platform
