#include "host/host_mode.h"

#include <utility>

#include "host/host_link.h"
#include "platform/host_automation.h"
#include "plugin/run_state.h"

namespace stats {

void SetHostMode() {
    // Unregistered, the class is simply one that never runs.
    const platform::AutomationClass cls = platform::MapProgrammaticId("Zorv2.Application");
    // A thread the host already entered is normal; the pair is kept either way,
    // also when a failure leaves this attempt early.
    platform::EnterAutomation();
    struct Leave {
        ~Leave() { platform::LeaveAutomation(); }
    } leave;

    // The running object's own reference goes once its dispatch interface (with
    // a reference of its own) is had, or the attempt ends.
    struct Held {
        platform::AutomationObject object;
        ~Held() {
            if (object != 0) platform::ReleaseObject(object);
        }
    } running{platform::GetRunningObject(cls)};
    const platform::AutomationObject dispatch = running.object != 0 ? platform::QueryDispatch(running.object) : 0;
    if (running.object != 0) platform::ReleaseObject(std::exchange(running.object, 0));
    if (dispatch == 0) return;

    HostLink.Attach(dispatch);
    // The baud rate only after the mode went through; a refused macro leaves
    // MacrosSent at 0 for the next request.
    if (MacrosSent == 0 && HostLink.SendHostMacro("<MODE:RTTY>") && HostLink.SendHostMacro("<BAUDRATE:45.45>"))
        MacrosSent = 1;
}

}  // namespace stats
