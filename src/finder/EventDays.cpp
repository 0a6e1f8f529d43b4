#include "finder/EventAssembler.h"

#include "finder/LineSegments.h"
#include "finder/NameShapes.h"
#include "finder/ReaderVocabulary.h"
#include "finder/ScheduleLines.h"

#include <algorithm>

// Which days written in a text are events, and what a line with days makes of them: one event
// from a day to another, a stay, a trip out and back, or an event for each day with the times
// that go with it; and the days that only tell when a journey above arrives.
namespace plannery::reader {

std::optional<DateMention> Assembler::eventDate(const DateMention& d, std::size_t li) {
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
        // A short weekday may be a word ("sun", "wed"), unless "next" or "this" says it is a
        // day and the line gives a time ("next thu, not tmrw. 7:30").
        const bool introduced = d.end - d.begin >= 2 && !facts.times.empty();
        if (!d.fullWeekday && !timeFollows && !introduced && !laterMessageHasTime(li)) {
            return std::nullopt;
        }
        // "le mardi soir je tiens le stand": in French, a weekday after the article without
        // its date speaks of every such day.
        const auto isArticle = [&line](std::size_t k) {
            const Token* t = line.at(k);
            return t != nullptr && t->isWord("le");
        };
        const Token* after = line.at(d.end);
        if (m_days.localeId().starts_with("fr") &&
            (isArticle(d.begin) || (d.begin > 0 && isArticle(d.begin - 1))) &&
            !(after != nullptr && after->isNumber())) {
            return std::nullopt;
        }
        // A weekday inside a span names one of its days ("July 24–26 ... Sat 11am–11pm"),
        // where it is told of the span; far below, "Le mercredi, la garderie ferme à 17h"
        // speaks of every Wednesday.
        const bool ofSpan = m_span && (m_text.lines[m_out[*m_span].line].block == line.block ||
                                       apart(m_out[*m_span].line, li) <= 2 * kReach);
        if (ofSpan && m_out[*m_span].last) {
            DateMention inSpan = d;
            for (DayParts day = m_out[*m_span].day;
                 ReaderDays::compare(day, *m_out[*m_span].last) <= 0;
                 day = m_days.plusDays(day, 1)) {
                if (m_days.weekday(day) == m_days.weekday(d.day)) {
                    inSpan.day = day;
                    inSpan.relative = false;
                    inSpan.yearWritten = m_out[*m_span].yearWritten;
                    m_split.insert(*m_span);
                    return inSpan;
                }
            }
        }
    }
    // Beside days written out, "tomorrow" is more often said in passing than an event, unless
    // a chat's message gives it a time ("practice is moved to TMRW (mon) 5:30-7").
    // Nor does a line of nothing but it and its time under a name ("Bin night" over "Today
    // 5:00 pm"), unlike a chat's stamp set apart between messages.
    const bool named = li > 0 && m_text.lines[li - 1].block == line.block &&
                       m_text.facts[li - 1].dates.empty() && m_text.facts[li - 1].times.empty();
    const bool rowDay = named && !d.weekdayOnly && d.begin == 0 && facts.dates.size() == 1 &&
                        facts.times.size() == 1 && facts.times[0].begin == d.end &&
                        facts.times[0].end == line.tokens.size();
    if (d.relative && m_anyAbsolute && !(facts.speaker && !facts.times.empty()) && !rowDay) {
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
bool Assembler::laterMessageHasTime(std::size_t li) const {
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
    for (std::size_t k = li + 1; k < m_text.lines.size() && apart(li, k) <= kReach; ++k) {
        const LineFacts& next = m_text.facts[k];
        if (next.chrome) {
            continue;
        }
        if (!std::all_of(next.dates.begin(), next.dates.end(), sameWeekday) || !next.speaker) {
            return false;
        }
        if (!next.times.empty()) {
            return true;
        }
    }
    return false;
}

bool Assembler::nextLineHasTime(const Line& line) const {
    for (std::size_t li = 0; li + 1 < m_text.lines.size(); ++li) {
        if (&m_text.lines[li] == &line) {
            const LineFacts& next = m_text.facts[li + 1];
            return !next.times.empty() && next.dates.empty() &&
                   m_text.lines[li + 1].block == line.block;
        }
    }
    return false;
}

// "Arrives  08:35 (+1 day, Saturday 17 October)" under a leg's day: the day and time the leg
// above arrives, not an event of its own; so on the day it left ("Arrive 07:05 (same day,
// Saturday 12 September)"), and after its departure on the line ("Depart 14:35  Arrive 21:55
// (+1, Saturday 19 September)").
bool Assembler::arrivalDay(std::size_t li, const std::vector<DateMention>& dates) {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    if (dates.size() != 1 || dates[0].last || m_out.empty() ||
        apart(m_out.back().line, li) > kReach) {
        return false;
    }
    const auto arrives = std::find_if(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
        return t.isWord() && Vocabulary::legWord(t.key) == Vocabulary::Leg::arrives;
    });
    const auto a = static_cast<std::size_t>(arrives - line.tokens.begin());
    if (arrives == line.tokens.end() || a > dates[0].begin) {
        return false;
    }
    const auto time =
        std::find_if(facts.times.begin(), facts.times.end(),
                     [&](const TimeMention& t) { return t.begin > a && t.end <= dates[0].begin; });
    Candidate& leg = m_out.back();
    const TimedLine departure = timesOf(line, facts, 0, a);
    if (time == facts.times.end() || leg.last || (!leg.start && departure.times.empty()) ||
        ReaderDays::compare(dates[0].day, leg.day) < 0) {
        return false;
    }
    if (!leg.start || (leg.doorsOnly && !departure.times.empty())) {
        assignTimes(leg, departure);
        leg.timeLine = li;
    }
    if (ReaderDays::compare(dates[0].day, leg.day) > 0) {
        leg.last = dates[0].day;
    }
    leg.finish = time->start;
    return true;
}

// Whether line `li`, a day's, is the next row of the list whose last row so far is line
// `last`: the line just below it in its block, or, where each row opens with its day ("17
// SEPT   THE SALT ORCHARD" with what is said of the film below it), the next such line.
bool Assembler::continuesList(std::size_t last, std::size_t li) const {
    const auto opensWithDay = [this](std::size_t k) {
        const auto& dates = m_text.facts[k].dates;
        return !dates.empty() && dates[0].begin == 0;
    };
    // The next line of the block, or the one after rows whose days are no events ("Session 4
    // - Tues. Oct. 6 - ** CANCELLED **").
    bool adjacent = m_text.lines[li].block == m_text.lines[last].block;
    for (std::size_t k = last + 1; k < li && adjacent; ++k) {
        adjacent = !m_text.facts[k].dates.empty() && m_text.facts[k].times.empty();
    }
    if (adjacent) {
        return true;
    }
    // What is said of a row below it gives no times, nor does the row below its own line.
    for (std::size_t k = last + 1; k <= li + 1 && k < m_text.lines.size(); ++k) {
        if (k != li && !m_text.facts[k].times.empty()) {
            return false;
        }
    }
    return opensWithDay(last) && opensWithDay(li);
}

void Assembler::datedLine(std::size_t li, const std::vector<DateMention>& dates) {
    const Line& line = m_text.lines[li];
    const LineFacts& facts = m_text.facts[li];
    if (endsSpanAbove(li, dates)) {
        // "Day/time: Wednesday, 18:30 - 20:30" over "Start date: 13/01/2027" and "End date:
        // 10/03/2027": the weekly meeting's days in the span.
        if (m_pending && m_pending->weekly && apart(m_pending->line, li) <= kReach) {
            m_out.back().start.reset();
            m_out.back().finish.reset();
            splitIntoDays(m_out.size() - 1, m_pending->timed, m_pending->weekly);
        }
        return;
    }
    const std::size_t group = m_out.size();
    const bool twoDays = dates.size() == 2 && !dates[0].last && !dates[1].last;
    const bool outAndBack = twoDays && ReaderDays::compare(dates[0].day, dates[1].day) < 0 &&
                            saysReturn(line, dates[0].end, dates[1].begin);
    // "du jeudi 1er octobre à 9h30 (accueil à partir de 9h) au vendredi 2 octobre à 16h":
    // one event from the first day and time to the second.
    const auto wordBefore = [&line](std::size_t k, std::initializer_list<std::string_view> w) {
        return k > 0 && isWordIn(&line.tokens[k - 1], w);
    };
    // "Check-in Thu 11 Jun 2026 from 3:00 pm · Check-out Sat 20 Jun 2026 by 11:00 am": a stay
    // told on one line.
    const auto checks = [&line](std::size_t k, std::string_view way) {
        return (k >= 3 && line.tokens[k - 1].isWord(way) && line.tokens[k - 3].isWord("check")) ||
               (k >= 1 && isWordIn(&line.tokens[k - 1], {way == "in" ? "checkin" : "checkout",
                                                         way == "in" ? "anreise" : "abreise",
                                                         way == "in" ? "arrivee" : "depart"}));
    };
    const bool fromTo = twoDays && ReaderDays::compare(dates[0].day, dates[1].day) < 0 &&
                        ((wordBefore(dates[0].begin, {"du", "from", "vom", "von"}) &&
                          wordBefore(dates[1].begin, {"au", "to", "until", "bis", "jusqu'au"})) ||
                         (checks(dates[0].begin, "in") && checks(dates[1].begin, "out")));
    m_stayColumns.reset();
    if (fromTo) {
        Candidate c = candidateOf(dates[0], li);
        c.last = dates[1].day;
        const TimedLine first = timesOf(line, facts, dates[0].end, dates[1].begin);
        const TimedLine second = timesOf(line, facts, dates[1].end, line.tokens.size());
        if (!first.times.empty()) {
            c.start = first.times.front().start;
            c.zone = first.zones.front();
            if (!second.times.empty()) {
                c.finish = second.times.front().start;
            }
        }
        m_out.push_back(c);
    } else if (twoDays && li > 0 && namesStayColumns(m_text.lines[li - 1])) {
        m_out.push_back(candidateOf(dates[0], li));
        m_out.back().last = dates[1].day;
        m_stayColumns = group;
    } else if (outAndBack) {
        // A trip from the first day to the second, leaving at the first time and back at the
        // time said to be the return.
        m_out.push_back(candidateOf(dates[0], li));
        m_out.back().last = dates[1].day;
        assignTimes(m_out.back(), timesOf(line, facts, 0, line.tokens.size()));
    } else {
        // The days of one phrase ("every Sunday in July") share the line's times.
        const bool series = std::all_of(dates.begin(), dates.end(), [&dates](const DateMention& d) {
            return d.begin == dates[0].begin;
        });
        for (std::size_t k = 0; k < dates.size(); ++k) {
            Candidate c = candidateOf(dates[k], li);
            std::size_t from = k == 0 || series ? 0 : dates[k].end;
            // "The spring term ends on Thursday 25 March at 1.20pm. The Easter holiday runs
            // from Friday 26 March …": the times of a sentence about a day that is no event
            // are not those of the next sentence's day.
            if (const std::size_t own = sentenceAround(line, dates[k].begin).begin;
                from < own && std::any_of(facts.dates.begin(), facts.dates.end(),
                                          [own](const DateMention& d) { return d.end <= own; })) {
                from = own;
            }
            std::size_t to =
                k + 1 < dates.size() && !series ? dates[k + 1].begin : line.tokens.size();
            // "journée pédagogique, pas d'école. Une garderie est organisée de 7 h à 18 h":
            // a day without school keeps only the times of its own sentence.
            const std::size_t sentence = sentenceEnd(line, dates[k].end);
            if (saysShut(line, dates[k].end, sentence)) {
                to = std::min(to, sentence);
            }
            assignTimes(c, timesOf(line, facts, from, to));
            m_out.push_back(c);
        }
    }
    // Times said once above a list of days, one day to a line ("Thursdays · 7:00 – 8:30 PM"
    // over "JUNE 11   The Porch Lights" and "JUNE 18   Motor City Horns"), hold for each
    // day of the list without times of its own; times in brackets are an aside.
    const bool ownTimes = hasOwnTimes(line, facts);
    std::optional<TimedLine> above;
    const auto onWeekday = [this, &dates](Weekday weekday) {
        return std::all_of(dates.begin(), dates.end(), [&](const DateMention& d) {
            return !d.last && m_days.weekday(d.day) == weekday;
        });
    };
    // "DAY & TIME  Thursdays, 4:10pm – 4:40pm" over "BLOCK  Term 3: 23/07/2026 – 24/09/2026":
    // a weekly meeting's times over a span of weeks are those of its weekday in each; they hold
    // on for the list of those days that may follow.
    if (m_pending && m_pending->weekly && apart(m_pending->line, li) <= kReach && !ownTimes &&
        m_out.size() - group == 1 && m_out[group].last) {
        splitIntoDays(group, m_pending->timed, m_pending->weekly);
        return;
    }
    if ((m_pending && m_pending->weekly) ? onWeekday(*m_pending->weekly)
                                         : m_pending && apart(m_pending->line, li) <= kReach) {
        above = m_pending->timed;
        m_listTimes = ownTimes ? std::nullopt : std::optional<Pending>(Pending{*above, li});
    } else if (m_listTimes && continuesList(m_listTimes->line, li)) {
        // A row with times of its own ("29 OCT  Double bill — early start 7pm!") keeps them,
        // and the list goes on below it.
        if (!ownTimes) {
            above = m_listTimes->timed;
        }
        m_listTimes->line = li;
    } else {
        m_listTimes.reset();
    }
    for (std::size_t k = group; above && k < m_out.size(); ++k) {
        if (!m_out[k].due) {
            if (!ownTimes) {
                m_out[k].start.reset();
                m_out[k].finish.reset();
            }
            assignTimes(m_out[k], *above);
        }
    }
    // A weekly meeting's times hold on for its weekday further down.
    if (!(m_pending && m_pending->weekly)) {
        m_pending.reset();
    }
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
    // A span that starts at a time runs on from then (a stay, a two-day seminar): a weekday
    // below names a moment in it, not one of its days.
    if (m_out.size() - group == 1 && m_out.back().last && !m_out.back().start) {
        m_span = group;
    }
}

bool Assembler::endsSpanAbove(std::size_t li, const std::vector<DateMention>& dates) {
    if (dates.size() != 1 || dates[0].last || m_out.empty() || li == 0 ||
        m_out.back().line + 1 != li || m_out.back().last) {
        return false;
    }
    Candidate& first = m_out.back();
    const Line& above = m_text.lines[li - 1];
    const Line& line = m_text.lines[li];
    const auto opensWith = [](const Line& l, std::size_t k,
                              std::initializer_list<std::string_view> words) {
        return k > 0 && isWordIn(&l.tokens[k - 1], words) &&
               std::all_of(l.tokens.begin(), l.tokens.begin() + static_cast<std::ptrdiff_t>(k - 1),
                           [](const Token& t) { return t.isSymbol(); });
    };
    // "Start date: 13/01/2027" over "End date: 10/03/2027": a course's first and last day, each
    // alone after its label.
    const auto labelled = [this](const DateMention& d, std::size_t at, bool start) {
        const LineFacts& facts = m_text.facts[at];
        const auto& tokens = m_text.lines[at].tokens;
        return !facts.label.empty() && d.end == tokens.size() &&
               std::all_of(tokens.begin() + static_cast<std::ptrdiff_t>(facts.labelEnd),
                           tokens.begin() + static_cast<std::ptrdiff_t>(d.begin),
                           [](const Token& t) { return t.isSymbol(); }) &&
               (start ? Vocabulary::opensSpan(facts.label) : Vocabulary::closesSpan(facts.label));
    };
    if (above.block != line.block || m_text.facts[li - 1].dates.size() != 1 ||
        !((opensWith(above, first.begin, {"du", "from", "vom", "von"}) &&
           opensWith(line, dates[0].begin, {"au", "to", "until", "till", "bis", "jusqu'au"})) ||
          (labelled(m_text.facts[li - 1].dates.front(), li - 1, true) &&
           labelled(dates[0], li, false))) ||
        ReaderDays::compare(first.day, dates[0].day) >= 0) {
        return false;
    }
    first.last = dates[0].day;
    const TimedLine end = timesOf(line, m_text.facts[li], dates[0].end, line.tokens.size());
    if (first.start && !end.times.empty()) {
        first.finish = end.times.front().start;
    }
    return true;
}

Candidate Assembler::candidateOf(const DateMention& d, std::size_t li) const {
    return Candidate{.day = d.day,
                     .last = d.last,
                     .line = li,
                     .begin = d.begin,
                     .end = d.end,
                     .yearWritten = d.yearWritten,
                     .relative = d.relative,
                     .due = d.due};
}

} // namespace plannery::reader
