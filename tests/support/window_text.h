#pragma once
// Reading windows for the Windows test robots: class names and texts, also of
// another thread's or another process's windows.

#include <windows.h>

#include <string>

namespace stats::test {

inline std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// WM_GETTEXT, which the system carries across threads and processes (GetWindowText
// does not read another process's controls); a window that does not answer
// within a second reads as empty.
inline std::string WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length) || length == 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                             reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 1000, &copied))
        return {};
    text.resize(static_cast<size_t>(copied));
    return text;
}

}  // namespace stats::test
