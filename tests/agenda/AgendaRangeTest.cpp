#include "TestSupport.h"

#include "agenda/AgendaRange.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

using test::at;

TEST(AgendaRange, ANewListHoldsItsAnchorDayAndTheNext120Days) {
    const Calendar cal = test::berlin();
    // Counted in calendar days across the change to summer time on 29 March.
    const AgendaRange range = AgendaRange::around(at(cal, 2026, 3, 7, 15, 30), cal);
    EXPECT_EQ(range.start, at(cal, 2026, 3, 7));
    EXPECT_EQ(range.end, at(cal, 2026, 7, 5));

    EXPECT_EQ(range.earlier(cal), (AgendaRange{.start = at(cal, 2026, 1, 6), .end = range.end}));
    EXPECT_EQ(range.later(cal), (AgendaRange{.start = range.start, .end = at(cal, 2026, 10, 3)}));
}

TEST(AgendaRange, AnAnchorOutsideGrowsTheRangeToReachIt) {
    const Calendar cal = test::berlin();
    const AgendaRange range{.start = at(cal, 2026, 3, 7), .end = at(cal, 2026, 7, 5)};

    // Inside: nothing changes, also on the first and the last day.
    EXPECT_EQ(range.reaching(at(cal, 2026, 5, 1, 12), cal), range);
    EXPECT_EQ(range.reaching(at(cal, 2026, 3, 7), cal), range);
    EXPECT_EQ(range.reaching(at(cal, 2026, 7, 4, 23, 59), cal), range);
    // Before the start: back to the start of that day.
    EXPECT_EQ(range.reaching(at(cal, 2026, 2, 20, 9), cal),
              (AgendaRange{.start = at(cal, 2026, 2, 20), .end = range.end}));
    // On the end (exclusive) or after it: to 90 days after its day.
    EXPECT_EQ(range.reaching(at(cal, 2026, 7, 5), cal),
              (AgendaRange{.start = range.start, .end = at(cal, 2026, 10, 3)}));
    EXPECT_EQ(range.reaching(at(cal, 2029, 3, 7, 18), cal),
              (AgendaRange{.start = range.start, .end = at(cal, 2029, 6, 5)}));

    // Decades away: a new range around the day rather than every day in between.
    EXPECT_EQ(range.reaching(at(cal, 2070, 1, 1, 8), cal),
              AgendaRange::around(at(cal, 2070, 1, 1), cal));
    EXPECT_EQ(range.reaching(at(cal, 1980, 1, 1, 8), cal),
              AgendaRange::around(at(cal, 1980, 1, 1), cal));
    EXPECT_EQ(range.reaching(Instant{NAN}, cal), range);
}

} // namespace
} // namespace plannery
