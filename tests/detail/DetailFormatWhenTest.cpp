#include "detail/DetailFormat.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

namespace plannery {
namespace {

// ICU writes a narrow no-break space before AM/PM and thin spaces around the range dash.
#define NNBSP "\u202f"
#define THIN "\u2009"

Calendar german() {
    return *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday);
}

struct WhenCase {
    const char* name;
    Instant start;
    Instant end;
    bool allDay;
    const char* date;
    const char* time;
};

TEST(DetailFormatWhenTest, DateAndTimeLinesInEnglish) {
    const Calendar c = test::berlin();
    const std::string& en = c.localeId();
    const WhenCase cases[] = {
        {"timed within a day", test::at(c, 2026, 12, 4, 9), test::at(c, 2026, 12, 4, 10, 30), false,
         "Friday, Dec 4, 2026", "9:00" THIN "\u2013" THIN "10:30" NNBSP "AM"},
        {"morning into afternoon", test::at(c, 2026, 12, 4, 11), test::at(c, 2026, 12, 4, 13),
         false, "Friday, Dec 4, 2026", "11:00" NNBSP "AM" THIN "\u2013" THIN "1:00" NNBSP "PM"},
        {"end equals start", test::at(c, 2026, 12, 4, 9), test::at(c, 2026, 12, 4, 9), false,
         "Friday, Dec 4, 2026", "9:00" NNBSP "AM"},
        {"end before start", test::at(c, 2026, 12, 4, 9), test::at(c, 2026, 12, 4, 8), false,
         "Friday, Dec 4, 2026", "9:00" NNBSP "AM"},
        {"ends exactly at midnight", test::at(c, 2026, 12, 4, 21), test::at(c, 2026, 12, 5), false,
         "Friday, Dec 4, 2026", "9:00" NNBSP "PM \u2013 12:00" NNBSP "AM"},
        {"across midnight", test::at(c, 2026, 12, 4, 22), test::at(c, 2026, 12, 5, 2), false,
         "Fri, Dec 4, 10:00" NNBSP "PM \u2013", "Sat, Dec 5, 2026, 2:00" NNBSP "AM"},
        {"across the new year", test::at(c, 2026, 12, 31, 22), test::at(c, 2027, 1, 1, 2), false,
         "Thu, Dec 31, 2026, 10:00" NNBSP "PM \u2013", "Fri, Jan 1, 2027, 2:00" NNBSP "AM"},
        {"all day, one day", test::at(c, 2026, 12, 4), test::at(c, 2026, 12, 5), true,
         "Friday, Dec 4, 2026", "All day"},
        {"all day, no length", test::at(c, 2026, 12, 4), test::at(c, 2026, 12, 4), true,
         "Friday, Dec 4, 2026", "All day"},
        {"all day, three days", test::at(c, 2026, 12, 4), test::at(c, 2026, 12, 7), true,
         "Fri, Dec 4" THIN "\u2013" THIN "Sun, Dec 6, 2026", "All day \u00b7 3 days"},
        {"all day over the autumn clock change", test::at(c, 2026, 10, 24),
         test::at(c, 2026, 10, 28), true, "Sat, Oct 24" THIN "\u2013" THIN "Tue, Oct 27, 2026",
         "All day \u00b7 4 days"},
        {"all day over the new year", test::at(c, 2026, 12, 30), test::at(c, 2027, 1, 2), true,
         "Wed, Dec 30, 2026" THIN "\u2013" THIN "Fri, Jan 1, 2027", "All day \u00b7 3 days"},
    };
    for (const WhenCase& row : cases) {
        const DetailFormat::WhenLines lines =
            DetailFormat::when(row.start, row.end, row.allDay, c, en);
        EXPECT_EQ(lines.date, row.date) << row.name;
        EXPECT_EQ(lines.time, row.time) << row.name;
    }
}

TEST(DetailFormatWhenTest, DateAndTimeLinesFollowTheLocaleAndZone) {
    const Calendar de = german();
    const DetailFormat::WhenLines day = DetailFormat::when(
        test::at(de, 2026, 12, 4, 9), test::at(de, 2026, 12, 4, 10, 30), false, de, "de_DE");
    EXPECT_EQ(day.date, "Freitag, 4. Dez. 2026");
    EXPECT_EQ(day.time, "09:00\u201310:30 Uhr");

    const DetailFormat::WhenLines night = DetailFormat::when(
        test::at(de, 2026, 12, 4, 22), test::at(de, 2026, 12, 5, 2), false, de, "de_DE");
    EXPECT_EQ(night.date, "Fr., 4. Dez., 22:00 \u2013");
    EXPECT_EQ(night.time, "Sa., 5. Dez. 2026, 02:00");

    const DetailFormat::WhenLines days =
        DetailFormat::when(test::at(de, 2026, 12, 4), test::at(de, 2026, 12, 7), true, de, "de_DE");
    EXPECT_EQ(days.date, "Fr., 4. \u2013 So., 6. Dez. 2026");
    EXPECT_EQ(days.time, "All day \u00b7 3 days");

    // The same instants read in Tokyo fall on other days.
    const Calendar tokyo = test::calendarIn("Asia/Tokyo");
    const DetailFormat::WhenLines there = DetailFormat::when(
        test::at(de, 2026, 12, 4, 9), test::at(de, 2026, 12, 4, 10, 30), false, tokyo, "en_US");
    EXPECT_EQ(there.date, "Friday, Dec 4, 2026");
    EXPECT_EQ(there.time, "5:00" THIN "\u2013" THIN "6:30" NNBSP "PM");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(DetailFormat::when(Instant{nan}, test::at(de, 2026, 12, 4), false, de, "de_DE"),
              DetailFormat::WhenLines{})
        << "an instant that is not a number gives empty lines, not a crash";
}

TEST(DetailFormatWhenTest, EventZoneIsNamedOnlyWhenItDiffersFromTheUsers) {
    const Calendar berlin = test::berlin();
    const Calendar london = test::calendarIn("Europe/London");
    const Instant winter = test::at(berlin, 2026, 12, 4, 9);
    using Zones = std::vector<std::optional<std::string>>;
    struct Case {
        const char* name;
        const Calendar& calendar;
        Zones zones;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"no copies", berlin, {}, std::nullopt},
        {"no zone on any copy", berlin, {std::nullopt}, std::nullopt},
        {"UTC spellings", berlin, {"UTC", "Etc/UTC", "GMT", "UCT", "Zulu"}, std::nullopt},
        {"another zone", berlin, {"America/Los_Angeles"}, "America/Los_Angeles"},
        {"same offset, other name", berlin, {"Europe/Paris"}, std::nullopt},
        {"one copy in the user's offset",
         berlin,
         {"America/Los_Angeles", "Europe/Berlin"},
         std::nullopt},
        {"first remaining zone wins",
         berlin,
         {std::nullopt, "UTC", "America/New_York", "America/Los_Angeles"},
         "America/New_York"},
        {"unknown identifiers are skipped", berlin, {"Not/AZone", "Asia/Tokyo"}, "Asia/Tokyo"},
        {"a real zone at offset zero is kept", berlin, {"Africa/Abidjan"}, "Africa/Abidjan"},
        {"UTC for a user at offset zero", london, {"UTC"}, std::nullopt},
        {"zero offset zone for a user at zero", london, {"Africa/Abidjan"}, std::nullopt},
    };
    for (const Case& row : cases) {
        EXPECT_EQ(DetailFormat::eventZone(row.zones, winter, row.calendar), row.expected)
            << row.name;
    }
}

