#pragma once
// Withdrawal of a QSO and the call check while the operator types.

#include <cstdint>
#include <string_view>

#include "log/qso_fields.h"
#include "log/qso_store.h"

namespace stats {

// 0 for a QSO that could never have been stored (other mode, empty exchange);
// otherwise removes the first stored record with the same call, mode and band,
// if any, and returns 1.
std::int32_t RemoveQso(const QsoFields& qso, CInfoArray& store);

inline constexpr std::size_t kExchOutSize = 50;

// 1 when the call was not worked on the band, 0 when it was, 4 when the two band
// texts disagree. Writes the exchange found (at most 49 characters and the NUL)
// to exchOut unless it is null.
std::int32_t CheckCall(const char* call, const char* band, const char* secondBand, char* exchOut,
                       const CInfoArray& store);

}  // namespace stats
