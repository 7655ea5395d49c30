#include "host/host_link.h"

namespace stats {
namespace {

// The host's member that runs a macro.
constexpr int kRunMacroDispatchId = 16;

}  // namespace

CHostLink::~CHostLink() {
    if (dispatch_ != 0) platform::ReleaseObject(dispatch_);
    dispatch_ = 0;
}

void CHostLink::Attach(platform::AutomationObject dispatch) {
    // The same object found again comes with a reference of its own.
    if (dispatch_ != 0) platform::ReleaseObject(dispatch_);
    dispatch_ = dispatch;
}

bool CHostLink::SendHostMacro(const std::string& text) {
    if (dispatch_ == 0) return false;
    return platform::InvokeWithText(dispatch_, kRunMacroDispatchId, text);
}

}  // namespace stats
