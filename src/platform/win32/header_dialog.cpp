#include "platform/header_dialog.h"

namespace stats::platform {

// The dialog template is not in the resources yet: it cannot be created, which
// counts as Cancel.
int RunModalDialog(void*, int, const char*, std::vector<DialogField>&) { return -1; }

}  // namespace stats::platform
