#pragma once

#include <string>
#include <string_view>

namespace stats {

// Replaces every occurrence of find (not empty) from left to right, without
// overlaps; inserted text is never searched again.
std::string ReplaceAll(std::string_view source, std::string_view find, std::string_view replacement);

}  // namespace stats
