#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <string>

#include "support/dialog_driver.h"
#include "support/plugin.h"

namespace stats::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kWait = std::chrono::seconds(10);

const char kFormEnd[] = "c: Cancel.\n> ";
const char kResetMarker[] = "[reset returned ";
const char kDoneMarker[] = "[result done]";
const char kPressEnter[] = "[Press Enter]";

void WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

// The child: the plug-in's run, with the pseudo-terminal as its terminal.
[[noreturn]] void RunChild(const std::string& call) {
    try {
        Plugin plugin;
        Reset reset;
        reset.cabrilloEnabled = 1;
        reset.contestantCall = call;
        const int result = plugin.ResetStats(reset);
        WriteAll(STDOUT_FILENO, std::string("\n") + kResetMarker + std::to_string(result) + "]\n");
        // The test looks at the files, then lets the run go on.
        char c = 0;
        while (::read(STDIN_FILENO, &c, 1) == 1 && c != '\n') {
        }
        plugin.Result();
        WriteAll(STDOUT_FILENO, std::string("\n") + kDoneMarker + "\n");
        _exit(0);
    } catch (...) {
        WriteAll(STDOUT_FILENO, "\n[child failed]\n");
        _exit(3);
    }
}

struct Field {
    std::string caption;
    std::string value;
};

}  // namespace

struct DialogRun::State {
    pid_t child = -1;
    int master = -1;
    std::string out;  // everything the terminal showed, CRs dropped
    bool ended = false;

    // Reads until one of the texts appears at or after `from`; its index, or
    // -1 after the time-out or when the terminal closed first.
    int WaitForAny(std::initializer_list<const char*> texts, size_t from) {
        const auto deadline = Clock::now() + kWait;
        for (;;) {
            int index = 0;
            for (const char* text : texts) {
                if (out.find(text, from) != std::string::npos) return index;
                ++index;
            }
            if (ended) return -1;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return -1;
            pollfd p{master, POLLIN, 0};
            const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return -1;
            char chunk[4096];
            const ssize_t n = ::read(master, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ended = true;  // EIO: the child closed its side
                continue;
            }
            for (ssize_t i = 0; i < n; ++i)
                if (chunk[i] != '\r') out += chunk[i];
        }
    }
    bool WaitFor(const std::string& text, size_t from) { return WaitForAny({text.c_str()}, from) == 0; }

    void Type(const std::string& text) { WriteAll(master, text); }

    // The last form shown.
    std::vector<Field> Form() {
        std::vector<Field> fields;
        const size_t end = out.rfind(kFormEnd);
        const size_t start = end == std::string::npos ? end : out.rfind("\n--- ", end);
        if (start == std::string::npos) {
            ADD_FAILURE() << "no form shown:\n" << out;
            return fields;
        }
        size_t pos = out.find('\n', start + 1) + 1;
        while (pos < end) {
            const size_t eol = out.find('\n', pos);
            const std::string line = out.substr(pos, eol - pos);
            pos = eol + 1;
            const size_t open = line.find('[');
            const size_t close = line.rfind(']');
            if (open == std::string::npos || close == std::string::npos || close < open) continue;
            const std::string value = line.substr(open + 1, close - open - 1);
            const std::string head = line.substr(0, open);
            const size_t number = head.find_first_not_of(' ');
            if (number == std::string::npos) {
                if (!fields.empty()) fields.back().value += "\r\n" + value;  // a further line
                continue;
            }
            const size_t name = head.find_first_not_of("0123456789", number);
            const size_t nameEnd = head.find(' ', head.find_first_not_of(' ', name));
            const size_t nameStart = head.find_first_not_of(' ', name);
            fields.push_back({head.substr(nameStart, nameEnd - nameStart), value});
        }
        return fields;
    }

    int NumberOf(const std::string& caption) {
        const std::vector<Field> fields = Form();
        for (size_t i = 0; i < fields.size(); ++i)
            if (fields[i].caption == caption) return static_cast<int>(i) + 1;
        ADD_FAILURE() << "no field " << caption << " in the form:\n" << out;
        return 0;
    }

    // Chooses the field; the field's prompt, from its first line on.
    std::string Choose(const std::string& caption) {
        const size_t mark = out.size();
        Type(std::to_string(NumberOf(caption)) + "\n");
        const std::string prompt = caption + "> ";
        EXPECT_TRUE(WaitFor(prompt, mark)) << out;
        const size_t begin = out.find("\n" + caption + " [", mark);
        return begin == std::string::npos ? std::string() : out.substr(begin + 1);
    }

    // Answers the field's prompt and waits for the form again.
    void Answer(const std::string& lines) {
        const size_t mark = out.size();
        Type(lines);
        EXPECT_TRUE(WaitFor(kFormEnd, mark)) << out;
    }
};

namespace {

// A line taken as typed: "=" in front where the form would read it otherwise.
std::string Literal(const std::string& text, bool combo) {
    if (text.empty()) return "-";
    const bool number = combo && text.find_first_not_of("0123456789") == std::string::npos;
    if (number || text[0] == '=' || text == "-" || text == ".") return "=" + text;
    return text;
}

}  // namespace

DialogRun::DialogRun(const std::string& call) : state_(new State) {
    fflush(stdout);
    fflush(stderr);
    winsize size{};
    size.ws_row = 50;
    size.ws_col = 120;
    const pid_t pid = ::forkpty(&state_->master, nullptr, nullptr, &size);
    if (pid == 0) RunChild(call);
    if (pid < 0) {
        ADD_FAILURE() << "forkpty failed: " << errno;
        state_->ended = true;
        return;
    }
    state_->child = pid;
}

