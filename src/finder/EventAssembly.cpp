#include "finder/EventAssembly.h"

#include "finder/EventDurations.h"
#include "finder/EventPairing.h"
#include "finder/HeadingShapes.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ScheduleLines.h"

#include <algorithm>

namespace plannery::reader {

namespace {

// Dates written without a year that come round again only after this many days were most likely
// meant in the past ("first proposed on January 12").
constexpr int kFarAhead = 270;

class Assembler {
  public:
    Assembler(const TextFacts& text, const ReaderDays& days) : m_text(text), m_days(days) {
        for (std::size_t li = 0; li < text.facts.size(); ++li) {
            for (const DateMention& d : text.facts[li].dates) {
                m_anyAbsolute = m_anyAbsolute ||
                                (!d.relative && !d.deadline && !text.facts[li].datesAreNotEvents);
            }
        }
    }

    std::vector<Candidate> run(Instant now, const Calendar& calendar) {
        for (std::size_t li = 0; li < m_text.lines.size(); ++li) {
            line(li);
        }
        std::vector<Candidate> kept;
        for (std::size_t k = 0; k < m_out.size(); ++k) {
            if (std::find(m_split.begin(), m_split.end(), k) == m_split.end()) {
                kept.push_back(m_out[k]);
            }
        }
        joinProgrammes(m_text, kept);
        pairStays(m_text, kept);
        pairStops(m_text, kept);
        applyDurations(m_text, kept);
        std::vector<Candidate> out;
        for (const Candidate& c : kept) {
            if (isUpcoming(c, now, calendar) && !repeats(c, out) && out.size() < kMaxEvents) {
                out.push_back(c);
            }
        }
        std::erase_if(out, [&out](const Candidate& c) { return isPartOfAnother(c, out); });
        // What must be handed in by a day is an event of its own only in a text that has no
        // other: beside a meeting, "nominations must reach the Secretary by 14 January" is a
        // condition of taking part.
        const bool timedEvent = std::any_of(out.begin(), out.end(), [](const Candidate& c) {
            return !c.due && c.start.has_value();
        });
        std::erase_if(out, [timedEvent](const Candidate& c) { return c.due && timedEvent; });
        return out;
    }

  private:
    struct Pending {
        TimedLine timed;
        std::size_t line = 0;
    };

    void line(std::size_t li) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        if (facts.datesAreNotEvents || isLetterDate(m_text.lines, m_text.facts, li)) {
            return;
        }
        std::vector<DateMention> dates;
        for (const DateMention& d : facts.dates) {
            if (auto kept = eventDate(d, li)) {
                dates.push_back(*kept);
            }
        }
        if (!dates.empty()) {
            datedLine(li, dates);
            return;
        }
        if (facts.times.empty()) {
            // "Agenda": what follows is the programme of the event above, not events of its own.
            const auto& tokens = line.tokens;
            m_agenda = m_agenda || (!tokens.empty() && tokens[0].isWord() &&
                                    Vocabulary::isAgendaWord(tokens[0].key) && tokens.size() <= 3);
            return;
        }
        const bool spanEveryDay = !m_out.empty() && li - m_out.back().line <= kReach &&
                                  m_out[m_lastGroup].last && m_out.size() - m_lastGroup == 1 &&
                                  saysEveryDay(line);
        if (spanEveryDay) {
            splitIntoDays(m_lastGroup, timesOf(line, facts, 0, line.tokens.size()));
            return;
        }
        if (m_heading && (!m_out[*m_heading].start || !m_agenda) && isSessionLine(line, facts)) {
            const Candidate heading = m_out[*m_heading];
            for (std::size_t k = 0; k < facts.times.size(); ++k) {
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
                m_out.push_back(session);
            }
            m_split.push_back(*m_heading);
            return;
        }
        TimedLine timed = timesOf(line, facts, 0, line.tokens.size());
        if (!m_out.empty() && li - m_out.back().line <= kReach && !m_out.back().session) {
            const std::size_t group = m_lastGroup;
            // A day something is due by keeps only the times of its own sentence.
            for (std::size_t k = group; k < m_out.size(); ++k) {
                if (!m_out[k].due) {
                    assignTimes(m_out[k], timed);
                }
            }
            return;
        }
        if (m_out.empty()) {
            m_pending = Pending{timed, li};
        }
    }

