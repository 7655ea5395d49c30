#include "fake_dialog.h"

namespace stats::test {
std::function<int(std::vector<platform::DialogField>&)> fakeDialog;
}

namespace stats::platform {

int RunModalDialog(void*, int templateId, const char* caption, std::vector<DialogField>& fields) {
    if (templateId != 101 || std::string(caption) != "KYRVEN RTTY CONTEST ") return -1;
    return test::fakeDialog ? test::fakeDialog(fields) : -1;
}

}  // namespace stats::platform
