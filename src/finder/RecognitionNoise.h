#pragma once

#include <string>
#include <string_view>
#include <vector>

// Letters a text recogniser reads for digits, digits for letters and signs for arrows, made what
// the text means again. Typed text is read through the same rules.
namespace plannery::reader {

// A run of characters between blanks (spaces or tabs), as a recogniser sets words apart.
struct Piece {
    std::size_t begin = 0; // bytes of the line
    std::size_t end = 0;
};

std::vector<Piece> blankSeparated(std::string_view line);

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
