#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "support/message_boxes.h"
#include "support/window_text.h"

namespace stats::test {

const char* const kDefaultCaption = "Error";

namespace {

// The static control that holds a message box's text.
constexpr int kTextControlId = 0xFFFF;
constexpr DWORD kPollMs = 10;

BOOL CALLBACK OnlyStaticsAndButtons(HWND control, LPARAM ok) {
    const std::string kind = ClassOf(control);
    if (kind != "Static" && kind != "Button") *reinterpret_cast<bool*>(ok) = false;
    return TRUE;
}

// A shown message box of this process: a dialog-class window with the text
// control and nothing but statics and buttons. Other dialogs (the header
// dialog has edits and combo boxes) are left alone.
BOOL CALLBACK CollectBox(HWND window, LPARAM boxes) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) || ClassOf(window) != "#32770" ||
        GetDlgItem(window, kTextControlId) == nullptr)
        return TRUE;
    bool plain = true;
    EnumChildWindows(window, &OnlyStaticsAndButtons, reinterpret_cast<LPARAM>(&plain));
    if (plain) reinterpret_cast<std::vector<HWND>*>(boxes)->push_back(window);
    return TRUE;
}

// A robot on a thread of its own, for the whole life of the test program: it
// presses OK on every message box of this process, so no test waits for an
// operator, and notes each box in the watchers alive at the time.
class Robot {
public:
    static Robot& Instance() {
        // Never destroyed: the thread may still look while the program ends.
        static Robot* robot = new Robot;
        return *robot;
    }

    void Attach(std::vector<ShownBox>* watcher) {
        EnterCriticalSection(&lock_);
        watchers_.push_back(watcher);
        LeaveCriticalSection(&lock_);
    }

    void Detach(std::vector<ShownBox>* watcher) {
        EnterCriticalSection(&lock_);
        watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), watcher), watchers_.end());
        LeaveCriticalSection(&lock_);
    }

    // Waits (briefly) until the robot has looked twice more, so a box open now
    // has been noted, then copies what the watcher holds.
    std::vector<ShownBox> Read(const std::vector<ShownBox>* watcher) {
        const LONG target = InterlockedCompareExchange(&rounds_, 0, 0) + 2;
        for (int waited = 0; waited < 100 && InterlockedCompareExchange(&rounds_, 0, 0) - target < 0; ++waited)
            Sleep(kPollMs);
        EnterCriticalSection(&lock_);
        std::vector<ShownBox> boxes = *watcher;
        LeaveCriticalSection(&lock_);
        return boxes;
    }

private:
    Robot() {
        InitializeCriticalSection(&lock_);
        CloseHandle(CreateThread(nullptr, 0, &Run, this, 0, nullptr));
    }

    void Look() {
        std::vector<HWND> boxes;
        EnumWindows(&CollectBox, reinterpret_cast<LPARAM>(&boxes));
        EnterCriticalSection(&lock_);
        for (auto it = pressed_.begin(); it != pressed_.end();) it = IsWindow(*it) ? std::next(it) : pressed_.erase(it);
        for (HWND box : boxes) {
            if (!pressed_.insert(box).second) continue;
            const ShownBox shown{WindowText(box), WindowText(GetDlgItem(box, kTextControlId))};
            for (std::vector<ShownBox>* watcher : watchers_) watcher->push_back(shown);
            // Posted, not sent: the box's own thread handles it as a press of OK.
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        }
        LeaveCriticalSection(&lock_);
        InterlockedIncrement(&rounds_);
    }

    static DWORD WINAPI Run(void* self) {
        for (;;) {
            static_cast<Robot*>(self)->Look();
            Sleep(kPollMs);
        }
    }

    CRITICAL_SECTION lock_;
    std::vector<std::vector<ShownBox>*> watchers_;
    std::set<HWND> pressed_;  // boxes already noted whose window may still be closing
    volatile LONG rounds_ = 0;
};

// Started with the program, before any test can show a box.
const bool robotStarted = (Robot::Instance(), true);

}  // namespace

struct MessageBoxWatcher::State {
    std::vector<ShownBox> shown;
};

MessageBoxWatcher::MessageBoxWatcher() : state_(new State) { Robot::Instance().Attach(&state_->shown); }

MessageBoxWatcher::~MessageBoxWatcher() {
    Robot::Instance().Detach(&state_->shown);
    delete state_;
}

std::vector<ShownBox> MessageBoxWatcher::Shown() { return Robot::Instance().Read(&state_->shown); }

}  // namespace stats::test
