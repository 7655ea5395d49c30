#pragma once
// "err.txt": one line per refused QSO and per duplicate found, appended across
// runs and loads; never truncated.

#include <string>
#include <string_view>

#include "log/qso_fields.h"
#include "platform/file_output.h"

namespace stats {

inline constexpr std::string_view kNoContestBand = "   NO CONTEST BAND !!!";
inline constexpr std::string_view kNoNumber = "   NO RX/TX NUMBER !!!";
inline constexpr std::string_view kNoContestMode = "   NO CONTEST MODE !!!";
inline constexpr std::string_view kDupe = "   DUPE !!!";

class ErrorLog {
public:
    // Opens (and so creates) the file for one intake call. Lines that cannot be
    // written are lost without a word: the intake's verdict stays the same.
    ErrorLog();
    void Write(const std::string& qsoPart, std::string_view reason);

    // The QSO part of a line, in the column order of a Cabrillo QSO line.
    static std::string FormatQso(const QsoFields& qso);

private:
    platform::AppendFile file_;
};

}  // namespace stats
