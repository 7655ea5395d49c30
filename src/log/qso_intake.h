#pragma once
// The contest's acceptance rules for a QSO the host passes in.

#include <cstdint>

#include "log/band_list.h"
#include "log/qso_fields.h"
#include "log/qso_store.h"

namespace stats {

// Stores the QSO (1) or refuses it (0), noting refusals and duplicates in
// "err.txt". A failure leaves the store and the band list as they were.
std::int32_t AddQso(const QsoFields& qso, CInfoArray& store, CBandArray& bands);

}  // namespace stats
