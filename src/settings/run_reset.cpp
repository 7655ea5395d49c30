#include "settings/run_reset.h"

#include <string>

#include "log/qso_fields.h"
#include "plugin/date_time.h"
#include "plugin/run_state.h"

namespace stats {

std::int32_t ResetRun(std::int32_t cabrilloEnabled, const char* contestantCall, const DateTimeValue* periodStart,
                      const DateTimeValue* periodEnd, const char* ownCountry) {
    std::string start = FormatDateTime(DateTimeOrNull(periodStart), "%d.%m");
    std::string end = FormatDateTime(DateTimeOrNull(periodEnd), "%d.%m.%Y");
    std::string country(HostText(ownCountry));
    std::string call(HostText(contestantCall));

    StartDateText.swap(start);
    EndDateText.swap(end);
    QsoStore.Clear();
    BandList.Clear();
    CabrilloEnabled = cabrilloEnabled;
    OwnCountry.swap(country);
    ContestantCall.swap(call);
    return 1;
}

}  // namespace stats
