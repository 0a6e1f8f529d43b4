#include "finder/ScheduleLines.h"

#include "finder/AddressReading.h"
#include "finder/PlaceWords.h"
#include "finder/ReaderVocabulary.h"
#include "finder/RouteLines.h"

#include <algorithm>

namespace plannery::reader {

namespace {

enum class TimeRole { plain, doors, start, end, closing };

// What the words just before a time make of it: "Doors 7:00", "Start: 19:30", "Arrives 9:40",
// "until 11:00", "ab 08:34".
TimeRole roleOf(const Line& line, const TimeMention& time) {
    std::string window;
    for (std::size_t k = time.begin, steps = 0; k > 0 && steps < 4; --k, ++steps) {
        const Token& t = line.tokens[k - 1];
        // A column gap before a colon aligns a label ("Arrival        : Kyoto 12:44").
        const bool aligned = t.isSymbol("|") && line.tokens[k].isSymbol(":");
        if (!aligned && (t.isSymbol("·") || t.isSymbol("|") || t.isSymbol(",") || t.isNumber())) {
            // A table's row is labelled by its first word: "Arrive Departure Bay    4:50 pm",
            // unlike a cell after one with a time of its own ("Doors: 18:30  Start: 19:30").
            const auto gap = line.tokens.begin() + static_cast<std::ptrdiff_t>(k - 1);
            const bool rowLabel =
                t.isSymbol("|") && line.tokens[0].isWord() &&
                std::none_of(line.tokens.begin(), gap, [](const Token& c) { return c.isNumber(); });
            // "Film starts   7:30 PM": a label of two words is read whole.
            if (rowLabel) {
                const bool twoWords = k == 3 && line.tokens[1].isWord();
                const std::string label =
                    twoWords ? line.tokens[0].key + " " + line.tokens[1].key : line.tokens[0].key;
                window = label + (window.empty() ? "" : " ") + window;
            }
            break;
        }
        // "Retour prévu au CPE : vers 14 h 30": a label of several words before its colon that
        // opens with the return names the time back.
        if (const std::size_t first = line.pastSymbols(0);
            t.isSymbol(":") && first + 1 < k &&
            isWordIn(&line.tokens[first], {"retour", "return", "ruckkehr", "back"})) {
            window = line.tokens[first].key + (window.empty() ? "" : " ") + window;
            break;
        }
        if (t.isWord()) {
            window = t.key + (window.empty() ? "" : " ") + window;
        }
    }
    const auto has = [&window](std::initializer_list<std::string_view> words) {
        return std::any_of(words.begin(), words.end(), [&window](std::string_view w) {
            const auto at = window.find(w);
            return at != std::string::npos && (at == 0 || window[at - 1] == ' ') &&
                   (at + w.size() == window.size() || window[at + w.size()] == ' ');
        });
    };
    // "school closes at 2pm": when a day's event ends, never when it starts.
    if (has({"closes", "closing", "shuts", "schliesst", "ferme"})) {
        return TimeRole::closing;
    }
    // German compounds end in the word: "Saaleinlass", "Kasseneinlass", "Saalöffnung".
    const bool einlass =
        window.find("einlass") != std::string::npos || window.find("offnung") != std::string::npos;
    if (einlass ||
        has({"doors", "gates", "registration", "opens", "ouverture", "portes", "admission"})) {
        return TimeRole::doors;
    }
    if (has({"arrive",   "arrives",        "arrival",   "arr",    "an",     "arrivee",  "ankunft",
             "end",      "ends",           "until",     "till",   "bis",    "fin",      "out",
             "checkout", "return",         "returns",   "before", "avant",  "jusqu'a",  "back by",
             "ende",     "ruckkehr",       "zuruck",    "retour", "finish", "finishes", "endet",
             "termine",  "fertigstellung", "completion"})) {
        return TimeRole::end;
    }
    // A preposition leads to the time right after it: "from 7pm", unlike "Trains from Paddington
    // are ~1h40".
    const std::string_view lastWord = std::string_view(window).substr(window.rfind(' ') + 1);
    const auto leadsTo = [&lastWord](std::initializer_list<std::string_view> words) {
        return std::find(words.begin(), words.end(), lastWord) != words.end();
    };
    // ... and "Konzertbeginn", "Spielbeginn", "Vorstellungsbeginn" in "beginn".
    if (window.find("beginn") != std::string::npos ||
        has({"start",          "starts",      "show",      "music",   "begins",  "begin",
             "race",           "concert",     "kickoff",   "anpfiff", "debut",   "departs",
             "depart",         "departure",   "dep",       "abfahrt", "checkin", "performance",
             "representation", "vorstellung", "auffuhrung"}) ||
        leadsTo({"ab", "in", "from", "after"}) ||
        // "dès 10 h", unlike "spectacle des enfants à 10 h 30": folded, "dès" is "des".
        window == "des" || window.ends_with(" des")) {
        return TimeRole::start;
    }
    return TimeRole::plain;
}

// "Concert at 7:00 p.m. ... arrive by 6:30 p.m.": a time shortly before the start is when to be
// there, not the end (an arrival overnight is many hours "before" its departure).
bool callsEarlier(ClockTime start, ClockTime time) {
    const int before = start.minutes() - time.minutes();
    return before > 0 && before <= 180;
}

// "until 1pm" after a start at 7.30pm: an end that would have a day's event last most of a day
// and a night belongs to something else (a late check-out); an overnight trip arrives sooner.
bool endsFarTooLate(ClockTime start, ClockTime end) {
    constexpr int kLongestOvernight = 16 * 60;
    const int length = (end.minutes() - start.minutes() + 24 * 60) % (24 * 60);
    return length > kLongestOvernight;
}

bool arrowBetween(const Line& line, std::size_t from, std::size_t to) {
    return std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(from),
                       line.tokens.begin() + static_cast<std::ptrdiff_t>(to),
                       [](const Token& t) { return t.isSymbol("→"); });
}

// "Sperrmüll frühestens am Vorabend ab 18 Uhr", "put it out the night before after 6pm", "la
// veille à partir de 18 h", "We will reopen on Tuesday at the usual time (7:00 a.m.)": a time
// of another day than the event's, said in its own sentence.
bool onAnotherDay(const Line& line, const TimeMention& time) {
    for (std::size_t k = time.begin, steps = 0; k > 0 && steps < 12; --k, ++steps) {
        const Token& t = line.tokens[k - 1];
        if (t.isSymbol(".") || t.isSymbol(";") || t.isSymbol("!") || t.isSymbol("?")) {
            return false;
        }
        if (isWordIn(&t, {"vorabend", "vortag", "veille"}) ||
            (t.isWord() && Vocabulary::isReopeningWord(t.key)) ||
            (t.isWord("before") && k >= 2 &&
             isWordIn(&line.tokens[k - 2], {"night", "evening", "day"}))) {
            return true;
        }
    }
    // ... or said right after it: "Bestellung bis 18:00 Uhr am Vortag", "by 6pm the day before".
    for (std::size_t k = time.end; k < line.tokens.size() && k < time.end + 4; ++k) {
        const Token& t = line.tokens[k];
        if (t.isSymbol(".") || t.isSymbol(";") || t.isSymbol("!") || t.isSymbol("?") ||
            t.isSymbol(",")) {
            return false;
        }
        if (isWordIn(&t, {"vorabend", "vortag", "veille"}) ||
            (t.isWord("before") && k > time.end &&
             isWordIn(&line.tokens[k - 1], {"night", "evening", "day"}))) {
            return true;
        }
    }
    return false;
}

} // namespace

