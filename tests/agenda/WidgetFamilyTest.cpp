#include "agenda/WidgetFamily.h"
#include "agenda/AgendaRowStyle.h"
#include "agenda/WidgetSizes.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

TEST(WidgetFamily, NamesAndFaces) {
    for (const WidgetFamily family : WidgetFamilies::all) {
        EXPECT_EQ(WidgetFamilies::parse(WidgetFamilies::name(family)), family);
        EXPECT_EQ(WidgetFamilies::face(family, false), WidgetFace::noAccess);
    }
    EXPECT_EQ(WidgetFamilies::parse("extra-large"), WidgetFamily::systemExtraLarge);
    EXPECT_FALSE(WidgetFamilies::parse("huge"));
    EXPECT_FALSE(WidgetFamilies::parse(""));
    EXPECT_EQ(WidgetFamilies::face(WidgetFamily::systemExtraLarge, true), WidgetFace::large);
    EXPECT_EQ(WidgetFamilies::face(WidgetFamily::systemSmall, true), WidgetFace::small);
    EXPECT_EQ(WidgetFamilies::face(WidgetFamily::accessoryInline, true), WidgetFace::inlineText);

    const auto medium = HomeFaceLayout::of(WidgetFace::medium);
    ASSERT_TRUE(medium);
    EXPECT_EQ(medium->columns, 2);
    EXPECT_EQ(medium->cap, 24);
    EXPECT_TRUE(medium->divider);
    const auto large = HomeFaceLayout::of(WidgetFace::large);
    ASSERT_TRUE(large);
    EXPECT_TRUE(large->style.detailed);
    EXPECT_EQ(large->cap, 30);
    EXPECT_EQ(HomeFaceLayout::of(WidgetFace::small)->cap, 14);
    EXPECT_FALSE(HomeFaceLayout::of(WidgetFace::rectangular));
}

TEST(WidgetFamily, TextScaleCutsToOneDecimal) {
    EXPECT_DOUBLE_EQ(TextSizes::scaled(11, TextSize::accessibility), 14.5);
    EXPECT_DOUBLE_EQ(TextSizes::scaled(12.5, TextSize::extraSmall), 11.0);
    EXPECT_DOUBLE_EQ(TextSizes::scaled(9, TextSize::extraLarge), 9.7);
    EXPECT_DOUBLE_EQ(TextSizes::scaled(10.5, TextSize::large), 10.5);
    EXPECT_EQ(TextSizes::parse("xxl"), TextSize::extraExtraLarge);
    EXPECT_EQ(TextSizes::name(TextSize::accessibility), "accessibility");
    EXPECT_FALSE(TextSizes::parse("huge"));

    EXPECT_EQ(AgendaRowStyle::smallAndMedium().timeTemplate(false), "00:00");
    EXPECT_EQ(AgendaRowStyle::smallAndMedium().timeTemplate(true), "00:00p");
    EXPECT_EQ(AgendaRowStyle::large().timeTemplate(true), "00:00\u201300:00p");
    EXPECT_EQ(AgendaRowStyle::large().timeTemplate(false), "00:00\u201300:00");
}

TEST(WidgetSizes, NearestReferenceScreen) {
    const WidgetSizes pro = WidgetSizes::forScreen(400, 870);
    EXPECT_DOUBLE_EQ(pro.small, 164.33);
    EXPECT_EQ(pro.rectangular, (WidgetSizes::Size{166, 74}));
    // Half-way between 393 × 852 and 390 × 844 on both sides: the larger screen's sizes; the
    // same holds between 402 × 874 and 393 × 852.
    EXPECT_DOUBLE_EQ(WidgetSizes::forScreen(397.5, 863).small, 164.33);
    EXPECT_DOUBLE_EQ(WidgetSizes::forScreen(375, 812).mediumWidth, 329);
    EXPECT_DOUBLE_EQ(WidgetSizes::forScreen(5000, 5000).small, 170);
    EXPECT_DOUBLE_EQ(WidgetSizes::forScreen(0, 0).small, 155);

    const WidgetSizes big = WidgetSizes::forScreen(440, 956);
    EXPECT_EQ(big.of(WidgetFamily::systemMedium), (WidgetSizes::Size{364, 170}));
    EXPECT_EQ(big.of(WidgetFamily::systemLarge), (WidgetSizes::Size{364, 382}));
    EXPECT_DOUBLE_EQ(big.spacing(), 24);
    EXPECT_DOUBLE_EQ(big.inlineWidth(), 232);
    EXPECT_EQ(big.of(WidgetFamily::systemExtraLarge), (WidgetSizes::Size{752, 382}));
}

} // namespace
} // namespace plannery
