#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <set>

#include "support/dialog_driver.h"
#include "support/message_boxes.h"
#include "support/plugin.h"
#include "support/window_text.h"

namespace stats::test {
namespace {

const char kCaption[] = "KYRVEN RTTY CONTEST ";
constexpr DWORD kPollMs = 10;
constexpr DWORD kWaitMs = 10000;

// Dialogs a DialogRun drives; the others are cancelled by the robot below.
volatile LONG driven = 0;

// The shown header dialogs of this process.
BOOL CALLBACK CollectDialog(HWND window, LPARAM dialogs) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && ClassOf(window) == "#32770") {
        char title[64] = {};
        GetWindowTextA(window, title, sizeof title);
        if (std::strcmp(title, kCaption) == 0) reinterpret_cast<std::vector<HWND>*>(dialogs)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> HeaderDialogs() {
    std::vector<HWND> dialogs;
    EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

void PostCancel(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

// A header dialog that no test asked to drive would wait for an operator who
// never comes: the robot presses CANCEL on it, as the operator who does not
// care would, for the whole life of the test program. A message box that no
// MessageBoxWatcher took within a while (a watcher takes its boxes within
// milliseconds) gets OK, so a test that did not expect it cannot hang either.
class Canceller {
public:
    Canceller() { CreateThread(nullptr, 0, &Run, nullptr, 0, nullptr); }

private:
    static constexpr DWORD kUnexpectedAfterMs = 2000;

    static BOOL CALLBACK CollectAny(HWND window, LPARAM found) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) && ClassOf(window) == "#32770")
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
    }

    static DWORD WINAPI Run(void*) {
        std::map<HWND, DWORD> firstSeen;
        std::set<HWND> pressed;
        for (;;) {
            for (auto it = pressed.begin(); it != pressed.end();) it = IsWindow(*it) ? std::next(it) : pressed.erase(it);
            for (auto it = firstSeen.begin(); it != firstSeen.end();)
                it = IsWindow(it->first) ? std::next(it) : firstSeen.erase(it);
            std::vector<HWND> windows;
            EnumWindows(&CollectAny, reinterpret_cast<LPARAM>(&windows));
            const std::vector<HWND> dialogs = HeaderDialogs();
            const bool isDriven = InterlockedCompareExchange(&driven, 0, 0) != 0;
            for (HWND window : windows) {
                const bool header = std::find(dialogs.begin(), dialogs.end(), window) != dialogs.end();
                if (header) {
                    if (!isDriven && pressed.insert(window).second) PostCancel(window);
                    continue;
                }
                const DWORD now = GetTickCount();
                const DWORD seen = firstSeen.emplace(window, now).first->second;
                if (now - seen > kUnexpectedAfterMs && pressed.insert(window).second)
                    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
            }
            Sleep(kPollMs);
        }
    }
};
const Canceller canceller;

struct Found {
    HWND window = nullptr;
    RECT rect{};
    std::string text;
    std::string windowClass;
};

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

}  // namespace

struct DialogRun::State {
    Plugin* plugin = nullptr;
    Reset reset;
    HANDLE thread = nullptr;
    volatile LONG resetResult = -1;
    HWND dialog = nullptr;
    std::string log;

    static DWORD WINAPI RunReset(void* self) {
        State* state = static_cast<State*>(self);
        InterlockedExchange(&state->resetResult, state->plugin->ResetStats(state->reset));
        return 0;
    }

    // The dialog's direct children.
    std::vector<Found> Children() {
        std::vector<Found> found;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            found.push_back({child, ScreenRect(child), WindowText(child), ClassOf(child)});
        return found;
    }

    HWND LabelOf(const std::string& caption) {
        for (const Found& f : Children())
            if (f.windowClass == "Static" && f.text == caption) return f.window;
        ADD_FAILURE() << "no label " << caption;
        return nullptr;
    }

    // The edit or combo box nearest to the right of the label, on its row.
    HWND ControlOf(const std::string& caption) {
        HWND label = LabelOf(caption);
        if (!label) return nullptr;
        const RECT l = ScreenRect(label);
        const long middle = (l.top + l.bottom) / 2;
        HWND best = nullptr;
        long bestLeft = 0;
        for (const Found& f : Children()) {
            if (f.windowClass != "Edit" && f.windowClass != "ComboBox") continue;
            if (f.rect.left < l.right || middle < f.rect.top || middle > f.rect.bottom) continue;
            if (!best || f.rect.left < bestLeft) {
                best = f.window;
                bestLeft = f.rect.left;
            }
        }
        if (!best) ADD_FAILURE() << "no control right of the label " << caption;
        return best;
    }

