#include "finder/EventAssembler.h"

#include "finder/CalledOff.h"
#include "finder/DayRemarks.h"
#include "finder/EventDurations.h"
#include "finder/EventPairing.h"
#include "finder/EventSelection.h"
#include "finder/HeadingShapes.h"
#include "finder/LegLines.h"
#include "finder/NameShapes.h"
#include "finder/NewTimes.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ReaderWords.h"
#include "finder/ScheduleLines.h"

#include <algorithm>

// The walk down a text's lines that makes events of the days written as events: the times that
// go with each day, a schedule's sessions under the day that heads them, a span's days when its
// times hold for each; then the events that are written as two joined, the ends that lengths
// give, and the choice of those to suggest.
namespace plannery::reader {

bool hasOwnTimes(const Line& line, const LineFacts& facts) {
    return std::any_of(facts.times.begin(), facts.times.end(), [&line](const TimeMention& t) {
        int depth = 0;
        for (std::size_t k = 0; k < t.begin; ++k) {
            depth += line.tokens[k].isSymbol("(") ? 1 : line.tokens[k].isSymbol(")") ? -1 : 0;
        }
        return depth <= 0;
    });
}

namespace {

// The weekday a line names in the plural, as the day of a weekly meeting: "Tuesdays", "mardis",
// "dienstags"; or of a monthly one ("un mardi par mois").
std::optional<Weekday> weeklyDay(const Line& line, const std::string& localeId) {
    for (std::size_t k = 0; k < line.tokens.size(); ++k) {
        const Token& t = line.tokens[k];
        if (t.isWord() && t.key.size() > 4 && t.key.ends_with("s")) {
            if (auto name =
                    Words::weekday(std::string_view(t.key).substr(0, t.key.size() - 1), localeId);
                name && name->full) {
                return name->day;
            }
        }
        // "Un mardi par mois, à 19h30": one such day in each month.
        if (k > 0 && line.tokens[k - 1].isWord("un") && isWordIn(line.at(k + 1), {"par"})) {
            if (auto name = Words::weekday(t.key, localeId); name && name->full) {
                return name->day;
            }
        }
    }
    return std::nullopt;
}

// Whether a line opens an item of a bulleted list ("• Brötchenservice: …"): two such lines are
// about different things.
bool opensBulletItem(const Line& line) {
    return !line.tokens.empty() && (line.tokens[0].isSymbol("·") || line.tokens[0].isSymbol("*"));
}

// "7:00 PM — please be there by 7:15 at the latest, I'm bringing her in around 7:30": a time
// that a sentence mentions after the event's own, between tokens `from` and the time at `to`,
// says when to arrive or what happens meanwhile; it starts no session of its own.
bool saidInPassing(const Line& line, std::size_t from, std::size_t to) {
    return (to > 0 && isWordIn(&line.tokens[to - 1], {"by", "bis", "avant"})) ||
           isProse(line, Segment{.begin = from, .end = to});
}

} // namespace

Assembler::Assembler(const TextFacts& text, const ReaderDays& days) : m_text(text), m_days(days) {
    m_contentBefore.push_back(0);
    for (std::size_t li = 0; li < text.facts.size(); ++li) {
        for (const DateMention& d : text.facts[li].dates) {
            m_anyAbsolute =
                m_anyAbsolute || (!d.relative && !d.deadline && !text.facts[li].datesAreNotEvents);
        }
        m_contentBefore.push_back(m_contentBefore.back() + (text.facts[li].chrome ? 0 : 1));
    }
}

std::vector<Candidate> Assembler::run(Instant now, const Calendar& calendar) {
    for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
        line(li);
    }
    std::vector<bool> programme = keepProgrammesOfTimedDays(m_text, m_out, m_split);
    joinTripsOfSpans(m_text, m_out, m_split, programme);
    std::vector<Candidate> kept;
    for (std::size_t k = 0; k < m_out.size(); ++k) {
        if (!m_split.contains(k) && !programme[k]) {
            kept.push_back(m_out[k]);
        }
    }
    dropDetailedSpans(m_days, kept);
    joinProgrammes(m_text, kept);
    pairStays(m_text, kept);
    pairStops(m_text, kept);
    applyDurations(m_text, kept);
    for (Candidate& c : kept) {
        if (c.startsNextDay && !c.last) {
            c.day = m_days.plusDays(c.day, 1);
            c.startsNextDay = false;
        }
    }
    return selectEvents(m_text, kept, m_days, now, calendar);
}

