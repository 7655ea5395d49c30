#include "scoring/result_text.h"

#include "host/host_mode.h"
#include "platform/message_box.h"
#include "platform/profile.h"
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

const char* ProduceResult(std::int32_t* resultCode) {
    // The run state is built aside and committed at the end, so a failure on the
    // way changes none of it.
    std::vector<std::string> bands = BandList.Bands();
    SortBands(bands);
    const ScoreSheet sheet = ScoreRun(QsoStore, bands, OwnCountry);
    std::string text = FormatResultText(StartDateText, EndDateText, ContestantCall, bands, sheet);

    // The claimed score; a settings file that cannot be written costs only the key.
    platform::WriteProfileString(SettingsPath, SettingsSection, "Claimed", std::to_string(sheet.totalPoints));

    std::vector<std::string> qsoLines;
    bool cabrilloProduced = false;
    if (CabrilloEnabled != 0) {
        // Built afresh at every request: a second request writes every QSO once.
        CCabrilloLog cabrillo = CabrilloLog;
        cabrillo.qsoLines.clear();
        for (std::int32_t i = 0, n = QsoStore.Count(); i < n; ++i) {
            const CInfo& r = QsoStore.At(i);
            cabrillo.AddQsoLine(r.call, r.freqKhz, "RY", r.qsoTime, r.rstSent, r.exchSent, r.rstRcvd, r.exchRcvd);
        }
        const CCabrilloLog::Outcome outcome = cabrillo.WriteCabrilloFile(sheet.totalPoints);
        platform::ShowMessageBox("Output", outcome.notice, platform::MessageBoxStyle::kInformation);
        cabrilloProduced = outcome.produced;
        qsoLines.swap(cabrillo.qsoLines);
    }

    BandList.Replace(std::move(bands));
    TotalPoints = sheet.totalPoints;
    ResultText.swap(text);
    if (CabrilloEnabled != 0) CabrilloLog.qsoLines.swap(qsoLines);
    if (cabrilloProduced && resultCode != nullptr) *resultCode = -1;
    // Last, after the "Output" box; a host that is absent or refuses changes
    // nothing of the result, and neither does a failure on the way to it: the
    // result is committed, so it is returned, and the next request tries again.
    if (MacrosSent == 0) {
        try {
            SetHostMode();
        } catch (...) {
        }
    }
    return ResultText.c_str();
}

}  // namespace stats