TimedLine underStartHead(const Line& heads, TimedLine timed) {
    if (timed.times.size() < 2) {
        return timed;
    }
    const Line& row = *timed.line;
    // The head over a time's first token.
    const auto headOver = [&](const TimeMention& time) -> const Token* {
        const Token& first = row.tokens[time.begin];
        const auto head =
            std::find_if(heads.tokens.begin(), heads.tokens.end(), [&](const Token& t) {
                return t.isWord() && t.begin < first.end && first.begin < t.end;
            });
        return head == heads.tokens.end() ? nullptr : &*head;
    };
    std::optional<std::size_t> start;
    std::optional<ClockTime> arrival;
    for (std::size_t k = 0; k < timed.times.size(); ++k) {
        const Token* head = headOver(timed.times[k]);
        if (head == nullptr) {
            continue;
        }
        if (Vocabulary::legWord(head->key) == Vocabulary::Leg::leaves ||
            isWordIn(head, {"start", "starts", "beginn", "begin", "debut", "kickoff"})) {
            start = start.value_or(k);
        } else if (Vocabulary::legWord(head->key) == Vocabulary::Leg::arrives) {
            arrival = timed.times[k].start;
        }
    }
    if (!start) {
        return timed;
    }
    TimeMention time = timed.times[*start];
    time.finish = time.finish ? time.finish : arrival;
    return TimedLine{.line = timed.line, .times = {time}, .zones = {timed.zones[*start]}};
}

