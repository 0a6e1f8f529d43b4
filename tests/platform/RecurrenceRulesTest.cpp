#include "platform/RecurrenceRules.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plannery::ics {
namespace {

// Walks every rule from every start through three windows (a month, ten years, a leap day years
// later) both ways, directly and with the parser's iterator, and checks that both give the same
// starts without running out of budget. Returns how many starts were compared.
int compareWithTheIterator(const std::vector<std::string>& rules,
                           const std::vector<WallTime>& starts) {
    const Calendar calendar = test::berlin();
    const ZoneConverter zone(ZoneRef{.kind = ZoneRef::Kind::named, .id = "Europe/Berlin"}, {},
                             calendar);
    const std::vector<std::pair<WallTime, WallTime>> windows = {
        {{.year = 2026, .month = 2, .day = 1}, {.year = 2026, .month = 3, .day = 1}},
        {{.year = 2019, .month = 1, .day = 1}, {.year = 2029, .month = 1, .day = 1}},
        {{.year = 2028, .month = 2, .day = 28}, {.year = 2028, .month = 3, .day = 2}},
    };
    int compared = 0;
    for (const auto& rule : rules) {
        for (const auto& start : starts) {
            for (const auto& [from, to] : windows) {
                long directBudget = 300000;
                long iteratorBudget = 300000;
                const auto direct = ruleStarts(rule, start, zone, wallSeconds(from),
                                               wallSeconds(to), directBudget, 10000);
                const auto iterated =
                    ruleStarts(rule, start, zone, wallSeconds(from), wallSeconds(to),
                               iteratorBudget, 10000, RuleWalker::iteratorOnly);
                EXPECT_EQ(direct.starts, iterated.starts)
                    << rule << " from " << start.year << "-" << start.month << "-" << start.day
                    << " in the window starting " << from.year << "-" << from.month;
                EXPECT_FALSE(direct.exhausted) << rule;
                if (direct.starts != iterated.starts) {
                    return compared;
                }
                compared += int(direct.starts.size());
            }
        }
    }
    return compared;
}

// Plain rules are computed without the parser's iterator; both must give the same starts, also
// where months lack the day, COUNT runs across skipped months, or the window lies years after
// the first start.
TEST(RecurrenceRulesTest, PlainRulesMatchTheIterator) {
    const std::vector<std::string> rules = {
        "FREQ=DAILY",
        "FREQ=DAILY;INTERVAL=3;COUNT=40",
        "FREQ=WEEKLY",
        "FREQ=WEEKLY;INTERVAL=2;COUNT=30",
        "FREQ=WEEKLY;UNTIL=20270301T000000Z",
        "FREQ=MONTHLY",
        "FREQ=MONTHLY;COUNT=25",
        "FREQ=MONTHLY;INTERVAL=5;COUNT=12",
        "FREQ=YEARLY",
        "FREQ=YEARLY;COUNT=6",
        "FREQ=YEARLY;INTERVAL=3;UNTIL=20400101",
    };
    const std::vector<WallTime> starts = {
        {.year = 2025, .month = 1, .day = 31, .hour = 9, .minute = 30},
        {.year = 2024, .month = 2, .day = 29, .hour = 18},
        {.year = 2026, .month = 3, .day = 29, .hour = 2, .minute = 30}, // skipped in Berlin
        {.year = 2019, .month = 12, .day = 30, .isDate = true},
        {.year = 2026, .month = 10, .day = 31, .hour = 23, .minute = 59, .second = 59},
    };
    EXPECT_GT(compareWithTheIterator(rules, starts), 1000);
}

// Weekly rules naming weekdays are computed too: the same starts as the iterator's when DTSTART
// falls on a day the rule does not name, when weeks begin on another day than Monday with an
// INTERVAL, when COUNT or UNTIL ends the series, and in windows far from DTSTART.
TEST(RecurrenceRulesTest, WeekdaySetsMatchTheIterator) {
    const std::vector<std::string> rules = {
        "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR",
        "FREQ=WEEKLY;BYDAY=TU,TH;COUNT=9",
        "FREQ=WEEKLY;BYDAY=SA,SU;INTERVAL=2",
        "FREQ=WEEKLY;BYDAY=MO,WE,FR;INTERVAL=3;COUNT=20",
        "FREQ=WEEKLY;BYDAY=SU,MO;INTERVAL=2;WKST=SU",
        "FREQ=WEEKLY;BYDAY=SU,TU;INTERVAL=2;WKST=TU;COUNT=15",
        "FREQ=WEEKLY;BYDAY=FR,MO,FR;UNTIL=20270301T000000Z",
        "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR,SA,SU;COUNT=10",
        "FREQ=WEEKLY;BYDAY=WE;INTERVAL=2;UNTIL=20260401",
    };
    const std::vector<WallTime> starts = {
        {.year = 2025, .month = 1, .day = 31, .hour = 9, .minute = 30}, // a Friday
        {.year = 2026, .month = 3, .day = 29, .hour = 2, .minute = 30}, // a Sunday, skipped time
        {.year = 2019, .month = 12, .day = 31, .isDate = true},         // a Tuesday
        {.year = 2026, .month = 2, .day = 4, .hour = 23, .minute = 59}, // a Wednesday
        {.year = 2026, .month = 2, .day = 7, .hour = 8},                // a Saturday
    };
    EXPECT_GT(compareWithTheIterator(rules, starts), 1000);

    const Calendar calendar = test::berlin();
    const ZoneConverter zone(ZoneRef{.kind = ZoneRef::Kind::named, .id = "Europe/Berlin"}, {},
                             calendar);
    // Without COUNT the walk jumps to the window, however far from the first start.
    long budget = 100;
    const auto far = ruleStarts("FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR",
                                WallTime{.year = 1, .month = 1, .day = 1, .hour = 9}, zone,
                                wallSeconds({.year = 2026, .month = 6, .day = 1}),
                                wallSeconds({.year = 2026, .month = 7, .day = 1}), budget, 10000);
    EXPECT_EQ(far.starts.size(), 22u);
    EXPECT_FALSE(far.exhausted);
}

TEST(RecurrenceRulesTest, PlainRulesStayBounded) {
    const Calendar calendar = test::berlin();
    const ZoneConverter zone(ZoneRef{}, {}, calendar);
    const WallTime start{.year = 1, .month = 1, .day = 31, .hour = 8};
    const WallTime from{.year = 2026, .month = 6, .day = 1};
    const WallTime to{.year = 2026, .month = 7, .day = 1};

    // Without COUNT the walk jumps to the window, whatever the distance.
    long budget = 100;
    const auto daily =
        ruleStarts("FREQ=DAILY", start, zone, wallSeconds(from), wallSeconds(to), budget, 10000);
    EXPECT_EQ(daily.starts.size(), 30u);
    EXPECT_FALSE(daily.exhausted);

    // COUNT across months that lack the 31st is walked from the start: the budget ends it.
    budget = 1000;
    const auto counted = ruleStarts("FREQ=MONTHLY;COUNT=1000000000", start, zone, wallSeconds(from),
                                    wallSeconds(to), budget, 10000);
    EXPECT_TRUE(counted.exhausted);
    EXPECT_TRUE(counted.starts.empty());

    // A huge COUNT of days with no month to skip jumps there directly.
    budget = 100;
    const auto many = ruleStarts("FREQ=DAILY;COUNT=1000000000", start, zone, wallSeconds(from),
                                 wallSeconds(to), budget, 10000);
    EXPECT_EQ(many.starts.size(), 30u);
}

// An INTERVAL is used as written, however large: every 86,400 seconds is once a day, and rules
// with parts whose periods lie tens of thousands of days apart still find each one.
TEST(RecurrenceRulesTest, LargeIntervalsAreWalkedAsWritten) {
    const Calendar calendar = test::calendarIn("UTC");
    const ZoneConverter zone(ZoneRef{.kind = ZoneRef::Kind::utc, .id = {}}, {}, calendar);
    auto wall = [](int year, int month, int day, int hour = 0) {
        return WallTime{.year = year, .month = month, .day = day, .hour = hour};
    };
    auto startsOf = [&](const std::string& rule, const WallTime& first, const WallTime& from,
                        const WallTime& to) {
        long budget = 300000;
        auto result =
            ruleStarts(rule, first, zone, wallSeconds(from), wallSeconds(to), budget, 10000);
        EXPECT_FALSE(result.exhausted) << rule;
        return result.starts;
    };
    std::vector<std::int64_t> days;
    for (int day = 2; day <= 8; ++day) {
        days.push_back(wallSeconds(wall(2026, 3, day, 9)));
    }
    EXPECT_EQ(startsOf("FREQ=SECONDLY;INTERVAL=86400", wall(2026, 3, 2, 9), wall(2026, 3, 1),
                       wall(2026, 3, 9)),
              days);
    EXPECT_EQ(startsOf("FREQ=MINUTELY;INTERVAL=1440;COUNT=3", wall(2026, 3, 2, 9), wall(2026, 3, 1),
                       wall(2026, 4, 1)),
              std::vector<std::int64_t>(days.begin(), days.begin() + 3));
    EXPECT_EQ(startsOf("FREQ=DAILY;INTERVAL=86400", wall(2026, 3, 2, 9), wall(2026, 1, 1),
                       wall(2300, 1, 1)),
              (std::vector<std::int64_t>{days.front(), wallSeconds(wall(2262, 9, 21, 9))}));

    // 40,000 days from 1 January 1900 is 8 July 2009, and 80,000 days 13 January 2119.
    const std::vector<std::int64_t> wide{
        wallSeconds(wall(1900, 1, 1, 9)),  wallSeconds(wall(1900, 1, 1, 17)),
        wallSeconds(wall(2009, 7, 8, 9)),  wallSeconds(wall(2009, 7, 8, 17)),
        wallSeconds(wall(2119, 1, 13, 9)), wallSeconds(wall(2119, 1, 13, 17))};
    EXPECT_EQ(startsOf("FREQ=DAILY;INTERVAL=40000;BYHOUR=9,17", wall(1900, 1, 1, 9),
                       wall(1800, 1, 1), wall(2200, 1, 1)),
              wide);
    EXPECT_EQ(startsOf("FREQ=DAILY;INTERVAL=40000;BYHOUR=9,17", wall(1900, 1, 1, 9),
                       wall(2009, 1, 1), wall(2010, 1, 1)),
              std::vector<std::int64_t>(wide.begin() + 2, wide.begin() + 4));
    EXPECT_EQ(startsOf("FREQ=DAILY;INTERVAL=40000;BYHOUR=9,17;COUNT=3", wall(1900, 1, 1, 9),
                       wall(1800, 1, 1), wall(2200, 1, 1)),
              std::vector<std::int64_t>(wide.begin(), wide.begin() + 3));
    // The next week 40,000 weeks on (in the year 2792) lies beyond what the parser's iterator
    // reaches: the first week only.
    EXPECT_EQ(startsOf("FREQ=WEEKLY;INTERVAL=40000;BYDAY=MO,WE", wall(2026, 3, 2, 9),
                       wall(2026, 1, 1), wall(9999, 1, 1)),
              (std::vector<std::int64_t>{wallSeconds(wall(2026, 3, 2, 9)),
                                         wallSeconds(wall(2026, 3, 4, 9))}));
}

} // namespace
} // namespace plannery::ics
