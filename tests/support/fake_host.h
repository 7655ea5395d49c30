#pragma once
// A stand-in for the running host's automation object, as the plug-in finds
// it: on Linux a program on a private session bus of the test's own (the
// process's DBUS_SESSION_BUS_ADDRESS points there while the fake lives); on
// Windows an object of this process under "Zorv2.Application" in the registry
// and the running-object table.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace stats::test {

enum class HostMode {
    kAbsent,   // not running: the object is not offered
    kPresent,  // runs every macro
    kFailing,  // refuses each macro with the host's own error (Windows: DISP_E_EXCEPTION)
    kBroken,   // refuses each macro as a plain failure (Windows: E_FAIL; Linux: unknown method)
    kHung,     // Linux only: takes the call and never answers
};

struct ReceivedMacro {
    std::string text;   // "?" and the reason when the call was not the expected one
    bool accepted = false;
    std::string note;   // what the observer returned when the macro arrived
    bool operator==(const ReceivedMacro&) const = default;
};
std::ostream& operator<<(std::ostream& out, const ReceivedMacro& macro);

class FakeHost {
public:
    FakeHost();  // absent at first
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    void SetMode(HostMode mode);

    // Every macro call received so far, in order, refused ones included.
    std::vector<ReceivedMacro> Received();

    // Called as each macro arrives, before the host answers; its result goes
    // into the note. On Linux it runs on the fake's own thread.
    void OnMacro(std::function<std::string()> observer);

    // What the plug-in holds on to. Windows: references to the object beyond
    // the host's own and the running-object table's. Linux: connections to the
    // bus other than the host's. Waits up to two seconds for the count to
    // become `expected` (a closed connection leaves the bus a moment later)
    // and returns the count then.
    int PluginLinks(int expected);

#ifndef _WIN32
    // Connections made to the bus by others since the fake started.
    int ConnectionsSeen();
    // Whether the bus was ever asked to start the host program.
    bool StartRequested();
#endif

private:
    struct State;
    State* state_;
};

#ifdef _WIN32
// True while the calling thread is inside a COM apartment.
bool ThreadInApartment();
#endif

}  // namespace stats::test
