#pragma once

#include "finder/TextFacts.h"

#include <optional>
#include <string>

// What a whole text is about, which names its events: a flight, a journey by train or coach, a
// marriage, a game.
namespace plannery::reader {

// Whether a text is about a flight: "Flight KS 417", "Kestrel Airways", "Atlantica Air", "Ihr
// Flug", "votre vol".
bool aboutFlight(const TextFacts& text);
// What a ticket's journey is made in, as a calendar names it: "Train", "Coach", "Zug",
// "Fernbus", "Autocar". The word the text uses most for one; none for a flight (see aboutFlight)
// or where no word names one. French names a train's or a boat's trip by its route alone
// ("Paris Gare de Lyon → Marseille Saint-Charles").
std::optional<std::string> vehicleOf(const TextFacts& text, const std::string& localeId);
// Whether a text is about a marriage: "at the celebration of their marriage", "Hochzeit".
bool aboutWedding(const TextFacts& text);
// The game a text's matches are of: "RIVERBEND YOUTH SOCCER ASSOCIATION", "Year 9 Netball
// Fixtures".
std::optional<std::string> sportOf(const TextFacts& text);

} // namespace plannery::reader
