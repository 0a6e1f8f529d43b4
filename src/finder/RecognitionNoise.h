#pragma once

#include <string>
#include <string_view>

// What text recognisers add to what a picture says: stray characters for emoji and icons, and
// letters read for digits. Typed text is read through the same rules.
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

// A line with the letters a recogniser reads for digits made digits again where a number is meant:
// "l", "I" or "L" for a one and "O" for a zero in front of a clock's or an ordinal's ending or
// among digits ("7pm – lam", "Sat llam–llpm", "Paris ler", "l0:3O"), and "S" for a five before
// "pm". Words ("lame", "Ist", "Lam", "Sam"), numerals ("II"), roads ("I5") and links stay.
std::string withDigitsForLookalikes(std::string line);

// A line with the letters a recogniser reads for others in words that cannot hold them: a zero
// read as "O" beside a digit in a link ("us02web" read "usO2web"; links are written in lower
// case), and the sharp s of a German street's name read as "B" or "R" or lost ("Alexanderstraße"
// read "AlexanderstraBe", "AlexanderstraRe", "Alexanderstrae"); a British postcode's letters and
// digits in their places ("M3 SDF" read for "M3 5DF"); a space lost between a place's word and
// its number ("Lab3"); a month's "i" read as "l" ("Junl"), and "Uhr" read as "Ubr" after a
// number; and a dash read twice ("—-") between words is one.
std::string withLettersRepaired(std::string line);

// A line with an arrow where a recogniser read one as "=", ">", "->", "=>" or "-->" standing alone
// between words or numbers ("TP1357 London Heathrow 07:25 = Lisbon 10:05", "Portsmouth >
// Fishbourne"), as a route or a span is written.
std::string withArrowsForLookalikes(std::string line);

} // namespace plannery::reader
