#pragma once
// The result table that GetResult0 returns, and the result request itself.

#include <cstdint>
#include <string>
#include <vector>

#include "scoring/scoring_rules.h"

namespace stats {

// Heading, one line per band, the total line and the score, lines ending in CR LF.
std::string FormatResultText(const std::string& startDate, const std::string& endDate,
                             const std::string& contestant, const std::vector<std::string>& bands,
                             const ScoreSheet& sheet);

// The host's result request on the run state: scores the store afresh and returns
// the new ResultText. On failure the run state is as it was before the call.
const char* ProduceResult(std::int32_t* resultCode);

}  // namespace stats