TEST(DetailFormatWhenTest, TimeZoneNoteShowsTheEventsOwnClock) {
    const Calendar c = test::berlin();
    const Instant six = test::at(c, 2026, 12, 4, 18);
    const Instant seven = test::at(c, 2026, 12, 4, 19);
    EXPECT_EQ(DetailFormat::timeZoneNote(six, seven, std::nullopt, c, "en_US"), std::nullopt);
    EXPECT_EQ(DetailFormat::timeZoneNote(six, seven, "Europe/Paris", c, "en_US"), std::nullopt)
        << "same offsets at start and end";
    EXPECT_EQ(DetailFormat::timeZoneNote(six, seven, "Not/AZone", c, "en_US"), std::nullopt);

    EXPECT_EQ(DetailFormat::timeZoneNote(six, seven, "America/Los_Angeles", c, "en_US"),
              "9:00" THIN "\u2013" THIN "10:00" NNBSP "AM Pacific Time");
    EXPECT_EQ(DetailFormat::timeZoneNote(six, test::at(c, 2026, 12, 5, 19), "America/Los_Angeles",
                                         c, "en_US"),
              "Fri, Dec 4, 9:00" NNBSP "AM" THIN "\u2013" THIN "Sat, Dec 5, 10:00" NNBSP
              "AM Pacific Time");
    // 18:00-19:00 in Berlin is 00:00-01:00 the next day in Tokyo: one day there.
    EXPECT_EQ(DetailFormat::timeZoneNote(six, seven, "Asia/Tokyo", c, "en_US"),
              "2:00" THIN "\u2013" THIN "3:00" NNBSP "AM Japan Standard Time");
    EXPECT_EQ(DetailFormat::timeZoneNote(six, seven, "Etc/GMT+5", c, "en_US"),
              "12:00" THIN "\u2013" THIN "1:00" NNBSP "PM Etc/GMT+5")
        << "a zone without a name of its own is shown by its identifier";
    EXPECT_EQ(DetailFormat::timeZoneNote(six, seven, "America/Los_Angeles", german(), "de_DE"),
              "09:00\u201310:00 Uhr Nordamerikanische Westk\u00fcstenzeit");

    // Lagos keeps UTC+1 all year; Berlin leaves it on 29 March. Equal at the start is not
    // enough.
    const Instant saturday = test::at(c, 2026, 3, 28, 9);
    EXPECT_EQ(DetailFormat::timeZoneNote(saturday, saturday.plus(3600), "Africa/Lagos", c, "en_US"),
              std::nullopt);
    EXPECT_EQ(DetailFormat::timeZoneNote(saturday, test::at(c, 2026, 3, 30, 9), "Africa/Lagos", c,
                                         "en_US"),
              "Sat, Mar 28, 9:00" NNBSP "AM" THIN "\u2013" THIN "Mon, Mar 30, 8:00" NNBSP
              "AM West Africa Standard Time");
}

