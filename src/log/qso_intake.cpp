#include "log/qso_intake.h"

#include "log/error_log.h"

namespace stats {
namespace {

bool IsExcludedBand(std::string_view band) {
    return band == "160m" || band == "30m" || band == "17m" || band == "12m";
}

}  // namespace

std::int32_t AddQso(const QsoFields& qso, CInfoArray& store, CBandArray& bands) {
    ErrorLog errors;  // opened on every call, before any check
    const std::string qsoPart = ErrorLog::FormatQso(qso);

    if (IsExcludedBand(qso.band)) {
        errors.Write(qsoPart, kNoContestBand);
        return 0;
    }
    if (qso.exchRcvd.empty() || qso.exchSent.empty()) {
        errors.Write(qsoPart, kNoNumber);
        return 0;
    }
    if (qso.mode != "RTTY") {
        errors.Write(qsoPart, kNoContestMode);
        return 0;
    }

    CInfo record;
    record.call = qso.call;
    record.prefix = qso.prefix;
    record.country = qso.country;
    record.band = qso.band;
    record.mode = qso.mode;
    record.rstRcvd = qso.rstRcvd;
    record.rstSent = qso.rstSent;
    record.exchRcvd = qso.exchRcvd;
    record.exchSent = qso.exchSent;
    record.freqKhz = static_cast<std::int32_t>(qso.freqHz / 1000u);
    record.qsoTime = qso.qsoTime;

    // One line per stored QSO that this one repeats.
    for (std::int32_t k = store.CountSame(record.call, record.band, record.mode); k > 0; --k)
        errors.Write(qsoPart, kDupe);

    // Room for a new band first, so that nothing can fail once the record is in.
    const bool newBand = !bands.Contains(qso.band);
    std::string band;
    if (newBand) {
        band = record.band;
        bands.Reserve(bands.Bands().size() + 1);
    }
    store.Append(std::move(record));
    if (newBand) bands.Append(std::move(band));
    return 1;
}

}  // namespace stats
