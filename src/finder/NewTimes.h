#pragma once

#include "finder/EventAssembly.h"
#include "finder/TextFacts.h"

#include <vector>

// What a later line changes of an event told above it: its time, said against the old one.
namespace plannery::reader {

// "Haldi is now 11 am not 10", "je partirai à 8h15 au lieu de 8h30", "7.30 instead of 7": a new
// time said right against an old one moves the one event above that starts at the old time. One
// told on someone's clock first ("4 pm our time, not 1") converts a time rather than moving it.
void applyNewTimes(const TextFacts& text, std::vector<Candidate>& events);

// "dry run moved to Friday 22 May, same time": a day said to keep the time of the one above takes
// the times of the nearest line above that gives a day to come with its times.
void applySameTimes(const TextFacts& text, const ReaderDays& days, std::vector<Candidate>& events);

// "Load-in moves to FRIDAY Nov 13", "dress moves to Wednesday Nov 18": a later line that moves an
// event it names to another day leaves no event on the day told above under that name.
void dropMovedDays(const TextFacts& text, std::vector<Candidate>& events);

// "Sat 22/08 we have 9:00am or 10:40am" answered below by "booked for Sat 22/08/2026 at
// 10:40am": times offered as a choice leave no event of their own once a later line books that
// day at one of them.
void dropAnsweredOffers(const TextFacts& text, std::vector<Candidate>& events);

// "ALL SHOWS 8PM UNLESS NOTED", "Alle Spiele um 19 Uhr": a line without days that gives one time
// for all events of a kind gives it to each day without a time of its own.
void applyTimeForAll(const TextFacts& text, std::vector<Candidate>& events);

} // namespace plannery::reader