    // Where typed characters go: the edit itself, or the combo box's edit field.
    static HWND TypingTarget(HWND control) {
        if (ClassOf(control) != "ComboBox") return control;
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        return GetComboBoxInfo(control, &info) ? info.hwndItem : control;
    }

    // A key as the keyboard sends it: the dialog's message loop decides what
    // it means (Enter in SOAPBOX is a new line, elsewhere OK).
    static void Key(HWND target, WPARAM key) {
        const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0);
        PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
        PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    }

    void Focus(HWND control) { PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE); }

    bool WaitUntil(const std::string& caption, const std::string& text) {
        HWND control = ControlOf(caption);
        for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
            if (control && WindowText(control) == text) return true;
            Sleep(kPollMs);
        }
        return false;
    }

    // The line break that Enter makes is posted behind whatever is queued
    // already, so the typing waits for it before it goes on.
    void Type(HWND target, const std::string& text) {
        size_t pos = 0;
        for (;;) {
            const size_t end = text.find("\r\n", pos);
            for (size_t i = pos; i < std::min(end, text.size()); ++i)
                PostMessageA(target, WM_CHAR, static_cast<unsigned char>(text[i]), 1);
            if (end == std::string::npos) return;
            const std::string before = text.substr(0, end);
            for (DWORD waited = 0; WindowText(target) != before && waited < kWaitMs; waited += kPollMs) Sleep(kPollMs);
            Key(target, VK_RETURN);
            for (DWORD waited = 0; WindowText(target) != before + "\r\n" && waited < kWaitMs; waited += kPollMs)
                Sleep(kPollMs);
            pos = end + 2;
        }
    }
};

DialogRun::DialogRun(const std::string& call) : state_(new State) {
    InterlockedIncrement(&driven);
    try {
        state_->plugin = new Plugin;
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
        return;
    }
    state_->reset.cabrilloEnabled = 1;
    state_->reset.contestantCall = call;
    state_->thread = CreateThread(nullptr, 0, &State::RunReset, state_, 0, nullptr);
}

DialogRun::~DialogRun() {
    if (state_->thread) {
        // An open dialog is cancelled, as the robot does when nobody drives.
        for (DWORD waited = 0; WaitForSingleObject(state_->thread, kPollMs) == WAIT_TIMEOUT; waited += kPollMs) {
            for (HWND dialog : HeaderDialogs()) PostCancel(dialog);
            if (waited > kWaitMs) break;
        }
        if (WaitForSingleObject(state_->thread, 0) == WAIT_TIMEOUT) {
            // Unloading the library under a running thread would crash the test program.
            ADD_FAILURE() << "ResetStats0 did not return; the plug-in stays loaded";
            state_->plugin = nullptr;
        }
        CloseHandle(state_->thread);
    }
    delete state_->plugin;
    InterlockedDecrement(&driven);
    delete state_;
}

bool DialogRun::Supports(Close how) { return how != Close::kEndOfInput; }

bool DialogRun::Open() {
    if (!state_->thread) return false;
    for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
        const std::vector<HWND> dialogs = HeaderDialogs();
        if (!dialogs.empty()) {
            state_->dialog = dialogs.front();
            return true;
        }
        if (WaitForSingleObject(state_->thread, kPollMs) != WAIT_TIMEOUT) {
            state_->log += "ResetStats0 returned without showing the dialog\n";
            return false;
        }
    }
    state_->log += "no dialog after " + std::to_string(kWaitMs) + " ms\n";
    return false;
}

std::vector<std::string> DialogRun::Captions() {
    std::vector<Found> labels;
    for (const Found& f : state_->Children())
        if (f.windowClass == "Static") labels.push_back(f);
    std::stable_sort(labels.begin(), labels.end(), [](const Found& a, const Found& b) {
        return a.rect.top != b.rect.top ? a.rect.top < b.rect.top : a.rect.left < b.rect.left;
    });
    std::vector<std::string> captions;
    for (const Found& f : labels) captions.push_back(f.text);
    return captions;
}

std::string DialogRun::Value(const std::string& caption) {
    HWND control = state_->ControlOf(caption);
    return control ? WindowText(control) : std::string();
}

std::vector<std::string> DialogRun::Items(const std::string& caption) {
    std::vector<std::string> items;
    HWND combo = state_->ControlOf(caption);
    if (!combo) return items;
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string item(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
        items.push_back(item);
    }
    return items;
}

