#include "finder/TimeReading.h"

#include "finder/DurationReading.h"
#include "finder/ReaderWords.h"

#include <algorithm>

namespace plannery::reader {

namespace {

bool twoDigitMinute(const Line& line, std::size_t i) {
    const Token* t = line.at(i);
    return t != nullptr && !t->spaced && t->isNumber() && t->key.size() == 2 && t->value <= 59;
}

// "Kinder bis 12 Jahre", "until 3 nights before", "ab 2 Personen": the word after a bare number
// counts things, whatever word comes before the number.
bool countsThings(const Token* next) {
    return isWordIn(next, {"years",     "year",     "jahre",  "jahren",  "ans",    "months",
                           "monate",    "monaten",  "mois",   "weeks",   "wochen", "semaines",
                           "days",      "tage",     "tagen",  "jours",   "nights", "nachte",
                           "nachten",   "nuits",    "people", "persons", "guests", "personen",
                           "personnes", "children", "kinder", "enfants", "adults", "erwachsene",
                           "adultes",   "pages",    "seiten", "km",      "kg"});
}

struct Clock {
    int hour = 0;
    int minute = 0;
    std::size_t next = 0;
    char meridiem = 0;     // 'a' or 'p'
    bool certain = false;  // colon, "h", "Uhr", am or pm, or a word such as noon
    bool padded = false;   // "09:00": a 24-hour clock
    bool hourOnly = false; // "2h": a time in French, a length in a timetable
    bool roughly = false;  // "8ish": a time, but not whether morning or evening
    bool dial = false;     // "halb acht": said on a twelve-hour dial in any text
    bool dotted = false;   // "09.15": a dot between the hour and the minutes
    bool midnight = false; // "midnight", "24h00": the end of the day it is said with
};

// "am", "pm", "a.m.", "p.m." at i; the index after it.
std::optional<std::pair<char, std::size_t>> meridiemAt(const Line& line, std::size_t i) {
    const Token* t = line.at(i);
    if (t == nullptr || !t->isWord()) {
        return std::nullopt;
    }
    if (t->key == "am" || t->key == "pm") {
        std::size_t next = i + 1;
        if (const Token* dot = line.at(next); dot && !dot->spaced && dot->isSymbol(".")) {
            ++next;
        }
        return std::pair{t->key[0], next};
    }
    if ((t->key == "a" || t->key == "p") && line.unspaced(i + 1) && line.at(i + 1)->isSymbol(".") &&
        line.unspaced(i + 2) && line.at(i + 2)->isWord("m")) {
        std::size_t next = i + 3;
        if (line.unspaced(next) && line.at(next)->isSymbol(".")) {
            ++next;
        }
        return std::pair{t->key[0], next};
    }
    return std::nullopt;
}

// An hour on a twelve-hour dial, written as a number or a word ("7", "seven", "sieben").
std::optional<int> dialHour(const Token* t, const std::string& locale) {
    std::optional<int> value;
    if (t && t->isNumber()) {
        value = t->value;
    } else if (t && t->isWord()) {
        value = Words::numberWord(t->key, locale);
    }
    return value && *value >= 1 && *value <= 12 ? value : std::nullopt;
}

// "in the afternoon", "in the evening" at token i: three words that put an hour after noon.
bool saysAfternoon(const Line& line, std::size_t i) {
    return isWordIn(line.at(i), {"in"}) && isWordIn(line.at(i + 1), {"the"}) &&
           isWordIn(line.at(i + 2), {"afternoon", "evening"});
}

// "in the morning" at token i.
bool saysMorning(const Line& line, std::size_t i) {
    return isWordIn(line.at(i), {"in"}) && isWordIn(line.at(i + 1), {"the"}) &&
           isWordIn(line.at(i + 2), {"morning"});
}

std::optional<Clock> wordClockAt(const Line& line, std::size_t i, const std::string& locale) {
    const Token* t = line.at(i);
    // "THE MIDNIGHT ORCHARD", "The Noon Gallery": a capitalised word in a name, not a time.
    if (const Token* next = line.at(i + 1);
        t != nullptr && t->capital && next != nullptr && next->isWord() && next->capital &&
        !Words::weekday(next->key, locale) && !Words::month(next->key, locale)) {
        return std::nullopt;
    }
    if (isWordIn(t, {"noon", "midday", "midi", "mittag"})) {
        return Clock{.hour = 12, .next = i + 1, .certain = true, .padded = true};
    }
    if (isWordIn(t, {"midnight", "minuit", "mitternacht"})) {
        return Clock{.hour = 0, .next = i + 1, .certain = true, .padded = true, .midnight = true};
    }
    // "half past two", "quarter to 7", "at half past two in the afternoon"
    if (isWordIn(t, {"half", "quarter"}) && isWordIn(line.at(i + 1), {"past", "to"})) {
        const Token* hour = line.at(i + 2);
        const auto value = dialHour(hour, locale);
        if (!value) {
            return std::nullopt;
        }
        const int minutes = t->key == "half" ? 30 : 15;
        const bool to = line.at(i + 1)->key == "to";
        int total = *value * 60 + (to ? -minutes : minutes);
        std::size_t next = i + 3;
        if (saysAfternoon(line, next)) {
            total += *value < 12 ? 12 * 60 : 0;
            next += 3;
        }
        const char morning = saysMorning(line, next) ? 'a' : 0;
        next += morning != 0 ? 3 : 0;
        // Said on a twelve-hour dial: "half past one" at a wedding is in the afternoon.
        return Clock{.hour = total / 60,
                     .minute = total % 60,
                     .next = next,
                     .meridiem = morning,
                     .certain = true,
                     .dial = true};
    }
    // "half 7", "Sun half 8?": half past the hour, as British, Irish and antipodean English say
    // it; not "half 7 hours" nor "an hour and a half".
    if (isWordIn(t, {"half"}) && line.at(i + 1) != nullptr && line.at(i + 1)->isNumber() &&
        line.at(i + 1)->spaced && !(i > 0 && isWordIn(&line.tokens[i - 1], {"a", "and"}))) {
        const Token* after = line.at(i + 2);
        const auto value = dialHour(line.at(i + 1), locale);
        // "half 7.5", "half 7:30", "half 10%": another number.
        const bool longer = after != nullptr && !after->spaced &&
                            (after->isSymbol("%") || after->isSymbol(":") ||
                             (after->isSymbol(".") && line.unspaced(i + 3)));
        if (!value || longer || countsThings(after) ||
            isWordIn(after, {"h", "hours", "hour", "hrs", "hr", "min", "mins", "minutes"})) {
            return std::nullopt;
        }
        return Clock{.hour = *value, .minute = 30, .next = i + 2, .certain = true, .dial = true};
    }
    // "at four o'clock in the afternoon", "um sieben Uhr", "à huit heures": an hour in words.
    if (const Token* unit = line.at(i + 1);
        t != nullptr && t->isWord() && isWordIn(unit, {"o'clock", "uhr", "heures", "heure"})) {
        const auto value = dialHour(t, locale);
        if (!value) {
            return std::nullopt;
        }
        int hour = *value;
        std::size_t next = i + 2;
        if (saysAfternoon(line, next)) {
            hour += hour < 12 ? 12 : 0;
            next += 3;
        }
        // "at ten o'clock in the morning", in an invitation that also speaks of the evening.
        const char morning = saysMorning(line, next) ? 'a' : 0;
        next += morning != 0 ? 3 : 0;
        return Clock{
            .hour = hour, .next = next, .meridiem = morning, .certain = true, .padded = hour > 12};
    }
    // "halb sieben" (6:30), "Viertel nach acht" (8:15), "Viertel vor acht", "dreiviertel acht"
    // (7:45): said on a twelve-hour dial, so morning or evening is left to the text around them.
    if (isWordIn(t, {"halb", "viertel", "dreiviertel"})) {
        const bool quarter = t->key == "viertel";
        const Token* way = quarter ? line.at(i + 1) : nullptr;
        if (quarter && !isWordIn(way, {"nach", "vor"})) {
            return std::nullopt;
        }
        const Token* hour = line.at(quarter ? i + 2 : i + 1);
        const auto value = dialHour(hour, "de");
        if (!value) {
            return std::nullopt;
        }
        const int minutes = t->key == "halb"          ? -30
                            : t->key == "dreiviertel" ? -15
                            : way->key == "nach"      ? 15
                                                      : -15;
        const int total = (*value * 60 + minutes + 12 * 60) % (12 * 60);
        return Clock{.hour = total / 60 == 0 ? 12 : total / 60,
                     .minute = total % 60,
                     .next = quarter ? i + 3 : i + 2,
                     .dial = true};
    }
    return std::nullopt;
}

bool isRangeConnector(const Token* t) {
    return t != nullptr &&
           (t->isSymbol("-") || t->isSymbol("→") ||
            isWordIn(t, {"to", "till", "til", "until", "bis", "a", "jusqu'a", "and", "und", "et"}));
}

// `vouched`: the context says that a dotted number here is a clock: it follows a day on its line
// ("Mo | 02.03. | 7.40") or ends a range that a dotted clock opens ("09.15–12.00").
std::optional<Clock> clockAt(const Line& line, std::size_t i, const std::string& locale,
                             bool vouched = false);

// "7.30–9.30pm": a dotted hour that opens a range ending in a time beyond doubt is a time too.
// So is one that opens a range ending in a later dotted hour, where the two cannot be a day and
// month each ("09.15–12.00", "13.30–15.00"; "9.03–12.03" may be days).
bool opensRange(const Line& line, const Clock& first, const std::string& locale) {
    const Token* connector = line.at(first.next);
    if (!isRangeConnector(connector) || isWordIn(connector, {"and", "und", "et"})) {
        return false;
    }
    if (const auto second = clockAt(line, first.next + 1, locale); second && second->certain) {
        return true;
    }
    const auto second = clockAt(line, first.next + 1, locale, true);
    const auto noMonth = [](int minute) { return minute == 0 || minute > 12; };
    return second && second->dotted && (noMonth(first.minute) || noMonth(second->minute)) &&
           second->hour * 60 + second->minute > first.hour * 60 + first.minute;
}

// "0830", "1730" as four digits: a clock's hours and minutes.
bool fourDigitClock(const Token* t) {
    return t != nullptr && t->isNumber() && t->key.size() == 4 && t->value / 100 <= 23 &&
           t->value % 100 <= 59;
}

// "0830 – 1230", "1330hrs": four digits are a time in a range of two such times or before "hrs";
// alone they are a year, a code or an amount.
std::optional<Clock> fourDigitClockAt(const Line& line, std::size_t i) {
    const Token* t = line.at(i);
    if (!fourDigitClock(t)) {
        return std::nullopt;
    }
    // "2026-2027" is a school's or a season's years, not the minute from 20:26 to 20:27.
    const auto years = [](const Token* from, const Token* to) {
        return to->value == from->value + 1;
    };
    const bool opens = isRangeConnector(line.at(i + 1)) && fourDigitClock(line.at(i + 2)) &&
                       !years(t, line.at(i + 2));
    const bool closes = i >= 2 && isRangeConnector(line.at(i - 1)) &&
                        fourDigitClock(line.at(i - 2)) && !years(line.at(i - 2), t);
    const bool marked = isWordIn(line.at(i + 1), {"hrs", "h", "uhr"});
    if (!opens && !closes && !marked) {
        return std::nullopt;
    }
    return Clock{.hour = t->value / 100,
                 .minute = t->value % 100,
                 .next = marked ? i + 2 : i + 1,
                 .certain = true,
                 .padded = true};
}

// Whether "N h" at token i, its "h" set apart, is a time of day rather than a number of hours
// ("24 h à l'avance", "une pause de 2 h"): after "à", "vers" or "dès", or at either end of a
// range of such hours ("de 10 h à 16 h", "10 h – 16 h").
bool frenchHourAt(const Line& line, std::size_t i) {
    if (i > 0 &&
        isWordIn(&line.tokens[i - 1], {"a", "vers", "des", "jusqu'a", "avant", "apres", "entre"})) {
        return true;
    }
    // "à partir de 19 h"
    if (i >= 2 && line.tokens[i - 1].isWord("de") && line.tokens[i - 2].isWord("partir")) {
        return true;
    }
    // "Spectacle : 20 h", "Ouverture des portes : 19 h": after a label (a length's label makes
    // it a length again: "Durée : 2 h").
    if (i >= 2 && line.tokens[i - 1].isSymbol(":") && line.tokens[i - 2].isWord()) {
        return true;
    }
    // A programme's row: "11 h : cérémonie", "19 H ........ OUVERTURE"; a calendar's, after its
    // day: "Jeudi 10 septembre, 19 h : assemblée générale".
    const bool afterComma = i > 0 && line.tokens[i - 1].isSymbol(",");
    if (afterComma ||
        std::all_of(line.tokens.begin(), line.tokens.begin() + static_cast<std::ptrdiff_t>(i),
                    [](const Token& t) { return t.isSymbol(); })) {
        const Token* after = line.at(i + 2);
        if (after != nullptr &&
            (after->isSymbol(":") || after->isSymbol("|") || after->isSymbol("-"))) {
            return true;
        }
    }
    // The end of "10 h – 16 h", "entre 7 h 30 et 8 h".
    if (i >= 2 && isRangeConnector(&line.tokens[i - 1]) &&
        (line.tokens[i - 2].isWord("h") ||
         (i >= 3 && line.tokens[i - 2].isNumber() && line.tokens[i - 3].isWord("h")))) {
        return true;
    }
    const Token* connector = line.at(i + 2);
    const Token* hour = line.at(i + 3);
    return connector && (connector->isWord("a") || isRangeConnector(connector)) && hour &&
           hour->isNumber() && hour->value <= 24 && isWordIn(line.at(i + 4), {"h"});
}

std::optional<Clock> clockAt(const Line& line, std::size_t i, const std::string& locale,
                             bool vouched) {
    if (auto word = wordClockAt(line, i, locale)) {
        return word;
    }
    if (auto digits = fourDigitClockAt(line, i)) {
        return digits;
    }
    const Token* t = line.at(i);
    if (t == nullptr || !t->isNumber() || t->key.size() > 2 || t->value > 24) {
        return std::nullopt;
    }
    // Not inside a longer number or code ("3928.114", "+1 347-555").
    if (i > 0 && !t->spaced &&
        (line.tokens[i - 1].isNumber() || line.tokens[i - 1].isSymbol(".") ||
         line.tokens[i - 1].isSymbol(":") || line.tokens[i - 1].isSymbol("/"))) {
        return std::nullopt;
    }
    Clock clock{.hour = t->value, .next = i + 1, .padded = t->key.size() == 2 && t->key[0] == '0'};
    const Token* after = line.at(i + 1);
    // "de 1er cycle", "the 3rd": an ordinal's ending written onto the number.
    if (after && !after->spaced &&
        isWordIn(after, {"er", "re", "e", "eme", "st", "nd", "rd", "th", "te", "ten"})) {
        return std::nullopt;
    }
    // "about 2.5 hours": a decimal number, not a time.
    if (after && !after->spaced && after->isSymbol(".") && line.unspaced(i + 2) &&
        line.at(i + 2)->isNumber() && line.at(i + 2)->key.size() == 1) {
        return std::nullopt;
    }
    if (after && !after->spaced && after->isSymbol(":") && twoDigitMinute(line, i + 2)) {
        clock.minute = line.tokens[i + 2].value;
        clock.certain = true;
        clock.next = i + 3;
        if (line.unspaced(i + 3) && line.at(i + 3)->isSymbol(":") && twoDigitMinute(line, i + 4)) {
            clock.next = i + 5; // seconds
        }
        if (line.unspaced(clock.next) && line.at(clock.next)->isSymbol(".") &&
            line.unspaced(clock.next + 1) && line.at(clock.next + 1)->isNumber()) {
            return std::nullopt; // "1.2.3.4"
        }
    } else if (after && !after->spaced && after->isSymbol(".") && twoDigitMinute(line, i + 2) &&
               // "12.03." is a day; "7.30." a time at a sentence's end, as no month is 30.
               !(line.unspaced(i + 3) && line.at(i + 3)->isSymbol(".") &&
                 line.tokens[i + 2].value <= 12)) {
        clock.minute = line.tokens[i + 2].value;
        clock.next = i + 3;
        clock.dotted = true;
    } else if (after && after->spaced && after->isWord("h") && line.at(i + 2) &&
               line.at(i + 2)->spaced && line.at(i + 2)->isNumber() &&
               line.at(i + 2)->key.size() == 2 && line.at(i + 2)->value <= 59 &&
               !(i > 0 && !t->spaced && line.tokens[i - 1].isWord())) {
        // "18 h 30", as French is also typeset; in "U11 H 10:00" the age group's number is
        // followed by the fixture's home side.
        clock.minute = line.tokens[i + 2].value;
        clock.certain = true;
        clock.next = i + 3;
    } else if (after && after->spaced && after->isWord("h") && t->value <= 23 &&
               frenchHourAt(line, i)) {
        // "à 10 h", "de 10 h à 16 h": a whole hour as French is also typeset.
        clock.certain = true;
        clock.hourOnly = true;
        clock.next = i + 2;
    } else if (after && !after->spaced && after->isWord("h")) {
        clock.certain = true;
        clock.next = i + 2;
        if (twoDigitMinute(line, i + 2)) {
            // "BRL-7H42QK" is a reference: letters written on after the minutes.
            if (line.unspaced(i + 3) && line.at(i + 3)->isWord()) {
                return std::nullopt;
            }
            clock.minute = line.tokens[i + 2].value;
            clock.next = i + 3;
        } else {
            // "B3J 1H6" is a postcode: a digit written on after the "h".
            if (line.unspaced(i + 2) && line.at(i + 2)->isNumber()) {
                return std::nullopt;
            }
            // "1h 45m" is a length.
            const Token* number = line.at(i + 2);
            if (number && number->isNumber() && line.unspaced(i + 3) &&
                isWordIn(line.at(i + 3), {"m", "min", "mins"})) {
                return std::nullopt;
            }
            clock.hourOnly = true;
        }
    }
    // "bis 24 h vorher", "within 48 hours": a length of hours, not a time of day; "Kinder bis 12
    // Jahre": a number of things.
    if (!clock.certain && (isWordIn(line.at(clock.next), {"h", "hours", "hour", "hrs", "hr",
                                                          "stunden", "stunde", "std"}) ||
                           countsThings(line.at(clock.next)))) {
        return std::nullopt;
    }
    // "8ish": about eight o'clock.
    if (clock.next == i + 1 && line.unspaced(i + 1) && line.at(i + 1)->isWord("ish")) {
        clock.next = i + 2;
        clock.roughly = true;
        return clock;
    }
    // "… in Stiege 2 am" over "Dienstag, 14. April": in German, "am" ending a line or before a
    // weekday or a day's number says on which day, not before noon.
    const Token* afterAm = line.at(clock.next + 1);
    const bool germanOn = locale.starts_with("de") && isWordIn(line.at(clock.next), {"am"}) &&
                          (afterAm == nullptr || afterAm->isNumber() ||
                           (afterAm->isWord() && Words::weekday(afterAm->key, locale)));
    if (auto meridiem = meridiemAt(line, clock.next);
        meridiem && !germanOn && clock.hour >= 1 && clock.hour <= 12 && !clock.hourOnly) {
        clock.meridiem = meridiem->first;
        clock.next = meridiem->second;
        clock.certain = true;
    } else if (clock.hour == 12 && clock.next == i + 1 &&
               isWordIn(line.at(clock.next), {"noon", "midday"})) {
        // "9 AM - 12 NOON": twelve said with its word.
        ++clock.next;
        clock.certain = true;
        clock.padded = true;
    } else if (isWordIn(line.at(clock.next), {"uhr", "o'clock"}) ||
               // "06:30 hrs" is a time of day, "2 hrs" a length.
               (isWordIn(line.at(clock.next), {"hrs"}) && clock.certain) ||
               (isWordIn(line.at(clock.next), {"heures", "heure"}) && introducesTime(line, i))) {
        ++clock.next;
        clock.certain = true;
    } else if (clock.dotted && !clock.padded && !introducesTime(line, i) && !vouched &&
               !opensRange(line, clock, locale) &&
               // "8.30 start", "7.45 sharp": a word after it says it is a time.
               !isWordIn(line.at(clock.next),
                         {"start", "starts", "kick-off", "kickoff", "sharp"})) {
        // 14.30 alone may be a price, but not right after a day; "07.40" is a clock, as no
        // price is written with a leading zero.
        return std::nullopt;
    }
    // "Fr 29.01.27  17.00": a dotted full hour right after a day is its time.
    if (clock.minute > 0 || clock.certain || (clock.dotted && vouched)) {
        clock.certain = true;
    }
    return clock;
}

int minutesOf(const Clock& c, char meridiem) {
    int hour = c.hour;
    if (meridiem != 0) {
        hour = (hour == 12 ? 0 : hour) + (meridiem == 'p' ? 12 : 0);
    }
    return hour * 60 + c.minute;
}

// The clock on a 24-hour dial when nothing says am or pm.
int plainMinutes(const Clock& c, const TimeContext& context) {
    if (c.padded || c.hour >= 12 || c.hour == 0) {
        return c.hour * 60 + c.minute;
    }
    // The text says the hour elsewhere with its pm: "8pm" makes "8.30 start" an evening's too.
    const bool said = std::any_of(context.afternoonClocks.begin(), context.afternoonClocks.end(),
                                  [&c](int minutes) { return minutes / 60 == c.hour; });
    const bool afternoon = said || (c.hour <= 6 && (!c.certain || c.dial || context.twelveHour));
    const bool evening =
        c.hour >= 7 &&
        ((context.evening && (!context.twentyFourHour || c.dial)) ||
         ((c.roughly || (c.hour == 7 && context.twelveHour)) && context.chat && !context.morning));
    return (afternoon || evening ? c.hour + 12 : c.hour) * 60 + c.minute;
}

ClockTime clockTime(int minutes) {
    if (minutes >= 24 * 60) {
        return ClockTime{23, 59};
    }
    return ClockTime{minutes / 60, minutes % 60};
}

// "between 10 and 12", "zwischen 13 und 16 Uhr", "zw. 13 und 16 Uhr", "entre 9 h et 11 h": the
// word before token i that makes the next "and" the end of a range.
bool afterBetween(const Line& line, std::size_t i) {
    return (i > 0 && isWordIn(&line.tokens[i - 1], {"between", "zwischen", "entre"})) ||
           (i > 1 && line.tokens[i - 1].isSymbol(".") && !line.tokens[i - 1].spaced &&
            line.tokens[i - 2].isWord("zw"));
}

} // namespace

bool TimeContext::holdsDate(std::size_t i) const {
    return std::any_of(taken.begin(), taken.end(),
                       [i](const auto& range) { return i >= range.first && i < range.second; });
}

// Words that introduce a time: "at 7", "um 19", "à 9", "from 2", "doors 7.30".
bool introducesTime(const Line& line, std::size_t i) {
    if (i == 0) {
        return false;
    }
    const Token& before = line.tokens[i - 1];
    if (before.isSymbol("@") || afterBetween(line, i)) {
        return true;
    }
    // "Start: 7.30", "Same time, 7.30".
    if ((before.isSymbol(":") || before.isSymbol(",")) && i >= 2) {
        return isWordIn(&line.tokens[i - 2],
                        {"time", "times", "zeit", "uhrzeit", "heure", "horaire", "start", "starts",
                         "beginn", "debut", "doors", "einlass"});
    }
    return isWordIn(&before,
                    {"departs", "leaves", "arrives",  "dep",           "arr",    "at",     "um",
                     "a",       "from",   "ab",       "gegen",         "vers",   "around", "von",
                     "de",      "des",    "starting", "starts",        "start",  "begins", "beginn",
                     "einlass", "doors",  "about",    "approximately", "approx", "ca",     "circa",
                     "till",    "until",  "bis",      "jusqu'a",       "by"});
}

std::vector<TimeMention> readTimes(const Line& line, const TimeContext& context) {
    std::vector<TimeMention> times;
    std::size_t i = 0;
    while (i < line.tokens.size()) {
        // A day's cell of a table before the time's: "Mo | 02.03. | 7.40".
        std::size_t cell = i;
        while (cell > 0 &&
               (line.tokens[cell - 1].isSymbol("·") || line.tokens[cell - 1].isSymbol("|") ||
                line.tokens[cell - 1].isSymbol(","))) {
            --cell;
        }
        const bool dayBefore = std::find(context.dateEnds.begin(), context.dateEnds.end(), cell) !=
                               context.dateEnds.end();
        const auto first = context.holdsDate(i) || (i == 0 && opensLengthColumn(line, context))
                               ? std::nullopt
                               : clockAt(line, i, context.localeId, dayBefore);
        if (!first) {
            ++i;
            continue;
        }
        // "retard de plus de 1h", "more than 2 hours late": an amount of time, not a clock.
        if (i >= 2 && ((isWordIn(&line.tokens[i - 1], {"de"}) &&
                        isWordIn(&line.tokens[i - 2], {"plus", "moins"})) ||
                       (isWordIn(&line.tokens[i - 1], {"than"}) &&
                        isWordIn(&line.tokens[i - 2], {"more", "less"})))) {
            ++i;
            continue;
        }
        // "ein Entgelt von 10 € pro Person": an amount, not a clock.
        if (const Token* unit = line.at(first->next);
            !first->certain && unit != nullptr &&
            (unit->isSymbol("€") || unit->isSymbol("$") || unit->isSymbol("£") ||
             isWordIn(unit, {"eur", "euro", "euros", "chf", "dollars"}))) {
            ++i;
            continue;
        }
        TimeMention mention{.begin = i, .end = first->next, .certain = first->certain};
        const Token* connector = line.at(first->next);
        const bool between = afterBetween(line, i);
        std::optional<Clock> second;
        if (isRangeConnector(connector) &&
            (!isWordIn(connector, {"and", "und", "et"}) || between) &&
            !context.holdsDate(first->next + 1)) {
            second = clockAt(line, first->next + 1, context.localeId, first->dotted);
        }
        // "les groupes des 4-5 ans", "for 2–3 weeks": a range of things counted, not of clocks.
        if (const Token* last = line.at(first->next + 1);
            !second && !first->certain && isRangeConnector(connector) && last != nullptr &&
            last->isNumber() && countsThings(line.at(first->next + 2))) {
            i = first->next + 2;
            continue;
        }
        // "Saturday 7 March 10-12", "Sat 13th, 10–11": right after a day, or its comma.
        const auto dayEndsAt = [&context](std::size_t k) {
            return std::find(context.dateEnds.begin(), context.dateEnds.end(), k) !=
                   context.dateEnds.end();
        };
        const bool afterDate =
            dayEndsAt(i) || (i > 0 && line.tokens[i - 1].isSymbol(",") && dayEndsAt(i - 1));
        // "7 to 10 in the evening"
        const bool pmAfter = second && second->meridiem == 0 && saysAfternoon(line, second->next);
        const bool bareRange = second && !first->certain && !second->certain &&
                               (afterDate || pmAfter || between) && first->hour < second->hour;
        if (second && (first->certain || second->certain || bareRange)) {
            int start = 0;
            int finish = 0;
            if (pmAfter && first->meridiem == 0 && second->hour <= 12) {
                start = minutesOf(*first, 'p');
                finish = minutesOf(*second, 'p');
            } else if (second->meridiem != 0 && first->meridiem == 0) {
                finish = minutesOf(*second, second->meridiem);
                start = minutesOf(*first, second->meridiem);
                if (start > finish) {
                    start = minutesOf(*first, second->meridiem == 'a' ? 'p' : 'a');
                }
            } else if (first->meridiem != 0 && second->meridiem == 0) {
                start = minutesOf(*first, first->meridiem);
                finish = plainMinutes(*second, context);
                if (second->hour <= 12 && !second->padded) {
                    const int am = minutesOf(*second, 'a');
                    const int pm = minutesOf(*second, 'p');
                    finish = am > start ? am : pm;
                }
            } else {
                start = first->meridiem != 0 ? minutesOf(*first, first->meridiem)
                                             : plainMinutes(*first, context);
                finish = second->meridiem != 0 ? minutesOf(*second, second->meridiem)
                                               : plainMinutes(*second, context);
                if (second->meridiem == 0 && finish <= start && second->hour + 12 < 24 &&
                    second->hour * 60 + second->minute > start - 12 * 60 && !second->padded) {
                    finish = (second->hour + 12) * 60 + second->minute;
                }
                // "between 10 and 12" runs forwards: an evening's start would pass its end; so
                // does "9:00–3:30" beside a dinner, a working day.
                if ((bareRange || (first->meridiem == 0 && start - 12 * 60 < finish)) &&
                    finish <= start && start >= 12 * 60) {
                    start -= 12 * 60;
                }
            }
            mention.start = clockTime(start);
            mention.finish = clockTime(finish);
            mention.end = pmAfter ? second->next + 3 : second->next;
            mention.certain = true;
            times.push_back(mention);
            i = mention.end;
            continue;
        }
        if (!first->certain && !first->roughly && !introducesTime(line, i)) {
            ++i;
            continue;
        }
        // "2h" after a time in a timetable row is the length of the session; "avant 10 h", set
        // apart as French sets a clock's hour, is a time.
        const bool frenchHour = line.at(i + 1) != nullptr && line.at(i + 1)->spaced;
        if (first->hourOnly && !times.empty() && !introducesTime(line, i) && !frenchHour) {
            i = first->next;
            continue;
        }
        const int minutes = first->meridiem != 0 ? minutesOf(*first, first->meridiem)
                                                 : plainMinutes(*first, context);
        mention.afterMidnight = first->midnight || minutes == 24 * 60;
        mention.start = mention.afterMidnight ? ClockTime{0, 0} : clockTime(minutes);
        times.push_back(mention);
        i = mention.end;
    }
    return times;
}

} // namespace plannery::reader
