#pragma once

#include "finder/EventSuggestion.h"
#include "finder/ReaderText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace plannery::reader {

// A clock time written in a line, or a range of them: "7pm", "7:30 p.m.", "19:30", "19.30 Uhr",
// "14h", "9h30", "noon", "half past two", "10am–4pm", "7-9pm", "de 14h à 19h", "von 10 bis 12 Uhr".
struct TimeMention {
    std::size_t begin = 0; // tokens of the line
    std::size_t end = 0;
    ClockTime start{};
    std::optional<ClockTime> finish{};
    // Written as a time beyond doubt (a colon, am or pm, "h", "Uhr"); a bare hour after "at" is
    // not, nor a range of two bare numbers.
    bool certain = true;
    // "midnight", "24h00": the first moment of the day after the one it is said with.
    bool afterMidnight = false;
};

struct TimeContext {
    // Token ranges already read as dates, which hold no times.
    std::vector<std::pair<std::size_t, std::size_t>> taken{};
    // Where a date ends: two bare numbers right after it are a range of hours ("Saturday 10-12").
    std::vector<std::size_t> dateEnds{};
    // The evening is meant ("tonight", "dinner"): 7:30 without am or pm is 19:30.
    bool evening = false;
    // The text writes 12-hour times: a one-digit hour from 1 to 6 without am or pm is afternoon.
    bool twelveHour = false;
    // The text writes 24-hour times ("09:30", "14:00"): the evening does not move 10:15 to 22:15.
    bool twentyFourHour = false;
    // A chat's message, in a text that says no morning ("brunch", "Frühstück"): friends who meet
    // "7ish", or at a bare 7 where clocks have a 12-hour dial, meet in the evening.
    bool chat = false;
    bool morning = false;
    // Clocks the text writes after noon ("7.30pm"), as hour * 60 + minute on the 12-hour dial:
    // the same clock written bare elsewhere ("Same time, 7.30") is that time again.
    std::vector<int> afternoonClocks{};
    std::string localeId{}; // whose number words count ("half past two")

    bool holdsDate(std::size_t i) const; // token i is in one of the `taken` ranges
};

std::vector<TimeMention> readTimes(const Line& line, const TimeContext& context);

// Whether a word before token i introduces a time there: "at 7", "um 19", "from 2", "Start: 7.30".
bool introducesTime(const Line& line, std::size_t i);

} // namespace plannery::reader
