#pragma once
// Runs a program on a pseudo-terminal, as an operator at a terminal runs it:
// the test reads what the screen shows and types. Every wait is bounded; a
// child still running at the end is killed.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace stats::test {

class PtyProgram {
public:
    // Starts `program` in the current folder with the terminal as its
    // controlling terminal, standard input, output and error.
    PtyProgram(const std::string& program, const std::vector<std::string>& args, int rows = 40, int columns = 100);
    ~PtyProgram();
    PtyProgram(const PtyProgram&) = delete;
    PtyProgram& operator=(const PtyProgram&) = delete;

    bool Started() const { return child_ > 0; }

    // Reads until `text` shows at or after `from` in Shown(); false after the
    // wait or when the terminal closed first.
    bool WaitFor(const std::string& text, std::size_t from = 0,
                 std::chrono::milliseconds wait = std::chrono::seconds(20));
    void Type(const std::string& keys);

    // Reads to the end of the output and reaps the child: its exit code, or
    // -1 when it did not end in time (it is killed) or did not exit normally.
    int Wait(std::chrono::milliseconds wait = std::chrono::seconds(20));

    // Everything the terminal showed so far, CRs dropped.
    const std::string& Shown() const { return shown_; }

private:
    // One read; false when nothing came in time or the terminal closed.
    bool ReadSome(std::chrono::steady_clock::time_point deadline);

    pid_t child_ = -1;
    int master_ = -1;
    bool closed_ = false;
    std::string shown_;
};

}  // namespace stats::test
