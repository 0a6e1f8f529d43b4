#include "TestSupport.h"

#include "grid/FourWeeksCell.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

using test::at;
namespace Cell = FourWeeksCell;

CalEvent event(const std::string& title, Instant start, Instant end, bool allDay = false) {
    return CalEvent{.id = title,
                    .title = title,
                    .start = start,
                    .end = end,
                    .isAllDay = allDay,
                    .calendars = {CalendarRef{.id = "c", .rgb = RGB{1, 0, 0}}}};
}

TEST(FourWeeksCell, RowsThatFitAndTheOverflowRow) {
    EXPECT_EQ(Cell::rowSlots(80), 3); // (80 − 22 − 2) / 15 = 3.7
    EXPECT_EQ(Cell::rowSlots(39), 1);
    EXPECT_EQ(Cell::rowSlots(38.9), 0);
    EXPECT_EQ(Cell::rowSlots(10), 0);
    EXPECT_EQ(Cell::rowSlots(NAN), 0);

    EXPECT_EQ(Cell::fit(5, 80), (Cell::Fit{.chips = 2, .overflow = 3}));
    EXPECT_EQ(Cell::fit(3, 80), (Cell::Fit{.chips = 3, .overflow = 0}));
    EXPECT_EQ(Cell::fit(4, 80), (Cell::Fit{.chips = 2, .overflow = 2}));
    // One row and two events: the row says "+2" rather than show one of them.
    EXPECT_EQ(Cell::fit(2, 40), (Cell::Fit{.chips = 0, .overflow = 2}));
    // No room for a single row: no chips, and the overflow counts every event.
    EXPECT_EQ(Cell::fit(4, 30), (Cell::Fit{.chips = 0, .overflow = 4}));
    EXPECT_EQ(Cell::fit(0, 30), (Cell::Fit{.chips = 0, .overflow = 0}));
    EXPECT_EQ(Cell::overflowText(3), "+3");
}

TEST(FourWeeksCell, DateRowMarksMonthsTodayAndThePast) {
    const Calendar cal = test::berlin();
    const Instant pageStart = at(cal, 2026, 3, 9);
    const Instant now = at(cal, 2026, 3, 11, 10, 30);

    const auto first = Cell::dateRow(pageStart, pageStart, now, cal);
    EXPECT_EQ(first.month, "Mar");
    EXPECT_EQ(first.number, "9");
    EXPECT_TRUE(first.bold);
    EXPECT_TRUE(first.isPast);
    EXPECT_TRUE(first.monthDimmed);
    EXPECT_EQ(first.numberColor, ColorRole::secondaryLabel);

    const auto ordinary = Cell::dateRow(at(cal, 2026, 3, 12), pageStart, now, cal);
    EXPECT_EQ(ordinary.month, "");
    EXPECT_FALSE(ordinary.bold);
    EXPECT_FALSE(ordinary.isPast);
    EXPECT_EQ(ordinary.numberColor, ColorRole::label);

    const auto april = Cell::dateRow(at(cal, 2026, 4, 1), pageStart, now, cal);
    EXPECT_EQ(april.month, "Apr");
    EXPECT_EQ(april.number, "1");
    EXPECT_TRUE(april.bold);
    EXPECT_FALSE(april.monthDimmed);

    const auto today = Cell::dateRow(at(cal, 2026, 3, 11), pageStart, now, cal);
    EXPECT_TRUE(today.todayCircle);
    EXPECT_TRUE(today.bold);
    EXPECT_FALSE(today.isPast);
    EXPECT_EQ(today.numberColor, ColorRole::white);

    // At midnight the new day is today and the one before is past.
    const Instant midnight = at(cal, 2026, 3, 12);
    EXPECT_TRUE(Cell::dateRow(at(cal, 2026, 3, 11), pageStart, midnight, cal).isPast);
    EXPECT_TRUE(Cell::dateRow(midnight, pageStart, midnight, cal).todayCircle);
}

TEST(FourWeeksCell, ScreenReaderTextCountsEventsAndReadsThreeTitles) {
    const Calendar cal = test::berlin();
    const Instant day = at(cal, 2026, 3, 9);
    const Instant nine = at(cal, 2026, 3, 9, 9);
    EXPECT_EQ(Cell::accessibilityText(day, false, {}, cal), "Monday, March 9");
    EXPECT_EQ(Cell::accessibilityText(day, true, {}, cal), "Monday, March 9, today");
    EXPECT_EQ(Cell::accessibilityText(day, false, {event("Standup", nine, nine)}, cal),
              "Monday, March 9, 1 event: Standup");
    const std::vector<CalEvent> five = {event("A", nine, nine), event("B", nine, nine),
                                        event("C", nine, nine), event("D", nine, nine),
                                        event("E", nine, nine)};
    EXPECT_EQ(Cell::accessibilityText(day, true, five, cal),
              "Monday, March 9, today, 5 events: A, B, C");
    EXPECT_EQ(Cell::accessibilityIdentifier(at(cal, 2026, 3, 9, 18), cal),
              "fourWeeksDay-2026-03-09");
}

TEST(FourWeeksCell, ChipStyleOfAllDayTimedDeclinedAndCancelledEvents) {
    const Calendar cal = test::berlin();
    const Instant now = at(cal, 2026, 3, 11, 12);
    const CalEvent over = event("Over", at(cal, 2026, 3, 11, 9), at(cal, 2026, 3, 11, 10));
    const CalEvent running = event("Running", at(cal, 2026, 3, 11, 11), at(cal, 2026, 3, 11, 13));
    const CalEvent allDay = event("Trip", at(cal, 2026, 3, 10), at(cal, 2026, 3, 11), true);

    EXPECT_EQ(Cell::chipStyle(over, now), (Cell::ChipStyle{.opacity = 0.6}));
    EXPECT_EQ(Cell::chipStyle(running, now), (Cell::ChipStyle{.opacity = 1}));
    // An all-day event that is over keeps its full strength and sits on a tint.
    EXPECT_EQ(Cell::chipStyle(allDay, now),
              (Cell::ChipStyle{.semibold = true, .background = true, .opacity = 1}));

    CalEvent declined = allDay;
    declined.isDeclined = true;
    EXPECT_DOUBLE_EQ(Cell::chipStyle(declined, now).opacity, 0.45);
    CalEvent cancelled = running;
    cancelled.isCanceled = true;
    EXPECT_TRUE(Cell::chipStyle(cancelled, now).strikeThrough);
}

} // namespace
} // namespace plannery
