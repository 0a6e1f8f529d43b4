#include "finder/DateReading.h"

#include "finder/DatePieces.h"
#include "finder/DaySentences.h"
#include "finder/ReaderVocabulary.h"
#include "finder/SentenceRemarks.h"

#include <algorithm>
#include <array>

namespace plannery::reader {

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
    bool afterTomorrow = false; // "next Thursday" said on a Wednesday: not tomorrow
    bool everyWeek = false;     // "Monday to Friday"
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
    const std::size_t afterArticle = isWordIn(line.at(j), {"the", "den", "le", "der"}) ? j + 1 : j;
    const auto year = [&](std::size_t at) {
        p.end = at;
        if (auto y = yearAt(line, at)) {
            p.year = y->value;
            p.end = y->next;
        }
        return p;
    };
    if (auto day = dayAt(line, afterArticle, m_localeId)) {
        // "15 of March", "15 de marzo", "18-Dec-2026".
        const bool joined = unspacedSymbol(line, day->next, "-") && line.unspaced(day->next + 1);
        const std::size_t of =
            isWordIn(line.at(day->next), {"of", "de"}) || joined ? day->next + 1 : day->next;
        if (auto month = monthAt(line, of, m_localeId)) {
            p.day = day->value;
            p.month = month->value;
            return year(month->next);
        }
    }
    if (auto month = monthAt(line, j, m_localeId)) {
        const std::size_t at =
            isWordIn(line.at(month->next), {"the"}) ? month->next + 1 : month->next;
        auto day = dayAt(line, at, m_localeId);
        if (day && !unspacedSymbol(line, at + 1, ":") &&
            !isWordIn(line.at(day->next), {"am", "pm"})) {
            p.day = day->value;
            p.month = month->value;
            return year(day->next);
        }
    }
    // "Thursday 7.30pm", "Do 19.30 Uhr", "next Wednesday 12.30": a clock after the weekday, not
    // the day and month, as no month is 30.
    const auto possible = [](const Numeric& n) {
        return n.isoOrder || (n.first >= 1 && n.second >= 1 &&
                              ((n.first <= 31 && n.second <= 12) ||
                               (!n.dotted && n.first <= 12 && n.second <= 31)));
    };
    // "jeweils Donnerstag 20.15 – 21.45 Uhr": the clock of a weekly day, which names no date.
    if (auto n = numericAt(line, j);
        n && !possible(*n) && weekday && i > 0 &&
        isWordIn(&line.tokens[i - 1], {"every", "each", "jeweils", "jeden", "immer", "chaque"})) {
        return std::nullopt;
    }
    if (auto n = numericAt(line, j);
        n && possible(*n) && !isWordIn(line.at(n->end), {"am", "pm", "uhr"})) {
        // "3/20: Field trip", "• 3/20 – Field trip", "17/09  H  v Railway Tavern A": a row's day
        // opening the line before its colon, dash or column gap; "3/27 (Fri)": its weekday in
        // brackets after it.
        const bool rowDay = line.pastSymbols(0) == j && line.at(n->end) != nullptr &&
                            (line.at(n->end)->isSymbol(":") || line.at(n->end)->isDash() ||
                             line.at(n->end)->isSymbol("|"));
        const bool weekdayAfter = line.at(n->end) != nullptr && line.at(n->end)->isSymbol("(") &&
                                  weekdayAt(line, n->end + 1, m_localeId).has_value();
        if (n->complete || weekday || rowDay || weekdayAfter || dateContextBefore(line, j) ||
            timeFollows(line, n->end)) {
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
    // In American English "on 5th" is a street ("that thai place on 5th"); a day is "the 5th".
    const bool street = m_localeId == "en_US" && afterArticle == j && j > 0 &&
                        isWordIn(&line.tokens[j - 1], {"on"});
    // "dimanche le 27", "Friday the 27": after a weekday and its article a bare number is the day.
    // "MON 8", "FRI 12   P6 Parent-Teacher mtg": a calendar app's day opening its row, the
    // weekday and the day alone before the row's column.
    const auto rowOpens = [&](std::size_t next) {
        return weekday && line.pastSymbols(0) == i && afterArticle == j &&
               (next == line.tokens.size() || line.tokens[next].isSymbol("|"));
    };
    if (auto day = dayAt(line, afterArticle, m_localeId);
        day && (day->marked || (weekday && afterArticle > j) || rowOpens(day->next)) &&
        (weekday || afterArticle > j || (dateContextBefore(line, j) && !street)) &&
        // After its weekday an ordinal is the day whatever follows ("Wednesday 21st it is").
        (weekday || endsDate(line, day->next))) {
        p.day = day->value;
        p.end = day->next;
        return p;
    }
    // "Desert Sun Car Rental", "Rising Sun Inn": a short weekday between capitalised words is a
    // word of a name.
    const auto named = [&line](std::size_t k) {
        return k < line.tokens.size() && line.tokens[k].isWord() && line.tokens[k].capital;
    };
    if (weekday && !weekday->name.full && i > 0 && named(i - 1) && named(i + 1) &&
        line.tokens[i].spaced && line.tokens[i + 1].spaced) {
        return std::nullopt;
    }
    // "Hi Sam,", "Hallo Mo,": a short weekday after a greeting is whom it greets.
    if (weekday && !weekday->name.full && i > 0 && line.tokens[i - 1].isWord() &&
        Vocabulary::isGreeting(line.tokens[i - 1].key)) {
        return std::nullopt;
    }
    // "wait which thursday", "welcher Donnerstag?": a day asked about is none yet.
    if (weekday && i > 0 &&
        isWordIn(&line.tokens[i - 1], {"which", "what", "welcher", "welchen", "quel"})) {
        return std::nullopt;
    }
    if (weekday) {
        p.weekdayOnly = true;
        p.end = i + 1;
        p.strictlyAfter = i > 0 && isWordIn(&line.tokens[i - 1], {"next", "nachsten", "kommenden"});
        p.afterTomorrow = i > 0 && isWordIn(&line.tokens[i - 1], {"next"});
        // "this Sunday", "next Friday", "diesen Freitag": the word belongs to the day.
        if (i > 0 && isWordIn(&line.tokens[i - 1], {"this", "next", "coming", "nachsten",
                                                    "kommenden", "diesen", "ce", "on"})) {
            p.begin = i - 1;
        }
        // "Monday to Friday", "Mon–Fri", "lundi au vendredi": days of every week, no event.
        if (isConnector(line.at(weekday->next)) && !movedFrom(line, p.begin) &&
            weekdayAt(line, weekday->next + 1, m_localeId)) {
            p.everyWeek = true;
            p.end = weekdayAt(line, weekday->next + 1, m_localeId)->next;
        }
        if (isWordIn(line.at(i + 1), {"prochain"})) {
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
    // The minutes of "9h30 au vendredi 2 octobre" open no span.
    if (!weekday && i > 0 && !line.tokens[i].spaced && !line.tokens[i - 1].isSymbol("(")) {
        return std::nullopt;
    }
    const auto first = dayAt(line, j, m_localeId);
    if (!first || monthAt(line, first->next, m_localeId) || !isConnector(line.at(first->next))) {
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
    if (isWordIn(&t, {"today", "heute", "aujourd'hui"})) {
        p.fixed = today;
    } else if (isWordIn(&t, {"tonight"})) {
        p.fixed = today;
        p.evening = true;
    } else if (isWordIn(&t, {"tomorrow", "tmrw", "tmr", "demain"}) ||
               (t.isWord("morgen") && (!t.capital || i == 0 || !line.tokens[i - 1].isWord()))) {
        p.fixed = m_days.plusDays(today, 1);
    } else if (isWordIn(&t, {"ubermorgen"}) || joined == "apres-demain") {
        p.fixed = m_days.plusDays(today, 2);
        p.end = joined.empty() ? i + 1 : i + 3;
    } else if (t.isWord("day") && isWordIn(line.at(i + 1), {"after"}) &&
               isWordIn(line.at(i + 2), {"tomorrow"})) {
        p.fixed = m_days.plusDays(today, 2);
        p.end = i + 3;
    } else if (isWordIn(&t, {"ce", "this"}) && isWordIn(line.at(i + 1), {"soir", "evening"})) {
        p.fixed = today;
        p.evening = true;
        p.end = i + 2;
    } else {
        return std::nullopt;
    }
    if (isWordIn(line.at(p.end), {"evening", "night", "abend", "soir"})) {
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
        // Tomorrow would be called so.
        if (p.afterTomorrow && ReaderDays::compare(mention.day, m_days.plusDays(today, 1)) == 0) {
            mention.day = m_days.plusDays(mention.day, 7);
        }
        mention.relative = true;
        mention.weekdayOnly = true;
        mention.fullWeekday = p.fullWeekday;
        mention.deadline = p.everyWeek;
        return mention;
    }
    if (!p.month) {
        // "Friday the 15th", "the 15th": the next month that has that day (on that weekday). A
        // weekday with a day falls in this month or the next two; further ahead, "Sat 12th was
        // the best night" meant one just past.
        DayParts day{today.year, today.month, p.day};
        const int months = p.weekday ? 3 : 14;
        for (int step = 0; step < months; ++step) {
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
    // A span's weekday may be its last day's ("Fri & Sat, May 15-16"): the year is then chosen
    // without it.
    const bool spanWeekday = p.lastDay != 0 && p.weekday &&
                             m_days.weekday(withYear(*p.month, p.day, std::nullopt)) != p.weekday;
    mention.day = year != 0 ? DayParts{year, *p.month, p.day}
                            : withYear(*p.month, p.day, spanWeekday ? std::nullopt : p.weekday);
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

// "14, 21 and 28 April", "3 et 10 mai": the days listed before a day and its month, in the
// text's order, as their tokens.
std::vector<std::size_t> DateReader::daysListedBefore(const Line& line, const Partial& date) const {
    std::vector<std::size_t> days;
    // Each day may have its weekday: "Tuesday 10 and Wednesday 11 November".
    const auto weekday = [&](std::size_t k) {
        for (std::size_t w = k >= 2 ? k - 2 : 0; w < k; ++w) {
            if (const auto found = weekdayAt(line, w, m_localeId); found && found->next == k) {
                return std::optional<std::size_t>(w);
            }
        }
        return std::optional<std::size_t>();
    };
    const auto named = weekdayAt(line, date.begin, m_localeId);
    const std::size_t number = named ? named->next : date.begin;
    if (!date.month || date.lastDay != 0 || number >= line.tokens.size() ||
        !line.tokens[number].isNumber()) {
        return days;
    }
    const auto joins = [](const Token& t) {
        return t.isSymbol(",") || t.isSymbol("&") || isWordIn(&t, {"and", "et", "und"});
    };
    std::size_t k = date.begin;
    int last = date.day;
    while (true) {
        // Back over ", ", " and " or ", and ".
        std::size_t before = k;
        while (before > 0 && before + 2 > k && joins(line.tokens[before - 1])) {
            --before;
        }
        if (before == k || before == 0) {
            break;
        }
        // "les 1er et 2 octobre", "the 1st and 2nd of May": the day with its ordinal's ending.
        std::size_t number = before - 1;
        if (number > 0 && marksDay(line.tokens[number])) {
            --number;
        }
        const Token& day = line.tokens[number];
        if (!day.isNumber() || day.key.size() > 2 || day.value < 1 || day.value >= last) {
            break;
        }
        last = day.value;
        days.insert(days.begin(), number);
        k = weekday(number).value_or(number);
    }
    // A list opens the line or follows a colon or a small word ("on", "les", "then"); after a
    // noun its first number counts or labels something ("Rooms 3 and 14 March"), after a plus
    // it counts days on ("Arrive 21:55 (+1, Saturday 19 September)").
    while (!days.empty()) {
        const std::size_t start = weekday(days.front()).value_or(days.front());
        if (start == 0) {
            break;
        }
        const Token& before = line.tokens[start - 1];
        if ((before.isSymbol() && !before.isSymbol("+")) ||
            (before.isWord() && Vocabulary::isFiller(before.key)) ||
            isWordIn(&before, {"then", "puis", "dann", "also"})) {
            break;
        }
        days.erase(days.begin());
    }
    return days;
}

std::vector<DateMention> DateReader::read(const Line& line, const Line* below) const {
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
        // A span: "May 15-16", "March 14 – April 2", "Sat, Aug 8 – Wed, Aug 12", "07/11/2026
        // (Saturday) to 11/11/2026".
        // "von Montag, 3. Juli, bis und mit Sonntag, 6. August": a comma before the word.
        std::size_t connector = pastWeekdayRemark(line, best->end, m_localeId);
        if (unspacedSymbol(line, connector, ",") && line.at(connector + 1) != nullptr &&
            line.at(connector + 1)->isWord() && isConnector(line.at(connector + 1))) {
            ++connector;
        }
        if (best->month && best->lastDay == 0 && isConnector(line.at(connector)) &&
            !movedFrom(line, best->begin)) {
            // "bis voraussichtlich 4.12.", "to approx. 4 Dec": the span's end, as it is hoped;
            // "bis und mit 6. August", "bis einschliesslich": the end, with its day.
            std::size_t last = connector + 1;
            if (isWordIn(line.at(last), {"und"}) && isWordIn(line.at(last + 1), {"mit"})) {
                last += 2;
            } else if (isWordIn(line.at(last), {"einschliesslich", "inklusive", "inclusive",
                                                "including", "inclus", "compris"})) {
                last += 1;
            }
            if (isWordIn(line.at(last), {"voraussichtlich", "vsl", "probably", "approximately",
                                         "approx", "ca", "circa", "environ"})) {
                last += unspacedSymbol(line, last + 1, ".") ? 2 : 1;
            }
            if (auto second = dateAt(line, last); second && second->month) {
                best->lastYear = second->year;
                best->lastMonth = second->month;
                best->lastDay = second->day;
                best->end = second->end;
            } else if (auto day = dayAt(line, best->end + 1, m_localeId);
                       day && !day->marked && !unspacedSymbol(line, best->end + 2, ":") &&
                       !isWordIn(line.at(day->next), {"am", "pm", "h", "uhr", "a", "p"}) &&
                       day->value > best->day) {
                best->lastDay = day->value;
                best->end = day->next;
            }
        }
        // "every Sunday in July", "jeden Sonntag im Juli": each such weekday of that month.
        const auto month = best->weekdayOnly && !best->everyWeek &&
                                   isWordIn(line.at(best->end), {"in", "im", "en", "of"})
                               ? monthAt(line, best->end + 1, m_localeId)
                               : std::nullopt;
        if (month) {
            const int year = withYear(month->value, 28, std::nullopt).year;
            for (int day = 1; day <= 31; ++day) {
                const DayParts d{year, month->value, day};
                if (m_days.exists(d) && m_days.weekday(d) == best->weekday) {
                    mentions.push_back(DateMention{
                        .begin = best->begin, .end = month->next, .day = d, .series = true});
                }
            }
            i = month->next;
            continue;
        }
        // "TUE   Dentist - Dr. Okafor" over " 12   8:30 – 9:15AM": a calendar app's row opens
        // with its weekday in a column of its own, and its day stands under it.
        if (best->weekdayOnly && below != nullptr && best->begin == line.pastSymbols(0) &&
            (best->end == line.tokens.size() || line.tokens[best->end].isSymbol("|"))) {
            const std::size_t k = below->pastSymbols(0);
            const Token* day = below->at(k);
            const Token* after = below->at(k + 1);
            if (day != nullptr && day->isNumber() && day->key.size() <= 2 && day->value >= 1 &&
                day->value <= 31 && (after == nullptr || after->isSymbol("|"))) {
                best->weekdayOnly = false;
                best->day = day->value;
            }
        }
        if (auto mention = resolve(*best)) {
            mention->calledOff = calledOffAfter(line, best->begin, best->end) ||
                                 calledOffBefore(line, best->begin) ||
                                 keptByNoOne(line, best->begin);
            mention->deadline = mention->deadline || deadlineBefore(line, best->begin) ||
                                mention->calledOff || reserveAfter(line, best->end) ||
                                doneAfter(line, best->end) || deadlineAfter(line, best->end) ||
                                (!mention->last && opensFrom(line, best->begin));
            mention->due = mention->deadline && dueBefore(line, best->begin);
            // "du lundi 19 au vendredi 30", "vom 3. bis 5. Mai": the word that opens a span is
            // part of it, not of the name before it.
            if (mention->last && best->begin > 0 &&
                isWordIn(&line.tokens[best->begin - 1], {"du", "vom", "from"})) {
                mention->begin = best->begin - 1;
            }
            for (const std::size_t k : daysListedBefore(line, *best)) {
                Partial listed = *best;
                listed.begin = k;
                listed.end = k + 1;
                listed.day = line.tokens[k].value;
                listed.year = mention->day.year; // the listed days share their month's year
                listed.weekday.reset();
                // "Tuesday" of "Tuesday 10 and Wednesday 11 November" was read as a day of its
                // own, the next Tuesday.
                std::erase_if(mentions,
                              [k](const DateMention& m) { return m.weekdayOnly && m.end == k; });
                if (auto day = resolve(listed)) {
                    // Given its month's year, it has it written as the month has.
                    day->yearWritten = mention->yearWritten;
                    day->deadline = mention->deadline;
                    day->due = mention->due;
                    mentions.push_back(*day);
                }
            }
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