    std::optional<DateMention> eventDate(const DateMention& d, std::size_t li) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        if (d.deadline && !d.due) {
            return std::nullopt;
        }
        // Like a weekday alone, the weekdays of a month are events only at a time ("Earn double
        // points every Tuesday in April!" is an offer).
        if (d.series && facts.times.empty() && !nextLineHasTime(line)) {
            return std::nullopt;
        }
        if (d.weekdayOnly) {
            const bool timeFollows =
                std::any_of(facts.times.begin(), facts.times.end(), [&d](const TimeMention& t) {
                    return t.begin >= d.end && t.begin <= d.end + 1;
                });
            if (!d.fullWeekday && !timeFollows && !laterMessageHasTime(li)) {
                return std::nullopt;
            }
            // A weekday inside a span names one of its days ("July 24–26 ... Sat 11am–11pm").
            if (m_span && m_out[*m_span].last) {
                DateMention inSpan = d;
                for (DayParts day = m_out[*m_span].day;
                     ReaderDays::compare(day, *m_out[*m_span].last) <= 0;
                     day = m_days.plusDays(day, 1)) {
                    if (m_days.weekday(day) == m_days.weekday(d.day)) {
                        inSpan.day = day;
                        inSpan.relative = false;
                        inSpan.yearWritten = m_out[*m_span].yearWritten;
                        m_split.push_back(*m_span);
                        return inSpan;
                    }
                }
            }
        }
        if (d.relative && m_anyAbsolute) {
            return std::nullopt;
        }
        // "Friday: Sunny, high 95°F": a day heading a line of a list, without a time, is no event.
        if (d.relative && d.begin == 0 && facts.labelEnd == d.end + 1 && facts.times.empty()) {
            return std::nullopt;
        }
        // A day given only relative to today must come with a time to be an event ("Coffee
        // tomorrow at 10?"), unlike "Today: sunny".
        if (d.relative && !d.due && facts.times.empty() && !nextLineHasTime(line) &&
            !laterMessageHasTime(li)) {
            return std::nullopt;
        }
        return d;
    }

    // "climbing sat morning?" then "thinking 9:30 at Movement": in a chat, the time of a day
    // often comes in one of the next messages, before another day is named.
    bool laterMessageHasTime(std::size_t li) const {
        if (!m_text.facts[li].speaker) {
            return false;
        }
        const auto& own = m_text.facts[li].dates;
        // "coffee wednesday?" answered by "wed works, 8:30?": the same weekday said again.
        const auto sameWeekday = [this, &own](const DateMention& d) {
            return d.weekdayOnly && std::any_of(own.begin(), own.end(), [&](const DateMention& o) {
                       return o.weekdayOnly && m_days.weekday(o.day) == m_days.weekday(d.day);
                   });
        };
        for (std::size_t k = li + 1; k < m_text.lines.size() && k <= li + kReach; ++k) {
            const LineFacts& next = m_text.facts[k];
            if (!std::all_of(next.dates.begin(), next.dates.end(), sameWeekday) || !next.speaker) {
                return false;
            }
            if (!next.times.empty()) {
                return true;
            }
        }
        return false;
    }

    bool nextLineHasTime(const Line& line) const {
        for (std::size_t li = 0; li + 1 < m_text.lines.size(); ++li) {
            if (&m_text.lines[li] == &line) {
                const LineFacts& next = m_text.facts[li + 1];
                return !next.times.empty() && next.dates.empty() &&
                       m_text.lines[li + 1].block == line.block;
            }
        }
        return false;
    }

