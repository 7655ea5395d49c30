#pragma once
// The running host's automation object, reached from the host's thread.
// Windows: the component object model (class identifier, apartment,
// running-object table, dispatch interface). Linux: the session bus, on which
// the host owns a well-known name and serves a "RunMacro" method.
//
// One attempt is bracketed by EnterAutomation and LeaveAutomation; every
// other call happens between the two, except ReleaseObject, which may also
// come later (at unload) for an object kept beyond the attempt.

#include <cstdint>
#include <string>

namespace stats::platform {

// What a programmatic identifier maps to, in the platform's own form; only the
// functions below read it. An identifier nobody registered maps to a class
// that no running object has.
struct AutomationClass {
    std::string identity;
};

// One counted reference to an object of another program; 0 is none. Whoever
// holds a non-zero handle releases it once with ReleaseObject.
using AutomationObject = std::uintptr_t;

// Never fails; the outcome shows later, when no object is found.
AutomationClass MapProgrammaticId(const char* programmaticId);

// Enters the calling thread into the automation layer for one attempt
// (Windows: CoInitialize; Linux: a private connection to the session bus,
// none when there is no bus). Always paired with LeaveAutomation, whether it
// worked or not.
void EnterAutomation();
void LeaveAutomation();

// The running object of the class, or 0 when none runs (or it cannot be
// reached). Never starts a program.
AutomationObject GetRunningObject(const AutomationClass& cls);

// The object's dispatch interface as a reference of its own, or 0 when the
// object does not offer one. The object's reference stays with the caller.
AutomationObject QueryDispatch(AutomationObject object);

void ReleaseObject(AutomationObject object);

// Invokes the method with this dispatch identifier with one text argument (8
// bits, the host's code page) and asks for no result. True when the host
// accepted the call; false for an error reply, a failure code, or no answer
// within a short time (Linux), so a hung host cannot freeze the caller.
bool InvokeWithText(AutomationObject dispatch, int dispatchId, const std::string& text);

}  // namespace stats::platform
