#include "grid/ViewMode.h"

#include "TestSupport.h"
#include "grid/FourWeeksPages.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using ViewModes::dayOnScreen;
using ViewModes::defaultNewEventStart;
using ViewModes::interval;
using ViewModes::paged;

TEST(ViewModeTest, NamesSymbolsStepsAndStoredText) {
    const struct {
        ViewMode mode;
        const char* raw;
        const char* title;
        const char* symbol;
        int step;
    } table[] = {
        {ViewMode::agenda, "agenda", "Agenda", "list.bullet", 7},
        {ViewMode::day, "day", "Day", "1.square", 1},
        {ViewMode::threeDay, "threeDay", "3 Day", "3.square", 3},
        {ViewMode::workWeek, "workWeek", "5 Day", "5.square", 7},
        {ViewMode::week, "week", "Week", "7.square", 7},
        {ViewMode::fourWeeks, "fourWeeks", "4 Weeks", "calendar", 28},
    };
    ASSERT_EQ(std::size(table), ViewModes::all.size());
    for (std::size_t i = 0; i < std::size(table); ++i) {
        const auto& row = table[i];
        EXPECT_EQ(ViewModes::all[i], row.mode) << "picker order at " << i;
        EXPECT_EQ(ViewModes::rawValue(row.mode), row.raw);
        EXPECT_EQ(ViewModes::fromRawValue(row.raw), row.mode) << row.raw;
        EXPECT_EQ(ViewModes::title(row.mode, 5), row.title) << row.raw;
        EXPECT_EQ(ViewModes::symbolName(row.mode, 5), row.symbol) << row.raw;
        EXPECT_EQ(ViewModes::pageStepDays(row.mode), row.step) << row.raw;
    }
    // A six-day working week names the work-week mode after its six days.
    EXPECT_EQ(ViewModes::title(ViewMode::workWeek, 6), "6 Day");
    EXPECT_EQ(ViewModes::symbolName(ViewMode::workWeek, 6), "6.square");
    for (const char* stranger : {"", "Week", "four_weeks", "week ", "3day"}) {
        EXPECT_EQ(ViewModes::fromRawValue(stranger), std::nullopt) << stranger;
    }
    EXPECT_EQ(ViewModes::defaultMode, ViewMode::threeDay);

    EXPECT_EQ(ViewModes::gridSpan(ViewMode::day), TimeGridSpan::days(1));
    EXPECT_EQ(ViewModes::gridSpan(ViewMode::threeDay), TimeGridSpan::days(3));
    EXPECT_EQ(ViewModes::gridSpan(ViewMode::workWeek), TimeGridSpan::workWeek());
    EXPECT_EQ(ViewModes::gridSpan(ViewMode::week), TimeGridSpan::week());
    EXPECT_EQ(ViewModes::gridSpan(ViewMode::agenda), std::nullopt);
    EXPECT_EQ(ViewModes::gridSpan(ViewMode::fourWeeks), std::nullopt);
}

TEST(ViewModeTest, IntervalsStartAtTheAnchorsDayAndTheFourWeeksAtItsPage) {
    const Calendar berlin = test::berlin();
    // Thursday afternoon, 26 March 2026; Berlin's clocks go forward early on Sunday the 29th.
    const Instant anchor = test::at(berlin, 2026, 3, 26, 15, 40);
    const Instant day = test::at(berlin, 2026, 3, 26);

    EXPECT_EQ(interval(ViewMode::agenda, anchor, berlin),
              (DateInterval{day, test::at(berlin, 2026, 3, 27)}));
    EXPECT_EQ(interval(ViewMode::day, anchor, berlin),
              (DateInterval{day, test::at(berlin, 2026, 3, 27)}));
    EXPECT_EQ(interval(ViewMode::threeDay, anchor, berlin),
              (DateInterval{day, test::at(berlin, 2026, 3, 29)}));
    // The week modes count seven days from the anchor, not from the week's start; across the
    // clock change those seven days are one hour short of 7 × 24 hours.
    const DateInterval week = interval(ViewMode::week, anchor, berlin);
    EXPECT_EQ(week, (DateInterval{day, test::at(berlin, 2026, 4, 2)}));
    EXPECT_EQ(week.end.since(week.start), 7 * 86400.0 - 3600.0);
    EXPECT_EQ(interval(ViewMode::workWeek, anchor, berlin), week);
    // The four weeks show the pager's page: from Monday 23 March for 28 days.
    const DateInterval page = interval(ViewMode::fourWeeks, anchor, berlin);
    EXPECT_EQ(page, (DateInterval{test::at(berlin, 2026, 3, 23), test::at(berlin, 2026, 4, 20)}));
    EXPECT_EQ(page, FourWeeksPages::interval(anchor, berlin));

    const Instant nowhere{std::nan("")};
    const DateInterval empty = interval(ViewMode::week, nowhere, berlin);
    EXPECT_FALSE(empty.start < empty.end);
}

