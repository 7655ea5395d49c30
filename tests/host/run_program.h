#pragma once
// Runs a program as a child process, its output caught in files.

#include <filesystem>
#include <string>
#include <vector>

namespace stats::test {

struct ProgramRun {
    int exitCode = -1;  // -1 when it could not be started or did not exit normally
    std::string out;    // standard output, bytes unchanged
    std::string err;    // standard error
};

// Runs `program` with `args` in the current folder, standard input empty; its
// output goes through files in `scratch`, which must exist.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& scratch);

}  // namespace stats::test
