#pragma once
// The fields of the host's QSO field block that the plug-in reads; the views
// point into the host's arguments and live only for one call.

#include <cstdint>
#include <string_view>

#include "plugin/stats_api.h"

namespace stats {

struct QsoFields {
    std::string_view ownCall;
    std::string_view call;
    DateTimeValue qsoTime{0.0, kDateTimeNull};
    std::uint32_t freqHz = 0;
    std::string_view mode;
    std::string_view rstSent;
    std::string_view rstRcvd;
    std::string_view exchSent;
    std::string_view exchRcvd;
    std::string_view prefix;
    std::string_view country;
    std::string_view band;
};

// The host's text: a null pointer is the empty text.
inline std::string_view HostText(const char* text) { return text ? std::string_view(text) : std::string_view(); }

}  // namespace stats
