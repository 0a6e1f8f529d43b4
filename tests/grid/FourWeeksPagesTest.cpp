#include "TestSupport.h"

#include "grid/FourWeeksPages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

using test::at;
namespace Pages = FourWeeksPages;

Calendar sundayFirst() {
    return *Calendar::make("Europe/Berlin", "en_US", Weekday::sunday);
}

TEST(FourWeeksPages, WeekStartFollowsTheFirstWeekday) {
    const Calendar cal = test::berlin();
    const Instant thursday = at(cal, 2026, 3, 12, 15, 20);
    EXPECT_EQ(Pages::weekStart(thursday, cal), at(cal, 2026, 3, 9));
    EXPECT_EQ(Pages::weekStart(at(cal, 2026, 3, 9), cal), at(cal, 2026, 3, 9));
    EXPECT_EQ(Pages::weekStart(at(cal, 2026, 3, 15, 23, 59), cal), at(cal, 2026, 3, 9));
    EXPECT_EQ(Pages::weekStart(thursday, sundayFirst()), at(cal, 2026, 3, 8));
}

TEST(FourWeeksPages, APageIsFourWeeksOfMidnightsAcrossAClockChange) {
    const Calendar cal = test::berlin();
    // Summer time starts on 29 March 2026: one of these days is 23 hours long.
    const auto weeks = Pages::weeks(at(cal, 2026, 3, 19), cal);
    EXPECT_EQ(weeks[0][0], at(cal, 2026, 3, 16));
    EXPECT_EQ(weeks[1][6], at(cal, 2026, 3, 29));
    EXPECT_EQ(weeks[2][0], at(cal, 2026, 3, 30));
    EXPECT_EQ(weeks[3][6], at(cal, 2026, 4, 12));
    for (const auto& row : weeks) {
        for (const Instant day : row) {
            EXPECT_EQ(cal.components(day).hour, 0);
        }
    }
    const DateInterval span = Pages::interval(at(cal, 2026, 3, 19, 12), cal);
    EXPECT_EQ(span.start, at(cal, 2026, 3, 16));
    EXPECT_EQ(span.end, at(cal, 2026, 4, 13));
}

TEST(FourWeeksPages, TitleNamesOneOrBothMonthsAndYears) {
    const Calendar cal = test::berlin();
    // 1 February 2021 is a Monday: the page is that month exactly.
    EXPECT_EQ(Pages::title(at(cal, 2021, 2, 3), cal), "February 2021");
    EXPECT_EQ(Pages::title(at(cal, 2026, 3, 12), cal), "Mar \u2013 Apr 2026");
    EXPECT_EQ(Pages::title(at(cal, 2025, 12, 17), cal), "Dec 2025 \u2013 Jan 2026");
    const Calendar german = *Calendar::make("Europe/Berlin", "de_DE", Weekday::monday);
    EXPECT_EQ(Pages::title(at(cal, 2021, 2, 3), german), "Februar 2021");
}

TEST(FourWeeksPages, WeekdayLabelsStartOnTheFirstWeekdayAndDimTheWeekend) {
    const auto monday = Pages::weekdayLabels(test::berlin());
    std::string texts;
    for (const auto& label : monday) {
        texts += label.text;
    }
    EXPECT_EQ(texts, "MTWTFSS");
    EXPECT_FALSE(monday[0].dimmed);
    EXPECT_FALSE(monday[4].dimmed);
    EXPECT_TRUE(monday[5].dimmed);
    EXPECT_TRUE(monday[6].dimmed);

    const auto sunday = Pages::weekdayLabels(sundayFirst());
    EXPECT_EQ(sunday[0].text, "S");
    EXPECT_TRUE(sunday[0].dimmed);
    EXPECT_FALSE(sunday[1].dimmed);
    EXPECT_TRUE(sunday[6].dimmed);

    const auto german =
        Pages::weekdayLabels(*Calendar::make("Europe/Berlin", "de_DE", Weekday::monday));
    EXPECT_EQ(german[1].text, "D");
}

TEST(FourWeeksPages, PagesLieWholePagesApartWithinTheRadius) {
    const Calendar cal = test::berlin();
    const Instant center = at(cal, 2026, 3, 9);
    EXPECT_EQ(Pages::pageIndex(center, center, cal), 0);
    EXPECT_EQ(Pages::pageIndex(center, at(cal, 2026, 4, 6), cal), 1);
    EXPECT_EQ(Pages::pageIndex(center, at(cal, 2026, 2, 9), cal), -1);
    EXPECT_EQ(Pages::pageIndex(center, at(cal, 2026, 3, 16), cal), std::nullopt);
    EXPECT_EQ(Pages::pageIndex(center, at(cal, 2026, 3, 9, 12), cal), std::nullopt);
    const Instant last = *Pages::pageStart(center, Pages::pageRadius, cal);
    EXPECT_EQ(Pages::pageIndex(center, last, cal), Pages::pageRadius);
    const Instant beyond = *Pages::pageStart(center, Pages::pageRadius + 1, cal);
    EXPECT_EQ(Pages::pageIndex(center, beyond, cal), std::nullopt);
    EXPECT_EQ(Pages::pageIndex(center, Instant{NAN}, cal), std::nullopt);
}

TEST(FourWeeksPages, AnAnchorSetFromOutsideAnimatesOrRebuilds) {
    const Calendar cal = test::berlin();
    const Instant center = at(cal, 2026, 3, 9);
    using Action = Pages::Received::Action;

    // A Thursday of the page shown: nothing moves; the page starts on the Monday.
    auto received = Pages::receive(at(cal, 2026, 3, 12), center, 0, cal);
    EXPECT_EQ(received, (Pages::Received{.action = Action::none, .page = 0, .pageStart = center}));

    // Four weeks later is the next page of the pager.
    received = Pages::receive(at(cal, 2026, 4, 6), center, 0, cal);
    EXPECT_EQ(received.action, Action::animate);
    EXPECT_EQ(received.page, 1);
    // Back to the centre while another page is shown.
    EXPECT_EQ(Pages::receive(at(cal, 2026, 3, 10), center, 1, cal).action, Action::animate);

    // One week later is no page of this pager: it is built again around that week.
    received = Pages::receive(at(cal, 2026, 3, 18), center, 0, cal);
    EXPECT_EQ(received.action, Action::rebuild);
    EXPECT_EQ(received.pageStart, at(cal, 2026, 3, 16));
}

TEST(FourWeeksPages, SwipesSnapToPages) {
    struct Case {
        const char* name;
        int start;
        double position;
        double velocity;
        int expected;
    };
    const Case cases[] = {
        {"short slow swipe springs back", 0, 0.1, 0.2, 0},
        {"past a fifth moves on", 0, 0.3, 0, 1},
        {"backwards past a fifth", 2, 1.7, 0, 1},
        {"a flick moves on", 0, 0.05, 3, 1},
        {"a flick against the swipe does not", 0, 0.05, -3, 0},
        {"over a page keeps whole pages", 0, 1.1, 0, 1},
        {"over a page and a half", 0, 1.5, 0, 2},
        {"not beyond the pager", 59, 60.0, 5, 60},
        {"broken position stays", 3, NAN, 0, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Pages::snapTarget(c.start, c.position, c.velocity), c.expected) << c.name;
    }
}

} // namespace
} // namespace plannery