// The lines with content after line `from` up to line `to`: a chat's names and stamps
// between its messages do not count.
std::size_t Assembler::apart(std::size_t from, std::size_t to) const {
    const std::size_t last = std::min(to + 1, m_contentBefore.size() - 1);
    return from + 1 < last ? m_contentBefore[last] - m_contentBefore[from + 1] : 0;
}

std::optional<Weekday> Assembler::meetingDay(std::size_t li) const {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    if (facts.dates.size() != 1 || !facts.dates[0].weekdayOnly || facts.times.empty()) {
        return std::nullopt;
    }
    // The weekday is the value of a label that speaks of the day ("Day/time:", "Jour :", "Tag:").
    bool dayLabel = false;
    for (std::size_t k = 0; k < facts.dates[0].begin; ++k) {
        const Token& t = line.tokens[k];
        if (t.isSymbol(":")) {
            break;
        }
        dayLabel = dayLabel ||
                   isWordIn(&t, {"day", "days", "jour", "jours", "tag", "kurstag", "wochentag"});
    }
    if (!dayLabel || !line.tokens[facts.dates[0].begin - 1].isSymbol()) {
        return std::nullopt;
    }
    for (std::size_t k = li + 1; k < m_text.lines.size() && apart(li, k) <= kReach; ++k) {
        if (Vocabulary::opensSpan(m_text.facts[k].label) && !m_text.facts[k].dates.empty()) {
            return m_days.weekday(facts.dates[0].day);
        }
    }
    return std::nullopt;
}

