#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "host/run_program.h"
#include "support/workdir.h"

namespace stats::test {

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& scratch, const RunOptions& options) {
    const std::string outPath = (scratch / "stdout.txt").string();
    const std::string errPath = (scratch / "stderr.txt").string();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    ProgramRun run;
    const pid_t pid = fork();
    if (pid < 0) return run;
    if (pid == 0) {
        // A session of its own has no controlling terminal, even when the
        // tests were started from one: the plug-in shows no form and no box.
        setsid();
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + options.timeout;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) return run;
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            kill(pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        const timespec pause{0, 5'000'000};
        nanosleep(&pause, nullptr);
    }
    if (!run.timedOut && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = ReadFile(outPath).value_or("");
    run.err = ReadFile(errPath).value_or("");
    return run;
}

}  // namespace stats::test
