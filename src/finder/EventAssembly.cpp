#include "finder/EventAssembly.h"

#include "finder/CalledOff.h"
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
#include <set>

// The walk down a text's lines that makes events of the days written as events: the times that
// go with each day, a schedule's sessions under the day that heads them, a span's days when its
// times hold for each; then the events that are written as two joined, the ends that lengths
// give, and the choice of those to suggest.
namespace plannery::reader {

namespace {

// Whether a line has times outside brackets: "JULY 2   Plymouth Community Band (+ kids' petting
// zoo at 6:15)" has none of its own.
bool hasOwnTimes(const Line& line, const LineFacts& facts) {
    return std::any_of(facts.times.begin(), facts.times.end(), [&line](const TimeMention& t) {
        int depth = 0;
        for (std::size_t k = 0; k < t.begin; ++k) {
            depth += line.tokens[k].isSymbol("(") ? 1 : line.tokens[k].isSymbol(")") ? -1 : 0;
        }
        return depth <= 0;
    });
}

// The weekday a line names in the plural, as the day of a weekly meeting: "Tuesdays", "mardis",
// "dienstags".
std::optional<Weekday> weeklyDay(const Line& line, const std::string& localeId) {
    for (const Token& t : line.tokens) {
        if (t.isWord() && t.key.size() > 4 && t.key.ends_with("s")) {
            if (auto name =
                    Words::weekday(std::string_view(t.key).substr(0, t.key.size() - 1), localeId);
                name && name->full) {
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

class Assembler {
  public:
    Assembler(const TextFacts& text, const ReaderDays& days) : m_text(text), m_days(days) {
        m_contentBefore.push_back(0);
        for (std::size_t li = 0; li < text.facts.size(); ++li) {
            for (const DateMention& d : text.facts[li].dates) {
                m_anyAbsolute = m_anyAbsolute ||
                                (!d.relative && !d.deadline && !text.facts[li].datesAreNotEvents);
            }
            m_contentBefore.push_back(m_contentBefore.back() + (text.facts[li].chrome ? 0 : 1));
        }
    }

    std::vector<Candidate> run(Instant now, const Calendar& calendar) {
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

  private:
    struct Pending {
        TimedLine timed;
        std::size_t line = 0;
        // The times of a weekly meeting ("Tuesdays, 6:30 - 8:30 p.m.") hold for the days of a
        // list on that weekday, however far below.
        std::optional<Weekday> weekly{};
    };

    // The lines with content after line `from` up to line `to`: a chat's names and stamps
    // between its messages do not count.
    std::size_t apart(std::size_t from, std::size_t to) const {
        const std::size_t last = std::min(to + 1, m_contentBefore.size() - 1);
        return from + 1 < last ? m_contentBefore[last] - m_contentBefore[from + 1] : 0;
    }

    void line(std::size_t li) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        if (facts.chrome) {
            return;
        }
        if (facts.datesAreNotEvents || isLetterDate(m_text.lines, m_text.facts, li)) {
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
                m_out.push_back(Candidate{.day = m_out[*m_heading].day,
                                          .line = li,
                                          .begin = 0,
                                          .end = label,
                                          .session = true,
                                          .headingLine = m_out[*m_heading].line,
                                          .yearWritten = m_out[*m_heading].yearWritten});
                return;
            }
            // "Agenda": what follows is the programme of the event above, not events of its own.
            const auto& tokens = line.tokens;
            m_agenda = m_agenda || (!tokens.empty() && tokens[0].isWord() &&
                                    Vocabulary::isAgendaWord(tokens[0].key) && tokens.size() <= 3);
            return;
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
        const bool near =
            !m_out.empty() && apart(m_out.back().line, li) <= reach &&
            (line.block == m_text.lines[m_out.back().line].block || hasOwnTimes(line, facts)) &&
            !(opensBulletItem(line) && opensBulletItem(m_text.lines[m_out.back().line]));
        const bool spanEveryDay = near && m_out[m_lastGroup].last &&
                                  m_out.size() - m_lastGroup == 1 && saysEveryDay(line);
        if (spanEveryDay) {
            splitIntoDays(m_lastGroup, timesOf(line, facts, 0, line.tokens.size()));
            return;
        }
        // "4:00 PM     10:00 AM" under the days of "Check-in     Checkout": the stay's times, in
        // the same columns.
        if (m_stayColumns && *m_stayColumns < m_out.size() &&
            m_out[*m_stayColumns].line + 1 == li && facts.times.size() == 2) {
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
                m_out.push_back(session);
            }
            return;
        }
        TimedLine timed = timesOf(line, facts, 0, line.tokens.size());
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
        if ((m_out.empty() || weekly) && facts.dates.empty() &&
            (hasOwnTimes(line, facts) || leadsIn)) {
            m_pending = Pending{timed, li, weekly};
        }
    }

    // Whether line `li`, a day's, is the next row of the list whose last row so far is line
    // `last`: the line just below it in its block, or, where each row opens with its day ("17
    // SEPT   THE SALT ORCHARD" with what is said of the film below it), the next such line.
    bool continuesList(std::size_t last, std::size_t li) const {
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

    // "Arrives  08:35 (+1 day, Saturday 17 October)" under a leg's day: the day and time the leg
    // above arrives, not an event of its own; so on the day it left ("Arrive 07:05 (same day,
    // Saturday 12 September)"), and after its departure on the line ("Depart 14:35  Arrive 21:55
    // (+1, Saturday 19 September)").
    bool arrivalDay(std::size_t li, const std::vector<DateMention>& dates) {
        const Line& line = m_text.lines[li];
        const LineFacts& facts = m_text.facts[li];
        if (dates.size() != 1 || dates[0].last || m_out.empty() ||
            apart(m_out.back().line, li) > kReach) {
            return false;
        }
        const auto arrives =
            std::find_if(line.tokens.begin(), line.tokens.end(), [](const Token& t) {
                return t.isWord() && Vocabulary::legWord(t.key) == Vocabulary::Leg::arrives;
            });
        const auto a = static_cast<std::size_t>(arrives - line.tokens.begin());
        if (arrives == line.tokens.end() || a > dates[0].begin) {
            return false;
        }
        const auto time =
            std::find_if(facts.times.begin(), facts.times.end(), [&](const TimeMention& t) {
                return t.begin > a && t.end <= dates[0].begin;
            });
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
        // "du jeudi 1er octobre à 9h30 (accueil à partir de 9h) au vendredi 2 octobre à 16h":
        // one event from the first day and time to the second.
        const auto wordBefore = [&line](std::size_t k, std::initializer_list<std::string_view> w) {
            return k > 0 && isWordIn(&line.tokens[k - 1], w);
        };
        // "Check-in Thu 11 Jun 2026 from 3:00 pm · Check-out Sat 20 Jun 2026 by 11:00 am": a stay
        // told on one line.
        const auto checks = [&line](std::size_t k, std::string_view way) {
            return (k >= 3 && line.tokens[k - 1].isWord(way) &&
                    line.tokens[k - 3].isWord("check")) ||
                   (k >= 1 && isWordIn(&line.tokens[k - 1], {way == "in" ? "checkin" : "checkout",
                                                             way == "in" ? "anreise" : "abreise",
                                                             way == "in" ? "arrivee" : "depart"}));
        };
        const bool fromTo =
            twoDays && ReaderDays::compare(dates[0].day, dates[1].day) < 0 &&
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
            const bool series =
                std::all_of(dates.begin(), dates.end(),
                            [&dates](const DateMention& d) { return d.begin == dates[0].begin; });
            for (std::size_t k = 0; k < dates.size(); ++k) {
                Candidate c = candidateOf(dates[k], li);
                std::size_t from = k == 0 || series ? 0 : dates[k].end;
                // "The spring term ends on Thursday 25 March at 1.20pm. The Easter holiday runs
                // from Friday 26 March …": the times of a sentence about a day that is no event
                // are not those of the next sentence's day.
                if (const std::size_t own = sentenceAround(line, dates[k].begin).begin;
                    from < own &&
                    std::any_of(facts.dates.begin(), facts.dates.end(),
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
        if (m_pending && (apart(m_pending->line, li) <= kReach ||
                          (m_pending->weekly && onWeekday(*m_pending->weekly)))) {
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
        // A span that starts at a time runs on from then (a stay, a two-day seminar): a weekday
        // below names a moment in it, not one of its days.
        if (m_out.size() - group == 1 && m_out.back().last && !m_out.back().start) {
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
        m_split.insert(index);
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
    std::vector<std::size_t> m_contentBefore; // lines with content before each line
    std::vector<Candidate> m_out;
    std::set<std::size_t> m_split;        // days that head sessions or spans split into days
    std::optional<std::size_t> m_heading; // the day above the lines of a schedule
    bool m_agenda = false;                // those lines are one event's programme
    std::optional<std::size_t> m_span;
    std::optional<std::size_t> m_stayColumns; // a stay whose days stand in columns
    std::size_t m_lastGroup = 0;
    std::optional<Pending> m_pending;
    std::optional<Pending> m_listTimes; // times above a list of days, with its last line so far
};

} // namespace

std::vector<Candidate> assemble(const TextFacts& text, const ReaderDays& days, Instant now,
                                const Calendar& calendar) {
    if (callsItsEventOff(text)) {
        return {};
    }
    std::vector<Candidate> out = Assembler(text, days).run(now, calendar);
    dropCalledOffDays(text, out);
    applyNewTimes(text, out);
    applySameTimes(text, days, out);
    dropMovedDays(text, out);
    return out;
}

} // namespace plannery::reader
