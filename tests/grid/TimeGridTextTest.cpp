#include "grid/TimeGridText.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

// ICU writes a narrow no-break space before the day period and thin spaces around the dash of
// an interval.
#define NNBSP "\u202F"
#define THIN "\u2009"

Calendar calendarFor(const char* locale, const char* zone = "Europe/Berlin") {
    return Calendar::make(zone, locale, Weekday::monday).value();
}

CalEvent event(Instant start, Instant end) {
    return CalEvent{.id = "e|1",
                    .title = "Review",
                    .start = start,
                    .end = end,
                    .calendars = {CalendarRef{.id = "work", .rgb = RGB::fallback()}}};
}

TEST(TimeGridTextTest, CompactPatternDropsTheDayPeriod) {
    const struct {
        const char* locale;
        const char* pattern;
    } cases[] = {
        {"en_US", "h:mm"}, // "h:mm a" with a narrow no-break space trimmed
        {"ko_KR", "h:mm"}, // "a h:mm": the period leads
        {"ar_EG", "h:mm"}, {"de_DE", "HH:mm"},
        {"ja_JP", "H:mm"}, {"fr_CA", "HH 'h' mm"}, // quoted text is literal, never a field
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeGridText::compactPattern(c.locale), c.pattern) << c.locale;
    }
}

TEST(TimeGridTextTest, CompactAndShortTimesInTheCalendarsZone) {
    const Calendar us = calendarFor("en_US");
    const Calendar de = calendarFor("de_DE");
    const Calendar usInTokyo = calendarFor("en_US", "Asia/Tokyo");
    const Instant evening = test::at(us, 2026, 3, 7, 21, 5);
    EXPECT_EQ(TimeGridText::compactTime(evening, us), "9:05");
    EXPECT_EQ(TimeGridText::compactTime(evening, de), "21:05");
    EXPECT_EQ(TimeGridText::compactTime(evening, usInTokyo), "5:05") << "05:05 in Tokyo";
    EXPECT_EQ(TimeGridText::shortTime(evening, us), "9:05" NNBSP "PM");
    EXPECT_EQ(TimeGridText::shortTime(evening, de), "21:05");
    EXPECT_EQ(TimeGridText::shortTime(evening, usInTokyo), "5:05" NNBSP "AM");
}

TEST(TimeGridTextTest, TimeRangeIsOneIntervalWithinADay) {
    const Calendar us = calendarFor("en_US");
    const Calendar de = calendarFor("de_DE");
    const auto at = [&](int day, int hour, int minute) {
        return test::at(us, 2026, 3, day, hour, minute);
    };
    const struct {
        const char* name;
        const Calendar& calendar;
        Instant start;
        Instant end;
        const char* text;
    } cases[] = {
        {"morning meeting", us, at(7, 9, 0), at(7, 10, 30),
         "9:00" THIN "–" THIN "10:30" NNBSP "AM"},
        {"across noon", us, at(7, 11, 0), at(7, 13, 0),
         "11:00" NNBSP "AM" THIN "–" THIN "1:00" NNBSP "PM"},
        // Ending at midnight counts as the start's day: one interval, no dates.
        {"until midnight", us, at(7, 21, 0), at(8, 0, 0),
         "9:00" NNBSP "PM" THIN "–" THIN "12:00" NNBSP "AM"},
        {"until midnight, 24-hour", de, at(7, 21, 0), at(8, 0, 0), "21:00–00:00 Uhr"},
        // Half an hour later it is on the next day: two short times and a spaced en dash.
        {"past midnight", us, at(7, 21, 0), at(8, 0, 30),
         "9:00" NNBSP "PM \u2013 12:30" NNBSP "AM"},
        {"past midnight, 24-hour", de, at(7, 21, 0), at(8, 0, 30), "21:00 \u2013 00:30"},
        {"several days", us, at(7, 10, 0), at(9, 11, 0),
         "10:00" NNBSP "AM \u2013 11:00" NNBSP "AM"},
        {"no length", us, at(7, 9, 0), at(7, 9, 0), "9:00" NNBSP "AM"},
        // The clock goes from 02:00 to 03:00 that night; the range is still one day.
        {"over the spring-forward gap", de, at(29, 1, 0), at(29, 4, 0), "01:00–04:00 Uhr"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeGridText::timeRange(event(c.start, c.end), c.calendar), c.text) << c.name;
    }
}

TEST(TimeGridTextTest, HourTextsFollowTheLocalesClock) {
    const struct {
        const char* name;
        const char* locale;
        std::vector<std::pair<int, const char*>> expected; // hour → text
    } cases[] = {
        {"AM/PM",
         "en_US",
         {{0, "12a"}, {1, "1a"}, {11, "11a"}, {12, "12p"}, {13, "1p"}, {23, "11p"}, {24, "12a"}}},
        {"lower-case am/pm", "en_AU", {{0, "12a"}, {12, "12p"}, {24, "12a"}}},
        // Hour 24 is the next midnight again.
        {"24-hour",
         "de_DE",
         {{0, "00:00"}, {9, "09:00"}, {13, "13:00"}, {23, "23:00"}, {24, "00:00"}}},
        {"24-hour by the hour pattern", "en_GB", {{0, "00:00"}, {18, "18:00"}, {24, "00:00"}}},
        {"24-hour with a suffix", "ja_JP", {{0, "00:00"}, {7, "07:00"}, {24, "00:00"}}},
        {"day periods other than AM/PM",
         "ko_KR",
         {{0, "오전 12시"},
          {9, "오전 9시"},
          {12, "오후 12시"},
          {13, "오후 1시"},
          {24, "오전 12시"}}},
    };
    for (const auto& c : cases) {
        const auto texts = TimeGridText::hourTexts(c.locale);
        ASSERT_EQ(texts.size(), 25u) << c.name;
        for (const auto& [hour, text] : c.expected) {
            EXPECT_EQ(texts[static_cast<std::size_t>(hour)], text) << c.name << " hour " << hour;
        }
    }
}

TEST(TimeGridTextTest, AccessibilityLabels) {
    const Calendar us = calendarFor("en_US");
    const CalEvent plain = event(test::at(us, 2026, 3, 7, 9, 0), test::at(us, 2026, 3, 7, 10, 0));
    const std::string range = "9:00" THIN "–" THIN "10:00" NNBSP "AM";

    CalEvent located = plain;
    located.location = "Room 4";
    CalEvent emptyLocation = plain;
    emptyLocation.location = "";
    CalEvent everything = located;
    everything.isDeclined = true;
    everything.isTentative = true;
    everything.isCanceled = true;
    CalEvent declined = plain;
    declined.isDeclined = true;

    EXPECT_EQ(TimeGridText::eventAccessibilityLabel(plain, us), "Review, " + range);
    EXPECT_EQ(TimeGridText::eventAccessibilityLabel(located, us), "Review, " + range + ", Room 4");
    EXPECT_EQ(TimeGridText::eventAccessibilityLabel(emptyLocation, us), "Review, " + range);
    EXPECT_EQ(TimeGridText::eventAccessibilityLabel(everything, us),
              "Review, " + range + ", Room 4, canceled, tentative, declined");
    EXPECT_EQ(TimeGridText::eventAccessibilityLabel(declined, us),
              "Review, " + range + ", declined");

    EXPECT_EQ(TimeGridText::chipAccessibilityLabel(plain), "Review, all day");
    EXPECT_EQ(TimeGridText::overflowAccessibilityLabel(3), "3 more all-day events");
    EXPECT_EQ(TimeGridText::overflowText(3), "+3");
}

} // namespace
} // namespace plannery
