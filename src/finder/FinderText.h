#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Unicode-aware text helpers of the finder (ICU underneath, no locale-specific rules): trimming,
// case and the folded keys the reader matches words by.
namespace plannery::FinderText {

// The text without spaces and tabs (Unicode space separators) at either end; line breaks stay.
std::string_view trimSpaces(std::string_view text);

// Lower and upper case, without regard to a locale.
std::string lower(std::string_view text);
std::string upper(std::string_view text);
// Every word with its first letter upper case and the rest lower case: "FALL FESTIVAL" gives
// "Fall Festival".
std::string capitalizeWords(std::string_view text);
// The first letter upper case, the rest unchanged: "dinner at Nonna's" gives "Dinner at Nonna's".
std::string capitalizeFirst(std::string_view text);

// Number of letters (Unicode letters and marks).
std::size_t letterCount(std::string_view text);
// Whether the text has cased letters and all of them are capitals.
bool isAllCaps(std::string_view text);

// The bytes of the letter at byte k of UTF-8 text, for rules that read raw lines byte by byte:
// 1 for an ASCII letter, 2 for one of Latin-1's ("É" is C3 89, "é" C3 A9), 0 for anything else
// (other scripts included).
std::size_t capitalAt(std::string_view text, std::size_t k);
std::size_t smallLetterAt(std::string_view text, std::size_t k);

// The key a word is matched by: lower case without accents ("Févr." gives "févr." -> "fevr.").
// Plain ASCII takes a fast path.
std::string fold(std::string_view word);

} // namespace plannery::FinderText
