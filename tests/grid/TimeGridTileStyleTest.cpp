#include "grid/TimeGridTileStyle.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using namespace TimeGridTileStyle;

TEST(TimeGridTileStyleTest, ShapeAndCorners) {
    const struct {
        const char* name;
        Rect bounds;
        bool outlined, before, after;
        TileShape shape;
    } cases[] = {
        {"plain tile", {0, 0, 100, 40}, false, false, false, {{0, 0, 100, 40}, 4, true, true}},
        {"outlined tile keeps a point free",
         {0, 0, 100, 40},
         true,
         false,
         false,
         {{1, 1, 98, 38}, 4, true, true}},
        {"outlined but only 6 points tall",
         {0, 0, 100, 6},
         true,
         false,
         false,
         {{0, 0, 100, 6}, 3, true, true}},
        {"short tile: radius half the height",
         {0, 0, 50, 5},
         false,
         false,
         false,
         {{0, 0, 50, 5}, 2.5, true, true}},
        {"continues from the day before",
         {0, 0, 50, 30},
         false,
         true,
         false,
         {{0, 0, 50, 30}, 4, false, true}},
        {"continues into the next day",
         {0, 0, 50, 30},
         true,
         false,
         true,
         {{1, 1, 48, 28}, 4, true, false}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shape(c.bounds, c.outlined, c.before, c.after), c.shape) << c.name;
    }
    const TileShape outlined = shape({0, 0, 100, 40}, true, true, false);
    EXPECT_EQ(outlineGap({0, 0, 100, 40}, outlined), (TileShape{{0, 0, 100, 40}, 5, false, true}));
}

TEST(TimeGridTileStyleTest, TentativeHatchAndOutline) {
    // Strokes rise from the bottom to the top a shape height to the right, every 6 points,
    // starting a height left of the shape.
    const auto lines = hatchLines(Rect{0, 0, 20, 10});
    ASSERT_EQ(lines.size(), 5u); // x = −10, −4, 2, 8, 14
    EXPECT_EQ(lines.front(), (HatchLine{{-10, 10}, {0, 0}}));
    EXPECT_EQ(lines.back(), (HatchLine{{14, 10}, {24, 0}}));
    EXPECT_TRUE(hatchLines(Rect{0, 0, 0, 10}).empty());
    EXPECT_EQ(hatchAlpha(Appearance::dark), 0.3);
    EXPECT_EQ(hatchAlpha(Appearance::light), 0.22);

    EXPECT_EQ(tentativeOutline(shape({0, 0, 100, 40}, false, false, false)),
              (TileShape{{0.5, 0.5, 99, 39}, 3.5, true, true}));
    EXPECT_EQ(tentativeOutline(shape({0, 0, 100, 6}, false, false, true)),
              (TileShape{{0.5, 0.5, 99, 5}, 2.5, true, false}));
    EXPECT_EQ(tentativeOutline(shape({0, 0, 100, 0.5}, false, false, false)).radius, 0);
}

TEST(TimeGridTileStyleTest, StripeAndFonts) {
    EXPECT_EQ(stripeRect(Rect{1, 1, 98, 38}, false, 1), (Rect{1, 1, 3, 38}));
    EXPECT_EQ(stripeRect(Rect{0, 0, 40, 20}, true, 1), (Rect{0, 0, 2, 20}));
    EXPECT_EQ(stripeRect(Rect{0, 0, 40, 20}, true, 3), (Rect{0, 0, 3, 20}));
    EXPECT_EQ(stripeRect(Rect{0, 0, 40, 20}, false, 2), (Rect{0, 0, 4, 20}));

    EXPECT_EQ(titleFont(true, 50), (FontSpec{.size = 10, .weight = FontWeight::semibold}));
    EXPECT_EQ(titleFont(false, 19.5), (FontSpec{.size = 10.5, .weight = FontWeight::semibold}));
    EXPECT_EQ(titleFont(false, 20), (FontSpec{.size = 11.5, .weight = FontWeight::semibold}));
    EXPECT_EQ(timeFont(true), (FontSpec{.size = 9.5, .weight = FontWeight::regular}));
    EXPECT_EQ(timeFont(false), (FontSpec{.size = 10.5, .weight = FontWeight::regular}));
    EXPECT_EQ(narrowWordFont(), (FontSpec{.size = 9.5, .weight = FontWeight::semibold}));
}

} // namespace
} // namespace plannery
