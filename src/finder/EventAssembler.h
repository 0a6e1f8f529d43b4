#pragma once

#include "finder/EventAssembly.h"
#include "finder/ScheduleLines.h"
#include "finder/TextFacts.h"

#include <optional>
#include <set>
#include <vector>

namespace plannery::reader {

// Whether a line has times outside brackets: "JULY 2   Plymouth Community Band (+ kids' petting
// zoo at 6:15)" has none of its own.
bool hasOwnTimes(const Line& line, const LineFacts& facts);

// The walk down a text's lines that makes events of the days written as events, keeping what
// the lines above left open: the day that heads a schedule, a span whose days a weekday below
// names, times said once above a list of days.
class Assembler {
  public:
    Assembler(const TextFacts& text, const ReaderDays& days);

    // The events of the whole text, joined, paired, given their lengths and chosen.
    std::vector<Candidate> run(Instant now, const Calendar& calendar);

  private:
    struct Pending {
        TimedLine timed;
        std::size_t line = 0;
        // The times of a weekly meeting ("Tuesdays, 6:30 - 8:30 p.m.") hold for the days of a
        // list on that weekday, however far below.
        std::optional<Weekday> weekly{};
    };

    std::size_t apart(std::size_t from, std::size_t to) const;
    // The weekday a labelled line gives a course's meetings, above the label of its first day.
    std::optional<Weekday> meetingDay(std::size_t li) const;
    // What one line adds: its days, a schedule's session, times for the days around it.
    void line(std::size_t li);
    // The span at `index` as one event on each of its days, or only on those of `weekday`.
    void splitIntoDays(std::size_t index, const TimedLine& timed,
                       std::optional<Weekday> weekday = std::nullopt);
    // Whether a session starting at `start` comes after midnight of its day's schedule.
    bool afterMidnight(ClockTime start) const;

    // The day a mention names if it is an event's, else none.
    std::optional<DateMention> eventDate(const DateMention& d, std::size_t li);
    bool laterMessageHasTime(std::size_t li) const;
    bool nextLineHasTime(const Line& line) const;
    bool arrivalDay(std::size_t li, const std::vector<DateMention>& dates);
    bool continuesList(std::size_t last, std::size_t li) const;
    // "du LUNDI 15 JUIN 2026 à 8h00" over "au VENDREDI 19 JUIN 2026 à 17h00": a span told over
    // two lines, whose second ends the event of the first.
    bool endsSpanAbove(std::size_t li, const std::vector<DateMention>& dates);
    // The events of a line with days, each with the times that go with it.
    void datedLine(std::size_t li, const std::vector<DateMention>& dates);
    Candidate candidateOf(const DateMention& d, std::size_t li) const;

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

} // namespace plannery::reader
