#include "finder/EventPairing.h"

#include "finder/HeadingShapes.h"
#include "finder/LegLines.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ScheduleLines.h"

#include <algorithm>
#include <optional>
#include <string>

namespace plannery::reader {

namespace {

constexpr std::size_t kSectionReach = 8; // lines

// The label a day goes by: its line's, or that of the line just above when that
// one holds only the label ("Pick-up: Denver Airport" over "Thu, April 23 at
// 11:30 AM"). Else that of the section the day's line stands in ("PICK-UP" over
// the desk's address and "Tue, Feb 10 · 2:30 PM").
std::string labelOf(const TextFacts& text, const Candidate& c) {
    const std::string& own = text.facts[c.line].label;
    if (!own.empty() || c.line == 0 || !text.facts[c.line - 1].dates.empty()) {
        return own;
    }
    if (!text.facts[c.line - 1].label.empty()) {
        return text.facts[c.line - 1].label;
    }
    for (std::size_t li = c.line; li-- > 0 && li + kReach >= c.line;) {
        if (text.lines[li].block != text.lines[c.line].block || !text.facts[li].dates.empty()) {
            break;
        }
        if (auto section = sectionLabel(text.lines[li])) {
            return *section;
        }
    }
    return own;
}

// "16:30 Close", "13:00 Ende": the item that closes the day.
bool closesDay(const TextFacts& text, const Candidate& c) {
    const Line& line = text.lines[c.line];
    bool closing = false;
    for (std::size_t k = c.end; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (!t.isWord()) {
            continue;
        }
        // "Closing remarks" is an item of its own.
        if (!isWordIn(&t, {"close", "end", "ende", "schluss", "fin", "cloture", "of", "day", "the",
                           "de", "la", "journee", "tag", "des", "tages"})) {
            return false;
        }
        closing = closing ||
                  !isWordIn(&t, {"of", "day", "the", "de", "la", "journee", "tag", "des", "tages"});
    }
    return closing;
}

// Which end of a stay the words just before token `k` name: "check-in is from 3pm" the start,
// "check-out is by 11am" the end.
std::optional<bool> stayEndBefore(const Line& line, std::size_t k) {
    // "Bei Anreise nach 22:00 Uhr geben Sie uns Bescheid", "if you arrive after 10pm": a case
    // that is provided for, not the stay's hours.
    const bool after = k > 0 && isWordIn(&line.tokens[k - 1], {"nach", "after", "apres"});
    for (std::size_t b = k; after && b > 0 && k - b < 6; --b) {
        const Token& t = line.tokens[b - 1];
        if (t.isSymbol(",") || t.isSymbol(".") || t.isSymbol(";")) {
            break;
        }
        if (isWordIn(&t, {"bei", "falls", "wenn", "if", "should", "si", "lors"})) {
            return std::nullopt;
        }
    }
    for (std::size_t b = k; b > 0 && k - b < 6; --b) {
        const Token& t = line.tokens[b - 1];
        if (t.isSymbol(",") || t.isSymbol(".") || t.isSymbol(";")) {
            break;
        }
        const Token* next = line.at(b);
        const Token* after = next && next->isSymbol("-") ? line.at(b + 1) : next;
        const bool check = isWordIn(&t, {"check"});
        // "Late check-out until 1pm can be arranged": an option offered, not the stay's hours.
        // "Late-Check-out bis 14:00 Uhr auf Anfrage": joined by a hyphen too.
        const std::size_t early = b >= 3 && line.tokens[b - 2].isSymbol("-") ? b - 3 : b - 2;
        if (b >= 2 && isWordIn(&line.tokens[early], {"late", "early", "spate", "spater", "fruhe",
                                                     "fruher", "fruhes", "spates"})) {
            return std::nullopt;
        }
        if (isWordIn(&t, {"checkin", "anreise"}) || (check && isWordIn(after, {"in"}))) {
            return false;
        }
        if (isWordIn(&t, {"checkout", "abreise"}) || (check && isWordIn(after, {"out"}))) {
            return true;
        }
    }
    return std::nullopt;
}

// "Check-in is from 3pm and check-out is by 11am", said anywhere in the text, gives a stay its
// hours: the words name which end each time is, where a line of times near its days may not.
void timeStay(const TextFacts& text, Candidate& stay) {
    for (std::size_t li = 0; li < text.lines.size(); ++li) {
        const LineFacts& facts = text.facts[li];
        if (!facts.dates.empty()) {
            continue;
        }
        const Line& line = text.lines[li];
        for (const TimeMention& time : facts.times) {
            const std::optional<bool> end = stayEndBefore(line, time.begin);
            // "Anreise: Fr, 19.02.2027 – späte Anreise ca. 23:15 Uhr" over "(reguläres
            // Check-in ab 15:00 Uhr)": the usual hour in brackets gives way to the guest's own.
            const bool aside = !line.tokens.empty() && line.tokens[0].isSymbol("(");
            if (end && !(aside && (*end ? stay.finish : stay.start))) {
                (*end ? stay.finish : stay.start) = time.start;
            }
        }
    }
}

// Whether a line says its time is a departure (or, with `leaving` false, an arrival).
bool saysLeg(const Line& line, bool leaving) {
    const Vocabulary::Leg said = leaving ? Vocabulary::Leg::leaves : Vocabulary::Leg::arrives;
    return std::any_of(line.tokens.begin(), line.tokens.end(), [said](const Token& t) {
        return t.isWord() && Vocabulary::legWord(t.key) == said;
    });
}

// "23 H  Feu d'artifice" over "Ensuite  bal jusqu'à 2 h": an end said in the programme, or on
// the line that closes it, ends the day's event.
void endAtProgrammesEnd(const TextFacts& text, Candidate& day, std::size_t lastRow) {
    const auto& lines = text.lines;
    const std::size_t close = lastRow + 1 < lines.size() &&
                                      lines[lastRow + 1].block == lines[lastRow].block &&
                                      text.facts[lastRow + 1].dates.empty()
                                  ? lastRow + 1
                                  : lastRow;
    for (std::size_t li = day.line + 1; li <= close && !day.finish; ++li) {
        assignTimes(day, timesOf(lines[li], text.facts[li], 0, lines[li].tokens.size()));
    }
}

} // namespace

void pairStays(const TextFacts& text, std::vector<Candidate>& list) {
    for (std::size_t k = 0; k + 1 < list.size(); ++k) {
        Candidate& first = list[k];
        const Candidate& second = list[k + 1];
        const std::string a = labelOf(text, first);
        const std::string b = labelOf(text, second);
        // Days under headings of their own ("PICK-UP" over the day, the desk and the flight)
        // stand as far apart as their sections are long.
        const bool sections =
            text.facts[first.line].label.empty() && text.facts[second.line].label.empty();
        const std::size_t reach = sections ? kSectionReach : kReach;
        // "Depart Sun 15 Nov" over "07:25 SIN → 08:45 PEN", "Return Wed 18 Nov" over "19:50 PEN →
        // 21:05 SIN": legs that each arrive are two journeys, not the ends of one stay.
        const bool legs = first.finish && second.finish;
        if (first.last || second.last || a == b || !Vocabulary::isStayLabel(a) ||
            !Vocabulary::isStayLabel(b) || second.line - first.line > reach || legs) {
            continue;
        }
        const int order = ReaderDays::compare(first.day, second.day);
        const bool laterSameDay =
            order == 0 && first.start && second.start && *first.start != *second.start;
        if (order < 0 || laterSameDay) {
            if (order < 0) {
                first.last = second.day;
            }
            first.finish = second.start;
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(k + 1));
            if (first.last) {
                timeStay(text, first);
            }
        }
    }
}

