#include "scoring/result_text.h"

#include "plugin/run_state.h"

namespace stats {

std::string FormatResultText(const std::string& startDate, const std::string& endDate,
                             const std::string& contestant, const std::vector<std::string>& bands,
                             const ScoreSheet& sheet) {
    std::string text = "KYRVEN RTTY CONTEST  " + startDate + "-" + endDate + " \r\n\tContestant: " + contestant +
                       "\r\n\tQSOs\tPoints\r\n";
    for (size_t i = 0; i < bands.size(); ++i)
        text += bands[i] + "\t " + std::to_string(sheet.bands[i].qsos) + "\t " +
                std::to_string(sheet.bands[i].points) + "\r\n";
    text += "Total\t " + std::to_string(sheet.totalQsos) + "\t " + std::to_string(sheet.totalPoints) + "\r\n";
    text += "\r\nScore: = " + std::to_string(sheet.totalPoints) + "\r\n\r\n";
    return text;
}

const char* ProduceResult(std::int32_t* /*resultCode*/) {
    // Everything is built aside and committed at the end, so a failure on the way
    // changes nothing.
    std::vector<std::string> bands = BandList.Bands();
    SortBands(bands);
    const ScoreSheet sheet = ScoreRun(QsoStore, bands, OwnCountry);
    std::string text = FormatResultText(StartDateText, EndDateText, ContestantCall, bands, sheet);

    BandList.Replace(std::move(bands));
    TotalPoints = sheet.totalPoints;
    ResultText.swap(text);
    return ResultText.c_str();
}

}  // namespace stats