void Assembler::line(std::size_t li) {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    if (facts.chrome) {
        return;
    }
    if (facts.datesAreNotEvents || isLetterDate(m_text.lines, m_text.facts, li)) {
        return;
    }
    // "Day/time: Wednesday, 18:30 - 20:30" over "Start date: 13/01/2027": the day of the week a
    // course meets on, not the coming Wednesday.
    if (const auto weekday = meetingDay(li)) {
        m_pending = Pending{timesOf(line, facts, 0, line.tokens.size()), li, weekday};
        return;
    }
    std::vector<DateMention> dates;
    for (const DateMention& d : facts.dates) {
        if (auto kept = eventDate(d, li)) {
            dates.push_back(*kept);
        }
    }
    if (arrivalDay(li, dates)) {
        return;
    }
    if (!dates.empty()) {
        datedLine(li, dates);
        return;
    }
    if (facts.times.empty()) {
        // "ALL DAY   Mila – school athletics day" under a calendar's day: an event of the whole
        // day beside the day's timed ones.
        if (const std::size_t label = allDayColumn(line); label > 0 && m_heading) {
            m_split.insert(*m_heading);
            const Candidate& heading = m_out[*m_heading];
            const Candidate allDay{.day = heading.day,
                                   .line = li,
                                   .begin = 0,
                                   .end = label,
                                   .session = true,
                                   .headingLine = heading.line,
                                   .yearWritten = heading.yearWritten};
            m_out.push_back(allDay);
            return;
        }
        // "Agenda": what follows is the programme of the event above, not events of its own.
        const auto& tokens = line.tokens;
        m_agenda = m_agenda || (!tokens.empty() && tokens[0].isWord() &&
                                Vocabulary::isAgendaWord(tokens[0].key) && tokens.size() <= 3);
        return;
    }
    // "… du lundi au vendredi de" over "8 h à 16 h 30. Tout rendez-vous manqué …", "Clinic hrs:
    // Mon-Fri" over "9am-6pm, Sat 9am-1pm": the hours of weekdays in general, broken after their
    // preposition or their days, are no day's times.
    if (li > 0 && m_text.lines[li - 1].block == line.block && !facts.times.empty() &&
        line.pastSymbols(0) == facts.times[0].begin) {
        const Line& above = m_text.lines[li - 1];
        const LineFacts& aboveFacts = m_text.facts[li - 1];
        const Token& last = above.tokens.back();
        const bool weekdays = !aboveFacts.dates.empty() &&
                              std::all_of(aboveFacts.dates.begin(), aboveFacts.dates.end(),
                                          [](const DateMention& d) { return d.weekdayOnly; });
        const bool afterPreposition =
            last.isWord() && !last.capital &&
            (Vocabulary::isDanglingWord(last.key) ||
             isWordIn(&last, {"de", "from", "von", "entre", "between", "zwischen"}));
        if (weekdays && (afterPreposition || (aboveFacts.dates.back().end == above.tokens.size() &&
                                              tellsOpeningHours(above)))) {
            return;
        }
    }
    // The times of the next item of a bulleted list are that item's, not the day's above. A
    // day that has only its doors' time looks one line further for its start ("Saaleinlass
    // ab 19:00 Uhr" over "Beginn: 20:00 Uhr").
    // A poster's day without a time looks on through its block, whose sentences a narrow
    // column wraps over many lines ("Satur day 16th January" over five lines that end "…
    // leaves the Village Green at 4pm sharp").
    const bool wrapped = !m_out.empty() && !m_out.back().start &&
                         !m_text.facts[m_out.back().line].speaker &&
                         line.block == m_text.lines[m_out.back().line].block;
    const std::size_t reach =
        wrapped ? 2 * kReach : kReach + (!m_out.empty() && m_out.back().doorsOnly ? 1 : 0);
    // An aside in brackets of another paragraph ("(du lundi au vendredi de 8h30 à 12h00)")
    // gives the day above no times.
    // ... nor does the next paragraph's time by which something must be done ("Place all carts
    // at the curb by 7:00 a.m. on collection day").
    const bool sameBlock = !m_out.empty() && line.block == m_text.lines[m_out.back().line].block;
    const bool onlyBy =
        std::all_of(facts.times.begin(), facts.times.end(), [&line](const TimeMention& t) {
            return t.begin > 0 && isWordIn(&line.tokens[t.begin - 1], {"by", "bis", "avant"});
        });
    // "Member Services, Mon-Fri 7:30 am - 5:00 pm", "reply by Friday 5pm": times said with
    // weekdays that are no event's are theirs.
    const bool weekdaysOwnTimes =
        std::any_of(facts.dates.begin(), facts.dates.end(),
                    [](const DateMention& d) { return d.weekdayOnly && d.deadline; });
    const bool near = !m_out.empty() && apart(m_out.back().line, li) <= reach &&
                      !weekdaysOwnTimes && (sameBlock || (hasOwnTimes(line, facts) && !onlyBy)) &&
                      !(opensBulletItem(line) && opensBulletItem(m_text.lines[m_out.back().line]));
    // Hours from a start to an end under a span without times ("Dates : du lundi 6 au vendredi
    // 10 juillet" over "Horaire : de 9h00 à 16h00") are those of each of its days.
    const bool dailyHours = facts.dates.empty() && facts.times.size() == 1 &&
                            facts.times[0].finish &&
                            facts.times[0].finish->minutes() > facts.times[0].start.minutes();
    const bool spanEveryDay = near && m_out[m_lastGroup].last && m_out.size() - m_lastGroup == 1 &&
                              (saysEveryDay(line) || (dailyHours && !m_out[m_lastGroup].start));
    if (spanEveryDay) {
        splitIntoDays(m_lastGroup, timesOf(line, facts, 0, line.tokens.size()));
        return;
    }
    // "4:00 PM     10:00 AM" under the days of "Check-in     Checkout": the stay's times, in
    // the same columns.
    if (m_stayColumns && *m_stayColumns < m_out.size() && m_out[*m_stayColumns].line + 1 == li &&
        facts.times.size() == 2) {
        Candidate& stay = m_out[*m_stayColumns];
        stay.start = facts.times[0].start;
        stay.finish = facts.times[1].start;
        m_stayColumns.reset();
        return;
    }
    if (m_heading && (!m_out[*m_heading].start || !m_agenda) &&
        (isSessionLine(line, facts) || namedBelow(m_text, li))) {
        const Candidate heading = m_out[*m_heading];
        m_split.insert(*m_heading);
        // "10:30  Coffee break", "15:00  Kaffeepause": a pause between sessions is none, nor
        // is a session called off.
        if (namesOnlyBreak(line, facts) || namesCalledOffRow(line, facts)) {
            return;
        }
        for (std::size_t k = 0; k < facts.times.size(); ++k) {
            if (k > 0 && saidInPassing(line, facts.times[k - 1].end, facts.times[k].begin)) {
                continue;
            }
            Candidate session{.day = heading.day,
                              .line = li,
                              .begin = facts.times[k].begin,
                              .end = facts.times[k].end,
                              .session = true,
                              .headingLine = heading.line,
                              .yearWritten = heading.yearWritten};
            const std::size_t to =
                k + 1 < facts.times.size() ? facts.times[k + 1].begin : line.tokens.size();
            assignTimes(session, timesOf(line, facts, facts.times[k].begin, to));
            session.startsNextDay = session.start && afterMidnight(*session.start);
            m_out.push_back(session);
        }
        return;
    }
    TimedLine timed = timesOf(line, facts, 0, line.tokens.size());
    if (li > 0 && m_text.lines[li - 1].block == line.block) {
        timed = underStartHead(m_text.lines[li - 1], std::move(timed));
    }
    if (near && !m_out.back().session) {
        const std::size_t group = m_lastGroup;
        // A day something is due by keeps only the times of its own sentence; so does a day
        // without school ("pas d'école ce jour-là." over "Une garderie est organisée de 7h
        // à 18h").
        // ... also where the line below the day says so ("Fri 14 Aug" over "Student Free
        // Day – no classes for students." over "OSHC runs 7:00 am – 6:00 pm").
        const auto shutBetween = [this, li](std::size_t from) {
            for (std::size_t b = from + 1; b < li; ++b) {
                if (saysShut(m_text.lines[b], 0, m_text.lines[b].tokens.size())) {
                    return true;
                }
            }
            return false;
        };
        for (std::size_t k = group; k < m_out.size(); ++k) {
            const Line& own = m_text.lines[m_out[k].line];
            if (!m_out[k].due && !saysShut(own, m_out[k].end, own.tokens.size()) &&
                !shutBetween(m_out[k].line)) {
                const bool started = m_out[k].start.has_value();
                assignTimes(m_out[k], timed);
                if (!started && m_out[k].start) {
                    m_out[k].timeLine = li;
                }
            }
        }
        // "06:10" over "Perth (PER)" under a flight's day, and further down "13:15" over
        // "Sydney (SYD)": the leg leaves from the first stop and ends at the second.
        const auto arrival = m_out.size() - group == 1 ? nextStop(m_text, li) : std::nullopt;
        if (arrival && m_out.back().start && !m_out.back().finish &&
            !m_text.facts[*arrival].times.empty()) {
            m_out.back().finish = m_text.facts[*arrival].times[0].start;
            m_out.back().stopLine = li;
        }
        return;
    }
    // "the 1:00 pm sailing tomorrow, Friday, July 31, has been cancelled": the times of days
    // that are no events go with them, not with the next day written.
    // An aside in brackets ("(Evening parking is free after 5 p.m.)") sets no times.
    const auto weekly = weeklyDay(line, m_days.localeId());
    // ... unless the line leads in to what follows ("Séances (samedis, 13 h 00 à 15 h 00) :").
    const bool leadsIn = !line.tokens.empty() && line.tokens.back().isSymbol(":");
    if ((m_out.empty() || weekly) && (facts.dates.empty() || weekly) &&
        (hasOwnTimes(line, facts) || leadsIn)) {
        m_pending = Pending{timed, li, weekly};
    }
}

