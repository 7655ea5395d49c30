#include <windows.h>

#include <cstring>
#include <set>

#include "support/message_boxes.h"

namespace stats::test {

const char* const kDefaultCaption = "Error";

namespace {

// The static control that holds a message box's text.
constexpr int kTextControlId = 0xFFFF;
constexpr DWORD kPollMs = 10;

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

}  // namespace

// A robot on a thread of its own: while the watcher lives it looks for the
// message boxes of this process, notes caption and text, and presses OK, so a
// test that shows a box goes on instead of waiting for an operator.
struct MessageBoxWatcher::State {
    CRITICAL_SECTION lock;
    HANDLE stop = nullptr;
    HANDLE thread = nullptr;
    std::vector<ShownBox> shown;
    std::set<HWND> pressed;     // boxes already noted whose window may still be closing
    unsigned long rounds = 0;   // completed looks, for Shown()

    void Look() {
        std::vector<HWND> boxes;
        EnumWindows(
            [](HWND window, LPARAM found) -> BOOL {
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                char windowClass[16] = {};
                if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
                    GetClassNameA(window, windowClass, sizeof windowClass) > 0 &&
                    std::strcmp(windowClass, "#32770") == 0)
                    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&boxes));

        EnterCriticalSection(&lock);
        for (auto it = pressed.begin(); it != pressed.end();) it = IsWindow(*it) ? std::next(it) : pressed.erase(it);
        for (HWND box : boxes) {
            if (!pressed.insert(box).second) continue;
            HWND textControl = GetDlgItem(box, kTextControlId);
            shown.push_back({WindowText(box), textControl ? WindowText(textControl) : std::string()});
            // Posted, not sent: the box's own thread handles it as a press of OK.
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        }
        ++rounds;
        LeaveCriticalSection(&lock);
    }

    static DWORD WINAPI Run(void* self) {
        State* state = static_cast<State*>(self);
        do state->Look();
        while (WaitForSingleObject(state->stop, kPollMs) == WAIT_TIMEOUT);
        return 0;
    }
};

MessageBoxWatcher::MessageBoxWatcher() : state_(new State) {
    InitializeCriticalSection(&state_->lock);
    state_->stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    state_->thread = CreateThread(nullptr, 0, &State::Run, state_, 0, nullptr);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    SetEvent(state_->stop);
    WaitForSingleObject(state_->thread, INFINITE);
    CloseHandle(state_->thread);
    CloseHandle(state_->stop);
    DeleteCriticalSection(&state_->lock);
    delete state_;
}

// A box still open now (on another thread) is noted by the robot's next full
// look; wait for that look, briefly.
std::vector<ShownBox> MessageBoxWatcher::Shown() {
    EnterCriticalSection(&state_->lock);
    const unsigned long target = state_->rounds + 2;
    LeaveCriticalSection(&state_->lock);
    for (int waited = 0; waited < 100; ++waited) {
        EnterCriticalSection(&state_->lock);
        const bool done = state_->rounds >= target;
        LeaveCriticalSection(&state_->lock);
        if (done) break;
        Sleep(kPollMs);
    }
    EnterCriticalSection(&state_->lock);
    std::vector<ShownBox> boxes = state_->shown;
    LeaveCriticalSection(&state_->lock);
    return boxes;
}

}  // namespace stats::test
