#include "platform/RecurrenceRules.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plannery::ics {
namespace {

// Plain rules are computed without the parser's iterator; both must give the same starts, also
// where months lack the day, COUNT runs across skipped months, or the window lies years after
// the first start.
TEST(RecurrenceRulesTest, PlainRulesMatchTheIterator) {
    const Calendar calendar = test::berlin();
    const ZoneConverter zone(ZoneRef{.kind = ZoneRef::Kind::named, .id = "Europe/Berlin"}, {},
                             calendar);
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
    const std::vector<std::pair<WallTime, WallTime>> windows = {
        {{.year = 2026, .month = 2, .day = 1}, {.year = 2026, .month = 3, .day = 1}},
        {{.year = 2019, .month = 1, .day = 1}, {.year = 2029, .month = 1, .day = 1}},
        {{.year = 2028, .month = 2, .day = 28}, {.year = 2028, .month = 3, .day = 2}},
    };
    int compared = 0;
    for (const auto& rule : rules) {
        for (const auto& start : starts) {
            for (const auto& [from, to] : windows) {
                long plainBudget = 300000;
                long iteratorBudget = 300000;
                const auto plain = ruleStarts(rule, start, zone, wallSeconds(from), wallSeconds(to),
                                              plainBudget, 10000);
                const auto iterated =
                    ruleStarts(rule, start, zone, wallSeconds(from), wallSeconds(to),
                               iteratorBudget, 10000, RuleWalker::iteratorOnly);
                ASSERT_EQ(plain.starts, iterated.starts)
                    << rule << " from " << start.year << "-" << start.month << "-" << start.day
                    << " in the window starting " << from.year << "-" << from.month;
                EXPECT_FALSE(plain.exhausted);
                compared += int(plain.starts.size());
            }
        }
    }
    EXPECT_GT(compared, 1000);
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

} // namespace
} // namespace plannery::ics
