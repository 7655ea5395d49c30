#include "host/pty_program.h"

#include <errno.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace stats::test {

using Clock = std::chrono::steady_clock;

PtyProgram::PtyProgram(const std::string& program, const std::vector<std::string>& args, int rows, int columns) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = static_cast<unsigned short>(columns);
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::forkpty(&master_, nullptr, nullptr, &size);
    if (pid == 0) {
        ::execv(program.c_str(), argv.data());
        _exit(127);
    }
    child_ = pid;
    if (pid < 0) closed_ = true;
}

PtyProgram::~PtyProgram() {
    if (child_ > 0) {
        // Closing the terminal ends the child's input; one that still runs
        // after a while is killed.
        if (master_ >= 0) ::close(master_);
        master_ = -1;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        int status = 0;
        while (::waitpid(child_, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                ::kill(child_, SIGKILL);
                ::waitpid(child_, &status, 0);
                break;
            }
            const timespec pause{0, 10'000'000};
            ::nanosleep(&pause, nullptr);
        }
    }
    if (master_ >= 0) ::close(master_);
}

bool PtyProgram::ReadSome(Clock::time_point deadline) {
    for (;;) {
        if (closed_) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char chunk[4096];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            closed_ = true;  // EIO: every holder of the child's side closed it
            return false;
        }
        for (ssize_t i = 0; i < n; ++i)
            if (chunk[i] != '\r') shown_ += chunk[i];
        return true;
    }
}

bool PtyProgram::WaitFor(const std::string& text, std::size_t from, std::chrono::milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    while (shown_.find(text, from) == std::string::npos)
        if (!ReadSome(deadline)) return shown_.find(text, from) != std::string::npos;
    return true;
}

void PtyProgram::Type(const std::string& keys) {
    std::size_t done = 0;
    while (master_ >= 0 && done < keys.size()) {
        const ssize_t n = ::write(master_, keys.data() + done, keys.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

int PtyProgram::Wait(std::chrono::milliseconds wait) {
    if (child_ <= 0) return -1;
    const auto deadline = Clock::now() + wait;
    while (ReadSome(deadline)) {
    }
    int status = 0;
    pid_t done = 0;
    while ((done = ::waitpid(child_, &status, WNOHANG)) == 0 && Clock::now() < deadline) {
        const timespec pause{0, 10'000'000};
        ::nanosleep(&pause, nullptr);
    }
    if (done != child_) {
        ::kill(child_, SIGKILL);
        ::waitpid(child_, &status, 0);
        child_ = -1;
        return -1;
    }
    child_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace stats::test
