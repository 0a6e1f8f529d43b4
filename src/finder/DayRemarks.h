#pragma once

#include "finder/DateReading.h"
#include "finder/ReaderText.h"

#include <string>
#include <vector>

// What a line says of its days that makes them no events, whatever its sentences say: "No
// rehearsal on 12 March", "WAS  Fri, 5 Mar", "Week of October 26", a bill's months one after
// another, a booking's cancellation terms, opening hours, a fixture list's bye.
namespace plannery::reader {

// "Summer hours: Mon–Sat 9am–8pm", "Öffnungszeiten: Di–So 10–18 Uhr": a label that says when a
// place is open, not what is on.
bool namesOpeningHours(const std::string& label);

// "Öffnungszeiten über Ostern", "Clinic hrs: Mon-Fri", "aussi ouvert le lundi": a line that tells
// when an office or a museum is open.
bool tellsOpeningHours(const Line& line);

// "Sat 10/3  ---- BYE (no game) ----": a round in which a team has no match. A row read one
// cell to a line gives it on the line below its day.
bool givesBye(const Line& line);

// Whether the days written on `line`, whose label is `label`, are no events.
bool remarksDaysAreNoEvents(const Line& line, const std::vector<DateMention>& dates,
                            const std::string& label);

} // namespace plannery::reader
