#pragma once

#include <string>
#include <string_view>

namespace plannery::reader {

// A line without the pictures at its start or end: emoji and icons as written ("🎄 Office Party
// 🎄"), and the stray characters a text recogniser reads them as when it has no letters for them:
// rings of o's and zeros ("HOUSEWARMING 0", "Oo"), brackets that close nothing ("The Red Lion
// J]", "[{}"), empty pairs ("[]"), letters no word is made of ("Ol", "fj"), lone signs such as
// "©" and bars at a border ("| Mum:"); after a misread picture at the start, a lone character at
// the end ("Ol Office Christmas Party 9"). A decoration standing alone is only taken when words
// are left; a list's marker ("1)", "a)") and a lone "O" before words ("O Holy Night") stay,
// unless the line also ends in a decoration, as pictures come in pairs.
std::string withoutStrayGlyphs(std::string_view line);

} // namespace plannery::reader