bool Assembler::afterMidnight(ClockTime start) const {
    constexpr int kSmallHours = 6;
    if (m_out.empty() || !m_out.back().session || !m_out.back().start) {
        return false;
    }
    const Candidate& before = m_out.back();
    // "8:45pm – 10:15pm" then "12:15am – 1:15am" under a festival's day: a late set goes on
    // after midnight, and so do the sets after it.
    return before.startsNextDay ? start.minutes() >= before.start->minutes()
                                : start.minutes() < before.start->minutes() &&
                                      start.hour < kSmallHours && before.start->hour >= 12;
}

void Assembler::splitIntoDays(std::size_t index, const TimedLine& timed,
                              std::optional<Weekday> weekday) {
    const Candidate span = m_out[index];
    m_split.insert(index);
    for (DayParts day = span.day;
         ReaderDays::compare(day, *span.last) <= 0 && m_out.size() < kMaxEvents;
         day = m_days.plusDays(day, 1)) {
        if (weekday && m_days.weekday(day) != *weekday) {
            continue;
        }
        Candidate c = span;
        c.day = day;
        c.last.reset();
        assignTimes(c, timed);
        m_out.push_back(c);
    }
    m_span.reset();
}

std::vector<Candidate> assemble(const TextFacts& text, const ReaderDays& days, Instant now,
                                const Calendar& calendar) {
    if (callsItsEventOff(text)) {
        return {};
    }
    std::vector<Candidate> out = Assembler(text, days).run(now, calendar);
    dropCalledOffDays(text, out);
    applyNewTimes(text, out);
    dropAnsweredOffers(text, out);
    applySameTimes(text, days, out);
    applyTimeForAll(text, out);
    dropMovedDays(text, out);
    return out;
}

} // namespace plannery::reader
