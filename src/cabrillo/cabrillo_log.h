#pragma once
// The Cabrillo 3.0 log: its header values, the name of its file and its QSO lines.

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/stats_api.h"

namespace stats {

class CCabrilloLog {
public:
    // Formats one QSO as a Cabrillo QSO line (CR LF included) and appends it.
    // Columns are padded to their widths and never cut.
    void AddQsoLine(const std::string& call, std::int32_t freqKhz, const std::string& modeCode,
                    const DateTimeValue& qsoTime, const std::string& rstSent, const std::string& exchSent,
                    const std::string& rstRcvd, const std::string& exchRcvd);

    // The whole file: header, QSO lines, end marker.
    std::string FileText(std::int32_t claimedScore, const std::string& hostVersion) const;

    struct Outcome {
        bool produced;
        std::string notice;  // for the operator: "File produced: N0CALL.cbr"
    };
    // Writes fileStem + ".cbr" in the current folder, replacing any earlier file.
    // A file that cannot be written whole is not left behind, and the notice
    // then says "File not produced: ".
    Outcome WriteCabrilloFile(std::int32_t claimedScore) const;

    std::string callsign;
    std::string name;
    std::string address;
    std::string addressCity;
    std::string addressPostalCode;
    std::string addressCountry;
    std::string claimedScore;
    std::string contestName;
    std::string email;
    std::string club;
    std::string soapbox;  // Cabrillo form
    std::string operators;
    std::string categoryOperator;
    std::string categoryBand;
    std::string location;
    std::string categoryPower;
    std::string fileStem;
    std::vector<std::string> qsoLines;
};

}  // namespace stats
