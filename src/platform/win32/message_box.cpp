#include "platform/message_box.h"

#include <windows.h>

namespace stats::platform {

// A null caption makes the system show its default one.
void ShowMessageBox(const char* caption, const std::string& text, MessageBoxStyle style) {
    switch (style) {
        case MessageBoxStyle::kPlain:
            ::MessageBoxA(nullptr, text.c_str(), caption, MB_OK);
            break;
        case MessageBoxStyle::kInformation:
            ::MessageBoxA(::GetActiveWindow(), text.c_str(), caption, MB_OK | MB_ICONINFORMATION);
            break;
    }
}

}  // namespace stats::platform
