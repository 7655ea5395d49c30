#include "host/host_mode.h"

#include "host/host_link.h"
#include "platform/host_automation.h"
#include "plugin/run_state.h"

namespace stats {

void SetHostMode() {
    // Unregistered, the class is simply one that never runs.
    const platform::AutomationClass cls = platform::MapProgrammaticId("Zorv2.Application");
    // A thread the host already entered is normal; the pair is kept either way.
    platform::EnterAutomation();

    const platform::AutomationObject object = platform::GetRunningObject(cls);
    const platform::AutomationObject dispatch = object != 0 ? platform::QueryDispatch(object) : 0;
    if (object != 0) platform::ReleaseObject(object);
    if (dispatch == 0) {
        platform::LeaveAutomation();
        return;
    }

    HostLink.Attach(dispatch);
    // The baud rate only after the mode went through; a refused macro leaves
    // MacrosSent at 0 for the next request.
    if (MacrosSent == 0 && HostLink.SendHostMacro("<MODE:RTTY>") && HostLink.SendHostMacro("<BAUDRATE:45.45>"))
        MacrosSent = 1;

    platform::LeaveAutomation();
}

}  // namespace stats