DialogRun::~DialogRun() {
    if (state_->child > 0) {
        // Ask nicely first: closing the terminal ends its input (Cancel).
        if (state_->master >= 0) ::close(state_->master);
        state_->master = -1;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        int status = 0;
        while (::waitpid(state_->child, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                ADD_FAILURE() << "the plug-in's run did not end; killed";
                ::kill(state_->child, SIGKILL);
                ::waitpid(state_->child, &status, 0);
                break;
            }
            const timespec pause{0, 10'000'000};
            ::nanosleep(&pause, nullptr);
        }
    }
    if (state_->master >= 0) ::close(state_->master);
    delete state_;
}

bool DialogRun::Supports(Close how) { return how != Close::kEscape && how != Close::kCloseBox; }

bool DialogRun::Open() { return state_->child > 0 && state_->WaitFor(kFormEnd, 0); }

std::vector<std::string> DialogRun::Captions() {
    std::vector<std::string> captions;
    for (const Field& field : state_->Form()) captions.push_back(field.caption);
    return captions;
}

std::string DialogRun::Value(const std::string& caption) {
    for (const Field& field : state_->Form())
        if (field.caption == caption) return field.value;
    ADD_FAILURE() << "no field " << caption << " in the form:\n" << state_->out;
    return {};
}

std::vector<std::string> DialogRun::Items(const std::string& caption) {
    const std::string prompt = state_->Choose(caption);
    // "  1  SINGLE-OP" lines between the field's line and the hint.
    std::vector<std::string> items;
    size_t pos = prompt.find('\n') + 1;
    for (size_t eol; (eol = prompt.find('\n', pos)) != std::string::npos; pos = eol + 1) {
        const std::string line = prompt.substr(pos, eol - pos);
        const size_t digits = line.find_first_not_of(' ');
        if (digits == std::string::npos || line[digits] < '0' || line[digits] > '9') break;
        const size_t text = line.find_first_not_of(' ', line.find(' ', digits));
        items.push_back(line.substr(text));
    }
    state_->Answer("\n");  // Enter alone keeps the value
    return items;
}

void DialogRun::SetValue(const std::string& caption, const std::string& text) {
    const std::string prompt = state_->Choose(caption);
    if (prompt.find("line by line") == std::string::npos) {
        state_->Answer(Literal(text, prompt.find("An item's number") != std::string::npos) + "\n");
        return;
    }
    if (text.empty()) {
        state_->Answer("-\n");
        return;
    }
    std::string lines;
    size_t pos = 0;
    for (;;) {
        const size_t end = text.find("\r\n", pos);
        lines += "=" + text.substr(pos, end - pos) + "\n";
        if (end == std::string::npos) break;
        pos = end + 2;
    }
    state_->Answer(lines + ".\n");
}

void DialogRun::PickItem(const std::string& caption, int index) {
    state_->Choose(caption);
    state_->Answer(std::to_string(index + 1) + "\n");
}

void DialogRun::AddSoapboxLine(const std::string& line) {
    const std::string now = Value("SOAPBOX");
    SetValue("SOAPBOX", now.empty() ? line : now + "\r\n" + line);
}

void DialogRun::Press(Close how) {
    switch (how) {
        case Close::kOk:
            state_->Type("o\n");
            break;
        case Close::kEnter:
            state_->Type("\n");
            break;
        case Close::kCancel:
            state_->Type("c\n");
            break;
        case Close::kEndOfInput: {
            // The terminal's end-of-file character at the start of a line.
            termios modes{};
            ::tcgetattr(state_->master, &modes);
            state_->Type(std::string(1, static_cast<char>(modes.c_cc[VEOF])));
            break;
        }
        case Close::kEscape:
        case Close::kCloseBox:
            ADD_FAILURE() << "a terminal form has no such key";
            break;
    }
}

int DialogRun::ResetResult() {
    if (!state_->WaitFor(kResetMarker, 0)) {
        ADD_FAILURE() << "ResetStats0 did not return:\n" << state_->out;
        return -1;
    }
    const size_t at = state_->out.find(kResetMarker) + sizeof kResetMarker - 1;
    return std::stoi(state_->out.substr(at));
}

void DialogRun::Finish() {
    if (ResetResult() == -1) return;
    size_t mark = state_->out.size();
    state_->Type("go\n");
    // The Cabrillo file's notice waits for Enter on the terminal.
    for (;;) {
        const int seen = state_->WaitForAny({kDoneMarker, kPressEnter}, mark);
        if (seen == 0) break;
        if (seen < 0) {
            ADD_FAILURE() << "GetResult0 did not finish:\n" << state_->out;
            return;
        }
        mark = state_->out.find(kPressEnter, mark) + 1;
        state_->Type("\n");
    }
    int status = 0;
    const auto deadline = Clock::now() + kWait;
    while (::waitpid(state_->child, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            ADD_FAILURE() << "the plug-in's run did not end";
            return;
        }
        const timespec pause{0, 10'000'000};
        ::nanosleep(&pause, nullptr);
    }
    state_->child = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << state_->out;
}

std::string DialogRun::TypeLine(const std::string& line) {
    const size_t mark = state_->out.size();
    state_->Type(line + "\n");
    EXPECT_TRUE(state_->WaitFor("> ", mark + line.size() + 1)) << state_->out;
    return state_->out.substr(mark);
}

std::string DialogRun::Transcript() const { return state_->out; }

}  // namespace stats::test
