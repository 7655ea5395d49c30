#include <windows.h>

#include <map>

#include "host/run_program.h"
#include "support/window_text.h"
#include "support/workdir.h"

namespace stats::test {
namespace {

// One argument quoted the way the C runtime splits a command line.
std::string Quote(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, '\\');
    quoted.push_back('"');
    return quoted;
}

HANDLE OpenInheritable(const std::string& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

const char kHeaderCaption[] = "KYRVEN RTTY CONTEST ";
// The static control that holds a message box's text.
constexpr int kBoxTextId = 0xFFFF;
constexpr DWORD kPollMs = 10;
// A window still open this long after its OK was posted gets OK again.
constexpr DWORD kPressAgainMs = 2000;

// The operator of the child: a thread that presses OK on every dialog-class
// window the child shows, until it is told to stop.
class Watcher {
public:
    explicit Watcher(DWORD process) : process_(process), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
    }

    // What it closed; the thread has ended.
    std::vector<ChildWindow> Stop() {
        SetEvent(stop_);
        if (thread_) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        CloseHandle(stop_);
        return windows_;
    }

private:
    struct Found {
        DWORD process;
        std::vector<HWND> windows;
    };

    static BOOL CALLBACK Collect(HWND window, LPARAM found) {
        auto* f = reinterpret_cast<Found*>(found);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == f->process && IsWindowVisible(window) && ClassOf(window) == "#32770")
            f->windows.push_back(window);
        return TRUE;
    }

    static void PressOk(HWND window) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    }

    void Look() {
        for (auto it = pressed_.begin(); it != pressed_.end();) it = IsWindow(it->first) ? std::next(it) : pressed_.erase(it);
        Found found{process_, {}};
        EnumWindows(&Collect, reinterpret_cast<LPARAM>(&found));
        const DWORD now = GetTickCount();
        for (HWND window : found.windows) {
            const auto it = pressed_.find(window);
            if (it != pressed_.end()) {
                if (now - it->second > kPressAgainMs) {
                    PressOk(window);
                    it->second = now;
                }
                continue;
            }
            ChildWindow shown;
            shown.caption = WindowText(window);
            // Its labels are statics with the id a box's text has too; its edits tell it apart.
            shown.headerDialog =
                shown.caption == kHeaderCaption && FindWindowExA(window, nullptr, "Edit", nullptr) != nullptr;
            if (!shown.headerDialog) shown.text = WindowText(GetDlgItem(window, kBoxTextId));
            windows_.push_back(shown);
            PressOk(window);
            pressed_[window] = now;
        }
    }

    static DWORD WINAPI Run(void* self) {
        auto* watcher = static_cast<Watcher*>(self);
        do
            watcher->Look();
        while (WaitForSingleObject(watcher->stop_, kPollMs) == WAIT_TIMEOUT);
        return 0;
    }

    DWORD process_;
    HANDLE stop_;
    HANDLE thread_ = nullptr;
    std::vector<ChildWindow> windows_;  // only the thread touches these until it ends
    std::map<HWND, DWORD> pressed_;      // window -> when OK was last posted
};

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& scratch, const RunOptions& options) {
    const std::string outPath = (scratch / "stdout.txt").string();
    const std::string errPath = (scratch / "stderr.txt").string();
    std::string commandLine = Quote(program);
    for (const std::string& arg : args) commandLine += " " + Quote(arg);

    ProgramRun run;
    HANDLE in = OpenInheritable("NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = OpenInheritable(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = OpenInheritable(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const bool started = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                         CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    for (HANDLE handle : {in, out, err})
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    if (started) {
        Watcher* watcher = options.closeWindows ? new Watcher(process.dwProcessId) : nullptr;
        const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(options.timeout).count();
        if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit)) == WAIT_TIMEOUT) {
            run.timedOut = true;
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
        }
        DWORD code = 0;
        if (!run.timedOut && GetExitCodeProcess(process.hProcess, &code)) run.exitCode = static_cast<int>(code);
        if (watcher) {
            run.windows = watcher->Stop();
            delete watcher;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    run.out = ReadFile(outPath).value_or("");
    run.err = ReadFile(errPath).value_or("");
    return run;
}

}  // namespace stats::test
