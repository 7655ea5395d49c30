#include "log/qso_removal.h"

#include <cstring>
#include <string>

namespace stats {
namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

}  // namespace

std::int32_t RemoveQso(const QsoFields& qso, CInfoArray& store) {
    if (qso.mode != "RTTY") return 0;
    if (qso.exchRcvd.empty() || qso.exchSent.empty()) return 0;
    const std::int32_t index = store.FindFirst(qso.call, qso.mode, qso.band);
    if (index >= 0) store.RemoveAt(index);
    return 1;
}

std::int32_t CheckCall(const char* call, const char* band, const char* secondBand, char* exchOut,
                       const CInfoArray& store) {
    // Only two texts the host really passed can disagree.
    if (band != nullptr && secondBand != nullptr && !EqualIgnoringCase(band, secondBand)) return 4;

    const std::string_view wanted = HostText(call);
    const std::string_view wantedBand = HostText(band);
    const std::string* found = nullptr;
    std::int32_t result = 1;
    for (std::int32_t i = 0, n = store.Count(); i < n; ++i) {
        const CInfo& r = store.At(i);
        if (r.call != wanted) continue;
        found = &r.exchRcvd;
        if (r.band == wantedBand) {
            result = 0;
            break;
        }
    }
    if (exchOut != nullptr) {
        // The host's buffer holds 50 bytes: a longer exchange is cut, never overrun.
        const size_t length = found ? std::min(found->size(), kExchOutSize - 1) : 0;
        if (length > 0) std::memcpy(exchOut, found->data(), length);
        exchOut[length] = '\0';
    }
    return result;
}

}  // namespace stats
