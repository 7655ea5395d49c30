#include "scoring/scoring_rules.h"

#include <unordered_map>
#include <utility>

namespace stats {
namespace {

constexpr size_t kBandKeyLength = 20;

std::string BandKey(const std::string& band) {
    if (band.size() >= kBandKeyLength) return band;
    return std::string(kBandKeyLength - band.size(), '0') + band;
}

}  // namespace

void SortBands(std::vector<std::string>& bands) {
    // The exchange sort itself fixes where bands with equal keys end up. Keys
    // are made once and travel with their bands.
    const size_t n = bands.size();
    std::vector<std::string> keys;
    keys.reserve(n);
    for (const std::string& band : bands) keys.push_back(BandKey(band));
    for (size_t i = 0; i + 1 < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            // std::string compares bytes as unsigned values; a prefix is the lesser.
            if (keys[i] < keys[j]) {
                std::swap(keys[i], keys[j]);
                std::swap(bands[i], bands[j]);
            }
        }
    }
}

std::int32_t QsoPoints(const CInfo& record, std::string_view band, std::string_view ownCountry) {
    std::int32_t points = 1;
    if (record.country != ownCountry) points *= 2;
    if (band == "80m" || band == "40m") points *= 3;
    const size_t qrp = record.call.find("/QRP");
    if (qrp != std::string::npos && qrp > 0) points *= 2;
    if (record.prefix == "SV5" || record.prefix == "SV8" || record.prefix == "SV9") points *= 3;
    return points;
}

ScoreSheet ScoreRun(const CInfoArray& store, const std::vector<std::string>& bands, std::string_view ownCountry) {
    // A record counts only on its own band, so one pass over the store suffices.
    std::unordered_map<std::string_view, size_t> bandIndex;
    for (size_t i = 0; i < bands.size(); ++i) bandIndex.emplace(bands[i], i);

    ScoreSheet sheet;
    sheet.bands.resize(bands.size());
    sheet.totalQsos = store.Count();
    for (std::int32_t i = 0, n = store.Count(); i < n; ++i) {
        const CInfo& record = store.At(i);
        if (record.call.empty()) continue;
        auto it = bandIndex.find(record.band);
        if (it == bandIndex.end()) continue;
        BandTally& tally = sheet.bands[it->second];
        const std::int32_t points = QsoPoints(record, record.band, ownCountry);
        tally.qsos += 1;
        tally.points += points;
        sheet.totalPoints += points;
    }
    return sheet;
}

}  // namespace stats
