#pragma once
// The unit tests' header dialog: it replaces the platform's at link time and
// does what the running test tells it.

#include <functional>
#include <vector>

#include "platform/header_dialog.h"

namespace stats::test {

// Called instead of showing a dialog; returns the dialog result. Unset: the
// dialog cannot be created (-1).
extern std::function<int(std::vector<platform::DialogField>&)> fakeDialog;

}  // namespace stats::test