void joinProgrammes(const TextFacts& text, std::vector<Candidate>& list) {
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (!list[k].session || !list[k].start) {
            continue;
        }
        std::size_t last = k;
        while (last + 1 < list.size() && list[last + 1].session &&
               list[last + 1].headingLine == list[k].headingLine && list[last + 1].start) {
            ++last;
        }
        if (last > k && closesDay(text, list[last]) &&
            list[k].start->minutes() < list[last].start->minutes()) {
            Candidate day = list[k];
            day.finish = list[last].start;
            day.session = false;
            day.line = *list[k].headingLine;
            day.headingLine.reset();
            if (const auto& dates = text.facts[day.line].dates; !dates.empty()) {
                day.begin = dates.front().begin;
                day.end = dates.front().end;
            }
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(k),
                       list.begin() + static_cast<std::ptrdiff_t>(last + 1));
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(k), day);
        }
    }
}

void pairStops(const TextFacts& text, std::vector<Candidate>& list) {
    for (std::size_t k = 0; k + 1 < list.size(); ++k) {
        Candidate& first = list[k];
        const Candidate& second = list[k + 1];
        if (second.line <= first.line || second.line > first.line + kReach || first.finish ||
            first.last || second.last || !first.start || !second.start) {
            continue;
        }
        const int order = ReaderDays::compare(first.day, second.day);
        // "22:45  YVR  Vancouver Intl" over "06:20  YYZ  Toronto Pearson Intl": a clock that goes
        // back reaches the stop the next day.
        const bool stops = order == 0 && nextStop(text, first.line) == second.line;
        const bool sameDayLeg = stops && first.start->minutes() < second.start->minutes();
        const bool nextDayLeg = stops && first.start->minutes() > second.start->minutes();
        // "ven. 17/07/2026  Marseille ...  départ 19h30" over "sam. 18/07/2026  Ajaccio ...
        // arrivée 07h00": an overnight leg, each end with its day.
        const bool overnightLeg = order < 0 && second.line == first.line + 1 &&
                                  saysLeg(text.lines[first.line], true) &&
                                  saysLeg(text.lines[second.line], false);
        if (sameDayLeg || nextDayLeg || overnightLeg) {
            first.finish = second.start;
            if (overnightLeg) {
                first.last = second.day;
            }
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(k + 1));
        }
    }
}

