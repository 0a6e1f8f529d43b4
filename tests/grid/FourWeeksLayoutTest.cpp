#include "grid/FourWeeksLayout.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

namespace Layout = FourWeeksLayout;

TEST(FourWeeksLayout, CellsShareTheGridBelowTheHeader) {
    // 700 wide: 100 per column; 422 high: 400 of grid, 100 per row.
    EXPECT_EQ(Layout::cellRect({.row = 0, .column = 0}, 700, 422),
              (Rect{.x = 0, .y = 22, .width = 99, .height = 99}));
    // The last column has no divider after it.
    EXPECT_EQ(Layout::cellRect({.row = 3, .column = 6}, 700, 422),
              (Rect{.x = 600, .y = 322, .width = 100, .height = 99}));
    EXPECT_TRUE(Layout::cellRect({.row = 4, .column = 0}, 700, 422).isEmpty());
    EXPECT_TRUE(Layout::cellRect({.row = 0, .column = 0}, 700, 10).isEmpty());
    EXPECT_EQ(Layout::headerRect(2, 700), (Rect{.x = 200, .y = 0, .width = 100, .height = 21}));
}

TEST(FourWeeksLayout, PointsFindTheirCell) {
    EXPECT_EQ(Layout::cellAt({.x = 150, .y = 130}, 700, 422),
              (Layout::Cell{.row = 1, .column = 1}));
    // A divider belongs to the cell before it.
    EXPECT_EQ(Layout::cellAt({.x = 99.5, .y = 121.5}, 700, 422),
              (Layout::Cell{.row = 0, .column = 0}));
    EXPECT_EQ(Layout::cellAt({.x = 699.9, .y = 421.9}, 700, 422),
              (Layout::Cell{.row = 3, .column = 6}));
    EXPECT_EQ(Layout::cellAt({.x = 50, .y = 10}, 700, 422), std::nullopt); // the header
    EXPECT_EQ(Layout::cellAt({.x = -1, .y = 100}, 700, 422), std::nullopt);
    EXPECT_EQ(Layout::cellAt({.x = 700, .y = 100}, 700, 422), std::nullopt);
    EXPECT_EQ(Layout::cellAt({.x = 50, .y = 100}, 0, 0), std::nullopt);
}

} // namespace
} // namespace plannery
