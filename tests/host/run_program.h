#pragma once
// Runs a program as a child process, its output caught in files.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace stats::test {

// A window of the child that the watcher closed with OK (Windows).
struct ChildWindow {
    bool headerDialog = false;  // the plug-in's header dialog; else a message box
    std::string caption;
    std::string text;  // a message box's text; empty for the header dialog
};

struct RunOptions {
    // Windows: while the child runs, OK is pressed on its header dialog (the
    // loaded values are kept) and on each of its message boxes, as an operator
    // would. Linux needs nothing: without a terminal the plug-in shows neither.
    bool closeWindows = false;
    // The child is killed when it runs longer.
    std::chrono::seconds timeout{120};
};

struct ProgramRun {
    int exitCode = -1;  // -1 when it could not be started or did not exit normally
    bool timedOut = false;
    std::string out;  // standard output, bytes unchanged
    std::string err;  // standard error
    std::vector<ChildWindow> windows;  // in the order they were closed
};

// Runs `program` with `args` in the current folder, standard input empty and
// no controlling terminal; its output goes through files in `scratch`, which
// must exist.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& scratch, const RunOptions& options = {});

}  // namespace stats::test
