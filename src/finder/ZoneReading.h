#pragma once

#include "finder/ReaderText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plannery::reader {

// A time zone written in a line: an abbreviation in capitals ("ET", "PST", "CET", "MESZ"), an
// offset ("UTC+9"), a zone's name ("Eastern Time", "Central European Time", "heure normale
// d'Europe centrale") or a city's time ("London time", "heure de Paris"). The zone is an IANA
// identifier; offsets become "Etc/GMT-9" and the like.
struct ZoneMention {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string zone{};
};

// The zone written at token i (after an opening parenthesis, if any).
std::optional<ZoneMention> zoneAt(const Line& line, std::size_t i);

// "MST" read in Phoenix, "AEST" in Brisbane: an abbreviation of standard time written by someone
// whose own zone keeps that time all year is their own zone, not the region the abbreviation
// names elsewhere, which moves its clocks in summer.
bool namesOwnStandardTime(const Line& line, const ZoneMention& zone, const std::string& ownZone);

// The zone of the city a zone is named after, by the city's folded words ("chicago", "new
// york"): "America/Chicago".
std::optional<std::string> cityZone(const std::string& key);

// Whether a place names an airport by its code: "Chicago O'Hare (ORD)", "YYZ  Toronto Pearson
// Intl".
bool hasAirportCode(std::string_view place);

// The zone of an airport that a place names with its city: "Chicago O'Hare (ORD) Terminal 5",
// "Toronto Pearson Airport". Other places give none, since a city in their name need not be where
// they are ("Berlin Room", "Paris Bar").
std::optional<std::string> airportZone(std::string_view place);

// The zone of a city a place names ("Brasserie du Faubourg, 41 Rue du Faubourg Saint-Denis,
// 75010 Paris", "Helsinki, Vuosaari Hafen"), if any.
std::optional<std::string> cityZoneIn(std::string_view place);

// "All times are LOCAL", "Alle Zeiten sind Ortszeiten": each time is told on the clock of the
// place it happens at.
bool saysTimesAreLocal(const Line& line);

// The zone a line gives for all the text's times: "All times Pacific (PT)", "Times are KST
// (UTC+9)", "Alle Zeiten in MEZ".
std::optional<std::string> zoneForAllTimes(const Line& line);

} // namespace plannery::reader
