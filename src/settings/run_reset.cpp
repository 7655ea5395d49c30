#include "settings/run_reset.h"

#include <optional>
#include <string>
#include <utility>

#include "log/qso_fields.h"
#include "plugin/date_time.h"
#include "plugin/run_state.h"
#include "settings/settings_store.h"

namespace stats {

std::int32_t ResetRun(std::int32_t cabrilloEnabled, const char* contestantCall, const DateTimeValue* periodStart,
                      const DateTimeValue* periodEnd, const char* ownCountry) {
    std::string start = FormatDateTime(DateTimeOrNull(periodStart), "%d.%m");
    std::string end = FormatDateTime(DateTimeOrNull(periodEnd), "%d.%m.%Y");
    std::string country(HostText(ownCountry));
    std::string call(HostText(contestantCall));
    // The header dialog works on a copy, so that a failure leaves the run as it was.
    std::optional<CCabrilloLog> cabrillo;
    if (cabrilloEnabled != 0) {
        cabrillo.emplace(CabrilloLog);
        EditSettings(*cabrillo, contestantCall);
    }

    StartDateText.swap(start);
    EndDateText.swap(end);
    QsoStore.Clear();
    BandList.Clear();
    CabrilloEnabled = cabrilloEnabled;
    OwnCountry.swap(country);
    ContestantCall.swap(call);
    if (cabrillo) std::swap(CabrilloLog, *cabrillo);
    return 1;
}

}  // namespace stats
