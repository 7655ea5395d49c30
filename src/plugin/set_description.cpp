#include "plugin/set_description.h"

#include <string_view>

#include "log/qso_fields.h"
#include "platform/message_box.h"

namespace stats {
namespace {

char kSetNameText[] = "KYRVEN RTTY CONTEST (C)";
char kNoSetName[] = "";

}  // namespace

char* SetName(std::int32_t setIndex) { return setIndex == 0 ? kSetNameText : kNoSetName; }


bool IsValidExchange(const char* exchange) {
    const std::string_view text = HostText(exchange);
    if (text.size() != 3 && text.size() != 4) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return text != "599";
}

void ShowSetup() {
    platform::ShowMessageBox(nullptr, "No additional setup for this contest", platform::MessageBoxStyle::kPlain);
}

}  // namespace stats
