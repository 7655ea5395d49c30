#pragma once
// The accepted QSOs of the run, in order of acceptance.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "log/cinfo.h"

namespace stats {

class CInfoArray {
public:
    std::int32_t Count() const { return static_cast<std::int32_t>(records_.size()); }
    const CInfo& At(std::int32_t index) const { return records_[static_cast<size_t>(index)]; }

    // How many stored records share this call, band and mode: the duplicate scan,
    // answered from an index so that loading a big log stays linear.
    std::int32_t CountSame(std::string_view call, std::string_view band, std::string_view mode) const;

    // Appends the record; on failure (out of memory) the store is unchanged.
    void Append(CInfo record);
    // Index of the first record with this call, mode and band, or -1.
    std::int32_t FindFirst(std::string_view call, std::string_view mode, std::string_view band) const;
    void RemoveAt(std::int32_t index);
    void Clear();

private:
    static std::string Key(std::string_view call, std::string_view band, std::string_view mode);

    std::vector<CInfo> records_;
    std::unordered_map<std::string, std::int32_t> sameCount_;
};

}  // namespace stats
