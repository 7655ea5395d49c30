#pragma once
// The message boxes the plug-in shows during a test. On Linux, without a
// terminal, a box is a line on stderr; on Windows a robot finds each real box,
// reads it and presses OK.

#include <string>
#include <vector>

namespace stats::test {

struct ShownBox {
    std::string caption;  // kDefaultCaption where the plug-in gave none
    std::string text;
    bool operator==(const ShownBox&) const = default;
};

// The caption the platform shows when the plug-in gives none.
extern const char* const kDefaultCaption;

class MessageBoxWatcher {
public:
    MessageBoxWatcher();   // starts watching
    ~MessageBoxWatcher();  // stops
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // The boxes shown (and closed) so far, in order.
    std::vector<ShownBox> Shown();

private:
    struct State;
    State* state_;
};

std::ostream& operator<<(std::ostream& out, const ShownBox& box);

}  // namespace stats::test
