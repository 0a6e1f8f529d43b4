#include "GridViewTestSupport.h"
#include "ListDays.h"
#include "TestSupport.h"

#include "views/TimeGridTiles.h"

#include <gtest/gtest.h>

#include <memory>

namespace plannery {
namespace {

using test::at;
using test::gridEvent;

// A day the grid scrolled away from is let go: once the source forgets its events, nothing of
// the grid keeps them alive, and a tile taken again for another day shows that day only.
TEST(TimeGridTiles, TilesWaitingInThePoolHoldNoDaysEvents) {
    const Calendar cal = test::berlin();
    const Instant monday = at(cal, 2026, 3, 9);
    const Instant tuesday = at(cal, 2026, 3, 10);
    test::ListDays days(
        cal, {gridEvent("standup", "Standup", at(cal, 2026, 3, 9, 9), at(cal, 2026, 3, 9, 10)),
              gridEvent("review", "Review", at(cal, 2026, 3, 10, 14), at(cal, 2026, 3, 10, 15))});
    days.request(monday, at(cal, 2026, 3, 11));
    TimeGridTiles tiles(cal);
    tiles.setSource(&days);
    const TimeGridMetrics metrics;

    std::weak_ptr<const std::vector<CalEvent>> mondayEvents = days.events(monday);
    ASSERT_FALSE(mondayEvents.expired());
    ASSERT_EQ(tiles.column(monday, metrics, 1).tiles().size(), 1u);

    tiles.keep({tuesday});
    days.change(days.all()); // the source reads its days afresh
    EXPECT_TRUE(mondayEvents.expired());
    EXPECT_EQ(tiles.tileCount(), 1u); // the parked column, kept for reuse

    days.request(monday, at(cal, 2026, 3, 11));
    const TimeGridColumn& reused = tiles.column(tuesday, metrics, 1);
    ASSERT_EQ(reused.tiles().size(), 1u);
    EXPECT_EQ(reused.tiles().front().block.segment.event.id, "review");
    EXPECT_EQ(tiles.tileCount(), 1u);
}

} // namespace
} // namespace plannery
