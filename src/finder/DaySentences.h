#pragma once

#include "finder/ReaderText.h"

#include <cstddef>
#include <optional>

// What the words of a day's sentence say of it: given up for another day, a deadline, a day kept
// in reserve, one on which something was done, called off or moved away from, or the day
// something opens. Each is read around the day at token `i` of a line.
namespace plannery::reader {

// "moved from Tuesday to Thursday", "reporté du mardi au jeudi": the day at token `i` is given up
// for the one after it; the two are no span of days.
bool movedFrom(const Line& line, std::size_t i);

// "Load-in moves to FRIDAY Nov 13", "has moved to the 18th", "verschoben auf den 13.": the token
// of the move word that leads to the day at token i, if one does; where the move word ends the
// sentence ("wird auf Freitag verschoben"), that of the preposition before the day.
std::optional<std::size_t> movedTo(const Line& line, std::size_t i);
// A deadline, the start of sales or a day kept in reserve rather than an event ("by March 9",
// "bis 20.04.", "Ersatztermin: Montag, 22. Juni").
bool deadlineBefore(const Line& line, std::size_t i);
// "(remis au jeudi 1er octobre en cas de pluie)", "Friday 20 March if it rains": the day after
// token `i` is kept in reserve for bad weather, as its sentence says after it.
bool reserveAfter(const Line& line, std::size_t i);
// "The write-up must be handed in by Friday", "Die Anmeldung muss bis Freitag abgegeben werden":
// a deadline at token `i` by which the sentence before it says something must be handed in.
bool dueBefore(const Line& line, std::size_t i);
// Where the obligation of a deadline's sentence begins: the token of "must", "muss", "doit" before
// token `i`; none without one.
std::optional<std::size_t> obligationBefore(const Line& line, std::size_t i);
// "we must cancel your appointment on Tuesday, 10 March", "Ihren Termin am Dienstag absagen", "am
// 11.6. muss verschoben werden": a day its sentence calls off or moves away from, the words from
// token `i` on saying so. The day's own words start at token `begin`.
bool calledOffAfter(const Line& line, std::size_t begin, std::size_t i);
// "PAS de stage le mardi 21 juillet", "no practice on Tue 3/3", "kein Training am 5. Mai": a
// day whose session the words right before it, from token `begin` back, say will not be held.
bool calledOffBefore(const Line& line, std::size_t begin);
// A participle right after a day that says something was done on it ("am 14. Oktober versandt").
bool doneAfter(const Line& line, std::size_t i);
// Whether the words from token i make the day before them a deadline: "pour ce vendredi 2/10 au
// plus tard", "by Friday at the latest", "Freitag spätestens".
bool deadlineAfter(const Line& line, std::size_t i);
// "can be booked ... from Monday 19 January": in a sentence, the day something opens.
bool opensFrom(const Line& line, std::size_t i);

} // namespace plannery::reader
