#include "settings/replace_all.h"

namespace stats {

std::string ReplaceAll(std::string_view source, std::string_view find, std::string_view replacement) {
    if (find == replacement || find.empty()) return std::string(source);
    std::string result;
    size_t from = 0;
    for (size_t at; (at = source.find(find, from)) != std::string_view::npos; from = at + find.size())
        result.append(source.substr(from, at - from)).append(replacement);
    return result.append(source.substr(from));
}

}  // namespace stats
