#include "finder/NewTimes.h"

#include "finder/ReaderWords.h"

#include <algorithm>
#include <optional>

namespace plannery::reader {

namespace {

constexpr std::size_t kDayReach = 6; // tokens between a day and a time said with it

// The token after the words that set a new time against an old one ("not", "instead of", "au lieu
// de", "statt"), from token k on; none where they do not follow.
std::optional<std::size_t> afterContrast(const Line& line, std::size_t k) {
    while (k < line.tokens.size() &&
           (line.tokens[k].isSymbol("(") || line.tokens[k].isSymbol(","))) {
        ++k;
    }
    const Token* word = line.at(k);
    if (isWordIn(word, {"not", "nicht", "pas", "statt", "anstatt"})) {
        return k + 1;
    }
    if ((isWordIn(word, {"instead"}) && isWordIn(line.at(k + 1), {"of"})) ||
        (isWordIn(word, {"rather"}) && isWordIn(line.at(k + 1), {"than"}))) {
        return k + 2;
    }
    if (isWordIn(word, {"au"}) && isWordIn(line.at(k + 1), {"lieu"}) &&
        isWordIn(line.at(k + 2), {"de", "d'"})) {
        return k + 3;
    }
    return std::nullopt;
}

// The old time at token k: a time the line reads there, or a bare hour ("not 10").
std::optional<ClockTime> oldTimeAt(const Line& line, const LineFacts& facts, std::size_t k) {
    for (const TimeMention& t : facts.times) {
        if (t.begin == k) {
            return t.start;
        }
    }
    const Token* hour = line.at(k);
    if (hour != nullptr && hour->isNumber() && hour->value >= 1 && hour->value <= 23 &&
        hour->key.size() <= 2) {
        return ClockTime{.hour = hour->value, .minute = 0};
    }
    return std::nullopt;
}

// The same time on a clock's face: a bare "10" is ten in the morning or the evening.
bool sameOnDial(ClockTime a, ClockTime b) {
    return a.hour % 12 == b.hour % 12 && a.minute == b.minute;
}

} // namespace

void applyNewTimes(const TextFacts& text, std::vector<Candidate>& events) {
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        const Line& line = text.lines[li];
        const LineFacts& facts = text.facts[li];
        for (const TimeMention& time : facts.times) {
            // "Sunday 9:30 instead of 10" may move the day too; a chat's stamp before the
            // message ("[28/10/27, 9:24 pm] Sunita: …") does not.
            const bool dated =
                std::any_of(facts.dates.begin(), facts.dates.end(), [&time](const DateMention& d) {
                    return d.begin >= time.end || d.end + kDayReach >= time.begin;
                });
            if (dated || time.finish) {
                continue;
            }
            const auto oldAt = afterContrast(line, time.end);
            const auto old = oldAt ? oldTimeAt(line, facts, *oldAt) : std::nullopt;
            if (!old) {
                continue;
            }
            const auto told = [&](const Candidate& c) {
                return c.line < li && !c.last && c.start && sameOnDial(*c.start, *old);
            };
            if (std::count_if(events.begin(), events.end(), told) != 1) {
                continue;
            }
            Candidate& moved = *std::find_if(events.begin(), events.end(), told);
            moved.start = time.start;
            moved.finish.reset();
        }
    }
}

} // namespace plannery::reader
