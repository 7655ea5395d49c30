#pragma once
// The Cabrillo header values kept in "Plugins\KYRVEN.ini", section "Settings".

#include <cstdint>

#include "cabrillo/cabrillo_log.h"

namespace stats {

// Loads the header values into log, shows them in the header dialog and saves
// them on OK; derives the file stem from the call sign, puts the soapbox in its
// Cabrillo form and empties the QSO lines. 1 after OK, 0 after Cancel (or when
// the dialog could not be created).
std::int32_t EditSettings(CCabrilloLog& log, const char* contestantCall);

}  // namespace stats
