#pragma once
// The start of a statistics run.

#include <cstdint>

#include "plugin/stats_api.h"

namespace stats {

// Empties the store and the band list and takes the run's texts and Cabrillo flag
// from the host. Returns 1. On failure the run state is as it was before.
std::int32_t ResetRun(std::int32_t cabrilloEnabled, const char* contestantCall, const DateTimeValue* periodStart,
                      const DateTimeValue* periodEnd, const char* ownCountry);

}  // namespace stats
