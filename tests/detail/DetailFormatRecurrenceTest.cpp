#include "detail/DetailFormat.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

// The rule tables name only the fields each case is about; the rest keep their empty defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace plannery {
namespace {

using Frequency = RecurrenceFrequency;

RecurrenceDayOfWeek day(int weekday, int weekNumber = 0) {
    return {.dayOfTheWeek = weekday, .weekNumber = weekNumber};
}

constexpr int kSunday = 1;
constexpr int kMonday = 2;
constexpr int kTuesday = 3;
constexpr int kWednesday = 4;
constexpr int kThursday = 5;
constexpr int kFriday = 6;

struct Case {
    const char* name;
    RecurrenceRule rule;
    const char* expected;
};

TEST(DetailFormatRecurrenceTest, EveryShapeOfRuleInEnglish) {
    const Calendar c = test::berlin();
    const std::vector<RecurrenceDayOfWeek> workweek{day(kMonday), day(kTuesday), day(kWednesday),
                                                    day(kThursday), day(kFriday)};
    const Case cases[] = {
        {"daily", {.frequency = Frequency::daily}, "Every day"},
        {"every third day", {.frequency = Frequency::daily, .interval = 3}, "Every 3 days"},
        {"zero interval reads as one",
         {.frequency = Frequency::weekly, .interval = 0},
         "Every week"},
        {"weekly on two days",
         {.frequency = Frequency::weekly,
          .interval = 2,
          .daysOfTheWeek = {day(kMonday), day(kThursday)}},
         "Every 2 weeks on Monday and Thursday"},
        {"weekly on three days",
         {.frequency = Frequency::weekly,
          .daysOfTheWeek = {day(kMonday), day(kWednesday), day(kFriday)}},
         "Every week on Monday, Wednesday, and Friday"},
        {"weekdays", {.frequency = Frequency::weekly, .daysOfTheWeek = workweek}, "Every weekday"},
        {"weekdays in another order, repeated",
         {.frequency = Frequency::weekly,
          .daysOfTheWeek = {day(kFriday), day(kMonday), day(kThursday), day(kTuesday),
                            day(kWednesday), day(kMonday)}},
         "Every weekday"},
        {"weekdays every other week",
         {.frequency = Frequency::weekly, .interval = 2, .daysOfTheWeek = workweek},
         "Every 2 weeks on Monday, Tuesday, Wednesday, Thursday, and Friday"},
        {"weekdays keep their end",
         {.frequency = Frequency::weekly, .daysOfTheWeek = workweek, .occurrenceCount = 5},
         "Every weekday, 5 times"},
        {"monthly on the last Friday",
         {.frequency = Frequency::monthly, .daysOfTheWeek = {day(kFriday, -1)}},
         "Every month on the last Friday"},
        {"last Friday through a set position",
         {.frequency = Frequency::monthly, .daysOfTheWeek = {day(kFriday)}, .setPositions = {-1}},
         "Every month on the last Friday"},
        {"one set position names every day",
         {.frequency = Frequency::monthly,
          .daysOfTheWeek = {day(kMonday), day(kTuesday)},
          .setPositions = {2}},
         "Every month on the second Monday and second Tuesday"},
        {"a week number beats the set position",
         {.frequency = Frequency::monthly,
          .daysOfTheWeek = {day(kMonday, 1), day(kTuesday)},
          .setPositions = {3}},
         "Every month on the first Monday and third Tuesday"},
        {"several set positions name none",
         {.frequency = Frequency::monthly,
          .daysOfTheWeek = {day(kSunday)},
          .setPositions = {1, -1}},
         "Every month on the Sunday"},
        {"ordinal words and numbers",
         {.frequency = Frequency::monthly,
          .daysOfTheWeek = {day(kMonday, 4), day(kTuesday, 5), day(kWednesday, -2),
                            day(kThursday, 6), day(kFriday, -3)}},
         "Every month on the fourth Monday, fifth Tuesday, second to last Wednesday, 6 Thursday, "
         "and -3 Friday"},
        {"monthly on the 15th",
         {.frequency = Frequency::monthly, .daysOfTheMonth = {15}},
         "Every month on the 15th"},
        {"monthly on two days",
         {.frequency = Frequency::monthly, .daysOfTheMonth = {1, 22}},
         "Every month on the 1st and 22nd"},
        {"monthly on the last day",
         {.frequency = Frequency::monthly, .daysOfTheMonth = {-1}},
         "Every month on the last day"},
        {"days of the month only for months and years",
         {.frequency = Frequency::daily, .daysOfTheMonth = {3}},
         "Every day"},
        {"weekdays take precedence over days of the month",
         {.frequency = Frequency::monthly, .daysOfTheWeek = {day(kFriday)}, .daysOfTheMonth = {13}},
         "Every month on the Friday"},
        {"yearly on 4 July every second year",
         {.frequency = Frequency::yearly,
          .interval = 2,
          .daysOfTheMonth = {4},
          .monthsOfTheYear = {7}},
         "Every 2 years on the 4th in July"},
        {"yearly in two months",
         {.frequency = Frequency::yearly, .monthsOfTheYear = {3, 9}},
         "Every year in March and September"},
        {"yearly on the second Sunday in May",
         {.frequency = Frequency::yearly,
          .daysOfTheWeek = {day(kSunday, 2)},
          .monthsOfTheYear = {5}},
         "Every year on the second Sunday in May"},
        {"months only for yearly rules",
         {.frequency = Frequency::monthly, .monthsOfTheYear = {5}},
         "Every month"},
        {"out-of-range numbers are left out",
         {.frequency = Frequency::yearly,
          .daysOfTheWeek = {day(0), day(9)},
          .monthsOfTheYear = {0, 13}},
         "Every year"},
        {"unknown frequency", {.frequency = static_cast<Frequency>(9)}, "Repeats"},
        {"once", {.frequency = Frequency::daily, .occurrenceCount = 1}, "Every day, once"},
        {"counted",
         {.frequency = Frequency::daily, .occurrenceCount = 1200},
         "Every day, 1,200 times"},
        {"negative count", {.frequency = Frequency::daily, .occurrenceCount = -4}, "Every day"},
        {"until, whatever the count",
         {.frequency = Frequency::weekly,
          .endDate = test::at(c, 2026, 12, 31, 23, 59),
          .occurrenceCount = 3},
         "Every week, until Dec 31, 2026"},
    };
    for (const Case& row : cases) {
        EXPECT_EQ(DetailFormat::recurrence(row.rule, c, "en_US"), row.expected) << row.name;
    }
}

TEST(DetailFormatRecurrenceTest, NamesListsAndDatesFollowTheLocale) {
    const Calendar de = *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday);
    EXPECT_EQ(
        DetailFormat::recurrence({.frequency = Frequency::weekly,
                                  .daysOfTheWeek = {day(kMonday), day(kWednesday), day(kFriday)},
                                  .endDate = test::at(de, 2026, 12, 31)},
                                 de, "de_DE"),
        "Every week on Montag, Mittwoch und Freitag, until 31.12.2026");
    EXPECT_EQ(
        DetailFormat::recurrence(
            {.frequency = Frequency::monthly, .daysOfTheMonth = {15}, .occurrenceCount = 1000}, de,
            "de_DE"),
        "Every month on the 15., 1.000 times");
    EXPECT_EQ(DetailFormat::recurrence({.frequency = Frequency::yearly, .monthsOfTheYear = {3}}, de,
                                       "de_DE"),
              "Every year in M\u00e4rz");

    // The end date is a day in the user's zone: 23:30 in New York is already the next day in
    // Berlin.
    const Calendar newYork = test::calendarIn("America/New_York");
    EXPECT_EQ(DetailFormat::recurrence({.frequency = Frequency::daily,
                                        .endDate = test::at(newYork, 2026, 6, 30, 23, 30)},
                                       test::berlin(), "en_US"),
              "Every day, until Jul 1, 2026");
}

TEST(DetailFormatRecurrenceTest, EveryCountsUnits) {
    EXPECT_EQ(DetailFormat::every("week", 1, "en_US"), "Every week");
    EXPECT_EQ(DetailFormat::every("week", 0, "en_US"), "Every week");
    EXPECT_EQ(DetailFormat::every("week", -3, "en_US"), "Every week");
    EXPECT_EQ(DetailFormat::every("weeks", 2, "en_US"), "Every 2 weeks");
    EXPECT_EQ(DetailFormat::every("days", 1500, "en_US"), "Every 1,500 days");
}

} // namespace
} // namespace plannery
