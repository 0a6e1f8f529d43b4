#include "finder/DurationReading.h"

#include "finder/ReaderWords.h"

namespace plannery::reader {

bool opensLengthColumn(const Line& line, const TimeContext& context) {
    const Token* count = line.at(0);
    const Token* unit = line.at(1);
    if (count == nullptr || !count->isNumber() || !line.unspaced(1) ||
        !isWordIn(unit, {"h", "m"})) {
        return false;
    }
    std::size_t next = 2;
    if (unit->isWord("h") && line.at(2) && line.at(2)->isNumber() && line.unspaced(3) &&
        line.at(3)->isWord("m")) {
        next = 4;
    } else if (unit->isWord("h") && !context.twelveHour) {
        return false;
    }
    return line.at(next) == nullptr || line.at(next)->isSymbol("|");
}

std::vector<DurationMention> readDurations(const Line& line, const TimeContext& context) {
    std::vector<DurationMention> durations;
    bool timeSeen = false;
    for (std::size_t i = 0; i < line.tokens.size(); ++i) {
        const Token& t = line.tokens[i];
        if (t.isNumber() && line.unspaced(i + 1) && line.at(i + 1)->isSymbol(":")) {
            timeSeen = true;
        }
        if (context.holdsDate(i)) {
            continue;
        }
        int minutes = -1;
        std::size_t next = i;
        if (isWordIn(&t, {"an", "one", "a", "eine", "une"}) &&
            isWordIn(line.at(i + 1), {"hour", "stunde", "heure"})) {
            minutes = 60;
            next = i + 2;
        } else if (t.isWord("half") && isWordIn(line.at(i + 1), {"an"}) &&
                   isWordIn(line.at(i + 2), {"hour"})) {
            minutes = 30;
            next = i + 3;
        } else if (const std::optional<int> count =
                       t.isNumber() && t.value >= 0 && t.value < 1000
                           ? std::optional<int>(t.value)
                           : (t.isWord() ? Words::numberWord(t.key, context.localeId)
                                         : std::nullopt)) {
            double amount = *count;
            next = i + 1;
            // "1.5 hours", and with a decimal comma "1,5 Stunden".
            if (t.isNumber() && line.unspaced(next) &&
                (line.at(next)->isSymbol(".") || line.at(next)->isSymbol(",")) &&
                line.unspaced(next + 1) && line.at(next + 1)->isNumber() &&
                line.at(next + 1)->key.size() == 1) {
                amount += line.at(next + 1)->value / 10.0;
                next += 2;
            }
            // "two and a half hours"
            if (isWordIn(line.at(next), {"and"}) && isWordIn(line.at(next + 1), {"a"}) &&
                isWordIn(line.at(next + 2), {"half"})) {
                amount += 0.5;
                next += 3;
            }
            // "a 20-minute appointment", "a 2-hour workshop": the length joined to its unit; a
            // "20-minute interval" is a part of the length told beside it.
            if (t.isNumber() && line.unspaced(next) && line.at(next)->isSymbol("-") &&
                line.unspaced(next + 1) && isWordIn(line.at(next + 1), {"minute", "hour"}) &&
                !isWordIn(line.at(next + 2), {"interval", "intermission", "break", "pause"})) {
                ++next;
            }
            const Token* unit = line.at(next);
            // "1h 30m": hours and minutes, each with its letter, are a length in any text; a
            // French clock writes its minutes bare ("1h30").
            const Token* minuteCount = line.at(next + 1);
            const bool hoursAndMinutes = unit && unit->isWord("h") && !unit->spaced &&
                                         minuteCount && minuteCount->isNumber() &&
                                         minuteCount->value < 60 && line.unspaced(next + 2) &&
                                         line.at(next + 2)->isWord("m");
            const bool column = i == 0 && opensLengthColumn(line, context);
            const bool hours =
                isWordIn(unit,
                         {"hours", "hour", "hrs", "hr", "stunden", "stunde", "std", "heures"}) ||
                (unit && unit->isWord("h") && !unit->spaced &&
                 ((timeSeen && !introducesTime(line, i)) || hoursAndMinutes || column));
            const bool mins = isWordIn(unit, {"minutes", "minute", "mins", "min", "minuten"}) ||
                              (column && unit->isWord("m"));
            if (hours) {
                minutes = static_cast<int>(amount * 60);
                ++next;
                if (line.unspaced(next) && line.at(next)->isSymbol(".")) {
                    ++next;
                }
                // "1h 45m", "1 hour 30 minutes"
                const Token* more = line.at(next);
                if (more && more->isNumber() && more->value < 60 &&
                    isWordIn(line.at(next + 1), {"m", "min", "mins", "minutes"})) {
                    minutes += more->value;
                    next += 2;
                }
            } else if (mins) {
                minutes = static_cast<int>(amount);
                ++next;
            }
        }
        if (minutes <= 0 || minutes > 24 * 60) {
            continue;
        }
        if (line.unspaced(next) && line.at(next)->isSymbol(".")) {
            ++next;
        }
        // "10 minutes early", "24 hours in advance", "30 minutes before curtain": not a length.
        // "please fast for 4 hours", "6 Stunden nüchtern", "6 heures à jeun": how long to go
        // without food.
        const bool fasting =
            isWordIn(line.at(next), {"nuchtern"}) ||
            (isWordIn(line.at(next), {"a"}) && isWordIn(line.at(next + 1), {"jeun"})) ||
            (i > 0 && isWordIn(&line.tokens[i - 1], {"fast", "fasting"})) ||
            (i > 1 && isWordIn(&line.tokens[i - 1], {"for"}) &&
             isWordIn(&line.tokens[i - 2], {"fast", "fasting"}));
        if (fasting ||
            isWordIn(line.at(next),
                     {"before", "early", "earlier", "prior", "ahead", "in", "vorher", "vor",
                      "avant", "late", "later", "after", "fruher", "notice", "from"}) ||
            (i > 0 &&
             isWordIn(&line.tokens[i - 1], {"every", "within", "least", "mindestens", "last"}))) {
            i = next;
            continue;
        }
        // "20 minutes each", "Behandlungsdauer je 20 Min.", "All games 75 min.": the length of
        // every one.
        const bool each = isWordIn(line.at(next), {"each", "jeweils", "chacun", "chacune"}) ||
                          (i > 0 && isWordIn(&line.tokens[i - 1], {"je", "jeweils"})) ||
                          (i > 1 && line.tokens[i - 1].isWord() &&
                           isWordIn(&line.tokens[i - 2], {"all", "alle", "tous", "toutes"}));
        durations.push_back(DurationMention{
            .begin = i, .end = each ? next + 1 : next, .minutes = minutes, .each = each});
        i = next - 1;
    }
    return durations;
}

} // namespace plannery::reader
