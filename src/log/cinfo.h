#pragma once
// One stored QSO.

#include <cstdint>
#include <string>

#include "plugin/stats_api.h"

namespace stats {

struct CInfo {
    std::string call;
    std::string prefix;
    std::string country;
    std::string band;
    std::string mode;
    std::string rstRcvd;
    std::string rstSent;
    std::string exchRcvd;
    std::string exchSent;
    std::int32_t freqKhz = 0;
    DateTimeValue qsoTime{0.0, kDateTimeValid};
};

}  // namespace stats
