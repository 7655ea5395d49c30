#include "log/qso_store.h"

#include <algorithm>

namespace stats {

std::string CInfoArray::Key(std::string_view call, std::string_view band, std::string_view mode) {
    // Host texts hold no NUL, so NUL separators keep the key unambiguous.
    std::string key;
    key.reserve(call.size() + band.size() + mode.size() + 2);
    key.append(call).append(1, '\0').append(band).append(1, '\0').append(mode);
    return key;
}

std::int32_t CInfoArray::CountSame(std::string_view call, std::string_view band, std::string_view mode) const {
    auto it = sameCount_.find(Key(call, band, mode));
    return it == sameCount_.end() ? 0 : it->second;
}

void CInfoArray::Append(CInfo record) {
    // Room first (growing geometrically), so that nothing below can fail half-way.
    if (records_.size() == records_.capacity()) records_.reserve(std::max<size_t>(4, records_.capacity() * 2));
    std::int32_t& count = sameCount_[Key(record.call, record.band, record.mode)];
    ++count;
    records_.push_back(std::move(record));  // cannot throw after the reserve
}

std::int32_t CInfoArray::FindFirst(std::string_view call, std::string_view mode, std::string_view band) const {
    for (std::int32_t i = 0, n = Count(); i < n; ++i) {
        const CInfo& r = records_[static_cast<size_t>(i)];
        if (r.call == call && r.mode == mode && r.band == band) return i;
    }
    return -1;
}

void CInfoArray::RemoveAt(std::int32_t index) {
    const CInfo& r = records_[static_cast<size_t>(index)];
    auto it = sameCount_.find(Key(r.call, r.band, r.mode));
    if (it != sameCount_.end() && --it->second == 0) sameCount_.erase(it);
    records_.erase(records_.begin() + index);
}

void CInfoArray::Clear() {
    std::vector<CInfo>().swap(records_);
    sameCount_.clear();
}

}  // namespace stats
