#pragma once

#include "finder/EventAssembly.h"
#include "finder/TextFacts.h"

#include <optional>
#include <string>
#include <vector>

// How the lines of a text hold together as events: which times go with a day, what kind of line
// heads a schedule or is one of its sessions, and the words that make times hold for every day.
namespace plannery::reader {

// The times of one line (or of a part of it between two days), with their zones.
struct TimedLine {
    const Line* line = nullptr;
    std::vector<TimeMention> times{};
    std::vector<std::optional<std::string>> zones{};
    const LineFacts* facts = nullptr;
};

// The times of a line whose first token lies in [from, to).
TimedLine timesOf(const Line& line, const LineFacts& facts, std::size_t from, std::size_t to);

// "BOARDING   GATE CLOSES   DEPARTURE" over "07:00   07:25   07:40": of a row of times under
// the heads of their columns, the one under the head that names the start, alone, ending at the
// one under the arrival's head if there is one; else all of them.
TimedLine underStartHead(const Line& heads, TimedLine timed);

// Gives the event the times of a line, by the words before them: the start ("Start: 19:30", not
// "Doors 18:30"), the end of a range, and an end written apart ("Arrives 9:40", "until 11:00").
// An event that has its start takes only an end.
void assignTimes(Candidate& candidate, const TimedLine& timed);

// A line of a schedule: a time first, then what happens ("09:45 Opening keynote").
bool isSessionLine(const Line& line, const LineFacts& facts);

// "9:00am – 9:20am" over "14 Kedron Parade, Wooloowin": a line of only a range of times whose
// name or place stands on the next line of its block, as in an app's list of bookings. (A single
// time over a stop is a leg's departure or arrival.)
bool namedBelow(const TextFacts& text, std::size_t line);

// "6 - 9 p.m. • Pinehurst Community Rink", "Mittwoch, 17. Juni 2026, 19.30–21.00 Uhr, Singsaal
// Schulhaus Buchholz.": after its day and times, set off by a bullet or a comma, the row gives
// only where its event is held; the event is named on the line above.
bool onlyVenueAfterTimes(const Line& line, const LineFacts& facts);

// "Sat, Mar 14 · 8:00 PM" over "Northern Lights Tour" and "Brightwater Theatre • Leeds": a line
// of nothing but a day and its times that opens its block, whose event the next line names
// unless that line is its place.
bool onlyWhen(const TextFacts& text, std::size_t line);

// "ALL DAY   Mila – school athletics day", "Ganztägig   Schulfest": a calendar's row of an event
// that takes the whole day, its label set off by a column gap; the token after the gap, or 0.
std::size_t allDayColumn(const Line& line);

// "10:30 – 10:45  Coffee break", "15:00 Kaffeepause", "Health break": a schedule's row that names
// nothing but a pause between its sessions.
bool namesOnlyBreak(const Line& line, const LineFacts& facts);

// "12:30 pm   Canceled: Lunch & learn": a row whose name a calendar marks as called off.
bool namesCalledOffRow(const Line& line, const LineFacts& facts);

// "Reformer Intermediate      6:15 am": a name and, across a column gap, the line's one time, with
// no label; in an app's list, the row under a day that names that day's event.
bool namesBeforeTimeColumn(const Line& line, const LineFacts& facts);

// A line that is mostly its day ("Thursday, 21 May", "Cloud Native Summit – April 14, 2026"), as
// heads a schedule, unlike a sentence that mentions a day.
bool isHeadingLine(const Line& line, const LineFacts& facts);

// "7am - 2pm both days", "tous les jours de 9h à 12h", "täglich": the times hold for every day.
bool saysEveryDay(const Line& line);

// "Check-in       Check-out" over a row of two days.
bool namesStayColumns(const Line& line);

// "leave on Monday 11th May and return on Wednesday 13th May": a word between two days of a line
// (tokens `from` to `to`) says the second ends the trip the first begins.
bool saysReturn(const Line& line, std::size_t from, std::size_t to);

} // namespace plannery::reader
