#include "cabrillo/cabrillo_log.h"

#include "cabrillo/host_version.h"
#include "platform/file_output.h"
#include "plugin/date_time.h"

namespace stats {
namespace {

// printf's "%-Ns" and "%Ns": padded with blanks, never cut.
std::string Left(const std::string& value, size_t width) {
    return value.size() >= width ? value : value + std::string(width - value.size(), ' ');
}
std::string Right(const std::string& value, size_t width) {
    return value.size() >= width ? value : std::string(width - value.size(), ' ') + value;
}

}  // namespace

void CCabrilloLog::AddQsoLine(const std::string& call, std::int32_t freqKhz, const std::string& modeCode,
                              const DateTimeValue& qsoTime, const std::string& rstSent, const std::string& exchSent,
                              const std::string& rstRcvd, const std::string& exchRcvd) {
    std::string line = "QSO: " + Right(std::to_string(freqKhz), 5) + " " + Right(modeCode, 2) + " " +
                       FormatDateTime(qsoTime, "%Y-%m-%d %H%M") + " " + Left(callsign, 13) + " " +
                       Left(rstSent, 3) + " " + Left(exchSent, 6) + " " + Left(call, 13) + " " + Left(rstRcvd, 3) +
                       " " + exchRcvd + "\r\n";
    qsoLines.push_back(std::move(line));
}

std::string CCabrilloLog::FileText(std::int32_t claimed, const std::string& hostVersion) const {
    std::string text = "START-OF-LOG: 3.0\r\n"
                       "CONTEST: KYRVEN RTTY CONTEST \r\n";
    text += "CALLSIGN: " + callsign + "\r\n";
    text += "CATEGORY-OPERATOR: " + categoryOperator + "\r\n";
    text += "CATEGORY-BAND: " + categoryBand + "\r\n";
    text += "CATEGORY-MODE: RTTY \r\n";
    text += "CATEGORY-POWER: " + categoryPower + "\r\n";
    text += "CLAIMED-SCORE: " + std::to_string(claimed) + "\r\n";
    text += "CLUB: " + club + "\r\n";
    text += hostVersion.empty() ? std::string("CREATED-BY: Zorv \r\n") : "CREATED-BY: Zorv " + hostVersion + "\r\n";
    text += "NAME: " + name + "\r\n";
    text += "ADDRESS: " + address + "\r\n";
    text += "ADDRESS-CITY: " + addressCity + "\r\n";
    text += "ADDRESS-POSTALCODE: " + addressPostalCode + "\r\n";
    text += "ADDRESS-COUNTRY: " + addressCountry + "\r\n";
    text += "EMAIL: " + email + "\r\n";
    text += "OPERATORS: " + operators + "\r\n";
    text += "SOAPBOX: " + soapbox + "\r\n";
    for (const std::string& line : qsoLines) text += line;
    text += "END-OF-LOG:\r\n";
    return text;
}

CCabrilloLog::Outcome CCabrilloLog::WriteCabrilloFile(std::int32_t claimed) const {
    const std::string fileName = fileStem + ".cbr";
    const bool produced = platform::WriteWholeFile(fileName, FileText(claimed, HostVersionText()));
    return {produced, (produced ? "File produced: " : "File not produced: ") + fileName};
}

}  // namespace stats
