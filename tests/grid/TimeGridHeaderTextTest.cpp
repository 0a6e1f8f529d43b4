#include "grid/TimeGridHeaderText.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

Calendar calendarFor(const char* locale) {
    return Calendar::make("Europe/Berlin", locale, Weekday::monday).value();
}

TEST(TimeGridHeaderTextTest, WeekdayTextByColumnWidth) {
    const Calendar us = calendarFor("en_US");
    const Calendar de = calendarFor("de_DE");
    const Instant tuesday = test::at(us, 2026, 3, 3, 0, 0);
    const Instant firstOfMarch = test::at(us, 2026, 3, 1, 0, 0); // a Sunday
    const struct {
        const char* name;
        const Calendar& calendar;
        Instant day;
        double width;
        bool monthOnFirstDay;
        const char* text;
    } cases[] = {
        {"narrow column", us, tuesday, 30, true, "T"},
        {"narrow column on the 1st: month instead", us, firstOfMarch, 30, true, "Mar"},
        {"just under 34 points", us, tuesday, 33.9, true, "T"},
        {"34 points", us, tuesday, 34, true, "Tue"},
        {"stacked column", us, tuesday, 60, true, "Tue"},
        {"stacked column on the 1st, even without the month flag", us, firstOfMarch, 60, false,
         "Mar"},
        {"side by side from 80 points", us, tuesday, 80, true, "Tue"},
        {"side by side on the 1st: month added", us, firstOfMarch, 100, true, "Sun Mar"},
        {"side by side on the 1st without the month flag", us, firstOfMarch, 100, false, "Sun"},
        {"220 points is not yet wide", us, tuesday, 220, true, "Tue"},
        {"wide", us, tuesday, 220.5, true, "Tuesday"},
        {"wide on the 1st", us, firstOfMarch, 300, true, "Sunday Mar"},
        {"German narrow", de, tuesday, 30, true, "D"},
        {"German abbreviated", de, tuesday, 100, true, "Di"},
        {"German wide on the 1st", de, firstOfMarch, 300, true, "Sonntag Mär"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeGridHeaderText::weekdayText(c.day, c.calendar, c.width, c.monthOnFirstDay),
                  c.text)
            << c.name;
    }
}

TEST(TimeGridHeaderTextTest, NumberAndItsSpokenLabel) {
    const Calendar us = calendarFor("en_US");
    const Calendar de = calendarFor("de_DE");
    const Calendar eg = Calendar::make("Africa/Cairo", "ar_EG", Weekday::saturday).value();
    const Instant saturday = test::at(us, 2026, 3, 7, 0, 0);

    EXPECT_EQ(TimeGridHeaderText::numberText(saturday, us), "7");
    EXPECT_EQ(TimeGridHeaderText::numberText(test::at(eg, 2026, 3, 7, 12, 0), eg), "٧")
        << "the locale's digits";
    // Midnight in Berlin is still the 6th in UTC: the calendar's zone decides the day.
    EXPECT_EQ(TimeGridHeaderText::numberText(saturday, test::calendarIn("UTC")), "6");

    EXPECT_EQ(TimeGridHeaderText::numberAccessibilityLabel(saturday, us, false),
              "Saturday, March 7");
    EXPECT_EQ(TimeGridHeaderText::numberAccessibilityLabel(saturday, us, true),
              "Saturday, March 7, today");
    EXPECT_EQ(TimeGridHeaderText::numberAccessibilityLabel(saturday, de, false),
              "Samstag, 7. März");
    EXPECT_EQ(TimeGridHeaderText::accessibilityIdentifier(saturday, us), "header-2026-03-07");
}

TEST(TimeGridHeaderTextTest, ColoursAndFonts) {
    using TimeGridHeaderText::colors;
    using TimeGridHeaderText::HeaderColors;
    EXPECT_EQ(colors(true, false), (HeaderColors{.weekday = ColorRole::systemRed,
                                                 .number = ColorRole::white,
                                                 .showsTodayCircle = true}));
    EXPECT_EQ(colors(true, true), colors(true, false)) << "today wins over the weekend";
    EXPECT_EQ(colors(false, true), (HeaderColors{.weekday = ColorRole::tertiaryLabel,
                                                 .number = ColorRole::secondaryLabel}));
    EXPECT_EQ(colors(false, false),
              (HeaderColors{.weekday = ColorRole::secondaryLabel, .number = ColorRole::label}));

    using TimeGridHeaderText::weekdayFont;
    EXPECT_EQ(weekdayFont(100, false), (FontSpec{.size = 13, .weight = FontWeight::regular}));
    EXPECT_EQ(weekdayFont(80, true), (FontSpec{.size = 13, .weight = FontWeight::semibold}));
    EXPECT_EQ(weekdayFont(79, false), (FontSpec{.size = 10.5, .weight = FontWeight::medium}));
    EXPECT_EQ(weekdayFont(40, true), (FontSpec{.size = 10.5, .weight = FontWeight::semibold}));
    EXPECT_EQ(TimeGridHeaderText::numberFont(),
              (FontSpec{.size = 15, .weight = FontWeight::semibold, .monospacedDigits = true}));
}

} // namespace
} // namespace plannery
