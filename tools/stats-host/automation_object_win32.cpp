#include "automation_object.h"

namespace stats::host {

// Offering it would mean registering a class in the user's registry; the
// plug-in simply finds no host.
struct AutomationObject::State {};

AutomationObject::AutomationObject() = default;
AutomationObject::~AutomationObject() = default;

bool AutomationObject::Start() { return false; }

}  // namespace stats::host
