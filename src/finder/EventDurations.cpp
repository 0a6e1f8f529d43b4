#include "finder/EventDurations.h"

#include <algorithm>
#include <optional>

namespace plannery::reader {

namespace {

// "Duration 2h", "Durée estimée : 2 heures", "Spieldauer ca. 90 Minuten", "The
// assembly will last around 30 minutes": a line without days that gives one length and says it
// is one (without times beside it, unless a label says so).
bool statesLength(const TextFacts& text, std::size_t li) {
    const LineFacts& facts = text.facts[li];
    if (facts.durations.size() != 1 || facts.durations.front().each || !facts.dates.empty()) {
        return false;
    }
    // A labelled length stands beside other times: "Ouverture des portes à 20h · Durée : 1h15".
    if (labelsLength(text.lines[li], facts.durations.front().begin)) {
        return true;
    }
    if (!facts.times.empty()) {
        return false;
    }
    const auto& tokens = text.lines[li].tokens;
    // "50 min · Studio 2 · with Kezia M.": a row of details that opens with the length, set off
    // from the rest.
    const DurationMention& length = facts.durations.front();
    if (length.begin == 0 && (length.end == tokens.size() || tokens[length.end].isSymbol("·") ||
                              tokens[length.end].isSymbol("|"))) {
        return true;
    }
    // "(environ 30 minutes)", "approx. 60 min": a length said to be about so long.
    std::size_t before = facts.durations.front().begin;
    while (before > 0 && tokens[before - 1].isSymbol(".")) {
        --before;
    }
    if (before > 0 &&
        isWordIn(&tokens[before - 1], {"approx", "approximately", "about", "around", "roughly",
                                       "environ", "ca", "circa", "etwa", "rund", "ungefahr"})) {
        return true;
    }
    // "Tables are reserved for 2 hours", "we ask that tables are returned after 2 hours 30
    // minutes": a restaurant's sitting. "We hold your table for 15 minutes" is how late one may
    // come.
    const auto says = [&tokens](std::initializer_list<std::string_view> words) {
        return std::any_of(tokens.begin(), tokens.end(),
                           [words](const Token& t) { return isWordIn(&t, words); });
    };
    if (says({"table", "tables", "tisch", "tische"}) &&
        says({"reserved", "returned", "reserviert", "reservee", "reservees"}) &&
        !says({"hold", "held", "halten"})) {
        return true;
    }
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        // "will last around 30 minutes", unlike "the last 30 minutes".
        const bool willLast = tokens[k].isWord("last") && k > 0 &&
                              isWordIn(&tokens[k - 1], {"will", "should", "may", "to", "usually",
                                                        "normally", "typically", "generally"});
        if (namesLength(tokens[k]) || willLast ||
            isWordIn(&tokens[k], {"running", "lasts", "takes", "dure", "durera", "dauert"})) {
            return true;
        }
    }
    return false;
}

} // namespace

void applyDurations(const TextFacts& text, std::vector<Candidate>& list) {
    std::optional<int> each;
    std::optional<int> stated;
    std::size_t statements = 0;
    bool labelled = false; // "Durée : 1 h 30" holds for every event of the text
    for (std::size_t li = 0; li < text.facts.size(); ++li) {
        const LineFacts& facts = text.facts[li];
        for (const DurationMention& d : facts.durations) {
            if (d.each) {
                each = d.minutes;
            }
        }
        if (statesLength(text, li)) {
            stated = facts.durations.front().minutes;
            labelled = labelsLength(text.lines[li], facts.durations.front().begin);
            ++statements;
        }
    }
    // "Tuesday 2 June, 07:45" over "Duration: about 30 minutes": a length stated under an event,
    // in its block and before the next event's line, is that event's own.
    const auto statedBelow = [&](std::size_t k) -> std::optional<int> {
        const std::size_t from = list[k].line;
        const std::size_t next = k + 1 < list.size() ? list[k + 1].line : text.lines.size();
        for (std::size_t li = from + 1;
             li < text.lines.size() && li < from + 1 + kReach && (li < next || next <= from) &&
             text.lines[li].block == text.lines[from].block;
             ++li) {
            if (statesLength(text, li)) {
                return text.facts[li].durations.front().minutes;
            }
        }
        return std::nullopt;
    };
    const auto timed = std::count_if(list.begin(), list.end(),
                                     [](const Candidate& c) { return c.start.has_value(); });
    for (std::size_t k = 0; k < list.size(); ++k) {
        Candidate& c = list[k];
        if (!c.start || c.finish) {
            continue;
        }
        std::optional<int> minutes;
        for (const DurationMention& d : text.facts[c.line].durations) {
            if (!minutes && !d.each && d.begin >= c.begin) {
                minutes = d.minutes;
            }
        }
        // "Date: Thursday 28/05/2026" over "Time: 3:45pm (approx. 45 mins)": the length after
        // the time on the line below the day.
        for (std::size_t li = c.line + 1;
             !minutes && li < text.lines.size() && li <= c.line + kReach &&
             text.lines[li].block == text.lines[c.line].block && text.facts[li].dates.empty();
             ++li) {
            const LineFacts& facts = text.facts[li];
            const auto time =
                std::find_if(facts.times.begin(), facts.times.end(), [&c](const TimeMention& t) {
                    return t.start.hour == c.start->hour && t.start.minute == c.start->minute;
                });
            if (time == facts.times.end()) {
                continue;
            }
            for (const DurationMention& d : facts.durations) {
                if (!minutes && !d.each && d.begin >= time->end) {
                    minutes = d.minutes;
                }
            }
            break;
        }
        // "booked for Sat 22/08/2026 at 10:40am with Dr Koh - F3" over "vaccination + health
        // check (20 min appt). Your Thu 20/08 …": a length in brackets where the event's sentence
        // runs on below its line, before another day.
        if (const std::size_t below = c.line + 1;
            !minutes && below < text.lines.size() &&
            text.lines[below].block == text.lines[c.line].block &&
            std::none_of(text.facts[c.line].dates.begin(), text.facts[c.line].dates.end(),
                         [&c](const DateMention& d) { return d.begin >= c.end; }) &&
            !endsSentenceAt(text.lines[c.line], text.lines[c.line].tokens.size() - 1)) {
            const Line& line = text.lines[below];
            for (const DurationMention& d : text.facts[below].durations) {
                const bool bracketed = d.begin > 0 && line.tokens[d.begin - 1].isSymbol("(");
                const bool beforeDays =
                    std::none_of(text.facts[below].dates.begin(), text.facts[below].dates.end(),
                                 [&d](const DateMention& day) { return day.begin < d.begin; });
                if (!d.each && bracketed && beforeDays && text.facts[below].times.empty()) {
                    minutes = d.minutes;
                    break;
                }
            }
        }
        // A length of each holds for every event when the text states no other.
        if (!minutes && (c.session || statements == 0)) {
            minutes = each;
        }
        // A length stated under an event is its own, even when the text states no other.
        if (!minutes && statements >= 1) {
            minutes = statedBelow(k);
        }
        if (!minutes && (timed == 1 || labelled) && statements == 1) {
            minutes = stated;
        }
        if (minutes) {
            const int total = c.start->minutes() + *minutes;
            c.finish = ClockTime{(total / 60) % 24, total % 60};
        }
    }
}

} // namespace plannery::reader
