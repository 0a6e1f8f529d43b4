#pragma once

#include "finder/EventAssembly.h"
#include "finder/TextFacts.h"

#include <set>
#include <vector>

// Events that a text writes as two or more of the candidates found in it, joined into one: a stay
// from its check-in to its check-out, a day's programme up to its close or folded into the day's
// own event, a leg of a journey from the stop it leaves to the one it reaches, and a span of days
// that its days told one by one replace.
namespace plannery::reader {

// Check-in and check-out (arrival and departure, pick-up and return) written as
// two days make one stay from the first to the second.
void pairStays(const TextFacts& text, std::vector<Candidate>& list);

// The sessions of a day that ends with a closing item are the programme of one
// event that day, from the first item to the close ("09:30 Registration ...
// 16:30 Close").
void joinProgrammes(const TextFacts& text, std::vector<Candidate>& list);

// A leg of a journey leaves from the stop on one line and reaches the one on
// the next.
void pairStops(const TextFacts& text, std::vector<Candidate>& list);

// A span of days whose first and last days are told on the lines below it with
// one time each, the second after a word of return ("Buses leave 8.45am
// Wednesday, back at school approx. 2.30pm Friday"), is one trip from the
// first time to the second. The span in `out` takes the times and leaves
// `split`; the two days are marked in `told`.
void joinTripsOfSpans(const TextFacts& text, std::vector<Candidate>& out,
                      std::set<std::size_t>& split, std::vector<bool>& told);

// "on Saturday 22 August at two o'clock" over "1.30pm Please be seated", "2.00pm Ceremony": the
// rows under a day of `split` of which one starts when the day's own event does are that event's
// programme. The day leaves `split` and is kept whole, ending where the programme ends; the rows
// are marked in the vector returned, one flag for each of `out`.
std::vector<bool> keepProgrammesOfTimedDays(const TextFacts& text, std::vector<Candidate>& out,
                                            std::set<std::size_t>& split);

// "8–9 October 2026" over a programme with sessions on each of its days: the days are told one by
// one, and the span that holds them is dropped.
void dropDetailedSpans(const ReaderDays& days, std::vector<Candidate>& list);

} // namespace plannery::reader
