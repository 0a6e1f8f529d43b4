#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace plannery {

// Hashes strings and views of them alike, so that a map keyed by strings is searched with a view
// without making a string first.
struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>{}(text);
    }
};

template <typename Value>
using StringMap = std::unordered_map<std::string, Value, StringHash, std::equal_to<>>;

} // namespace plannery
