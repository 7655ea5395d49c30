#pragma once
// The contest's point rule, the band order and the tallies per band.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/cinfo.h"
#include "log/qso_store.h"

namespace stats {

// Sorts band texts into the report's order: descending band keys (the text
// padded on the left with '0' to 20 characters), by the contest's exchange sort.
void SortBands(std::vector<std::string>& bands);

// Points of a record counted on band: 1, times 2 for another country, 3 on 80m
// or 40m, 2 for "/QRP" after the first character of the call, 3 for the
// prefixes SV5, SV8 and SV9.
std::int32_t QsoPoints(const CInfo& record, std::string_view band, std::string_view ownCountry);

struct BandTally {
    std::int32_t qsos = 0;
    std::int32_t points = 0;
};

struct ScoreSheet {
    std::vector<BandTally> bands;  // one per band, in the order given
    std::int32_t totalQsos = 0;    // every stored record, counted or not
    std::int32_t totalPoints = 0;
};

// Tallies the store on the bands given (already in report order).
ScoreSheet ScoreRun(const CInfoArray& store, const std::vector<std::string>& bands, std::string_view ownCountry);

}  // namespace stats