void assignTimes(Candidate& c, const TimedLine& timed) {
    if (timed.times.empty()) {
        return;
    }
    std::vector<TimeRole> roles;
    for (std::size_t k = 0; k < timed.times.size(); ++k) {
        roles.push_back(roleOf(*timed.line, timed.times[k]));
        // "07:25 → Lisbon (LIS) T1  10:05": the time after a route's arrow is the arrival.
        // ... and so is an itinerary's last, after the stop it leaves from ("21:40 Cape Town
        // (CPT)   07:25 +1 London Heathrow (LHR)").
        if (k > 0 && roles[k] == TimeRole::plain &&
            (arrowBetween(*timed.line, timed.times[k - 1].end, timed.times[k].begin) ||
             (k + 1 == timed.times.size() && timed.facts != nullptr &&
              legWithCodedStops(*timed.line, *timed.facts)))) {
            roles[k] = TimeRole::end;
        }
    }
    std::size_t primary = 0;
    const auto first = [&roles](auto pick) {
        const auto found = std::find_if(roles.begin(), roles.end(), pick);
        return found == roles.end() ? std::optional<std::size_t>()
                                    : std::optional<std::size_t>(found - roles.begin());
    };
    const auto start = first([](TimeRole r) { return r == TimeRole::start; });
    // "Einlass ab 19:00 Uhr" over "Beginn: 20:00 Uhr": the start told after the doors.
    if (start && c.doorsOnly) {
        c.start.reset();
        c.finish.reset();
        c.doorsOnly = false;
    }
    if (start) {
        primary = *start;
    } else if (auto plain = first([](TimeRole r) { return r == TimeRole::plain; })) {
        primary = *plain;
    } else if (auto doors = first([](TimeRole r) { return r == TimeRole::doors; })) {
        primary = *doors;
    }
    const bool onlyClosing =
        std::all_of(roles.begin(), roles.end(), [](TimeRole r) { return r == TimeRole::closing; });
    // A day that already has its start takes only an end from a later line ("an 12:38").
    const bool fresh = !c.start && !onlyClosing;
    if (fresh) {
        c.start = timed.times[primary].start;
        c.startsNextDay = timed.times[primary].afterMidnight;
        // "Hotel check-out by 11:00" over "Depart 14:35": a time that only ends something
        // stands in for the start until one is told.
        c.doorsOnly = roles[primary] == TimeRole::doors || roles[primary] == TimeRole::end;
        c.zone = timed.zones[primary];
        if (!c.last) {
            c.finish = timed.times[primary].finish;
        }
    }
    for (std::size_t k = 0; k < timed.times.size(); ++k) {
        if ((!fresh || k != primary) &&
            (roles[k] == TimeRole::end || roles[k] == TimeRole::closing) && c.start &&
            (!c.finish || c.last) &&
            !(!c.last && (callsEarlier(*c.start, timed.times[k].start) ||
                          endsFarTooLate(*c.start, timed.times[k].start)))) {
            c.finish = timed.times[k].start;
        }
    }
}

TimedLine timesOf(const Line& line, const LineFacts& facts, std::size_t from, std::size_t to) {
    TimedLine timed{.line = &line, .facts = &facts};
    for (std::size_t k = 0; k < facts.times.size(); ++k) {
        if (facts.times[k].begin >= from && facts.times[k].begin < to &&
            !onAnotherDay(line, facts.times[k])) {
            timed.times.push_back(facts.times[k]);
            const ZoneMention& zone = facts.zones[k];
            timed.zones.push_back(zone.zone.empty() ? std::nullopt
                                                    : std::optional<std::string>(zone.zone));
        }
    }
    return timed;
}

