#include "grid/TimeGridAnchor.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using TimeGridAnchor::Received;

TEST(TimeGridAnchor, StaleReportsAreDroppedAndEchoesIgnored) {
    const Calendar berlin = test::berlin();
    const Instant monday = test::at(berlin, 2026, 3, 9);
    const Instant tuesday = test::at(berlin, 2026, 3, 10);
    const Instant friday = test::at(berlin, 2026, 3, 13);

    // Nobody changed the anchor since the callback was installed: the report is written.
    EXPECT_EQ(TimeGridAnchor::writeBack(monday, monday, std::nullopt, tuesday), tuesday);
    // Already showing it: nothing to write.
    EXPECT_EQ(TimeGridAnchor::writeBack(tuesday, tuesday, std::nullopt, tuesday), std::nullopt);
    // The window moved the anchor to Friday meanwhile: a report of Tuesday is stale.
    EXPECT_EQ(TimeGridAnchor::writeBack(friday, monday, tuesday, tuesday), std::nullopt);
    // The anchor changed, but only by the grid's own last report: the next report goes through.
    EXPECT_EQ(TimeGridAnchor::writeBack(tuesday, monday, tuesday, friday), friday);

    // Receiving: the same day again, or the grid's own report coming back, changes nothing.
    EXPECT_EQ(TimeGridAnchor::receive(tuesday.plus(3600), tuesday, std::nullopt, true, berlin),
              Received::ignore);
    EXPECT_EQ(TimeGridAnchor::receive(friday, monday, friday.plus(7200), true, berlin),
              Received::ignore);
    EXPECT_EQ(TimeGridAnchor::receive(friday, monday, tuesday, true, berlin), Received::scroll);
    EXPECT_EQ(TimeGridAnchor::receive(friday, std::nullopt, std::nullopt, false, berlin),
              Received::remember);
}

} // namespace
} // namespace plannery
