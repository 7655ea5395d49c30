#include "log/band_list.h"

#include <algorithm>

namespace stats {

bool CBandArray::Contains(std::string_view band) const {
    return std::find(bands_.begin(), bands_.end(), band) != bands_.end();
}

void CBandArray::Append(std::string band) { bands_.push_back(std::move(band)); }

}  // namespace stats
