#include "agenda/WidgetWords.h"

namespace plannery {

std::string WidgetWords::fill(std::string_view pattern, std::string_view first,
                              std::string_view second) {
    std::string out;
    out.reserve(pattern.size() + first.size() + second.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            out.append(pattern[i + 1] == '1' ? first : second);
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

} // namespace plannery
