#include "finder/DateReading.h"

#include "finder/ReaderWords.h"

#include <algorithm>
#include <array>

namespace plannery::reader {

namespace {

bool oneOf(const Token* token, std::initializer_list<std::string_view> words) {
    return token != nullptr && token->isWord() &&
           std::find(words.begin(), words.end(), token->key) != words.end();
}

const Token* tokenAt(const Line& line, std::size_t i) {
    return i < line.tokens.size() ? &line.tokens[i] : nullptr;
}

bool unspacedSymbol(const Line& line, std::size_t i, std::string_view key) {
    const Token* t = tokenAt(line, i);
    return t != nullptr && !t->spaced && t->isSymbol(key);
}

bool unspacedNumber(const Line& line, std::size_t i) {
    const Token* t = tokenAt(line, i);
    return t != nullptr && !t->spaced && t->isNumber();
}

// A word joined to the next by a hyphen ("twenty-first", "après-demain"), as one key.
std::string hyphenated(const Line& line, std::size_t i) {
    if (unspacedSymbol(line, i + 1, "-") && tokenAt(line, i + 2) &&
        tokenAt(line, i + 2)->isWord() && !tokenAt(line, i + 2)->spaced) {
        return line.tokens[i].key + "-" + line.tokens[i + 2].key;
    }
    return {};
}

struct Found {
    int value = 0;
    std::size_t next = 0;
    bool marked = false; // a day written as an ordinal ("15th", "15.", "fifteenth")
};

std::optional<Found> dayAt(const Line& line, std::size_t i, const std::string& locale) {
    const Token* t = tokenAt(line, i);
    if (t == nullptr) {
        return std::nullopt;
    }
    if (t->isNumber() && t->key.size() <= 2 && t->value >= 1 && t->value <= 31) {
        Found found{.value = t->value, .next = i + 1};
        const Token* after = tokenAt(line, i + 1);
        if (after != nullptr && !after->spaced &&
            oneOf(after, {"st", "nd", "rd", "th", "er", "e", "eme", "re"})) {
            found.marked = true;
            ++found.next;
        } else if (unspacedSymbol(line, i + 1, ".") && !unspacedNumber(line, i + 2)) {
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

std::optional<Found> monthAt(const Line& line, std::size_t i, const std::string& locale) {
    const Token* t = tokenAt(line, i);
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
    if (const Token* t = tokenAt(line, at); t != nullptr && t->isSymbol(",")) {
        ++at;
    }
    const Token* t = tokenAt(line, at);
    if (t == nullptr || !t->isNumber() || t->key.size() != 4 || t->value < 1900 ||
        t->value > 2099 || unspacedSymbol(line, at + 1, ":") ||
        (unspacedSymbol(line, at + 1, "-") && unspacedNumber(line, at + 2))) {
        return std::nullopt;
    }
    return Found{.value = t->value, .next = at + 1};
}

struct WeekdayFound {
    Words::WeekdayName name;
    std::size_t next = 0;
};

std::optional<WeekdayFound> weekdayAt(const Line& line, std::size_t i, const std::string& locale) {
    const Token* t = tokenAt(line, i);
    if (t == nullptr || !t->isWord()) {
        return std::nullopt;
    }
    const auto name = Words::weekday(t->key, locale);
    if (!name) {
        return std::nullopt;
    }
    // Two-letter abbreviations ("Fr", "Sa", "So") are weekdays only with their stop or comma.
    const Token* after = tokenAt(line, i + 1);
    if (!name->full && t->key.size() <= 2 &&
        (after == nullptr || after->spaced || !(after->isSymbol(".") || after->isSymbol(",")))) {
        return std::nullopt;
    }
    std::size_t next = i + 1;
    if (unspacedSymbol(line, next, ".")) {
        ++next;
    }
    if (const Token* comma = tokenAt(line, next); comma != nullptr && comma->isSymbol(",")) {
        ++next;
    }
    return WeekdayFound{*name, next};
}

// A numeric date: 2026-03-14, 14.03.2026, 3/7/26, 23/02/2026, 14.03., 3/7.
struct Numeric {
    std::size_t end = 0;
    int first = 0;
    int second = 0;
    std::optional<int> year{};
    bool isoOrder = false; // year, month, day
    bool dotted = false;   // dots are only ever written day first
    bool complete = false; // with a year or a closing dot: a date without any context
};

std::optional<Numeric> numericAt(const Line& line, std::size_t i) {
    const Token* first = tokenAt(line, i);
    if (first == nullptr || !first->isNumber() || first->key.size() > 4) {
        return std::nullopt;
    }
    // Inside a longer code ("3928.114.557", "42-18377/UK") nothing is a date.
    if (i > 0 && !first->spaced &&
        (line.tokens[i - 1].isNumber() || line.tokens[i - 1].isSymbol(".") ||
         line.tokens[i - 1].isSymbol("/") || line.tokens[i - 1].isSymbol("-") ||
         line.tokens[i - 1].isSymbol(":"))) {
        return std::nullopt;
    }
    const Token* sep = tokenAt(line, i + 1);
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
    // time or a longer code.
    if (sep->isSymbol("-") || first->key.size() > 2 || second.key.size() > 2 ||
        unspacedSymbol(line, i + 3, ":") || unspacedSymbol(line, i + 3, "/") ||
        (unspacedSymbol(line, i + 3, ".") && unspacedNumber(line, i + 4))) {
        return std::nullopt;
    }
    n.end = i + 3;
    if (n.dotted && unspacedSymbol(line, i + 3, ".")) {
        n.end = i + 4; // "14.03."
        n.complete = true;
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
        return i >= 2 && oneOf(&line.tokens[i - 2], {"date", "dates", "datum", "when", "wann",
                                                     "quand", "day", "tag", "jour", "termin",
                                                     "appointment", "outward", "return"});
    }
    return oneOf(&before, {"on", "am", "vom", "bis", "ab", "le", "du", "au", "from", "until", "to",
                           "the", "den", "date", "datum", "today", "heute"});
}

// Whether a time follows closely: "3/3 at 8.30", "10/22, 4:15".
bool timeFollows(const Line& line, std::size_t i) {
    for (std::size_t k = i; k < line.tokens.size() && k < i + 3; ++k) {
        const Token& t = line.tokens[k];
        if (oneOf(&t, {"at", "um", "a", "from", "von", "de"}) ||
            (t.isNumber() && unspacedSymbol(line, k + 1, ":"))) {
            return true;
        }
    }
    return false;
}

bool isConnector(const Token* t) {
    return t != nullptr && (t->isSymbol("-") || t->isSymbol("→") ||
                            oneOf(t, {"to", "until", "till", "through", "thru", "bis", "au"}));
}

// The word before a date that makes it a deadline or a start of sales rather than an event.
bool deadlineBefore(const Line& line, std::size_t i) {
    std::size_t k = i;
    while (k > 0 && oneOf(&line.tokens[k - 1], {"the", "le", "la", "den", "dem"})) {
        --k;
    }
    return k > 0 &&
           oneOf(&line.tokens[k - 1], {"by", "before", "until", "till", "til", "avant", "bis", "ab",
                                       "deadline", "jusqu'au", "jusqu'a", "spatestens", "latest"});
}

// "can be booked ... from Monday 19 January": in a sentence, the day something opens.
bool opensFrom(const Line& line, std::size_t i) {
    if (i == 0 || !oneOf(&line.tokens[i - 1], {"from"})) {
        return false;
    }
    return std::any_of(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return oneOf(&t, {"can", "will", "are", "is", "be", "booked", "available", "open", "opens"});
    });
}

// Whether what follows a bare ordinal day lets it stand as a date ("the 15th at 6pm", "the 15th!"),
// unlike "the 2nd floor".
bool endsDate(const Line& line, std::size_t i) {
    const Token* t = tokenAt(line, i);
    return t == nullptr || !t->isWord() || oneOf(t, {"at", "um", "a", "from", "von", "de", "and"});
}

} // namespace

struct DateReader::Partial {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::optional<int> year{};
    std::optional<int> month{};
    int day = 0;
    std::optional<Weekday> weekday{};
    // A span's last day.
    std::optional<int> lastYear{};
    std::optional<int> lastMonth{};
    int lastDay = 0;
    // Days given relative to today.
    std::optional<DayParts> fixed{};
    bool weekdayOnly = false;
    bool fullWeekday = false;
    bool strictlyAfter = false; // "next Friday"
    bool evening = false;
};

DateReader::DateReader(const ReaderDays& days, bool dayFirst)
    : m_days(days), m_localeId(days.localeId()), m_dayFirst(dayFirst) {}

DayParts DateReader::withYear(int month, int day, std::optional<Weekday> weekday) const {
    const DayParts& today = m_days.today();
    const DayParts thisYear{today.year, month, day};
    const DayParts nextYear{today.year + 1, month, day};
    const bool upcoming = m_days.exists(thisYear) && ReaderDays::compare(thisYear, today) >= 0;
    DayParts chosen = upcoming || !m_days.exists(nextYear) ? thisYear : nextYear;
    if (weekday && m_days.weekday(chosen) != weekday) {
        const DayParts& other = chosen == thisYear ? nextYear : thisYear;
        if (m_days.weekday(other) == weekday) {
            chosen = other;
        }
    }
    return chosen;
}

std::optional<DateReader::Partial> DateReader::dateAt(const Line& line, std::size_t i) const {
    Partial p{.begin = i};
    std::size_t j = i;
    const auto weekday = weekdayAt(line, i, m_localeId);
    if (weekday) {
        j = weekday->next;
        p.weekday = weekday->name.day;
        p.fullWeekday = weekday->name.full;
    }
    const std::size_t afterArticle =
        oneOf(tokenAt(line, j), {"the", "den", "le", "der"}) ? j + 1 : j;
    const auto year = [&](std::size_t at) {
        p.end = at;
        if (auto y = yearAt(line, at)) {
            p.year = y->value;
            p.end = y->next;
        }
        return p;
    };
    if (auto day = dayAt(line, afterArticle, m_localeId)) {
        const std::size_t of =
            oneOf(tokenAt(line, day->next), {"of", "de"}) ? day->next + 1 : day->next;
        if (auto month = monthAt(line, of, m_localeId)) {
            p.day = day->value;
            p.month = month->value;
            return year(month->next);
        }
    }
    if (auto month = monthAt(line, j, m_localeId)) {
        const std::size_t at =
            oneOf(tokenAt(line, month->next), {"the"}) ? month->next + 1 : month->next;
        auto day = dayAt(line, at, m_localeId);
        if (day && !unspacedSymbol(line, at + 1, ":") &&
            !oneOf(tokenAt(line, day->next), {"am", "pm"})) {
            p.day = day->value;
            p.month = month->value;
            return year(day->next);
        }
    }
    if (auto n = numericAt(line, j)) {
        if (n->complete || weekday || dateContextBefore(line, j) || timeFollows(line, n->end)) {
            p.end = n->end;
            p.year = n->year;
            bool dayFirst = m_dayFirst;
            if (n->isoOrder) {
                p.month = n->first;
                p.day = n->second;
                return p;
            }
            if (n->dotted || n->first > 12) {
                dayFirst = true;
            } else if (n->second > 12) {
                dayFirst = false;
            } else if (weekday) {
                const auto read = [&](int month, int day) {
                    const DayParts d = n->year ? DayParts{*n->year, month, day}
                                               : withYear(month, day, weekday->name.day);
                    return m_days.weekday(d) == weekday->name.day;
                };
                const bool dayMonth = read(n->second, n->first);
                const bool monthDay = read(n->first, n->second);
                dayFirst = dayMonth != monthDay ? dayMonth : m_dayFirst;
            }
            p.day = dayFirst ? n->first : n->second;
            p.month = dayFirst ? n->second : n->first;
            return p;
        }
    }
    if (auto day = dayAt(line, afterArticle, m_localeId);
        day && day->marked && (weekday || afterArticle > j || dateContextBefore(line, j)) &&
        endsDate(line, day->next)) {
        p.day = day->value;
        p.end = day->next;
        return p;
    }
    if (weekday) {
        p.weekdayOnly = true;
        p.end = i + 1;
        p.strictlyAfter = i > 0 && oneOf(&line.tokens[i - 1], {"next", "nachsten", "kommenden"});
        if (oneOf(tokenAt(line, i + 1), {"prochain"})) {
            p.strictlyAfter = true;
            p.end = i + 2;
        }
        return p;
    }
    return std::nullopt;
}

std::optional<DateReader::Partial> DateReader::spanAt(const Line& line, std::size_t i) const {
    std::size_t j = i;
    const auto weekday = weekdayAt(line, i, m_localeId);
    if (weekday) {
        j = weekday->next;
    }
    const auto first = dayAt(line, j, m_localeId);
    if (!first || monthAt(line, first->next, m_localeId) ||
        !isConnector(tokenAt(line, first->next))) {
        return std::nullopt;
    }
    auto second = dateAt(line, first->next + 1);
    if (!second || !second->month || second->weekdayOnly) {
        return std::nullopt;
    }
    Partial p{.begin = i,
              .end = second->end,
              .year = second->year,
              .month = second->month,
              .day = first->value,
              .lastYear = second->year,
              .lastMonth = second->month,
              .lastDay = second->day};
    if (weekday) {
        p.weekday = weekday->name.day;
    }
    return p;
}

std::optional<DateReader::Partial> DateReader::relativeAt(const Line& line, std::size_t i) const {
    const Token& t = line.tokens[i];
    if (!t.isWord()) {
        return std::nullopt;
    }
    const DayParts& today = m_days.today();
    Partial p{.begin = i, .end = i + 1};
    const std::string joined = hyphenated(line, i);
    if (oneOf(&t, {"today", "heute", "aujourd'hui"})) {
        p.fixed = today;
    } else if (oneOf(&t, {"tonight"})) {
        p.fixed = today;
        p.evening = true;
    } else if (oneOf(&t, {"tomorrow", "tmrw", "tmr", "demain"}) ||
               (t.isWord("morgen") && (!t.capital || i == 0 || !line.tokens[i - 1].isWord()))) {
        p.fixed = m_days.plusDays(today, 1);
    } else if (oneOf(&t, {"ubermorgen"}) || joined == "apres-demain") {
        p.fixed = m_days.plusDays(today, 2);
        p.end = joined.empty() ? i + 1 : i + 3;
    } else if (t.isWord("day") && oneOf(tokenAt(line, i + 1), {"after"}) &&
               oneOf(tokenAt(line, i + 2), {"tomorrow"})) {
        p.fixed = m_days.plusDays(today, 2);
        p.end = i + 3;
    } else if (oneOf(&t, {"ce", "this"}) && oneOf(tokenAt(line, i + 1), {"soir", "evening"})) {
        p.fixed = today;
        p.evening = true;
        p.end = i + 2;
    } else {
        return std::nullopt;
    }
    if (oneOf(tokenAt(line, p.end), {"evening", "night", "abend", "soir"})) {
        p.evening = true;
        ++p.end;
    }
    return p;
}

std::optional<DateMention> DateReader::resolve(const Partial& p) const {
    DateMention mention{.begin = p.begin, .end = p.end, .evening = p.evening};
    const DayParts& today = m_days.today();
    if (p.fixed) {
        mention.day = *p.fixed;
        mention.relative = true;
        return mention;
    }
    if (p.weekdayOnly) {
        mention.day = m_days.next(*p.weekday, today, p.strictlyAfter);
        mention.relative = true;
        mention.weekdayOnly = true;
        mention.fullWeekday = p.fullWeekday;
        return mention;
    }
    if (!p.month) {
        // "Friday the 15th", "the 15th": the next month that has that day (on that weekday).
        DayParts day{today.year, today.month, p.day};
        for (int step = 0; step < 14; ++step) {
            if (m_days.exists(day) && ReaderDays::compare(day, today) >= 0 &&
                (!p.weekday || m_days.weekday(day) == p.weekday)) {
                mention.day = day;
                return mention;
            }
            day.month = day.month % 12 + 1;
            day.year += day.month == 1 ? 1 : 0;
        }
        return std::nullopt;
    }
    mention.yearWritten = p.year.has_value() || p.lastYear.has_value();
    const int year = p.year ? *p.year : (p.lastYear ? *p.lastYear : 0);
    mention.day =
        year != 0 ? DayParts{year, *p.month, p.day} : withYear(*p.month, p.day, p.weekday);
    if (!m_days.exists(mention.day)) {
        return std::nullopt;
    }
    if (p.lastDay != 0) {
        DayParts last{p.lastYear.value_or(mention.day.year), p.lastMonth.value_or(*p.month),
                      p.lastDay};
        if (!p.lastYear && ReaderDays::compare(last, mention.day) < 0) {
            ++last.year;
        }
        if (!p.year && p.lastYear && ReaderDays::compare(last, mention.day) < 0) {
            --mention.day.year; // "28 December – 3 January 2027"
        }
        if (m_days.exists(last) && ReaderDays::compare(last, mention.day) > 0) {
            mention.last = last;
        }
    }
    return mention;
}

std::vector<DateMention> DateReader::read(const Line& line) const {
    std::vector<DateMention> mentions;
    std::size_t i = 0;
    while (i < line.tokens.size()) {
        std::optional<Partial> best;
        for (auto candidate : {spanAt(line, i), dateAt(line, i), relativeAt(line, i)}) {
            if (candidate && (!best || candidate->end > best->end)) {
                best = candidate;
            }
        }
        if (!best) {
            ++i;
            continue;
        }
        // A span: "May 15-16", "March 14 – April 2", "Sat, Aug 8 – Wed, Aug 12".
        if (best->month && best->lastDay == 0 && isConnector(tokenAt(line, best->end))) {
            if (auto second = dateAt(line, best->end + 1); second && second->month) {
                best->lastYear = second->year;
                best->lastMonth = second->month;
                best->lastDay = second->day;
                best->end = second->end;
            } else if (auto day = dayAt(line, best->end + 1, m_localeId);
                       day && !day->marked && !unspacedSymbol(line, best->end + 2, ":") &&
                       !oneOf(tokenAt(line, day->next), {"am", "pm", "h", "uhr", "a", "p"}) &&
                       day->value > best->day) {
                best->lastDay = day->value;
                best->end = day->next;
            }
        }
        if (auto mention = resolve(*best)) {
            mention->deadline = deadlineBefore(line, best->begin) ||
                                (!mention->last && opensFrom(line, best->begin));
            mentions.push_back(*mention);
        }
        i = best->end;
    }
    return mentions;
}

std::optional<bool> DateReader::numericOrder(const std::vector<Line>& lines) {
    bool dayFirst = false;
    bool monthFirst = false;
    for (const Line& line : lines) {
        for (std::size_t i = 0; i < line.tokens.size(); ++i) {
            const auto n = numericAt(line, i);
            if (!n || n->isoOrder || n->dotted) {
                continue;
            }
            dayFirst = dayFirst || (n->first > 12 && n->second <= 12);
            monthFirst = monthFirst || (n->second > 12 && n->first <= 12);
        }
    }
    if (dayFirst == monthFirst) {
        return std::nullopt;
    }
    return dayFirst;
}

} // namespace plannery::reader
