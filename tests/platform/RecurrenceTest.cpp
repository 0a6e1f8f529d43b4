#include "platform/IcsSeries.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <sstream>

namespace plannery {
namespace {

using namespace ics;

Series seriesOf(const std::string& properties) {
    auto result = read("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:s\r\n" + properties +
                       "END:VEVENT\r\nEND:VCALENDAR\r\n");
    if (result.series.size() != 1) {
        ADD_FAILURE() << "expected one series";
        return {};
    }
    return result.series[0];
}

ReadResult golden(const std::string& name) {
    std::ifstream in(std::string(PLANNERY_TEST_DATA) + "/ics/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return read(text.str());
}

std::vector<Occurrence> inMonth(const Series& series, int year, int month,
                                const Calendar& calendar) {
    const Instant from = test::at(calendar, year, month, 1);
    const Instant to = *calendar.addMonths(from, 1);
    return expand(series, from, to, calendar);
}

struct PathologicalCase {
    const char* name;
    std::string properties;
    int year;
    int month;
    std::size_t count;
    // Expected first start (Berlin wall time) when count > 0.
    int firstDay;
    int firstHour;
};

TEST(Recurrence, PathologicalRulesGiveTheRightMonth) {
    const auto berlin = test::berlin();
    const std::string tz = "DTSTART;TZID=Europe/Berlin:";
    const std::vector<PathologicalCase> cases{
        {"never matching: start only",
         tz + "20260110T100000\r\nRRULE:FREQ=YEARLY;BYMONTHDAY=30;BYMONTH=2\r\n", 2026, 1, 1, 10,
         10},
        {"never matching: later months empty",
         tz + "20260110T100000\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=30;BYMONTH=2\r\n", 2026, 3, 0, 0,
         0},
        {"set position outside the set",
         tz + "20260304T100000\r\nRRULE:FREQ=MONTHLY;BYDAY=MO;BYSETPOS=10\r\n", 2026, 3, 1, 4, 10},
        {"secondly without end is capped",
         tz + "20260301T000000\r\nDURATION:PT1S\r\nRRULE:FREQ=SECONDLY\r\n", 2026, 3,
         kMaxOccurrencesPerWindow, 1, 0},
        {"huge count", tz + "20000101T100000\r\nRRULE:FREQ=DAILY;COUNT=1000000000\r\n", 2026, 3, 31,
         1, 10},
        {"start in year 1", tz + "00010101T100000\r\nRRULE:FREQ=DAILY\r\n", 2026, 3, 31, 1, 10},
        {"start in year 9999", tz + "99991230T100000\r\nRRULE:FREQ=DAILY\r\n", 2026, 3, 0, 0, 0},
        {"until before start",
         tz + "20260305T100000\r\nRRULE:FREQ=DAILY;UNTIL=20250101T000000Z\r\n", 2026, 3, 1, 5, 10},
        {"interval zero reads as one", tz + "20260301T100000\r\nRRULE:FREQ=DAILY;INTERVAL=0\r\n",
         2026, 3, 31, 1, 10},
        {"minutely never matching",
         tz + "20260301T100000\r\nRRULE:FREQ=MINUTELY;BYMONTH=2;BYMONTHDAY=30\r\n", 2026, 3, 1, 1,
         10},
        {"hourly on Saturdays", tz + "20260301T000000\r\nRRULE:FREQ=HOURLY;INTERVAL=5;BYDAY=SA\r\n",
         2026, 3, 21, 1, 0},
        {"weekly every other week",
         tz + "20260105T100000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH\r\n", 2026, 3, 5, 2, 10},
        {"monthly on the 31st skips short months", tz + "20260131T100000\r\nRRULE:FREQ=MONTHLY\r\n",
         2026, 4, 0, 0, 0},
        {"last weekday of the month",
         tz + "20260130T100000\r\nRRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1\r\n", 2026, 3,
         1, 31, 10},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const auto series = seriesOf(row.properties);
        const auto occurrences = inMonth(series, row.year, row.month, berlin);
        ASSERT_EQ(occurrences.size(), row.count);
        for (std::size_t i = 1; i < occurrences.size(); ++i) {
            EXPECT_LT(occurrences[i - 1].start, occurrences[i].start);
        }
        if (row.count > 0) {
            EXPECT_EQ(occurrences[0].start,
                      test::at(berlin, row.year, row.month, row.firstDay, row.firstHour));
            EXPECT_TRUE(occurrences[0].occurrenceDate);
        }
    }
}

TEST(Recurrence, SpecificRuleShapes) {
    const auto berlin = test::berlin();
    // Every second Monday and Thursday from 5 January: the weeks of 2, 16 and 30 March.
    auto weekly = inMonth(seriesOf("DTSTART;TZID=Europe/Berlin:20260105T100000\r\n"
                                   "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH\r\n"),
                          2026, 3, berlin);
    std::vector<int> days;
    for (const auto& o : weekly) {
        days.push_back(berlin.components(o.start).day);
    }
    EXPECT_EQ(days, (std::vector<int>{2, 5, 16, 19, 30}));

    auto saturdays = inMonth(seriesOf("DTSTART;TZID=Europe/Berlin:20260301T000000\r\n"
                                      "RRULE:FREQ=HOURLY;INTERVAL=5;BYDAY=SA\r\n"),
                             2026, 3, berlin);
    ASSERT_EQ(saturdays.size(), 21u);
    EXPECT_EQ(saturdays[1].start, test::at(berlin, 2026, 3, 7, 1));
    EXPECT_EQ(saturdays[20].start, test::at(berlin, 2026, 3, 28, 22));

    // A year-1 start steps to the window rather than walking two thousand years.
    auto ancient = inMonth(seriesOf("DTSTART;TZID=Europe/Berlin:00010101T100000\r\n"
                                    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\n"),
                           2026, 3, berlin);
    ASSERT_EQ(ancient.size(), 1u);
    EXPECT_EQ(ancient[0].start, test::at(berlin, 2026, 3, 29, 10));
}

TEST(Recurrence, OverridesExdatesAndRdates) {
    const auto berlin = test::berlin();
    std::ifstream in(std::string(PLANNERY_TEST_DATA) + "/ics/overrides.ics", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const auto result = read(text.str());
    ASSERT_EQ(result.series.size(), 1u);
    const auto& series = result.series[0];
    ASSERT_EQ(series.components.size(), 3u);
    const auto occurrences = inMonth(series, 2026, 3, berlin);
    struct Expected {
        int day, hour;
        bool detached;
        int originalDay, originalHour;
    };
    const std::vector<Expected> expected{
        {2, 9, false, 2, 9},   {12, 15, false, 12, 15}, {17, 14, true, 16, 9},
        {23, 9, false, 23, 9}, {25, 9, true, 25, 9},    {30, 9, false, 30, 9},
    };
    ASSERT_EQ(occurrences.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(occurrences[i].start,
                  test::at(berlin, 2026, 3, expected[i].day, expected[i].hour));
        EXPECT_EQ(occurrences[i].detached, expected[i].detached);
        EXPECT_EQ(occurrences[i].occurrenceDate,
                  test::at(berlin, 2026, 3, expected[i].originalDay, expected[i].originalHour));
        EXPECT_EQ(occurrences[i].component, expected[i].detached ? (i == 2 ? 1u : 2u) : 0u);
    }
    EXPECT_EQ(occurrences[0].end, test::at(berlin, 2026, 3, 2, 10));
    EXPECT_EQ(occurrences[4].end, test::at(berlin, 2026, 3, 25, 9, 30));
    // The moved occurrence left its original day.
    EXPECT_TRUE(expand(series, test::at(berlin, 2026, 3, 16), test::at(berlin, 2026, 3, 17), berlin)
                    .empty());
}

TEST(Recurrence, ThousandsOfOverridesAndAnExdateOnEveryOccurrence) {
    const auto berlin = test::berlin();
    const auto utc = test::calendarIn("UTC");
    std::string overrides;
    std::string exdates;
    Instant day = test::at(utc, 2020, 1, 1);
    for (int i = 0; i < 2500; ++i) {
        const auto c = utc.components(day);
        char date[16];
        std::snprintf(date, sizeof date, "%04d%02d%02d", c.year, c.month, c.day);
        overrides += std::string("BEGIN:VEVENT\r\nUID:s\r\nRECURRENCE-ID;TZID=Europe/Berlin:") +
                     date + "T090000\r\nDTSTART;TZID=Europe/Berlin:" + date +
                     "T100000\r\nEND:VEVENT\r\n";
        if (c.year == 2026 && c.month == 3) {
            exdates += std::string("EXDATE;TZID=Europe/Berlin:") + date + "T090000\r\n";
        }
        day = *utc.addDays(day, 1);
    }
    const auto result = read("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:s\r\n"
                             "DTSTART;TZID=Europe/Berlin:20200101T090000\r\n"
                             "RRULE:FREQ=DAILY\r\nEND:VEVENT\r\n" +
                             overrides + "END:VCALENDAR\r\n");
    ASSERT_EQ(result.series.size(), 1u);
    ASSERT_EQ(result.series[0].components.size(), 2501u);
    const auto moved = inMonth(result.series[0], 2026, 3, berlin);
    ASSERT_EQ(moved.size(), 31u);
    for (const auto& o : moved) {
        EXPECT_TRUE(o.detached);
        EXPECT_EQ(berlin.components(o.start).hour, 10);
    }

    const auto excluded = seriesOf("DTSTART;TZID=Europe/Berlin:20260301T090000\r\n"
                                   "RRULE:FREQ=DAILY;COUNT=31\r\n" +
                                   exdates);
    EXPECT_EQ(excluded.components.at(0).exdates.size(), 31u);
    EXPECT_TRUE(inMonth(excluded, 2026, 3, berlin).empty());
    EXPECT_TRUE(inMonth(excluded, 2026, 4, berlin).empty());
}

TEST(Recurrence, ClockChangesKeepTheWallTime) {
    const auto berlin = test::berlin();
    // 02:30 does not exist on 29 March in Berlin: it moves forward by the gap.
    auto early =
        expand(seriesOf("DTSTART;TZID=Europe/Berlin:20260327T023000\r\n"
                        "DTEND;TZID=Europe/Berlin:20260327T033000\r\nRRULE:FREQ=DAILY\r\n"),
               test::at(berlin, 2026, 3, 28), test::at(berlin, 2026, 3, 31), berlin);
    ASSERT_EQ(early.size(), 3u);
    EXPECT_EQ(early[0].start, Instant{1774661400}); // 28th 02:30 CET = 01:30Z
    EXPECT_EQ(early[1].start, Instant{1774747800}); // 29th 03:30 CEST = 01:30Z
    EXPECT_EQ(early[2].start, Instant{1774830600}); // 30th 02:30 CEST = 00:30Z
    for (const auto& o : early) {
        EXPECT_EQ(o.end.since(o.start), 3600);
    }

    const auto newYork = test::calendarIn("America/New_York");
    auto nine = expand(seriesOf("DTSTART;TZID=America/New_York:20260306T090000\r\n"
                                "RRULE:FREQ=DAILY;COUNT=4\r\n"),
                       test::at(newYork, 2026, 3, 1), test::at(newYork, 2026, 4, 1), berlin);
    ASSERT_EQ(nine.size(), 4u);
    EXPECT_EQ(nine[1].start, Instant{1772892000}); // 7th 09:00 EST = 14:00Z
    EXPECT_EQ(nine[2].start, Instant{1772974800}); // 8th 09:00 EDT = 13:00Z
    // 01:30 happens twice on 1 November: the first (EDT) counts.
    auto ambiguous = expand(seriesOf("DTSTART;TZID=America/New_York:20261101T013000\r\n"),
                            Instant{1793400000}, Instant{1793600000}, berlin);
    ASSERT_EQ(ambiguous.size(), 1u);
    EXPECT_EQ(ambiguous[0].start, Instant{1793511000}); // 05:30Z
    EXPECT_FALSE(ambiguous[0].occurrenceDate);
}

TEST(Recurrence, ZoneOnlyTheFileDefinesFollowsItsRules) {
    const auto berlin = test::berlin();
    const auto result =
        read("BEGIN:VCALENDAR\r\nBEGIN:VTIMEZONE\r\nTZID:Central Europe (custom)\r\n"
             "BEGIN:DAYLIGHT\r\nDTSTART:19810329T020000\r\nTZOFFSETFROM:+0100\r\n"
             "TZOFFSETTO:+0200\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
             "BEGIN:STANDARD\r\nDTSTART:19961027T030000\r\nTZOFFSETFROM:+0200\r\n"
             "TZOFFSETTO:+0100\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\n"
             "END:VTIMEZONE\r\nBEGIN:VEVENT\r\nUID:c\r\n"
             "DTSTART;TZID=Central Europe (custom):20260327T090000\r\nRRULE:FREQ=DAILY;COUNT=4\r\n"
             "EXDATE;VALUE=DATE:20260329\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    ASSERT_EQ(result.series.size(), 1u);
    ASSERT_EQ(result.series[0].timeZones.size(), 1u);
    const auto occurrences = inMonth(result.series[0], 2026, 3, berlin);
    // 27th and 28th in winter time, 30th in summer time; the 29th is excluded by its date.
    ASSERT_EQ(occurrences.size(), 3u);
    EXPECT_EQ(occurrences[0].start, Instant{1774598400}); // 08:00Z
    EXPECT_EQ(occurrences[1].start, Instant{1774684800});
    EXPECT_EQ(occurrences[2].start, Instant{1774854000}); // 07:00Z
}

TEST(Recurrence, AllDayAndFloatingTimesFollowTheCalendar) {
    const auto berlin = test::berlin();
    const auto newYork = test::calendarIn("America/New_York");
    const auto birthday = seriesOf("DTSTART;VALUE=DATE:20200310\r\nDTEND;VALUE=DATE:20200311\r\n"
                                   "RRULE:FREQ=YEARLY\r\n");
    for (const auto* calendar : {&berlin, &newYork}) {
        SCOPED_TRACE(calendar->zoneId());
        auto occurrences = inMonth(birthday, 2026, 3, *calendar);
        ASSERT_EQ(occurrences.size(), 1u);
        EXPECT_EQ(occurrences[0].start, test::at(*calendar, 2026, 3, 10));
        EXPECT_EQ(occurrences[0].end, test::at(*calendar, 2026, 3, 11));
    }
    // Two days over the change to summer time are 47 hours.
    auto weekend = inMonth(seriesOf("DTSTART;VALUE=DATE:20260328\r\nDTEND;VALUE=DATE:20260330\r\n"),
                           2026, 3, berlin);
    ASSERT_EQ(weekend.size(), 1u);
    EXPECT_EQ(weekend[0].end.since(weekend[0].start), 47 * 3600);

    const auto floating = seriesOf("DTSTART:20260310T090000\r\nDTEND:20260310T100000\r\n");
    EXPECT_EQ(inMonth(floating, 2026, 3, berlin).at(0).start, Instant{1773129600});
    EXPECT_EQ(inMonth(floating, 2026, 3, newYork).at(0).start, Instant{1773147600});
}

TEST(Recurrence, EndsThatAreMissingEqualOrBeforeTheStart) {
    const auto berlin = test::berlin();
    const Instant nine = test::at(berlin, 2026, 3, 10, 9);
    const std::vector<std::pair<std::string, double>> cases{
        {"DTSTART;TZID=Europe/Berlin:20260310T090000\r\n", 0},
        {"DTSTART;TZID=Europe/Berlin:20260310T090000\r\nDTEND;TZID=Europe/"
         "Berlin:20260310T090000\r\n",
         0},
        {"DTSTART;TZID=Europe/Berlin:20260310T090000\r\nDTEND;TZID=Europe/"
         "Berlin:20260309T090000\r\n",
         0},
        {"DTSTART;TZID=Europe/Berlin:20260310T090000\r\nDURATION:PT2H\r\n", 7200},
    };
    for (const auto& [properties, length] : cases) {
        SCOPED_TRACE(properties);
        auto occurrences = inMonth(seriesOf(properties), 2026, 3, berlin);
        ASSERT_EQ(occurrences.size(), 1u);
        EXPECT_EQ(occurrences[0].start, nine);
        EXPECT_EQ(occurrences[0].end.since(occurrences[0].start), length);
    }
    // A zero-length event at the window's start is inside it; one at its end is not.
    const auto point = seriesOf("DTSTART;TZID=Europe/Berlin:20260310T090000\r\n");
    EXPECT_EQ(expand(point, nine, nine.plus(60), berlin).size(), 1u);
    EXPECT_TRUE(expand(point, nine.plus(-60), nine, berlin).empty());
    // An all-day event whose end is not after its start still covers its day.
    auto day = inMonth(seriesOf("DTSTART;VALUE=DATE:20260310\r\nDTEND;VALUE=DATE:20260310\r\n"),
                       2026, 3, berlin);
    ASSERT_EQ(day.size(), 1u);
    EXPECT_EQ(day[0].end, test::at(berlin, 2026, 3, 11));
}

TEST(Recurrence, Bounds) {
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(bounds(seriesOf("DTSTART:20260301T090000Z\r\nRRULE:FREQ=DAILY\r\n")).last.seconds,
              infinity);
    const auto counted = bounds(seriesOf("DTSTART:20260301T090000Z\r\nDTEND:20260301T100000Z\r\n"
                                         "RRULE:FREQ=DAILY;COUNT=3\r\n"
                                         "RDATE:20260305T090000Z\r\n"));
    EXPECT_EQ(counted.first, Instant{1772355600});
    EXPECT_EQ(counted.last, Instant{1772704800}); // 5 March 10:00Z, the RDATE's end
    const auto until = bounds(seriesOf("DTSTART:20260301T090000Z\r\n"
                                       "RRULE:FREQ=WEEKLY;UNTIL=20260316T090000Z\r\n"));
    EXPECT_EQ(until.last, Instant{1773565200}); // 15 March, the last Sunday before UNTIL
    // Floating times can be anywhere within fifteen hours of UTC.
    const auto floating = bounds(seriesOf("DTSTART:20260301T090000\r\nDTEND:20260301T100000\r\n"));
    EXPECT_EQ(floating.first, Instant{1772355600 - 15 * 3600});
    EXPECT_EQ(floating.last, Instant{1772359200 + 15 * 3600});
    // A count too large to walk is treated as never ending; a rule that never matches ends at
    // its start.
    EXPECT_EQ(bounds(seriesOf("DTSTART:00010101T090000Z\r\nRRULE:FREQ=DAILY;COUNT=1000000000\r\n"))
                  .last.seconds,
              infinity);
    EXPECT_EQ(bounds(seriesOf("DTSTART:20260301T090000Z\r\n"
                              "RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30\r\n"))
                  .last,
              Instant{1772355600});
}

// An override with RANGE=THISANDFUTURE moves, shortens and renames every later occurrence until
// the next one; a plain override and an EXDATE in between keep their own effect.
TEST(Recurrence, ThisAndFutureAppliesOnward) {
    const auto berlin = test::berlin();
    const auto result = golden("this-and-future.ics");
    ASSERT_EQ(result.series.size(), 1u);
    const auto& series = result.series[0];
    ASSERT_EQ(series.components.size(), 4u);
    EXPECT_EQ(series.components[1].content.title, "Planning (later and shorter)");
    EXPECT_EQ(series.components[3].content.title, "Planning (early)");
    struct Expected {
        int month, day, hour, minute, endHour, endMinute;
        std::size_t component;
        int originalMonth, originalDay;
    };
    const std::vector<Expected> expected{
        {3, 2, 9, 0, 10, 0, 0, 3, 2},     {3, 9, 9, 0, 10, 0, 0, 3, 9},
        {3, 16, 11, 0, 11, 30, 1, 3, 16}, {3, 31, 14, 0, 15, 0, 2, 3, 30},
        {4, 6, 11, 0, 11, 30, 1, 4, 6},   {4, 13, 8, 0, 10, 0, 3, 4, 13},
        {4, 20, 8, 0, 10, 0, 3, 4, 20},   {4, 27, 8, 0, 10, 0, 3, 4, 27},
    };
    const auto occurrences =
        expand(series, test::at(berlin, 2026, 3, 1), test::at(berlin, 2026, 5, 1), berlin);
    ASSERT_EQ(occurrences.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& e = expected[i];
        EXPECT_EQ(occurrences[i].start, test::at(berlin, 2026, e.month, e.day, e.hour, e.minute));
        EXPECT_EQ(occurrences[i].end,
                  test::at(berlin, 2026, e.month, e.day, e.endHour, e.endMinute));
        EXPECT_EQ(occurrences[i].component, e.component);
        EXPECT_EQ(occurrences[i].detached, e.component != 0);
        EXPECT_EQ(occurrences[i].occurrenceDate,
                  test::at(berlin, 2026, e.originalMonth, e.originalDay, 9));
    }
    // A window around the moved time finds the occurrence; one around its rule time does not.
    const auto moved = expand(series, test::at(berlin, 2026, 4, 6, 10, 30),
                              test::at(berlin, 2026, 4, 6, 12), berlin);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].component, 1u);
    EXPECT_TRUE(
        expand(series, test::at(berlin, 2026, 4, 6, 9), test::at(berlin, 2026, 4, 6, 10), berlin)
            .empty());
    // Years later the last such override still holds.
    const auto later = inMonth(series, 2030, 1, berlin);
    ASSERT_EQ(later.size(), 4u);
    EXPECT_EQ(later[0].start, test::at(berlin, 2030, 1, 7, 8));
    EXPECT_EQ(later[0].component, 3u);

    // A counted series whose last occurrence an override moves three days later ends later.
    const auto counted = read("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:c\r\n"
                              "DTSTART:20260302T090000Z\r\nDTEND:20260302T100000Z\r\n"
                              "RRULE:FREQ=WEEKLY;COUNT=3\r\nEND:VEVENT\r\n"
                              "BEGIN:VEVENT\r\nUID:c\r\n"
                              "RECURRENCE-ID;RANGE=THISANDFUTURE:20260309T090000Z\r\n"
                              "DTSTART:20260312T090000Z\r\nDTEND:20260312T100000Z\r\n"
                              "END:VEVENT\r\nEND:VCALENDAR\r\n");
    ASSERT_EQ(counted.series.size(), 1u);
    EXPECT_GE(bounds(counted.series[0]).last, Instant{1773914400}); // 19 March 10:00Z
    const auto last = inMonth(counted.series[0], 2026, 3, berlin);
    ASSERT_EQ(last.size(), 3u);
    EXPECT_EQ(last[2].start, Instant{1773910800}); // 19 March 09:00Z, not the 16th
}

// RDATE periods last as their period says, not as long as the first occurrence.
TEST(Recurrence, RdatePeriodsKeepTheirOwnLength) {
    const auto berlin = test::berlin();
    const auto result = golden("rdate-periods.ics");
    ASSERT_EQ(result.series.size(), 1u);
    const auto& series = result.series[0];
    const auto occurrences = inMonth(series, 2026, 3, berlin);
    const std::vector<std::array<int, 5>> expected{
        // day, start hour, minute, end hour, minute
        {2, 10, 0, 11, 0},   {5, 14, 0, 17, 0}, {10, 8, 0, 8, 30},
        {12, 13, 0, 13, 30}, {16, 9, 0, 10, 0},
    };
    ASSERT_EQ(occurrences.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& [day, hour, minute, endHour, endMinute] = expected[i];
        EXPECT_EQ(occurrences[i].start, test::at(berlin, 2026, 3, day, hour, minute));
        EXPECT_EQ(occurrences[i].end, test::at(berlin, 2026, 3, day, endHour, endMinute));
    }
    // The long period is found from a window near its end.
    const auto late = expand(series, test::at(berlin, 2026, 3, 5, 16, 30),
                             test::at(berlin, 2026, 3, 5, 16, 45), berlin);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].end, test::at(berlin, 2026, 3, 5, 17));
    EXPECT_EQ(bounds(series).last, test::at(berlin, 2026, 3, 16, 10));
    // The index cache keeps the periods.
    const auto decoded = decode(encode(result.series));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->at(0).components.at(0).rdates, series.components[0].rdates);
}

// An all-day series names days: overrides, EXDATEs and UNTIL written as date-times count by their
// date, so every zone sees the same days once each.
TEST(Recurrence, AllDaySeriesGiveTheSameDaysInEveryZone) {
    const auto result = golden("all-day-times.ics");
    ASSERT_EQ(result.series.size(), 2u);
    for (const char* zone : {"Europe/Berlin", "America/New_York", "Pacific/Auckland", "UTC"}) {
        SCOPED_TRACE(zone);
        const auto calendar = test::calendarIn(zone);
        const auto& mondays = result.series[0];
        std::vector<std::pair<int, std::string>> days;
        for (const auto& o : inMonth(mondays, 2020, 9, calendar)) {
            const auto parts = calendar.components(o.start);
            EXPECT_EQ(o.start, test::at(calendar, 2020, 9, parts.day));
            EXPECT_EQ(o.end, test::at(calendar, 2020, 9, parts.day + 1));
            days.emplace_back(parts.day,
                              mondays.components[o.component].content.title.value_or(""));
        }
        const std::vector<std::pair<int, std::string>> expected{{7, "Base event"},
                                                                {14, "Modified event 1"},
                                                                {21, "Modified event 2"},
                                                                {28, "Base event"}};
        EXPECT_EQ(days, expected);
        // The EXDATE written at midnight UTC removes 5 October.
        const auto october = inMonth(mondays, 2020, 10, calendar);
        ASSERT_EQ(october.size(), 3u);
        EXPECT_EQ(october[0].start, test::at(calendar, 2020, 10, 12));
        // UNTIL at midnight UTC of the 10th keeps the 10th.
        const auto daily = inMonth(result.series[1], 2020, 9, calendar);
        ASSERT_EQ(daily.size(), 4u);
        EXPECT_EQ(daily.back().start, test::at(calendar, 2020, 9, 10));
    }
}

// Two masters with one UID show once, as the higher SEQUENCE, then the later DTSTAMP, says; two
// overrides of one occurrence likewise.
TEST(Recurrence, OnlyTheLatestRevisionOfADoubledEventShows) {
    const auto berlin = test::berlin();
    const auto result = golden("two-masters.ics");
    ASSERT_EQ(result.series.size(), 2u);
    ASSERT_EQ(result.series[0].components.size(), 1u);
    EXPECT_EQ(result.series[0].components[0].content.title, "Second revision");
    const auto revised = inMonth(result.series[0], 2026, 3, berlin);
    ASSERT_EQ(revised.size(), 1u);
    EXPECT_EQ(revised[0].start, test::at(berlin, 2026, 3, 10, 10));

    const auto& stamped = result.series[1];
    ASSERT_EQ(stamped.components.size(), 2u);
    EXPECT_EQ(stamped.components[0].content.title, "Stamped later");
    EXPECT_EQ(stamped.components[1].content.title, "Override, newer");
    const auto occurrences = inMonth(stamped, 2026, 3, berlin);
    ASSERT_EQ(occurrences.size(), 2u);
    EXPECT_EQ(occurrences[0].start, test::at(berlin, 2026, 3, 11, 10));
    EXPECT_EQ(occurrences[1].start, test::at(berlin, 2026, 3, 12, 15));
}

// DTSTART is the first occurrence and COUNT counts it, also when the rule would not give it.
TEST(Recurrence, StartOutsideTheRuleCountsAsTheFirstOccurrence) {
    const auto berlin = test::berlin();
    const auto result = golden("start-outside-rule.ics");
    ASSERT_EQ(result.series.size(), 2u);
    std::vector<std::pair<int, int>> fridays;
    for (const auto& o : expand(result.series[0], test::at(berlin, 2026, 1, 1),
                                test::at(berlin, 2027, 1, 1), berlin)) {
        fridays.emplace_back(berlin.components(o.start).month, berlin.components(o.start).day);
    }
    EXPECT_EQ(fridays, (std::vector<std::pair<int, int>>{{3, 1}, {3, 27}, {4, 24}}));
    EXPECT_EQ(bounds(result.series[0]).last, test::at(berlin, 2026, 4, 24, 11));
    std::vector<int> hours;
    for (const auto& o : inMonth(result.series[1], 2026, 3, berlin)) {
        hours.push_back(berlin.components(o.start).hour);
    }
    EXPECT_EQ(hours, (std::vector<int>{10, 12, 14}));
}

} // namespace
} // namespace plannery