bool onlyVenueAfterTimes(const Line& line, const LineFacts& facts) {
    if (facts.times.empty()) {
        return false;
    }
    // Before the times, at most the day and the word that opens them: "Mittwoch, 17. Juni 2026,
    // 19.30–21.00 Uhr, Singsaal", "Samedi 17 avril de 19h00 à 21h30, Halle 6".
    const std::size_t first = facts.times.front().begin;
    for (std::size_t k = 0; k < first; ++k) {
        if (!within(facts.dates, k) && !line.tokens[k].isSymbol() &&
            !(k + 1 == first &&
              isWordIn(&line.tokens[k], {"de", "from", "von", "ab", "at", "um"}))) {
            return false;
        }
    }
    const std::size_t k = facts.times.back().end;
    const Token* bullet = line.at(k);
    if (bullet == nullptr || !(bullet->isSymbol("•") || bullet->isSymbol("·") ||
                               bullet->isSymbol("@") || bullet->isSymbol(","))) {
        return false;
    }
    std::size_t end = line.tokens.size();
    if (line.tokens[end - 1].isSymbol(".")) {
        --end;
    }
    // A name of a few capitalised words with a word for a place among them. Among such words,
    // a house is one ("Großes Haus", a theatre's stage), though "im Haus" only says in-house. The
    // words may be joined by an article or preposition ("Turnsaal der Volksschule Hollenau"), and
    // the venue's address may follow it after a comma ("Feuerwehrhaus Hollenau, Kremser Straße
    // 18").
    bool venue = false;
    std::size_t words = 0;
    for (std::size_t i = k + 1; i < end; ++i) {
        const Token& t = line.tokens[i];
        if (t.isSymbol(",") && venue && i > k + 1 &&
            std::any_of(line.tokens.begin() + static_cast<std::ptrdiff_t>(i), line.tokens.end(),
                        [](const Token& a) { return a.isNumber(); })) {
            end = i;
            break;
        }
        const Token* next = line.at(i + 1);
        const bool joins = isWordIn(&t, {"der", "des", "de", "du", "of", "the", "beim", "am"}) &&
                           i > k + 1 && next != nullptr && next->isWord() && next->capital;
        if (t.isWord() && ((!t.capital && !joins) || Vocabulary::isEventNoun(t.key))) {
            return false;
        }
        words += t.isWord() ? 1 : 0;
        venue = venue || (t.isWord() && (Vocabulary::isVenueWord(t.key) || t.key == "haus"));
    }
    return venue && words <= 5 && line.tokens[end - 1].isWord();
}

bool onlyWhen(const TextFacts& text, std::size_t li) {
    const Line& line = text.lines[li];
    const LineFacts& facts = text.facts[li];
    if (facts.dates.empty() || facts.times.empty() ||
        (li > 0 && text.lines[li - 1].block == line.block) || li + 1 >= text.lines.size()) {
        return false;
    }
    for (std::size_t k = 0; k < line.tokens.size(); ++k) {
        if (!line.tokens[k].isSymbol() && !within(facts.dates, k) && !within(facts.times, k)) {
            return false;
        }
    }
    const Line& next = text.lines[li + 1];
    return next.block == line.block && text.facts[li + 1].dates.empty() &&
           text.facts[li + 1].times.empty() && !next.tokens.empty() && !Addresses::inLine(next) &&
           !hasVenueWord(next, 0, next.tokens.size());
}

std::size_t allDayColumn(const Line& line) {
    std::size_t gap = 0;
    if (isWordIn(line.at(0), {"all"}) && isWordIn(line.at(1), {"day"})) {
        gap = 2;
    } else if (isWordIn(line.at(0), {"ganztagig", "ganztags"})) {
        gap = 1;
    } else if (isWordIn(line.at(0), {"toute"}) && isWordIn(line.at(1), {"la"}) &&
               isWordIn(line.at(2), {"journee"})) {
        gap = 3;
    }
    const Token* after = line.at(gap);
    return gap > 0 && after && after->isSymbol("|") && line.at(gap + 1) ? gap + 1 : 0;
}

bool isSessionLine(const Line& line, const LineFacts& facts) {
    if (facts.times.empty()) {
        return false;
    }
    const TimeMention& time = facts.times.front();
    if (time.begin != line.pastSymbols(0)) {
        return false;
    }
    for (std::size_t k = facts.zones.front().end > time.end ? facts.zones.front().end : time.end;
         k < line.tokens.size(); ++k) {
        if (line.tokens[k].isWord() && line.tokens[k].key.size() >= 2) {
            return true;
        }
    }
    return false;
}

