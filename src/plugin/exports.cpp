// The exported entry points: argument checking and the catch at the boundary,
// nothing else. No exception may reach the host; a failed call returns its
// refusal value and leaves the run state as it was.

#include <cstdint>

#include "log/qso_fields.h"
#include "log/qso_intake.h"
#include "log/qso_removal.h"
#include "plugin/date_time.h"
#include "plugin/run_state.h"
#include "plugin/set_description.h"
#include "plugin/stats_api.h"
#include "scoring/result_text.h"
#include "settings/run_reset.h"

#define STATS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

char kEmptyText[] = "";

template <typename Result, typename Body>
Result Guarded(Result refusal, Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return refusal;
    }
}

stats::QsoFields ReadQsoFields(const char* ownCall, const char* call, const DateTimeValue* qsoTime,
                               std::uint32_t freqHz, const char* mode, const char* rstSent, const char* rstRcvd,
                               const char* exchSent, const char* exchRcvd, const char* prefix, const char* country,
                               const char* band) {
    using stats::HostText;
    stats::QsoFields qso;
    qso.ownCall = HostText(ownCall);
    qso.call = HostText(call);
    qso.qsoTime = stats::DateTimeOrNull(qsoTime);
    qso.freqHz = freqHz;
    qso.mode = HostText(mode);
    qso.rstSent = HostText(rstSent);
    qso.rstRcvd = HostText(rstRcvd);
    qso.exchSent = HostText(exchSent);
    qso.exchRcvd = HostText(exchRcvd);
    qso.prefix = HostText(prefix);
    qso.country = HostText(country);
    qso.band = HostText(band);
    return qso;
}

}  // namespace

STATS_EXPORT int32_t STATS_CALL ResetStats0(const char*, int32_t cabrilloEnabled, const char* contestantCall,
                                            const DateTimeValue* periodStart, const DateTimeValue* periodEnd,
                                            const char*, const char*, const char*, const char*, const char*,
                                            const char*, const char*, const char*, const char*, const char*, int32_t,
                                            int32_t, int32_t, double, double, const char*, const char* ownCountry,
                                            const char*) {
    return Guarded<int32_t>(0, [&] {
        return stats::ResetRun(cabrilloEnabled, contestantCall, periodStart, periodEnd, ownCountry);
    });
}

STATS_EXPORT int32_t STATS_CALL AddData0(STATS_QSO_FIELD_BLOCK) {
    return Guarded<int32_t>(0, [&] {
        const stats::QsoFields qso = ReadQsoFields(ownCall, call, qsoTime, freqHz, mode, rstSent, rstRcvd, exchSent,
                                                   exchRcvd, prefix, country, band);
        return stats::AddQso(qso, stats::QsoStore, stats::BandList);
    });
}

STATS_EXPORT int32_t STATS_CALL RemoveData0(STATS_QSO_FIELD_BLOCK) {
    return Guarded<int32_t>(0, [&] {
        const stats::QsoFields qso = ReadQsoFields(ownCall, call, qsoTime, freqHz, mode, rstSent, rstRcvd, exchSent,
                                                   exchRcvd, prefix, country, band);
        return stats::RemoveQso(qso, stats::QsoStore);
    });
}

STATS_EXPORT int32_t STATS_CALL CheckCall0(const char* call, uint32_t, uint32_t, const char*, const char*,
                                           const char*, const char*, const char*, const char*, const char*,
                                           const char*, const char*, const char*, const char*, int32_t, int32_t,
                                           int32_t, double, double, const char*, const char*, const char*,
                                           const char*, const char*, const char* band, const char* secondBand,
                                           char* exchOut, char*) {
    return Guarded<int32_t>(0, [&] { return stats::CheckCall(call, band, secondBand, exchOut, stats::QsoStore); });
}

STATS_EXPORT char* STATS_CALL GetResult0(int32_t* resultCode) {
    return Guarded<char*>(kEmptyText, [&] { return const_cast<char*>(stats::ProduceResult(resultCode)); });
}

// Also exported as GetExchgCount0: the same entry point.
STATS_EXPORT int32_t STATS_CALL GetNumberOfSets(void) { return 1; }

STATS_EXPORT char* STATS_CALL GetSetName(int32_t setIndex) { return stats::SetName(setIndex); }

STATS_EXPORT void STATS_CALL SetupSet0(void) {
    Guarded<int>(0, [] {
        stats::ShowSetup();
        return 0;
    });
}

STATS_EXPORT int32_t STATS_CALL IsValidExchg0(const char* exchange, const char*, const char*, const char*, int32_t,
                                              int32_t, int32_t) {
    return stats::IsValidExchange(exchange) ? 1 : 0;
}
