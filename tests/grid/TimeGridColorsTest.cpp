#include "grid/TimeGridColors.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

void expectColor(RGB actual, RGB expected, const char* name) {
    EXPECT_NEAR(actual.r, expected.r, 1e-9) << name;
    EXPECT_NEAR(actual.g, expected.g, 1e-9) << name;
    EXPECT_NEAR(actual.b, expected.b, 1e-9) << name;
}

TEST(TimeGridColorsTest, FillAndTextForBothAppearances) {
    const struct {
        const char* name;
        RGB color;
        RGB fillLight, fillDark, textLight, textDark;
    } cases[] = {
        {"fallback blue", RGB{0.3, 0.5, 0.9}, RGB{0.86, 0.9, 0.98}, RGB{0.1548, 0.2228, 0.3654},
         RGB{0.174, 0.29, 0.522}, RGB{0.615, 0.725, 0.945}},
        // The dark fill's blue channel leans on its own base of 0.09.
        {"black", RGB{0, 0, 0}, RGB{0.8, 0.8, 0.8}, RGB{0.0528, 0.0528, 0.0594}, RGB{0, 0, 0},
         RGB{0.45, 0.45, 0.45}},
        {"white", RGB{1, 1, 1}, RGB{1, 1, 1}, RGB{0.3928, 0.3928, 0.3994}, RGB{0.58, 0.58, 0.58},
         RGB{1, 1, 1}},
        {"pure red", RGB{1, 0, 0}, RGB{1, 0.8, 0.8}, RGB{0.3928, 0.0528, 0.0594}, RGB{0.58, 0, 0},
         RGB{1, 0.45, 0.45}},
    };
    for (const auto& c : cases) {
        expectColor(TimeGridColors::fill(c.color, Appearance::light), c.fillLight, c.name);
        expectColor(TimeGridColors::fill(c.color, Appearance::dark), c.fillDark, c.name);
        expectColor(TimeGridColors::text(c.color, Appearance::light), c.textLight, c.name);
        expectColor(TimeGridColors::text(c.color, Appearance::dark), c.textDark, c.name);
    }
}

std::vector<CalendarRef> calendars(std::size_t count) {
    std::vector<CalendarRef> result;
    for (std::size_t i = 0; i < count; ++i) {
        const double shade = static_cast<double>(i) / 10;
        result.push_back(CalendarRef{.id = "cal" + std::to_string(i), .rgb = RGB{shade, 0, 1}});
    }
    return result;
}

TEST(TimeGridColorsTest, StripeUsesAtMostTheFirstFourCalendarsInOrder) {
    EXPECT_TRUE(TimeGridColors::stripeColors({}).empty());
    EXPECT_TRUE(TimeGridColors::stripe({}, Rect{0, 0, 3, 40}).empty()) << "nothing is drawn";

    const auto three = calendars(3);
    EXPECT_EQ(TimeGridColors::stripeColors(three),
              (std::vector<RGB>{three[0].rgb, three[1].rgb, three[2].rgb}));

    const auto five = calendars(5);
    EXPECT_EQ(TimeGridColors::stripeColors(five),
              (std::vector<RGB>{five[0].rgb, five[1].rgb, five[2].rgb, five[3].rgb}));
    const auto fills = TimeGridColors::stripe(five, Rect{0, 0, 4, 40});
    ASSERT_EQ(fills.size(), 4u);
    for (std::size_t i = 0; i < fills.size(); ++i) {
        EXPECT_EQ(fills[i].color, five[i].rgb);
        EXPECT_FALSE(fills[i].path.empty());
    }

    EXPECT_EQ(TimeGridColors::stripeWidth(true, 1), 2);
    EXPECT_EQ(TimeGridColors::stripeWidth(false, 1), 3);
    EXPECT_EQ(TimeGridColors::stripeWidth(true, 2), 3);
    EXPECT_EQ(TimeGridColors::stripeWidth(false, 5), 4);

    // One calendar fills the whole stripe with its colour.
    const auto single = TimeGridColors::stripe(calendars(1), Rect{2, 3, 3, 40});
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].path, (FillPath{Polygon{{2, 3}, {5, 3}, {5, 43}, {2, 43}}}));
}

} // namespace
} // namespace plannery
