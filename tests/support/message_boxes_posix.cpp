#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "support/message_boxes.h"
#include "support/workdir.h"

namespace stats::test {

const char* const kDefaultCaption = "";

struct MessageBoxWatcher::State {
    int savedStderr = -1;
    std::string path;
};

// The plug-in writes "caption: text" (or the text alone) to stderr when there
// is no terminal; stderr goes to a file while the watcher lives.
MessageBoxWatcher::MessageBoxWatcher() : state_(new State) {
    char name[] = "/tmp/stats-boxes-XXXXXX";
    int fd = mkstemp(name);
    state_->path = name;
    fflush(stderr);
    state_->savedStderr = dup(STDERR_FILENO);
    dup2(fd, STDERR_FILENO);
    close(fd);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    fflush(stderr);
    dup2(state_->savedStderr, STDERR_FILENO);
    close(state_->savedStderr);
    unlink(state_->path.c_str());
    delete state_;
}

std::vector<ShownBox> MessageBoxWatcher::Shown() {
    fflush(stderr);
    std::istringstream lines(ReadFile(state_->path).value_or(""));
    std::vector<ShownBox> boxes;
    for (std::string line; std::getline(lines, line);) {
        // A caption is one word before the first ": ".
        const size_t colon = line.find(": ");
        if (colon != std::string::npos && line.substr(0, colon).find(' ') == std::string::npos)
            boxes.push_back({line.substr(0, colon), line.substr(colon + 2)});
        else
            boxes.push_back({kDefaultCaption, line});
    }
    return boxes;
}

}  // namespace stats::test
