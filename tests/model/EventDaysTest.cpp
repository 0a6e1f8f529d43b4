#include "model/EventDays.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace plannery {
namespace {

using test::at;

CalEvent event(const std::string& title, Instant start, Instant end, bool allDay = false) {
    return CalEvent{.id = title + "|" + std::to_string(start.seconds),
                    .eventIdentifier = title,
                    .title = title,
                    .start = start,
                    .end = end,
                    .isAllDay = allDay,
                    .calendars = {CalendarRef{.id = "c", .title = "C"}}};
}

std::vector<std::string> titles(const std::vector<const CalEvent*>& events) {
    std::vector<std::string> result;
    for (const CalEvent* shown : events) {
        result.push_back(shown->title);
    }
    return result;
}

class EventDaysTest : public ::testing::Test {
  protected:
    const Calendar calendar = test::berlin();
    Instant day(int d, int hour = 0) const { return at(calendar, 2026, 3, d, hour); }
    std::vector<Instant> days(int first, int last) const {
        std::vector<Instant> result;
        for (int d = first; d <= last; ++d) {
            result.push_back(day(d));
        }
        return result;
    }
};

TEST_F(EventDaysTest, EachDayListsTheEventsCoveringItInDisplayOrder) {
    // In display order as the fetcher gives them; spans reach before, into and past the days.
    const EventDays byDay(
        {event("Trip", day(1), day(12), true), event("Earlier", day(2), day(5)),
         event("Standup", day(10, 9), day(10, 10)), event("Night", day(11, 23), day(12, 1)),
         event("Ends at midnight", day(10, 20), day(11)), event("Later", day(20), day(21))},
        days(10, 13), calendar);
    using Titles = std::vector<std::string>;
    const std::vector<Titles> expected = {
        {"Trip", "Standup", "Ends at midnight"}, {"Trip", "Night"}, {"Night"}, {}};
    std::vector<Titles> walked;
    std::vector<Instant> walkedDays;
    byDay.forEachDay([&](Instant d, const std::vector<const CalEvent*>& events) {
        walkedDays.push_back(d);
        walked.push_back(titles(events));
        // The walk hands out the same shared events as a single day's list.
        EXPECT_EQ(events, byDay.on(d));
    });
    EXPECT_EQ(walkedDays, days(10, 13));
    EXPECT_EQ(walked, expected);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(titles(byDay.on(byDay.days()[i])), expected[i]) << i;
    }
    // An instant that is not one of the days has no list.
    EXPECT_TRUE(byDay.on(day(10, 12)).empty());
    EXPECT_TRUE(byDay.on(day(14)).empty());
    // Held once: the days refer to the same event.
    EXPECT_EQ(byDay.on(day(10)).front(), byDay.on(day(11)).front());
    EXPECT_EQ(byDay.on(day(10)).front(), &byDay.events().front());

    // No days, no events.
    EventDays none;
    int visits = 0;
    none.forEachDay([&](Instant, const std::vector<const CalEvent*>&) { ++visits; });
    EXPECT_EQ(visits, 0);
    EXPECT_TRUE(none.empty());
}

TEST_F(EventDaysTest, LongEventsRepeatingDailyAreCountedNotCopied) {
    // A hundred occurrences, each a hundred days long, one a day from midnight to midnight: every
    // day of the walk lists the occurrences begun on it and the 99 days before, in order.
    std::vector<CalEvent> events;
    for (int i = 0; i < 100; ++i) {
        const Instant start = *calendar.addDays(day(1), i);
        events.push_back(event("Long " + std::to_string(i), start, *calendar.addDays(start, 100)));
    }
    std::vector<Instant> range;
    for (int i = 0; i < 250; ++i) {
        range.push_back(*calendar.addDays(day(1), i));
    }
    const EventDays byDay(std::move(events), range, calendar);
    EXPECT_EQ(byDay.events().size(), 100u);
    std::size_t listed = 0;
    int index = 0;
    byDay.forEachDay([&](Instant, const std::vector<const CalEvent*>& list) {
        const int first = std::max(0, index - 99);
        const int last = std::min(99, index);
        ASSERT_EQ(list.size(), static_cast<std::size_t>(std::max(0, last - first + 1))) << index;
        for (std::size_t k = 0; k < list.size(); ++k) {
            EXPECT_EQ(list[k], &byDay.events()[static_cast<std::size_t>(first) + k]);
        }
        listed += list.size();
        ++index;
    });
    EXPECT_EQ(index, 250);
    EXPECT_EQ(listed, 100u * 100u);
}

TEST_F(EventDaysTest, DaysThatDoNotFollowEachOtherListOnlyWhatCoversThem) {
    // As the find command lists only the days its suggestions fall on: an event in a gap between
    // two listed days is on neither, and the day of the clock change (23 hours) ends at its own
    // midnight, not 24 hours after the last.
    const EventDays byDay({event("In the gap", day(11, 10), day(11, 11)),
                           event("Spans the gap", day(11, 20), day(12, 2)),
                           event("Late on the short day", day(29, 23), day(29, 23)),
                           event("Just after midnight", day(30).plus(1800), day(30, 1)),
                           event("After the last day", day(31, 9), day(31, 10))},
                          {day(10), day(12), day(29), day(30)}, calendar);
    using Titles = std::vector<std::string>;
    std::vector<Titles> walked;
    byDay.forEachDay([&](Instant, const std::vector<const CalEvent*>& events) {
        walked.push_back(titles(events));
    });
    EXPECT_EQ(walked,
              (std::vector<Titles>{
                  {}, {"Spans the gap"}, {"Late on the short day"}, {"Just after midnight"}}));
}

} // namespace
} // namespace plannery
