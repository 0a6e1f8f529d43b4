#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string_view>

// Looking words up in the reader's fixed lists of folded words.
namespace plannery::reader::WordLists {

template <std::size_t N> bool contains(const std::string_view (&words)[N], std::string_view key) {
    return std::find(std::begin(words), std::end(words), key) != std::end(words);
}

template <std::size_t N>
bool endsWithOne(const std::string_view (&endings)[N], std::string_view key,
                 std::size_t shortestStem) {
    return std::any_of(std::begin(endings), std::end(endings), [&](std::string_view ending) {
        return key.size() >= ending.size() + shortestStem && key.ends_with(ending);
    });
}

// Whether `word`, where it first stands in `key`, opens one of its words ("warranty" in
// "comprehensive warranty product", "expiration" in "date d'expiration").
inline bool holdsWord(std::string_view key, std::string_view word) {
    const std::size_t at = key.find(word);
    return at != std::string_view::npos && (at == 0 || key[at - 1] == ' ' || key[at - 1] == '\'');
}

// Whether `word` is one of the words of `key` ("past" in "past bookings", not in "pasta party").
inline bool holdsWholeWord(std::string_view key, std::string_view word) {
    for (std::size_t at = key.find(word); at != std::string_view::npos;
         at = key.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        if ((at == 0 || key[at - 1] == ' ' || key[at - 1] == '\'') &&
            (end == key.size() || key[end] == ' ')) {
            return true;
        }
    }
    return false;
}

} // namespace plannery::reader::WordLists
