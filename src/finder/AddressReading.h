#pragma once

#include "finder/ReaderText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

// Street addresses in a line: a street with its number ("42 Elm Street", "Seestraße 8", "5 rue
// Tholozé") or a postcode with its town ("10178 Berlin", "IL 60540", "OX7 4QP").
namespace plannery::reader::Addresses {

// "l'Église", "d'Orsay": token t is a name after an elided article, which starts with a capital
// after the apostrophe.
bool elidedName(const Line& line, const Token& t);

// Whether an address starts at token i.
bool startsAt(const Line& line, std::size_t i);
bool inLine(const Line& line);

// The tokens of the line's address with the venue's name written just before it on the same line
// ("Monzo, Broadwalk House, 5 Appold St, London EC2A 2AG" out of "Hosted by Monzo, ..."), up to
// where the address ends ("Tel. 069 ...", "if you've forgotten").
std::optional<std::pair<std::size_t, std::size_t>> span(const Line& line);
// The end of the address that starts at token `start` (one past its last token).
std::size_t endFrom(const Line& line, std::size_t start);
// Tokens `first` to `last` of the line as an address is written, with a comma for the dash or dot
// that sets its postcode apart ("Lindenbichlgasse 14, 8010 Graz").
std::string written(const Line& line, std::size_t first, std::size_t last);

} // namespace plannery::reader::Addresses