void joinTripsOfSpans(const TextFacts& text, std::vector<Candidate>& out,
                      std::set<std::size_t>& split, std::vector<bool>& told) {
    for (auto it = split.begin(); it != split.end();) {
        const std::size_t s = *it;
        Candidate& span = out[s];
        ++it;
        if (!span.last || span.start) {
            continue;
        }
        std::vector<std::size_t> days;
        for (std::size_t k = 0; k < out.size(); ++k) {
            const Candidate& c = out[k];
            if (k != s && c.line > span.line && c.line <= span.line + kReach &&
                ReaderDays::compare(c.day, span.day) >= 0 &&
                ReaderDays::compare(c.day, *span.last) <= 0) {
                days.push_back(k);
            }
        }
        if (days.size() != 2) {
            continue;
        }
        const Candidate& leave = out[days[0]];
        const Candidate& back = out[days[1]];
        bool returns = false;
        for (std::size_t li = leave.line; li <= back.line && !returns; ++li) {
            returns = saysReturn(text.lines[li], li == leave.line ? leave.end : 0,
                                 li == back.line ? back.begin : text.lines[li].tokens.size());
        }
        if (!(leave.day == span.day) || !(back.day == *span.last) || !leave.start || leave.finish ||
            !back.start || back.finish || !returns) {
            continue;
        }
        span.start = leave.start;
        span.finish = back.start;
        span.zone = leave.zone;
        told[days[0]] = true;
        told[days[1]] = true;
        split.erase(s);
    }
}

// "on Saturday 22 August at two o'clock" over "1.30pm Please be seated", "2.00pm Ceremony",
// "5.00pm Wedding breakfast": rows of which one starts when the day's own event does are
// that event's programme, not events beside it. The day is kept whole; the rows are marked.
std::vector<bool> keepProgrammesOfTimedDays(const TextFacts& text, std::vector<Candidate>& out,
                                            std::set<std::size_t>& split) {
    std::vector<bool> programme(out.size(), false);
    for (auto at = split.begin(); at != split.end();) {
        const Candidate& day = out[*at];
        const auto rowOf = [&day](const Candidate& c) {
            return c.session && c.headingLine == day.line;
        };
        // "Friday 20 November, 7.00pm – 10.00pm" over "7.30pm in the Pavilion: short talk":
        // one row inside the day's hours is what happens during its event, not a schedule.
        const auto rows = std::count_if(out.begin(), out.end(), rowOf);
        const auto during = [&](const Candidate& c) {
            return rowOf(c) && c.start && c.start->minutes() > day.start->minutes() &&
                   c.start->minutes() < day.finish->minutes();
        };
        const bool itsOwn =
            day.start && !day.last &&
            (std::any_of(out.begin(), out.end(),
                         [&](const Candidate& c) {
                             return rowOf(c) && c.start && *c.start == *day.start;
                         }) ||
             (day.finish && rows == 1 && std::any_of(out.begin(), out.end(), during)));
        // "Samstag, den 12. September 2026, um 14 Uhr" above "Programm Sa., 12.9.2026" over
        // "14.00 Uhr  Trauung", "18.30 Uhr  Abendessen": the programme of the event told
        // apart from it, whose heading is no event either.
        const bool toldApart =
            !day.start && !day.last &&
            std::any_of(out.begin(), out.end(), [&](const Candidate& event) {
                return !event.session && event.start && !event.last && event.line < day.line &&
                       event.day == day.day &&
                       std::any_of(out.begin(), out.end(), [&](const Candidate& c) {
                           return rowOf(c) && c.start && *c.start == *event.start;
                       });
            });
        if (toldApart) {
            for (std::size_t k = 0; k < out.size(); ++k) {
                programme[k] = programme[k] || rowOf(out[k]);
            }
        }
        if (!itsOwn) {
            ++at;
            continue;
        }
        std::size_t lastRow = day.line;
        for (std::size_t k = 0; k < out.size(); ++k) {
            programme[k] = programme[k] || rowOf(out[k]);
            lastRow = rowOf(out[k]) ? std::max(lastRow, out[k].line) : lastRow;
        }
        endAtProgrammesEnd(text, out[*at], lastRow);
        at = split.erase(at);
    }
    return programme;
}

// "8–9 October 2026" over a programme with sessions on each of its days: the days are told
// one by one, and the span is what holds them, not an event beside them.
void dropDetailedSpans(const ReaderDays& days, std::vector<Candidate>& list) {
    const auto detailed = [&days, &list](const Candidate& span) {
        for (DayParts day = span.day; ReaderDays::compare(day, *span.last) <= 0;
             day = days.plusDays(day, 1)) {
            const bool told =
                std::any_of(list.begin(), list.end(), [&span, &day](const Candidate& c) {
                    return c.line != span.line && c.start && ReaderDays::compare(c.day, day) == 0;
                });
            if (!told) {
                return false;
            }
        }
        return true;
    };
    std::erase_if(list,
                  [&detailed](const Candidate& c) { return c.last && !c.start && detailed(c); });
}

} // namespace plannery::reader
