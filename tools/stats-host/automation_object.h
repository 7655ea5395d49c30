#pragma once
// The automation object the logging program offers while it runs, so that the
// plug-in can switch it to the contest's mode: stats-host prints each macro it
// is asked to run instead of running it.

#include <memory>

namespace stats::host {

class AutomationObject {
public:
    AutomationObject();
    ~AutomationObject();  // withdraws the object
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    // Offers the object and serves it on a thread of its own, printing
    // "host: macro TEXT" on stderr for each macro. False, silently, where it
    // cannot be offered (Linux: no session bus, or the name is taken;
    // Windows: not offered at all); the plug-in then finds no host.
    bool Start();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace stats::host