TEST(DetailFormatWhenTest, RelativeAlertsOfTimedEvents) {
    const Calendar c = test::berlin();
    const Instant start = test::at(c, 2026, 12, 4, 9);
    constexpr double kMinute = 60;
    constexpr double kHour = 60 * kMinute;
    constexpr double kDay = 24 * kHour;
    const std::pair<double, const char*> cases[] = {
        {0, "At time of event"},
        {-20, "At time of event"},
        {29.9, "At time of event"},
        {std::numeric_limits<double>::quiet_NaN(), "At time of event"},
        {-30, "1 minute before"},
        {-5 * kMinute, "5 minutes before"},
        {10 * kMinute, "10 minutes after"},
        {-90 * kMinute, "1 hour, 30 minutes before"},
        {-kDay, "1 day before"},
        {-7 * kDay, "1 week before"},
        {-(7 * kDay + 3 * kHour), "1 week, 3 hours before"},
        {-(8 * kDay + 3 * kHour + 5 * kMinute), "1 week, 1 day before"},
        {2 * kDay + kMinute, "2 days, 1 minute after"},
    };
    for (const auto& [offset, text] : cases) {
        EXPECT_EQ(DetailFormat::alarm(offset, false, start, c, "en_US"), text) << offset;
    }
    EXPECT_EQ(DetailFormat::alarm(-90 * kMinute, false, start, german(), "de_DE"),
              "1 Stunde, 30 Minuten before");
    const std::string huge = DetailFormat::alarm(1e300, false, start, c, "en_US");
    EXPECT_TRUE(huge.ends_with(" after")) << huge;
}

TEST(DetailFormatWhenTest, RelativeAlertsOfAllDayEventsNameTheDayAndClock) {
    const Calendar c = test::berlin();
    const Instant day = test::at(c, 2026, 12, 4);
    constexpr double kHour = 3600;
    const std::pair<double, const char*> cases[] = {
        {9 * kHour, "On the day at 9:00" NNBSP "AM"},
        {-15 * kHour, "1 day before at 9:00" NNBSP "AM"},
        {-39 * kHour, "2 days before at 9:00" NNBSP "AM"},
        {33 * kHour, "1 day after at 9:00" NNBSP "AM"},
        {57 * kHour, "2 days after at 9:00" NNBSP "AM"},
    };
    for (const auto& [offset, text] : cases) {
        EXPECT_EQ(DetailFormat::alarm(offset, true, day, c, "en_US"), text) << offset;
        EXPECT_EQ(DetailFormat::alarm(offset, true, day.plus(11 * kHour), c, "en_US"), text)
            << "the offset counts from the start of the day";
    }
    // 25 October has 25 hours: ten hours after its midnight is 09:00.
    EXPECT_EQ(DetailFormat::alarm(10 * kHour, true, test::at(c, 2026, 10, 25), c, "en_US"),
              "On the day at 9:00" NNBSP "AM");
    EXPECT_EQ(DetailFormat::alarm(-15 * kHour, true, day, german(), "de_DE"),
              "1 day before at 09:00");
}

TEST(DetailFormatWhenTest, AbsoluteAlertsUseMediumDateAndShortTime) {
    const Calendar c = test::berlin();
    EXPECT_EQ(DetailFormat::alarm(test::at(c, 2026, 12, 4, 9), c, "en_US"),
              "Dec 4, 2026, 9:00" NNBSP "AM");
    EXPECT_EQ(DetailFormat::alarm(test::at(c, 2026, 12, 4, 9), german(), "de_DE"),
              "04.12.2026, 09:00");
    EXPECT_EQ(DetailFormat::alarm(Instant{std::numeric_limits<double>::infinity()}, c, "en_US"),
              "");
}

TEST(DetailFormatWhenTest, FormattersAreKeptPerThread) {
    const Calendar c = test::berlin();
    const Instant start = test::at(c, 2026, 12, 4, 9);
    std::string fromOtherThread;
    std::thread other([&] {
        const Calendar mine = test::berlin();
        fromOtherThread = DetailFormat::when(start, start.plus(5400), false, mine, "en_US").time;
    });
    const std::string here = DetailFormat::when(start, start.plus(5400), false, c, "en_US").time;
    other.join();
    EXPECT_EQ(fromOtherThread, here);
    EXPECT_EQ(here, "9:00" THIN "\u2013" THIN "10:30" NNBSP "AM");
}

} // namespace
} // namespace plannery
