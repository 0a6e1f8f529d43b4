#pragma once

#include <string>
#include <string_view>

namespace plannery::reader {

// A line without the pictures at its start or end: emoji and icons as written ("🎄 Office Party
// 🎄"), and the stray characters a text recogniser reads them as when it has no letters for them:
// rings of o's and zeros ("HOUSEWARMING 0", "Oo"), brackets that close nothing ("The Red Lion
// J]", "[{}"), empty pairs ("[]") and lone signs such as "©". A decoration standing alone is
// only taken when words are left; a list's marker ("1)", "a)") and a lone "O" before words ("O
// Holy Night") stay, unless the line also ends in a decoration, as pictures come in pairs.
std::string withoutStrayGlyphs(std::string_view line);

// A line with the "l" a recogniser reads for a "1" made a digit again where a number is meant: in
// front of a number's ending ("7pm – lam", "Paris ler", "lst floor") or of more digits ("l0:30",
// "l5h"). Words ("lame", "Ist"), and links ("zoom.us/j/l2x") are left alone.
std::string withOnesForLookalikes(std::string line);

} // namespace plannery::reader