TEST(ViewModeTest, PagesMoveTheAnchorsDayByTheModesStep) {
    const Calendar berlin = test::berlin();
    const Instant anchor = test::at(berlin, 2026, 3, 26, 15, 40);
    EXPECT_EQ(paged(ViewMode::fourWeeks, anchor, 1, berlin), test::at(berlin, 2026, 4, 23));
    EXPECT_EQ(paged(ViewMode::agenda, anchor, 1, berlin), test::at(berlin, 2026, 4, 2));
    EXPECT_EQ(paged(ViewMode::workWeek, anchor, -1, berlin), test::at(berlin, 2026, 3, 19));
    EXPECT_EQ(paged(ViewMode::week, anchor, 2, berlin), test::at(berlin, 2026, 4, 9));
    EXPECT_EQ(paged(ViewMode::threeDay, anchor, 1, berlin), test::at(berlin, 2026, 3, 29));
    EXPECT_EQ(paged(ViewMode::day, anchor, -1, berlin), test::at(berlin, 2026, 3, 25));
    EXPECT_EQ(paged(ViewMode::day, anchor, 0, berlin), test::at(berlin, 2026, 3, 26));
    // Dates no calendar can form leave the anchor alone.
    EXPECT_EQ(paged(ViewMode::fourWeeks, anchor, 2'000'000'000, berlin), std::nullopt);
    EXPECT_EQ(paged(ViewMode::day, Instant{std::nan("")}, 1, berlin), std::nullopt);
}

TEST(ViewModeTest, TheWorkWeekLeavesOutTheLocalesWeekend) {
    const Calendar berlin = test::berlin();
    const Instant saturday = test::at(berlin, 2026, 3, 7);
    const Instant wednesday = test::at(berlin, 2026, 3, 4);
    EXPECT_FALSE(ViewModes::showsDay(ViewMode::workWeek, saturday, berlin));
    EXPECT_FALSE(ViewModes::showsDay(ViewMode::workWeek, saturday.plus(20 * 3600), berlin));
    EXPECT_TRUE(ViewModes::showsDay(ViewMode::workWeek, wednesday, berlin));
    for (const ViewMode mode : ViewModes::all) {
        if (mode != ViewMode::workWeek) {
            EXPECT_TRUE(ViewModes::showsDay(mode, saturday, berlin)) << ViewModes::rawValue(mode);
        }
    }
    // Where the weekend is Friday and Saturday, Sunday is a working day.
    const Calendar israel = Calendar::make("Asia/Jerusalem", "he_IL").value();
    const Instant sunday = israel.date(2026, 3, 8).value();
    const Instant friday = israel.date(2026, 3, 6).value();
    EXPECT_TRUE(ViewModes::showsDay(ViewMode::workWeek, sunday, israel));
    EXPECT_FALSE(ViewModes::showsDay(ViewMode::workWeek, friday, israel));
}

TEST(ViewModeTest, TheDayOnScreenIsTodayOnlyWhenTodayIsShown) {
    const Calendar berlin = test::berlin();
    const Instant monday = test::at(berlin, 2026, 3, 2);
    const Instant wednesdayNoon = test::at(berlin, 2026, 3, 4, 12);
    const Instant wednesday = test::at(berlin, 2026, 3, 4);
    const Instant saturdayNoon = test::at(berlin, 2026, 3, 7, 12);

    EXPECT_EQ(dayOnScreen(ViewMode::week, monday, wednesdayNoon, berlin), wednesday);
    EXPECT_EQ(dayOnScreen(ViewMode::threeDay, monday, wednesdayNoon, berlin), wednesday);
    // The end of the interval is not on screen.
    EXPECT_EQ(dayOnScreen(ViewMode::day, monday, wednesdayNoon, berlin), monday);
    EXPECT_EQ(
        dayOnScreen(ViewMode::threeDay, monday.plus(3600), test::at(berlin, 2026, 3, 5), berlin),
        monday);
    // The work week has no column for Saturday: the anchor's day stays the one in view.
    EXPECT_EQ(dayOnScreen(ViewMode::workWeek, monday, saturdayNoon, berlin), monday);
    EXPECT_EQ(dayOnScreen(ViewMode::week, monday, saturdayNoon, berlin),
              test::at(berlin, 2026, 3, 7));
    // The agenda's interval is the anchor's one day.
    EXPECT_EQ(dayOnScreen(ViewMode::agenda, wednesday.plus(3600), wednesdayNoon, berlin),
              wednesday);
    EXPECT_EQ(dayOnScreen(ViewMode::agenda, monday, wednesdayNoon, berlin), monday);
    // The four weeks show the page from the anchor's Monday (23 March) to 19 April.
    EXPECT_EQ(
        dayOnScreen(ViewMode::fourWeeks, test::at(berlin, 2026, 3, 25), wednesdayNoon, berlin),
        test::at(berlin, 2026, 3, 25));
    EXPECT_EQ(dayOnScreen(ViewMode::fourWeeks, test::at(berlin, 2026, 3, 25),
                          test::at(berlin, 2026, 3, 23, 9), berlin),
              test::at(berlin, 2026, 3, 23));
    EXPECT_EQ(dayOnScreen(ViewMode::fourWeeks, test::at(berlin, 2026, 3, 25),
                          test::at(berlin, 2026, 4, 19, 23), berlin),
              test::at(berlin, 2026, 4, 19));
}

TEST(ViewModeTest, TitlesNameTheMonthOrTheFourWeeksPage) {
    const Calendar berlin = test::berlin();
    const Instant march = test::at(berlin, 2026, 3, 7, 10);
    for (const ViewMode mode : {ViewMode::agenda, ViewMode::day, ViewMode::threeDay,
                                ViewMode::workWeek, ViewMode::week}) {
        EXPECT_EQ(ViewModes::navigationTitle(mode, march, berlin), "March 2026")
            << ViewModes::rawValue(mode);
    }
    // A three-day page that runs into April still takes its title from the anchor.
    EXPECT_EQ(ViewModes::navigationTitle(ViewMode::threeDay, test::at(berlin, 2026, 3, 31), berlin),
              "March 2026");
    // The page of 30 March runs to 26 April.
    EXPECT_EQ(
        ViewModes::navigationTitle(ViewMode::fourWeeks, test::at(berlin, 2026, 3, 31), berlin),
        "Mar \u2013 Apr 2026");
    // February 2027 begins on a Monday: the page from Wednesday 3 February is that month alone.
    EXPECT_EQ(ViewModes::navigationTitle(ViewMode::fourWeeks, test::at(berlin, 2027, 2, 3), berlin),
              "February 2027");
    const Calendar german = Calendar::make("Europe/Berlin", "de_DE").value();
    EXPECT_EQ(ViewModes::navigationTitle(ViewMode::day, march, german), "M\u00e4rz 2026");
}

TEST(ViewModeTest, NewEventsStartAtTheNextWholeHourTodayElseAtNine) {
    const Calendar berlin = test::berlin();
    const Instant today1420 = test::at(berlin, 2026, 3, 7, 14, 20);
    const Instant todayStart = test::at(berlin, 2026, 3, 7);
    const Instant tomorrow = test::at(berlin, 2026, 3, 8);
    EXPECT_EQ(defaultNewEventStart(tomorrow, today1420, berlin), test::at(berlin, 2026, 3, 8, 9));
    EXPECT_EQ(defaultNewEventStart(test::at(berlin, 2026, 3, 1), today1420, berlin),
              test::at(berlin, 2026, 3, 1, 9));
    EXPECT_EQ(defaultNewEventStart(todayStart, today1420, berlin),
              test::at(berlin, 2026, 3, 7, 15));
    // Strictly after now, and fractions of a second do not matter.
    EXPECT_EQ(defaultNewEventStart(todayStart, test::at(berlin, 2026, 3, 7, 15), berlin),
              test::at(berlin, 2026, 3, 7, 16));
    EXPECT_EQ(defaultNewEventStart(todayStart, today1420.plus(59.75), berlin),
              test::at(berlin, 2026, 3, 7, 15));
    EXPECT_EQ(defaultNewEventStart(todayStart, test::at(berlin, 2026, 3, 7, 23, 30), berlin),
              tomorrow);
    // 01:30 on the night Berlin skips 02:00-03:00: the next hour on the wall clock is 03:00.
    EXPECT_EQ(defaultNewEventStart(test::at(berlin, 2026, 3, 29),
                                   test::at(berlin, 2026, 3, 29, 1, 30), berlin),
              test::at(berlin, 2026, 3, 29, 1, 30).plus(30 * 60));

    // Lord Howe Island moves its clocks by half an hour at 02:00. Going forward (02:00 becomes
    // 02:30), the next whole hour after 01:45 is 03:00, 45 minutes later. Going back (02:00
    // becomes 01:30), 15 minutes after 01:45 the clock reads 01:30 and reaches 02:00 another 30
    // minutes later: also 45 minutes, not the 15 that the wall clock suggests.
    const Calendar lordHowe = test::calendarIn("Australia/Lord_Howe");
    const Instant springNight = test::at(lordHowe, 2026, 10, 4, 1, 45);
    EXPECT_EQ(defaultNewEventStart(springNight, springNight, lordHowe), springNight.plus(45 * 60));
    const Instant autumnNight = test::at(lordHowe, 2026, 4, 5, 1, 45);
    ASSERT_EQ(lordHowe.utcOffsetSeconds(autumnNight), 11 * 3600) << "the first 01:45";
    const Instant autumnHour = defaultNewEventStart(autumnNight, autumnNight, lordHowe);
    EXPECT_EQ(autumnHour, autumnNight.plus(45 * 60));
    EXPECT_EQ(lordHowe.components(autumnHour).hour, 2);
}

} // namespace
} // namespace plannery