bool namedBelow(const TextFacts& text, std::size_t li) {
    const Line& line = text.lines[li];
    const LineFacts& facts = text.facts[li];
    // Besides the time, only words that say it changed: "TIME CHANGE  3:40pm – 4:30pm  (was
    // 3:10pm)".
    const auto anyWord = [&line](auto&& test) {
        return std::any_of(line.tokens.begin(), line.tokens.end(),
                           [&test](const Token& t) { return t.isWord() && test(t); });
    };
    const bool changed = anyWord([](const Token& t) {
        return isWordIn(&t, {"change", "changed"});
    });
    // ... or its length in brackets: "08:15 – 08:45 (30 min)".
    const auto inLength = [&facts, &line](const Token& t) {
        return within(facts.durations, static_cast<std::size_t>(&t - line.tokens.data()));
    };
    const bool onlyTime = !anyWord([changed, &inLength](const Token& t) {
        return !isWordIn(&t, {"am", "pm"}) && !inLength(t) &&
               !(changed && isWordIn(&t, {"time", "change", "changed", "was"}));
    });
    if (facts.times.size() != 1 || li + 1 >= text.lines.size() || !onlyTime) {
        return false;
    }
    const Line& next = text.lines[li + 1];
    const LineFacts& below = text.facts[li + 1];
    // A single time opening its block over a name ("21:00" over "Grand spectacle
    // pyrotechnique"), not over a stop ("Perth (PER)", "London Kings Cross").
    const bool opensBlock = li == 0 || text.lines[li - 1].block != line.block;
    const bool stop = std::any_of(next.tokens.begin(), next.tokens.end(), [](const Token& t) {
        return t.isSymbol("(") || t.isSymbol("→") || (t.isWord() && t.allCaps && t.key.size() == 3);
    });
    if (!facts.times.front().finish && !(opensBlock && !stop && !Addresses::inLine(next))) {
        return false;
    }
    // "⚠ CANCELLED by agent" below says the booking is off.
    return next.block == line.block && below.dates.empty() && below.times.empty() &&
           !next.tokens.empty() && (next.tokens[0].capital || next.tokens[0].isNumber()) &&
           std::none_of(next.tokens.begin(), next.tokens.end(), [](const Token& t) {
               return t.isWord() && Vocabulary::isCancelledWord(t.key);
           });
}

bool namesOnlyBreak(const Line& line, const LineFacts& facts) {
    bool pause = false;
    for (std::size_t k = 0; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (within(facts.times, k) || !t.isWord()) {
            continue;
        }
        if (isWordIn(&t, {"break", "pause", "kaffeepause", "mittagspause", "pause-cafe"})) {
            pause = true;
        } else if (!isWordIn(&t, {"coffee", "tea", "health", "comfort", "short", "morning",
                                  "afternoon", "kurze", "cafe"})) {
            return false;
        }
    }
    return pause;
}

bool namesCalledOffRow(const Line& line, const LineFacts& facts) {
    std::size_t k = 0;
    while (k < line.tokens.size() && (within(facts.times, k) || line.tokens[k].isSymbol("|"))) {
        ++k;
    }
    return k > 0 && k + 1 < line.tokens.size() && line.tokens[k].isWord() &&
           Vocabulary::isCancelledWord(line.tokens[k].key) && line.tokens[k + 1].isSymbol(":");
}

bool namesBeforeTimeColumn(const Line& line, const LineFacts& facts) {
    if (facts.times.size() != 1 || !facts.dates.empty() || !facts.label.empty()) {
        return false;
    }
    const TimeMention& time = facts.times[0];
    return time.begin >= 2 && time.end == line.tokens.size() && line.tokens[0].isWord() &&
           line.tokens[time.begin - 1].isSymbol("|");
}

bool isHeadingLine(const Line& line, const LineFacts& facts) {
    std::vector<bool> used(line.tokens.size(), false);
    for (const DateMention& d : facts.dates) {
        std::fill(used.begin() + static_cast<std::ptrdiff_t>(d.begin),
                  used.begin() + static_cast<std::ptrdiff_t>(std::min(d.end, used.size())), true);
    }
    std::size_t words = 0;
    for (std::size_t k = facts.labelEnd; k < line.tokens.size(); ++k) {
        words += !used[k] && line.tokens[k].isWord() ? 1 : 0;
    }
    return words <= 6;
}

bool saysEveryDay(const Line& line) {
    for (std::size_t k = 0; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (isWordIn(&t, {"both", "daily", "taglich", "jeweils", "quotidien"})) {
            return true;
        }
        if (isWordIn(&t, {"each", "every", "chaque", "tous", "jeden"})) {
            for (std::size_t n = k + 1; n < line.tokens.size() && n <= k + 2; ++n) {
                if (isWordIn(&line.tokens[n], {"day", "days", "jour", "jours", "tag"})) {
                    return true;
                }
            }
        }
    }
    return false;
}

bool namesStayColumns(const Line& line) {
    int words = 0;
    for (const Token& t : line.tokens) {
        words += isWordIn(&t, {"check", "checkin", "checkout", "arrival", "departure", "anreise",
                               "abreise", "arrivee", "depart"})
                     ? 1
                     : 0;
    }
    return words >= 2;
}

bool saysReturn(const Line& line, std::size_t from, std::size_t to) {
    for (std::size_t k = from; k < to && k < line.tokens.size(); ++k) {
        if (isWordIn(&line.tokens[k], {"return", "returns", "returning", "back", "zuruck",
                                       "ruckkehr", "retour", "retournent", "reviennent"})) {
            return true;
        }
    }
    return false;
}

} // namespace plannery::reader