    void datedLine(std::size_t li, const std::vector<DateMention>& dates) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        const std::size_t group = m_out.size();
        const bool twoDays = dates.size() == 2 && !dates[0].last && !dates[1].last;
        const bool outAndBack = twoDays && ReaderDays::compare(dates[0].day, dates[1].day) < 0 &&
                                saysReturn(line, dates[0].end, dates[1].begin);
        if (twoDays && li > 0 && namesStayColumns(m_text.lines[li - 1])) {
            m_out.push_back(candidateOf(dates[0], li));
            m_out.back().last = dates[1].day;
        } else if (outAndBack) {
            // A trip from the first day to the second, leaving at the first time and back at the
            // time said to be the return.
            m_out.push_back(candidateOf(dates[0], li));
            m_out.back().last = dates[1].day;
            assignTimes(m_out.back(), timesOf(line, facts, 0, line.tokens.size()));
        } else {
            // The days of one phrase ("every Sunday in July") share the line's times.
            const bool series =
                std::all_of(dates.begin(), dates.end(),
                            [&dates](const DateMention& d) { return d.begin == dates[0].begin; });
            for (std::size_t k = 0; k < dates.size(); ++k) {
                Candidate c = candidateOf(dates[k], li);
                const std::size_t from = k == 0 || series ? 0 : dates[k].end;
                const std::size_t to =
                    k + 1 < dates.size() && !series ? dates[k + 1].begin : line.tokens.size();
                assignTimes(c, timesOf(line, facts, from, to));
                m_out.push_back(c);
            }
        }
        if (m_pending && li - m_pending->line <= kReach) {
            for (std::size_t k = group; k < m_out.size(); ++k) {
                if (!m_out[k].due) {
                    assignTimes(m_out[k], m_pending->timed);
                }
            }
        }
        m_pending.reset();
        m_lastGroup = group;
        // A sentence that mentions a day ("can be booked from Monday 19 January") leaves the
        // schedule's heading as it was.
        if (isHeadingLine(line, facts)) {
            m_heading.reset();
            m_agenda = false;
            if (m_out.size() - group == 1) {
                m_heading = group;
            }
        }
        if (m_out.size() - group == 1 && m_out.back().last) {
            m_span = group;
        }
    }

    Candidate candidateOf(const DateMention& d, std::size_t li) const {
        return Candidate{.day = d.day,
                         .last = d.last,
                         .line = li,
                         .begin = d.begin,
                         .end = d.end,
                         .yearWritten = d.yearWritten,
                         .relative = d.relative,
                         .due = d.due};
    }

    void splitIntoDays(std::size_t index, const TimedLine& timed) {
        const Candidate span = m_out[index];
        m_split.push_back(index);
        for (DayParts day = span.day;
             ReaderDays::compare(day, *span.last) <= 0 && m_out.size() < kMaxEvents;
             day = m_days.plusDays(day, 1)) {
            Candidate c = span;
            c.day = day;
            c.last.reset();
            assignTimes(c, timed);
            m_out.push_back(c);
        }
        m_span.reset();
    }

    const TextFacts& m_text;
    const ReaderDays& m_days;
    bool m_anyAbsolute = false;
    std::vector<Candidate> m_out;
    std::vector<std::size_t> m_split;     // days that head sessions or spans split into days
    std::optional<std::size_t> m_heading; // the day above the lines of a schedule
    bool m_agenda = false;                // those lines are one event's programme
    std::optional<std::size_t> m_span;
    std::size_t m_lastGroup = 0;
    std::optional<Pending> m_pending;

    bool isUpcoming(const Candidate& c, Instant now, const Calendar& calendar) const {
        const DayParts& today = m_days.today();
        const DayParts& lastDay = c.last ? *c.last : c.day;
        if (ReaderDays::compare(lastDay, today) < 0) {
            return false;
        }
        if (!c.yearWritten && !c.relative &&
            ReaderDays::compare(c.day, m_days.plusDays(today, kFarAhead)) > 0) {
            return false;
        }
        if (ReaderDays::compare(lastDay, today) == 0 && c.start) {
            const ClockTime end = c.finish.value_or(*c.start);
            const auto instant =
                calendar.date(today.year, today.month, today.day, end.hour, end.minute);
            return !instant || !(*instant < now) || (c.finish && c.finish->hour < c.start->hour);
        }
        return true;
    }

    // The same event written twice ("Invitation: Design review @ Wed May 20 11am" and "When:
    // Wednesday May 20 11am"), or a day without a time that a timed event on it tells more of.
    static bool repeats(const Candidate& c, std::vector<Candidate>& kept) {
        for (Candidate& other : kept) {
            if (!(other.day == c.day) || (c.session && other.session) || other.last != c.last) {
                continue;
            }
            if (other.start == c.start || !c.start) {
                return true;
            }
            if (!other.start) {
                other = c;
                return true;
            }
        }
        return false;
    }

    // A day inside another event's span, or a time inside another event's hours on that day
    // ("Tutorials on 27 May" in a conference of 27–30 May; "fireworks at 9:45pm" on a festival
    // day of 11am–11pm).
    static bool isPartOfAnother(const Candidate& c, const std::vector<Candidate>& list) {
        for (const Candidate& other : list) {
            if (&other == &c || c.session) {
                continue;
            }
            if (other.last && !other.start && !c.start &&
                ReaderDays::compare(c.day, other.day) >= 0 &&
                ReaderDays::compare(c.last.value_or(c.day), *other.last) <= 0 &&
                !(c.day == other.day && c.last == other.last)) {
                return true;
            }
            if (!other.last && c.day == other.day && c.start && other.start && other.finish &&
                !c.finish) {
                const int at = c.start->hour * 60 + c.start->minute;
                const int from = other.start->hour * 60 + other.start->minute;
                const int to = other.finish->hour * 60 + other.finish->minute;
                if (at > from && (at < to || to < from)) {
                    return true;
                }
            }
        }
        return false;
    }
};

} // namespace

std::vector<Candidate> assemble(const TextFacts& text, const ReaderDays& days, Instant now,
                                const Calendar& calendar) {
    return Assembler(text, days).run(now, calendar);
}

} // namespace plannery::reader
