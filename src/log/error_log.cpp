#include "log/error_log.h"

#include "plugin/date_time.h"

namespace stats {

ErrorLog::ErrorLog() : file_("err.txt") {}

void ErrorLog::Write(const std::string& qsoPart, std::string_view reason) {
    std::string line;
    line.reserve(qsoPart.size() + reason.size() + 2);
    line.append(qsoPart).append(reason).append("\r\n");
    file_.Write(line);
}

std::string ErrorLog::FormatQso(const QsoFields& qso) {
    const std::string time = FormatDateTime(qso.qsoTime, "%Y-%m-%d %H%M");
    std::string line = "QSO:  " + std::to_string(qso.freqHz / 1000u);
    for (std::string_view item : {qso.mode, std::string_view(time), qso.ownCall, qso.rstSent, qso.exchSent,
                                  qso.call, qso.rstRcvd, qso.exchRcvd})
        line.append("  ").append(item);
    return line;
}

}  // namespace stats
