#pragma once
// HostLink: the plug-in's one driver bound to the host's automation object.

#include <string>

#include "platform/host_automation.h"

namespace stats {

class CHostLink {
public:
    CHostLink() = default;
    ~CHostLink();  // releases the object once, when one is held
    CHostLink(const CHostLink&) = delete;
    CHostLink& operator=(const CHostLink&) = delete;

    // Takes over the caller's reference; a reference held before is released,
    // so the link never holds more than one.
    void Attach(platform::AutomationObject dispatch);
    bool IsAttached() const { return dispatch_ != 0; }

    // Has the host run the text as a macro. False when nothing is attached or
    // the host refused the call or did not answer.
    bool SendHostMacro(const std::string& text);

private:
    platform::AutomationObject dispatch_ = 0;
};

}  // namespace stats
