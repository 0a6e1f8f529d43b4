#include "TestSupport.h"

#include "agenda/WidgetTime.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using test::at;

TEST(WidgetTime, TwelveHourLocalesUseOneLetterDayPeriods) {
    const Calendar us = test::berlin();
    EXPECT_TRUE(WidgetTime::usesTwelveHours(us.localeId()));
    EXPECT_EQ(WidgetTime::shortTime(at(us, 2026, 3, 9, 9, 30), us), "9:30a");
    EXPECT_EQ(WidgetTime::shortTime(at(us, 2026, 3, 9, 12), us), "12p");
    EXPECT_EQ(WidgetTime::shortTime(at(us, 2026, 3, 9, 19, 15), us), "7:15p");
    EXPECT_EQ(WidgetTime::shortTime(at(us, 2026, 3, 9, 0, 30), us), "12:30a");

    // The day period is named once when both ends share it, on both sides across noon.
    EXPECT_EQ(WidgetTime::range(at(us, 2026, 3, 9, 9), at(us, 2026, 3, 9, 10, 30), us),
              "9\u201310:30a");
    EXPECT_EQ(WidgetTime::range(at(us, 2026, 3, 9, 11), at(us, 2026, 3, 9, 13), us), "11a\u20131p");
}

TEST(WidgetTime, TwentyFourHourLocalesPadTheHour) {
    const Calendar german = *Calendar::make("Europe/Berlin", "de_DE");
    EXPECT_FALSE(WidgetTime::usesTwelveHours(german.localeId()));
    EXPECT_EQ(WidgetTime::shortTime(at(german, 2026, 3, 9, 9, 30), german), "09:30");
    EXPECT_EQ(WidgetTime::range(at(german, 2026, 3, 9, 9), at(german, 2026, 3, 9, 10, 30), german),
              "09:00\u201310:30");
    EXPECT_EQ(WidgetTime::shortTime(at(german, 2026, 3, 9, 19, 15), german), "19:15");
}

TEST(WidgetTime, ClockTextAndSuffixes) {
    EXPECT_EQ(WidgetTime::clockText(9, 0), "9");
    EXPECT_EQ(WidgetTime::clockText(9, 5), "9:05");
    EXPECT_EQ(WidgetTime::clockText(0, 30), "12:30");
    EXPECT_EQ(WidgetTime::clockText(12, 0), "12");
    EXPECT_EQ(WidgetTime::daySuffix(9, "en_US"), "a");
    EXPECT_EQ(WidgetTime::daySuffix(21, "en_US"), "p");
    // Day periods that are not AM and PM are written out after a space.
    const std::string korean = WidgetTime::daySuffix(9, "ko_KR");
    EXPECT_EQ(korean.front(), ' ');
    EXPECT_GT(korean.size(), 1u);
}

} // namespace
} // namespace plannery
