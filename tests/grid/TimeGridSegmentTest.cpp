#include "grid/TimeGridSegment.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

CalEvent timed(std::string id, Instant start, Instant end) {
    return CalEvent{.id = std::move(id),
                    .title = "Event",
                    .start = start,
                    .end = end,
                    .calendars = {CalendarRef{.id = "work", .title = "Work"}}};
}

struct Expected {
    std::string id;
    double startMinute;
    double endMinute;
    bool continuesBefore;
    bool continuesAfter;
};

void expectSegments(const std::vector<TimeGridSegment>& segments,
                    const std::vector<Expected>& expected, const std::string& name) {
    ASSERT_EQ(segments.size(), expected.size()) << name;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const TimeGridSegment& s = segments[i];
        const Expected& e = expected[i];
        EXPECT_EQ(s.event.id, e.id) << name;
        EXPECT_DOUBLE_EQ(s.startMinute, e.startMinute) << name << " " << e.id;
        EXPECT_DOUBLE_EQ(s.endMinute, e.endMinute) << name << " " << e.id;
        EXPECT_EQ(s.continuesBefore, e.continuesBefore) << name << " " << e.id;
        EXPECT_EQ(s.continuesAfter, e.continuesAfter) << name << " " << e.id;
    }
}

TEST(TimeGridSegmentTest, EventsAcrossAndAtMidnight) {
    const Calendar cal = test::berlin();
    const auto at = [&](int d, int h, int m = 0) { return test::at(cal, 2026, 3, d, h, m); };
    const std::vector<CalEvent> events = {
        timed("night", at(10, 22), at(11, 2)),
        timed("toMidnight", at(10, 22), at(11, 0)),
        timed("zeroAtOwnMidnight", at(10, 0), at(10, 0)),
        timed("zeroAtNextMidnight", at(11, 0), at(11, 0)),
        timed("endsAtOwnMidnight", at(9, 20), at(10, 0)),
        timed("withSeconds", at(10, 10).plus(30), at(10, 11)),
        timed("endBeforeStart", at(10, 12), at(10, 11)),
        [&] {
            CalEvent allDay = timed("allDay", at(10, 0), at(11, 0));
            allDay.isAllDay = true;
            return allDay;
        }(),
    };
    // Any instant of the day names the day.
    expectSegments(TimeGridSegment::segments(events, at(10, 15), cal),
                   {
                       {"night", 1320, 1440, false, true},
                       {"toMidnight", 1320, 1440, false, false},
                       {"zeroAtOwnMidnight", 0, 0, false, false},
                       {"withSeconds", 600.5, 660, false, false},
                       {"endBeforeStart", 720, 720, false, false},
                   },
                   "10 March");
    expectSegments(TimeGridSegment::segments(events, at(11, 0), cal),
                   {
                       {"night", 0, 120, true, false},
                       {"zeroAtNextMidnight", 0, 0, false, false},
                   },
                   "11 March");
    EXPECT_TRUE(TimeGridSegment::segments({}, at(10, 0), cal).empty());
}

TEST(TimeGridSegmentTest, MinutesFollowTheWallClockOnDaysWithAClockChange) {
    const Calendar cal = test::berlin();
    // 29 March 2026 has 23 hours: the clock jumps from 02:00 to 03:00.
    const auto march = [&](int d, int h, int m = 0) { return test::at(cal, 2026, 3, d, h, m); };
    const Instant spring = march(29, 12);
    expectSegments(TimeGridSegment::segments(
                       {
                           timed("acrossTheJump", march(29, 1, 30), march(29, 3, 30)),
                           timed("wholeDay", march(29, 0), march(30, 0)),
                           timed("evening", march(29, 23), march(30, 1)),
                       },
                       spring, cal),
                   {
                       {"acrossTheJump", 90, 210, false, false},
                       {"wholeDay", 0, 1440, false, false},
                       {"evening", 1380, 1440, false, true},
                   },
                   "23-hour day");

    // 25 October 2026 has 25 hours: 02:00-03:00 happens twice. An hour from the first 02:30 to
    // the second shows no length on the wall clock.
    const auto october = [&](int d, int h, int m = 0) { return test::at(cal, 2026, 10, d, h, m); };
    const Instant firstTwoThirty = october(25, 2, 30);
    const Instant secondTwoThirty = firstTwoThirty.plus(3600);
    expectSegments(TimeGridSegment::segments(
                       {
                           timed("repeatedHour", firstTwoThirty, secondTwoThirty),
                           timed("wholeDay", october(25, 0), october(26, 0)),
                           timed("late", october(25, 23), october(25, 23, 30)),
                       },
                       october(25, 12), cal),
                   {
                       {"repeatedHour", 150, 150, false, false},
                       {"wholeDay", 0, 1440, false, false},
                       {"late", 1380, 1410, false, false},
                   },
                   "25-hour day");

    // A zone whose clock skipped midnight: the day starts at 01:00, which is minute 60.
    const Calendar saoPaulo = test::calendarIn("America/Sao_Paulo");
    const Instant one = test::at(saoPaulo, 2018, 11, 4, 1);
    expectSegments(
        TimeGridSegment::segments({timed("early", one, one.plus(3600))}, one.plus(7200), saoPaulo),
        {{"early", 60, 120, false, false}}, "day starting at 01:00");
}

TEST(TimeGridSegmentTest, EventsLongerThanAWeek) {
    const Calendar cal = test::berlin();
    // Ten days across the 23-hour day of 29 March: every middle day is covered completely.
    const CalEvent trip =
        timed("trip", test::at(cal, 2026, 3, 25, 10), test::at(cal, 2026, 4, 3, 12));
    const auto dayOf = [&](int month, int d) {
        return TimeGridSegment::segments({trip}, test::at(cal, 2026, month, d, 12), cal);
    };
    expectSegments(dayOf(3, 25), {{"trip", 600, 1440, false, true}}, "first day");
    for (int d = 26; d <= 31; ++d) {
        expectSegments(dayOf(3, d), {{"trip", 0, 1440, true, true}}, "March " + std::to_string(d));
    }
    expectSegments(dayOf(4, 1), {{"trip", 0, 1440, true, true}}, "1 April");
    expectSegments(dayOf(4, 3), {{"trip", 0, 720, true, false}}, "last day");
    EXPECT_TRUE(dayOf(3, 24).empty());
    EXPECT_TRUE(dayOf(4, 4).empty());
}

} // namespace
} // namespace plannery
