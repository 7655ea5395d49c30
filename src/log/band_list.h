#pragma once
// The distinct band texts of the stored QSOs, in order of first occurrence until
// a result request sorts them.

#include <string>
#include <string_view>
#include <vector>

namespace stats {

class CBandArray {
public:
    bool Contains(std::string_view band) const;
    // Cannot fail once Reserve made room for it.
    void Append(std::string band);
    void Reserve(size_t count) { bands_.reserve(count); }
    void Clear() { std::vector<std::string>().swap(bands_); }
    const std::vector<std::string>& Bands() const { return bands_; }
    // Takes a reordering of the same bands (the sorted copy of a result request).
    void Replace(std::vector<std::string> bands) noexcept { bands_.swap(bands); }

private:
    std::vector<std::string> bands_;
};

}  // namespace stats
