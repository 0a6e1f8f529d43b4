#include "agenda/AgendaLayout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

namespace L = AgendaLayout;

// Round line heights, so the sums read easily.
constexpr AgendaLineHeights kLines{.footnote = 16,
                                   .heading = 24,
                                   .badgeWeekday = 14,
                                   .title = 20,
                                   .caption = 15,
                                   .subheadline = 20};

TEST(AgendaLayout, HeightsOfTheButtonHeadingRowsAndSections) {
    EXPECT_EQ(L::buttonHeight(kLines), 36);      // 10 + 16 + 10
    EXPECT_EQ(L::headingHeight(kLines), 48);     // 18 + 24 + 6
    EXPECT_EQ(L::badgeHeight(kLines), 50);       // 14 + 2 + 34
    EXPECT_EQ(L::eventRowHeight(1, kLines), 41); // 3 + 20 + 15 + 3
    EXPECT_EQ(L::eventRowHeight(2, kLines), 61);
    EXPECT_EQ(L::eventRowHeight(7, kLines), 61); // never more than two title lines
    EXPECT_EQ(L::eventRowHeight(0, kLines), 41);

    // An empty day: the badge is taller than "No events" (36), padded 5 above and below, and the
    // divider.
    EXPECT_EQ(L::sectionHeight(false, {}, kLines), 5 + 50 + 5 + 1);
    EXPECT_EQ(L::sectionHeight(true, {}, kLines), 48 + 61);
    // One short row is shorter than the badge; three rows are not.
    EXPECT_EQ(L::sectionHeight(false, {1}, kLines), 61);
    EXPECT_EQ(L::sectionHeight(false, {1, 2, 1}, kLines), 5 + (41 + 4 + 61 + 4 + 41) + 5 + 1);
    EXPECT_EQ(L::dayRowTop(false, kLines), 5);
    EXPECT_EQ(L::dayRowTop(true, kLines), 53);
    EXPECT_EQ(L::eventRowTops({1, 2, 1}, kLines), (std::vector<double>{0, 45, 110}));
    EXPECT_TRUE(L::eventRowTops({}, kLines).empty());
    EXPECT_EQ(L::footerHeight(), 1 + 16 + 20 + 16);
}

TEST(AgendaLayout, TitlesWrapToTwoLinesWhenTheyDoNotFitOnOne) {
    // 400 wide: 62 before the events, 12 after them, the stripe and its gap, 6 trailing.
    EXPECT_EQ(L::titleWidth(400), 400 - 62 - 12 - 4 - 8 - 6);
    EXPECT_EQ(L::titleWidth(50), 0);
    EXPECT_EQ(L::titleWidth(NAN), 0);
    EXPECT_EQ(L::titleLines(200, 308), 1);
    EXPECT_EQ(L::titleLines(308, 308), 1);
    EXPECT_EQ(L::titleLines(308.5, 308), 2);
    EXPECT_EQ(L::titleLines(5000, 308), 2);
    EXPECT_EQ(L::titleLines(10, 0), 2);
}

TEST(AgendaLayout, TheStackFindsSectionsOffsetsAndTheSentinel) {
    const AgendaStack stack(36, {100, 50, 200}, 53);
    ASSERT_EQ(stack.sectionCount(), 3u);
    EXPECT_EQ(stack.sectionTop(0), 36);
    EXPECT_EQ(stack.sectionTop(2), 186);
    EXPECT_EQ(stack.sectionBottom(2), 386);
    EXPECT_EQ(stack.sentinelTop(), 386);
    EXPECT_EQ(stack.height(), 439);

    // Over the button reads as the first section; below the last as the last.
    EXPECT_EQ(stack.sectionAt(0), 0u);
    EXPECT_EQ(stack.sectionAt(135.9), 0u);
    EXPECT_EQ(stack.sectionAt(136), 1u);
    EXPECT_EQ(stack.sectionAt(385), 2u);
    EXPECT_EQ(stack.sectionAt(5000), 2u);

    // Offsets stop where the content ends.
    EXPECT_EQ(stack.offsetFor(1, 200), 136);
    EXPECT_EQ(stack.offsetFor(2, 300), 139); // 439 − 300
    EXPECT_EQ(stack.maxOffset(1000), 0);

    EXPECT_FALSE(stack.sentinelVisible(0, 386));
    EXPECT_TRUE(stack.sentinelVisible(0, 387));
    EXPECT_TRUE(stack.sentinelVisible(386, 10));
    EXPECT_FALSE(stack.sentinelVisible(387, 10));

    // Nonsense heights count as nothing; no sections at all.
    const AgendaStack odd(36, {NAN, -5, 10}, 53);
    EXPECT_EQ(odd.sectionTop(2), 36);
    EXPECT_EQ(odd.sentinelTop(), 46);
    const AgendaStack none(36, {}, 53);
    EXPECT_EQ(none.sectionAt(40), std::nullopt);
    EXPECT_EQ(none.sentinelTop(), 36);
    EXPECT_EQ(AgendaStack().sectionAt(0), std::nullopt);
}

} // namespace
} // namespace plannery
