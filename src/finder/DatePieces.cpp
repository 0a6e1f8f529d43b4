#include "finder/DatePieces.h"

#include "finder/ReaderWords.h"

namespace plannery::reader {

bool unspacedSymbol(const Line& line, std::size_t i, std::string_view key) {
    const Token* t = line.at(i);
    return t != nullptr && !t->spaced && t->isSymbol(key);
}

bool unspacedNumber(const Line& line, std::size_t i) {
    const Token* t = line.at(i);
    return t != nullptr && !t->spaced && t->isNumber();
}

// A word joined to the next by a hyphen ("twenty-first", "après-demain"), as one key.
std::string hyphenated(const Line& line, std::size_t i) {
    if (unspacedSymbol(line, i + 1, "-") && line.at(i + 2) && line.at(i + 2)->isWord() &&
        !line.at(i + 2)->spaced) {
        return line.tokens[i].key + "-" + line.tokens[i + 2].key;
    }
    return {};
}

std::optional<Found> dayAt(const Line& line, std::size_t i, const std::string& locale) {
    const Token* t = line.at(i);
    if (t == nullptr) {
        return std::nullopt;
    }
    // "DAY 1 – Tuesday, 12 May", "Round 2", "Tag 3": a number that counts parts, not a day.
    if (t->isNumber() && i > 0 &&
        isWordIn(&line.tokens[i - 1], {"day", "week", "session", "module", "round", "part", "stage",
                                       "tag", "woche", "jour", "semaine", "seance"})) {
        return std::nullopt;
    }
    // "Fr. 4.– pro Stück", "CHF 12.-": a price in whole francs, not a day ("21.–23.10." is).
    if (t->isNumber() && unspacedSymbol(line, i + 1, ".") &&
        (unspacedSymbol(line, i + 2, "–") || unspacedSymbol(line, i + 2, "-")) &&
        !(line.at(i + 3) != nullptr && line.at(i + 3)->isNumber())) {
        return std::nullopt;
    }
    if (t->isNumber() && t->key.size() <= 2 && t->value >= 1 && t->value <= 31) {
        Found found{.value = t->value, .next = i + 1};
        const Token* after = line.at(i + 1);
        // French marks only the first of a month so ("1er"); "4e" or "4ème" is a rank, a floor
        // or a district ("l'épicerie du 4e").
        if (after != nullptr && marksDay(*after)) {
            found.marked = true;
            ++found.next;
        } else if (unspacedSymbol(line, i + 1, ".") && !unspacedNumber(line, i + 2) &&
                   !(locale.starts_with("en") && i + 2 == line.tokens.size())) {
            // "am 9.", "27. bis 31. Juli": German and its neighbours mark a day with a stop;
            // in English "Finger food from 9." ends its line's sentence.
            found.marked = true;
            ++found.next;
        }
        return found;
    }
    if (t->isWord()) {
        if (const std::string joined = hyphenated(line, i); !joined.empty()) {
            if (auto n = Words::ordinalWord(joined, locale)) {
                return Found{.value = *n, .next = i + 3, .marked = true};
            }
        }
        if (auto n = Words::ordinalWord(t->key, locale)) {
            return Found{.value = *n, .next = i + 1, .marked = true};
        }
    }
    return std::nullopt;
}

bool marksDay(const Token& ending) {
    return !ending.spaced && isWordIn(&ending, {"st", "nd", "rd", "th", "er", "re"});
}

std::optional<Found> monthAt(const Line& line, std::size_t i, const std::string& locale) {
    const Token* t = line.at(i);
    if (t == nullptr || !t->isWord()) {
        return std::nullopt;
    }
    const auto month = Words::month(t->key, locale);
    if (!month) {
        return std::nullopt;
    }
    return Found{.value = *month, .next = unspacedSymbol(line, i + 1, ".") ? i + 2 : i + 1};
}

std::optional<Found> yearAt(const Line& line, std::size_t i) {
    std::size_t at = i;
    // "18 Dec, 2026", and "18-Dec-2026" as booking systems write it.
    if (const Token* t = line.at(at);
        t != nullptr &&
        (t->isSymbol(",") || (t->isSymbol("-") && !t->spaced && unspacedNumber(line, at + 1)))) {
        ++at;
    }
    const Token* t = line.at(at);
    if (t == nullptr || !t->isNumber() || t->key.size() != 4 || t->value < 1900 ||
        t->value > 2099 || unspacedSymbol(line, at + 1, ":") ||
        (unspacedSymbol(line, at + 1, "-") && unspacedNumber(line, at + 2))) {
        return std::nullopt;
    }
    return Found{.value = t->value, .next = at + 1};
}

std::optional<WeekdayFound> weekdayAt(const Line& line, std::size_t i, const std::string& locale) {
    const Token* t = line.at(i);
    if (t == nullptr || !t->isWord()) {
        return std::nullopt;
    }
    auto name = Words::weekday(t->key, locale);
    // "Saturday's game": the game on Saturday.
    if (!name && t->key.ends_with("'s")) {
        name = Words::weekday(std::string_view(t->key).substr(0, t->key.size() - 2), locale);
        if (name && !name->full) {
            name.reset();
        }
    }
    if (!name) {
        return std::nullopt;
    }
    // Two-letter abbreviations ("Fr", "Sa", "So") are weekdays only with their capital and their
    // stop or comma ("said so." says no Sunday).
    const Token* after = line.at(i + 1);
    if (!name->full && t->key.size() <= 2 &&
        (!t->capital || after == nullptr || after->spaced ||
         !(after->isSymbol(".") || after->isSymbol(",")))) {
        return std::nullopt;
    }
    std::size_t next = i + 1;
    const bool stop = unspacedSymbol(line, next, ".");
    if (stop) {
        ++next;
    }
    // "Mar 20" is March the 20th, though French shortens "mardi" so too: a weekday's day is
    // followed by its month ("mar. 20 janv."), or in French by nothing but its stop.
    const Token* day = line.at(next);
    if (!name->full && Words::month(t->key, locale) && day != nullptr && day->isNumber() &&
        !monthAt(line, next + 1, locale) && !(stop && locale.starts_with("fr"))) {
        return std::nullopt;
    }
    if (const Token* comma = line.at(next); comma != nullptr && comma->isSymbol(",")) {
        ++next;
    }
    return WeekdayFound{*name, next};
}

std::optional<Numeric> numericAt(const Line& line, std::size_t i) {
    const Token* first = line.at(i);
    if (first == nullptr || !first->isNumber() || first->key.size() > 4) {
        return std::nullopt;
    }
    // Inside a longer code ("3928.114.557", "42-18377/UK") nothing is a date; after a dotted
    // date's closing stop a dash opens a span's last day ("01.05.–30.09.").
    const auto dashAfterDate = [&line](std::size_t dash) {
        return line.tokens[dash].isSymbol("-") && dash > 0 && line.tokens[dash - 1].isSymbol(".");
    };
    if (i > 0 && !first->spaced &&
        (line.tokens[i - 1].isNumber() || line.tokens[i - 1].isSymbol(".") ||
         line.tokens[i - 1].isSymbol("/") ||
         (line.tokens[i - 1].isSymbol("-") && !dashAfterDate(i - 1)) ||
         line.tokens[i - 1].isSymbol(":"))) {
        return std::nullopt;
    }
    const Token* sep = line.at(i + 1);
    if (sep == nullptr || sep->spaced || !unspacedNumber(line, i + 2) ||
        !(sep->isSymbol(".") || sep->isSymbol("/") || sep->isSymbol("-"))) {
        return std::nullopt;
    }
    const Token& second = line.tokens[i + 2];
    Numeric n{.first = first->value, .second = second.value, .dotted = sep->isSymbol(".")};
    if (unspacedSymbol(line, i + 3, sep->key) && unspacedNumber(line, i + 4)) {
        const Token& third = line.tokens[i + 4];
        if (unspacedSymbol(line, i + 5, ":") ||
            ((unspacedSymbol(line, i + 5, sep->key) || unspacedSymbol(line, i + 5, "-")) &&
             unspacedNumber(line, i + 6))) {
            return std::nullopt;
        }
        n.end = i + 5;
        n.complete = true;
        if (first->key.size() == 4 && second.key.size() <= 2 && third.key.size() <= 2) {
            n.year = first->value;
            n.first = second.value;
            n.second = third.value;
            n.isoOrder = true;
            return n;
        }
        if (first->key.size() > 2 || second.key.size() > 2 ||
            (third.key.size() != 4 && third.key.size() != 2)) {
            return std::nullopt;
        }
        n.year = third.key.size() == 2 ? 2000 + third.value : third.value;
        return n;
    }
    // Two numbers: never with hyphens (10-12 is a range of hours), and not when they go on as a
    // time or a longer code; a colon that ends a row's day ("Wed 3/11: Early dismissal") is none.
    if (sep->isSymbol("-") || first->key.size() > 2 || second.key.size() > 2 ||
        (unspacedSymbol(line, i + 3, ":") && unspacedNumber(line, i + 4)) ||
        unspacedSymbol(line, i + 3, "/") ||
        (unspacedSymbol(line, i + 3, ".") && unspacedNumber(line, i + 4))) {
        return std::nullopt;
    }
    n.end = i + 3;
    if (n.dotted && unspacedSymbol(line, i + 3, ".")) {
        n.end = i + 4; // "14.03."
        n.complete = true;
    }
    // "6.8 mi", "2.5 km", "1.5 kg": a measure with its decimal point.
    if (n.dotted && !n.complete &&
        isWordIn(line.at(n.end),
                 {"mi", "miles", "km", "m", "kg",  "g",     "lb",  "lbs",     "ft",  "l",     "ml",
                  "oz", "cm",    "mm", "h", "hrs", "hours", "min", "stunden", "std", "heures"})) {
        return std::nullopt;
    }
    return n;
}

// Words after which a bare day such as 3/7 or "the 15th" is a date.
bool dateContextBefore(const Line& line, std::size_t i) {
    if (i == 0) {
        return false;
    }
    const Token& before = line.tokens[i - 1];
    if (before.isSymbol(":")) {
        return i >= 2 && isWordIn(&line.tokens[i - 2],
                                  {"date", "dates", "datum", "when", "wann", "quand", "day", "tag",
                                   "jour", "termin", "appointment", "outward", "return"});
    }
    return isWordIn(&before, {"on",    "am",    "vom",     "bis",   "ab",    "le",     "du",
                              "au",    "from",  "until",   "to",    "the",   "den",    "date",
                              "datum", "today", "heute",   "by",    "due",   "before", "after",
                              "till",  "thru",  "through", "avant", "apres", "vor",    "nach"});
}

// Whether a time follows closely: "3/3 at 8.30", "10/22, 4:15".
bool timeFollows(const Line& line, std::size_t i) {
    for (std::size_t k = i; k < line.tokens.size() && k < i + 3; ++k) {
        const Token& t = line.tokens[k];
        if (isWordIn(&t, {"at", "um", "a", "from", "von", "de"}) ||
            (t.isNumber() && unspacedSymbol(line, k + 1, ":"))) {
            return true;
        }
    }
    // "13/03 8pm", "13/03, 20 Uhr": an hour right after the numbers.
    const std::size_t hour = line.at(i) != nullptr && line.at(i)->isSymbol(",") ? i + 1 : i;
    const Token* number = line.at(hour);
    return number != nullptr && number->isNumber() &&
           isWordIn(line.at(hour + 1), {"am", "pm", "h", "uhr"});
}

bool isConnector(const Token* t) {
    return t != nullptr && (t->isSymbol("-") || t->isSymbol("→") ||
                            isWordIn(t, {"to", "until", "till", "through", "thru", "bis", "au"}));
}

std::size_t pastWeekdayRemark(const Line& line, std::size_t k, const std::string& locale) {
    const auto bracket = [&line](std::size_t i, std::string_view key) {
        return line.at(i) != nullptr && line.tokens[i].isSymbol(key);
    };
    const auto weekday = bracket(k, "(") ? weekdayAt(line, k + 1, locale) : std::nullopt;
    if (!weekday) {
        return k;
    }
    const std::size_t close = weekday->next + (bracket(weekday->next, ".") ? 1 : 0);
    return bracket(close, ")") ? close + 1 : k;
}

// Whether what follows a bare ordinal day lets it stand as a date ("the 15th at 6pm", "the 15th!"),
// unlike "the 2nd floor".
bool endsDate(const Line& line, std::size_t i) {
    const Token* t = line.at(i);
    return t == nullptr || !t->isWord() ||
           isWordIn(t, {"at", "um", "a", "from", "von", "de", "and"});
}

} // namespace plannery::reader
