#pragma once

#include "finder/DateReading.h"
#include "finder/DurationReading.h"
#include "finder/ReaderDays.h"
#include "finder/ReaderText.h"
#include "finder/TimeReading.h"
#include "finder/ZoneReading.h"

#include <optional>
#include <string>
#include <vector>

namespace plannery::reader {

// What one line says: its label ("Check-in" in "Check-in: Fri, 17 Apr"), the days, times,
// lengths and zones written in it, and whether its days can be events at all.
struct LineFacts {
    std::string label{};      // folded words before a leading colon; empty without one
    std::size_t labelEnd = 0; // the first token after the label's colon
    bool speaker = false;     // the label is who wrote the line of a chat ("Sara: are you free")
    // A chat's name or time stamp on a line of its own, around what was said: no content.
    bool chrome = false;
    std::vector<DateMention> dates{};
    std::vector<TimeMention> times{};
    std::vector<DurationMention> durations{};
    std::vector<ZoneMention> zones{}; // written right after a time
    // Days here are not events: a message's sending time, a policy's date, "No lesson on 23 May".
    bool datesAreNotEvents = false;
};

// "Duration", "Durée", "Spieldauer", "runtime": a word for how long something lasts.
bool namesLength(const Token& t);
// "Duration", "Durée :", "Spieldauer", "Running time:" just before token k: what follows is a
// length.
bool labelsLength(const Line& line, std::size_t k);
// Where the words that say how long, or about how long, a length at token `k` is start: the label
// and its hedge ("Dauer ca."), the hedge alone ("approx."), or `k`.
std::size_t lengthLabelStart(const Line& line, std::size_t k);

// The facts of a whole text, line by line, and what holds for all of it.
struct TextFacts {
    std::vector<Line> lines{};
    std::vector<LineFacts> facts{};
    std::optional<std::string> zoneForAllTimes{};
    // The text says its times are local ones: each on the clock of its place.
    bool localTimes = false;
    // The text tells of a journey by rail ("Your e-tickets", "Railcard", "Hinfahrt"), so its
    // times and names may be the stops of its legs.
    bool railJourney = false;
    // The lines of an e-mail's header (From, To, Sent, Subject ...).
    std::vector<bool> header{};

    static TextFacts read(std::string_view text, const ReaderDays& days);
};

} // namespace plannery::reader
