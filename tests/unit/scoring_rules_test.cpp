#include "scoring/scoring_rules.h"

#include <gtest/gtest.h>

namespace stats {
namespace {

TEST(ScoringRulesTest, BandOrderByPaddedKeys) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"20m", "80m", "10m", "160m", "40m", "15m"}, {"160m", "80m", "40m", "20m", "15m", "10m"}},
        {{"2m", "6m", "70cm", "160m"}, {"70cm", "160m", "6m", "2m"}},
        {{}, {}},
        {{"80m"}, {"80m"}},
        // Equal keys are never swapped with each other; the exchange sort still
        // moves them past others, which decides where each lands.
        {{"40m", "80m", "080m"}, {"80m", "080m", "40m"}},
        {{"080m", "40m", "80m"}, {"080m", "80m", "40m"}},
        // Texts of 20 characters or more are their own keys.
        {{"a", std::string(25, '1'), "9"}, {std::string(25, '1'), "a", "9"}},
        // Bytes compare unsigned: a high byte sorts above letters.
        {{"z", "\xE9"}, {"\xE9", "z"}},
    };
    for (auto [bands, expected] : cases) {
        SortBands(bands);
        EXPECT_EQ(bands, expected);
    }
}

TEST(ScoringRulesTest, TalliesOnePassAndTotals) {
    CInfoArray store;
    auto add = [&](std::string call, std::string band, std::string country) {
        CInfo r;
        r.call = std::move(call);
        r.band = std::move(band);
        r.country = std::move(country);
        r.mode = "RTTY";
        store.Append(r);
    };
    add("Q0A", "80m", "X");    // 6
    add("Q0B", "20m", "Own");  // 1
    add("", "20m", "X");       // counts nowhere
    add("Q0A", "80m", "X");    // a duplicate scores as well: 6
    const ScoreSheet sheet = ScoreRun(store, {"80m", "40m", "20m"}, "Own");
    ASSERT_EQ(sheet.bands.size(), 3u);
    EXPECT_EQ(sheet.bands[0].qsos, 2);
    EXPECT_EQ(sheet.bands[0].points, 12);
    EXPECT_EQ(sheet.bands[1].qsos, 0);
    EXPECT_EQ(sheet.bands[2].qsos, 1);
    EXPECT_EQ(sheet.bands[2].points, 1);
    EXPECT_EQ(sheet.totalQsos, 4);
    EXPECT_EQ(sheet.totalPoints, 13);
}

}  // namespace
}  // namespace stats