void DialogRun::SetValue(const std::string& caption, const std::string& text) {
    HWND control = state_->ControlOf(caption);
    if (!control) return;
    HWND target = State::TypingTarget(control);
    // Into the field, all of its text selected, deleted, then typed over.
    state_->Focus(control);
    PostMessageA(target, EM_SETSEL, 0, -1);
    State::Key(target, VK_DELETE);
    state_->Type(target, text);
    EXPECT_TRUE(state_->WaitUntil(caption, text)) << caption << " shows " << Value(caption);
}

void DialogRun::PickItem(const std::string& caption, int index) {
    HWND combo = state_->ControlOf(caption);
    if (!combo) return;
    const std::vector<std::string> items = Items(caption);
    ASSERT_LT(static_cast<size_t>(index), items.size());
    state_->Focus(combo);
    PostMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    EXPECT_TRUE(state_->WaitUntil(caption, items[static_cast<size_t>(index)])) << caption;
}

void DialogRun::AddSoapboxLine(const std::string& line) {
    HWND soapbox = state_->ControlOf("SOAPBOX");
    if (!soapbox) return;
    const std::string before = WindowText(soapbox);
    state_->Focus(soapbox);
    PostMessageA(soapbox, EM_SETSEL, static_cast<WPARAM>(before.size()), static_cast<LPARAM>(before.size()));
    State::Key(soapbox, VK_RETURN);
    for (DWORD waited = 0; WindowText(soapbox) != before + "\r\n" && waited < kWaitMs; waited += kPollMs)
        Sleep(kPollMs);
    state_->Type(soapbox, line);
    EXPECT_TRUE(state_->WaitUntil("SOAPBOX", before + "\r\n" + line)) << Value("SOAPBOX");
}

void DialogRun::Press(Close how) {
    HWND dialog = state_->dialog;
    switch (how) {
        case Close::kOk:
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            break;
        case Close::kCancel:
            PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            break;
        case Close::kEnter:
        case Close::kEscape: {
            // In a one-line edit, which does not want either key itself.
            HWND name = state_->ControlOf("NAME");
            state_->Focus(name);
            State::Key(name, how == Close::kEnter ? VK_RETURN : VK_ESCAPE);
            break;
        }
        case Close::kCloseBox:
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case Close::kEndOfInput:
            ADD_FAILURE() << "a dialog has no end of input";
            break;
    }
}

int DialogRun::ResetResult() {
    if (!state_->thread || WaitForSingleObject(state_->thread, kWaitMs) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "ResetStats0 did not return";
        return -1;
    }
    return static_cast<int>(InterlockedCompareExchange(&state_->resetResult, 0, 0));
}

void DialogRun::Finish() {
    if (ResetResult() == -1) return;
    {
        MessageBoxWatcher boxes;  // acknowledges the Cabrillo file's notice
        state_->plugin->Result();
    }
    CloseHandle(state_->thread);
    state_->thread = nullptr;
    delete state_->plugin;
    state_->plugin = nullptr;
}

std::string DialogRun::Transcript() const { return state_->log; }

std::vector<DialogRun::Control> DialogRun::Controls() {
    std::vector<Control> controls;
    for (const std::string& caption : Captions()) {
        HWND label = state_->LabelOf(caption);
        HWND control = state_->ControlOf(caption);
        if (!label || !control) continue;
        const RECT l = ScreenRect(label);
        const RECT r = ScreenRect(control);
        controls.push_back({caption, GetDlgCtrlID(control), ClassOf(control),
                            static_cast<unsigned long>(GetWindowLongA(control, GWL_STYLE)), l.left, l.top, l.right,
                            l.bottom, r.left, r.top, r.right, r.bottom});
    }
    for (int id : {IDOK, IDCANCEL}) {
        HWND button = GetDlgItem(state_->dialog, id);
        if (!button) continue;
        const RECT r = ScreenRect(button);
        controls.push_back({WindowText(button), id, ClassOf(button),
                            static_cast<unsigned long>(GetWindowLongA(button, GWL_STYLE)), 0, 0, 0, 0, r.left, r.top,
                            r.right, r.bottom});
    }
    return controls;
}

std::string DialogRun::WindowCaption() { return WindowText(state_->dialog); }

unsigned long DialogRun::WindowStyle() {
    return static_cast<unsigned long>(GetWindowLongA(state_->dialog, GWL_STYLE));
}

int DialogRun::Selection(const std::string& caption) {
    HWND combo = state_->ControlOf(caption);
    return combo ? static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)) : -2;
}

}  // namespace stats::test
