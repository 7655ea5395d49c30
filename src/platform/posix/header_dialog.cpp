#include "platform/header_dialog.h"

namespace stats::platform {

// The Linux build has no dialog yet: it cannot be created, which counts as Cancel.
int RunModalDialog(void*, int, const char*, std::vector<DialogField>&) { return -1; }

}  // namespace stats::platform
