#pragma once

#include "agenda/WidgetWords.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"

#include <optional>
#include <string>
#include <vector>

namespace plannery {

// What every widget face draws from: what is left of today and the days of the next two weeks
// that have events, built in one pass from merged, filtered events and the instant it is for.
// Immutable once built; a face builds a new one for every drawing.
class WidgetAgenda {
  public:
    struct Day {
        Instant day{}; // start of the day
        std::vector<CalEvent> allDay{};
        std::vector<CalEvent> timed{};

        friend bool operator==(const Day&, const Day&) = default;
    };

    // A day as a list shows it: an optional heading, the heading that repeats when the day
    // goes on in another column, its all-day then timed events, and a note when it has none.
    struct Section {
        Instant day{};
        std::optional<std::string> header{};
        std::string continuation{};
        std::vector<CalEvent> events{};
        std::optional<std::string> emptyNote{};

        friend bool operator==(const Section&, const Section&) = default;
    };

    // Today and the 13 days after it; an event starting later is not listed.
    static constexpr int horizonDays = 14;

    // The events are kept (moved in when the caller has no more use for them).
    WidgetAgenda(std::vector<CalEvent> events, Instant now, Calendar calendar,
                 WidgetWords words = {});

    Instant now() const { return m_now; }
    const Day& today() const { return m_today; }
    // Later days with at least one event, in date order.
    const std::vector<Day>& upcoming() const { return m_upcoming; }
    // Today had timed events and every one of them is over.
    bool todayIsDone() const { return m_todayIsDone; }
    const Calendar& calendar() const { return m_calendar; }
    const WidgetWords& words() const { return m_words; }

    // "Today", "Tomorrow", else the short weekday and the day ("Wed 5"), with the month when it
    // is not the month of now ("Wed, Apr 2").
    std::string label(Instant day) const;
    // "No more events today" once today's timed events are over, else "No events today".
    std::string emptyTodayNote() const;

    // The today section (no heading, its empty note), then upcomingSections().
    std::vector<Section> sections() const;
    std::vector<Section> upcomingSections() const;
    // The same, but only as far as a list of at most `events` event rows reaches: the sections
    // up to the one in which that many events are listed, and the section after it (whose label
    // and count the list may sum up). A long fortnight is not copied for a small face.
    std::vector<Section> sections(std::size_t events) const;
    // The faces close an empty list of later days with one note: "Nothing in the next two
    // weeks", dated tomorrow, with no heading.
    std::vector<Section> withClosingNote(std::vector<Section> upcoming) const;
    // Today's timed events, then those of each later day.
    std::vector<CalEvent> nextTimedEvents() const;

    // What a screen reader says for an event: "Title, all day", "Title, now until 10:00 AM" or
    // "Title at 9:30 AM".
    std::string describe(const CalEvent& event) const;
    // The date, today's note when today is empty, then the first `limit` events described,
    // section by section behind their headings; sentences joined with ". ".
    std::string accessibilitySummary(int limit) const;

    // The list orders: all-day events first, then by start; or by start, all-day first at equal
    // starts. Then longer first, titles in the locale's numeric-aware order, and identifiers.
    static bool allDayOrder(const CalEvent& a, const CalEvent& b, const Calendar& calendar);
    static bool timedOrder(const CalEvent& a, const CalEvent& b, const Calendar& calendar);

  private:
    Section sectionOf(const Day& day, std::optional<std::string> header,
                      std::string continuation) const;
    Section todaySection() const;
    bool isTomorrow(Instant dayStart) const;

    Instant m_now{};
    Calendar m_calendar;
    WidgetWords m_words;
    Day m_today{};
    std::vector<Day> m_upcoming{};
    bool m_todayIsDone = false;
    Instant m_tomorrow{};
};

} // namespace plannery
