#include "grid/SwipeVelocity.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

TEST(SwipeVelocity, MeasuresTheLastMomentsFromTheEventsOwnTimes) {
    SwipeVelocity swipe;
    EXPECT_EQ(swipe.at(0), 0);
    // 5 points every 5 ms for 45 ms, lifted at once: 50 points over 45 ms.
    for (int i = 0; i < 10; ++i) {
        swipe.add(1000 + 5 * i, 5);
    }
    EXPECT_DOUBLE_EQ(swipe.at(1045), 50.0 / 45);
    // Lifted 30 ms later: the same moves over 75 ms.
    EXPECT_DOUBLE_EQ(swipe.at(1075), 50.0 / 75);
    // Resting more than 50 ms before lifting throws nothing.
    EXPECT_EQ(swipe.at(1096), 0);
    EXPECT_GT(swipe.at(1095), 0);

    // Only the last 80 ms count: a slow start does not slow a fast end.
    swipe.reset();
    for (int i = 0; i <= 20; ++i) {
        swipe.add(2000 + 10 * i, i < 12 ? 1 : -20); // turns round at 2120
    }
    EXPECT_DOUBLE_EQ(swipe.at(2200), -20.0 * 9 / 80);

    // Moves closer together than a frame count over one frame; a stamp that goes back counts
    // as the last one; empty and broken moves count for nothing.
    swipe.reset();
    swipe.add(3000, 8);
    swipe.add(2990, 8);
    swipe.add(3000, 0);
    swipe.add(3000, std::nan(""));
    EXPECT_DOUBLE_EQ(swipe.at(3000), 16.0 / 16);
    EXPECT_DOUBLE_EQ(swipe.at(2000), 16.0 / 16); // an end before the last move is that move
}

} // namespace
} // namespace plannery
