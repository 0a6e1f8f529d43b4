#include "TestSupport.h"

#include "agenda/AgendaSections.h"

#include <gtest/gtest.h>

#include <map>

namespace plannery {
namespace {

using test::at;

CalEvent event(const std::string& id, Instant start, Instant end) {
    return CalEvent{.id = id,
                    .title = id,
                    .start = start,
                    .end = end,
                    .calendars = {CalendarRef{.id = "c", .rgb = RGB{1, 0, 0}}}};
}

// Every day from `from` up to `to`, with the events given for some of them (one each).
std::vector<AgendaDay> daysOf(const Calendar& cal, Instant from, Instant to,
                              const std::vector<Instant>& busy) {
    std::map<Instant, AgendaEvents> events;
    for (const Instant day : busy) {
        events[day] = std::make_shared<const std::vector<CalEvent>>(std::vector<CalEvent>{
            event(std::to_string(day.seconds), day.plus(3600), day.plus(7200))});
    }
    std::vector<AgendaDay> days;
    for (Instant day = from; day < to; day = *cal.addDays(day, 1)) {
        const auto it = events.find(day);
        days.push_back(AgendaDay{.day = day, .events = it == events.end() ? nullptr : it->second});
    }
    return days;
}

std::vector<Instant> daysShown(const std::vector<AgendaSection>& sections) {
    std::vector<Instant> days;
    for (const AgendaSection& section : sections) {
        days.push_back(section.day);
    }
    return days;
}

TEST(AgendaSections, WithoutEventsTheFirstDayAndTodayStillShow) {
    const Calendar cal = test::berlin();
    const Instant start = at(cal, 2026, 3, 1);
    const auto days = daysOf(cal, start, at(cal, 2026, 6, 1), {});
    const Instant now = at(cal, 2026, 3, 11, 10, 30);

    const auto sections = AgendaSections::shown(days, start, now, cal);
    ASSERT_EQ(daysShown(sections), (std::vector<Instant>{start, at(cal, 2026, 3, 11)}));
    for (const AgendaSection& section : sections) {
        ASSERT_NE(section.events, nullptr); // a day without a list reads as an empty one
        EXPECT_TRUE(section.isEmpty());
    }
    EXPECT_TRUE(sections[0].showMonth);
    EXPECT_FALSE(sections[1].showMonth); // still March

    // Today outside the range, and a range that starts mid-day: only the first day.
    EXPECT_EQ(
        daysShown(AgendaSections::shown(days, start.plus(5 * 3600), at(cal, 2027, 1, 1), cal)),
        std::vector<Instant>{start});
    EXPECT_TRUE(AgendaSections::shown({}, start, now, cal).empty());
}

TEST(AgendaSections, MonthHeadingsComeWithTheFirstDayAndEachNewMonth) {
    const Calendar cal = test::berlin();
    const Instant start = at(cal, 2026, 1, 30);
    // 30 Jan is empty but first; 31 Jan busy; then nothing until 10 March (February is skipped
    // altogether), then 20 March and 2 April.
    const auto days = daysOf(
        cal, start, at(cal, 2026, 5, 1),
        {at(cal, 2026, 1, 31), at(cal, 2026, 3, 10), at(cal, 2026, 3, 20), at(cal, 2026, 4, 2)});
    const auto sections = AgendaSections::shown(days, start, at(cal, 2025, 1, 1), cal);
    ASSERT_EQ(daysShown(sections),
              (std::vector<Instant>{start, at(cal, 2026, 1, 31), at(cal, 2026, 3, 10),
                                    at(cal, 2026, 3, 20), at(cal, 2026, 4, 2)}));
    std::vector<bool> headings;
    for (const AgendaSection& section : sections) {
        headings.push_back(section.showMonth);
        EXPECT_EQ(section.isEmpty(), section.day == start);
    }
    EXPECT_EQ(headings, (std::vector<bool>{true, false, true, false, true}));

    // The same month a year later, across a gap of empty days, is a new month.
    const auto yearApart =
        daysOf(cal, at(cal, 2026, 3, 5), at(cal, 2027, 3, 31), {at(cal, 2027, 3, 5)});
    const auto apart = AgendaSections::shown(yearApart, at(cal, 2026, 3, 5), Instant{}, cal);
    ASSERT_EQ(apart.size(), 2u);
    EXPECT_TRUE(apart[1].showMonth);
}

TEST(AgendaSections, AnAnchorScrollsToTheFirstBusyDayOrTodayOnOrAfterIt) {
    const Calendar cal = test::berlin();
    const Instant start = at(cal, 2026, 3, 1);
    const auto days =
        daysOf(cal, start, at(cal, 2026, 4, 1), {at(cal, 2026, 3, 5), at(cal, 2026, 3, 20)});
    const Instant now = at(cal, 2026, 3, 11, 10, 30);
    const auto target = [&](Instant day) {
        return AgendaSections::scrollTarget(days, day, now, cal);
    };
    EXPECT_EQ(target(at(cal, 2026, 3, 5, 14)), at(cal, 2026, 3, 5)); // the anchor's own day
    EXPECT_EQ(target(at(cal, 2026, 3, 6)), at(cal, 2026, 3, 11));    // today comes next
    EXPECT_EQ(target(at(cal, 2026, 3, 12)), at(cal, 2026, 3, 20));
    // Nothing on or after it: the last candidate.
    EXPECT_EQ(target(at(cal, 2026, 3, 25)), at(cal, 2026, 3, 20));
    // The empty first day is shown but is no target: the first busy day is.
    EXPECT_EQ(target(start), at(cal, 2026, 3, 5));

    // No events and today elsewhere: no target at all.
    const auto empty = daysOf(cal, start, at(cal, 2026, 4, 1), {});
    EXPECT_EQ(AgendaSections::scrollTarget(empty, start, at(cal, 2027, 1, 1), cal), std::nullopt);
    EXPECT_EQ(AgendaSections::scrollTarget(empty, at(cal, 2026, 3, 30), now, cal),
              at(cal, 2026, 3, 11));
}

TEST(AgendaSections, IndexAtOrAfterADay) {
    const Calendar cal = test::berlin();
    const Instant start = at(cal, 2026, 3, 1);
    const auto days = daysOf(cal, start, at(cal, 2026, 4, 1), {at(cal, 2026, 3, 10)});
    const auto sections = AgendaSections::shown(days, start, at(cal, 2026, 3, 20, 9), cal);
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(AgendaSections::indexAtOrAfter(sections, start), 0u);
    EXPECT_EQ(AgendaSections::indexAtOrAfter(sections, at(cal, 2026, 3, 10)), 1u);
    EXPECT_EQ(AgendaSections::indexAtOrAfter(sections, at(cal, 2026, 3, 11)), 2u);
    EXPECT_EQ(AgendaSections::indexAtOrAfter(sections, at(cal, 2026, 2, 1)), 0u);
    EXPECT_EQ(AgendaSections::indexAtOrAfter(sections, at(cal, 2026, 5, 1)), 2u); // the last
    EXPECT_EQ(AgendaSections::indexAtOrAfter({}, start), std::nullopt);
}

} // namespace
} // namespace plannery
