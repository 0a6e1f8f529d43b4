#include "agenda/AgendaFlow.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using Columns = AgendaFlow::Columns;

// A list described by its slots, every row 10 points high, no spacing unless a test sets it.
struct List {
    std::vector<AgendaSlot> slots;
    std::vector<double> heights;

    std::size_t add(AgendaSlot slot, double height = 10) {
        slots.push_back(slot);
        heights.push_back(height);
        return slots.size() - 1;
    }
    Columns columns(double height, int count = 1, double spacing = 0) const {
        return AgendaFlow::columns(slots, heights, height, spacing, count);
    }
};

// Today with three events (a, more, b, more, c, summary) and tomorrow with two.
struct TwoDays {
    List list;
    std::size_t contToday, a, moreA, b, moreB, c, sumC, hdrTomorrow, contTomorrow, d, moreD, e;

    TwoDays() {
        contToday = list.add(AgendaSlot::continuation(0));
        a = list.add(AgendaSlot::row(1, 0, false));
        moreA = list.add(AgendaSlot::footer(1, false));
        b = list.add(AgendaSlot::row(2, 0, false));
        moreB = list.add(AgendaSlot::footer(2, false));
        c = list.add(AgendaSlot::row(3, 0, false));
        sumC = list.add(AgendaSlot::footer(3, true));
        hdrTomorrow = list.add(AgendaSlot::row(4, 1, true));
        contTomorrow = list.add(AgendaSlot::continuation(1));
        d = list.add(AgendaSlot::row(4, 1, false));
        moreD = list.add(AgendaSlot::footer(4, false));
        e = list.add(AgendaSlot::row(5, 1, false));
    }
};

TEST(AgendaFlow, TheLastColumnEndsOnAnEventAndItsFooter) {
    const TwoDays days;
    // Everything fits: no footer after the last event.
    EXPECT_EQ(days.list.columns(1000),
              (Columns{{days.a, days.b, days.c, days.hdrTomorrow, days.d, days.e}}));
    // Room for four rows: the optional summary follows c.
    EXPECT_EQ(days.list.columns(40), (Columns{{days.a, days.b, days.c, days.sumC}}));
    // Room for three: the summary does not fit, so the column ends on c without it.
    EXPECT_EQ(days.list.columns(30), (Columns{{days.a, days.b, days.c}}));
    // Room for two and a half: b needs its "more" footer, so b goes too and a keeps its own.
    EXPECT_EQ(days.list.columns(25), (Columns{{days.a, days.moreA}}));
    // Nothing fits: the column is empty rather than clipped.
    EXPECT_EQ(days.list.columns(5), (Columns{{}}));
}

TEST(AgendaFlow, AHeadingNeverEndsAColumn) {
    const TwoDays days;
    // Four rows of room: the heading after c would end the first column, so it opens the second.
    const Columns two = days.list.columns(40, 2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0], (std::vector<std::size_t>{days.a, days.b, days.c}));
    EXPECT_EQ(two[1], (std::vector<std::size_t>{days.hdrTomorrow, days.d, days.e}));

    // Two rows of room: the second column starts within today, behind its continuation heading.
    const Columns split = days.list.columns(30, 2);
    EXPECT_EQ(split[0], (std::vector<std::size_t>{days.a, days.b, days.c}));
    const Columns mid = days.list.columns(20, 2);
    EXPECT_EQ(mid[0], (std::vector<std::size_t>{days.a, days.b}));
    EXPECT_EQ(mid[1], (std::vector<std::size_t>{days.contToday, days.c}));
    // A middle column that starts within today opens with today's heading as well.
    const Columns three = days.list.columns(20, 3);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[1], (std::vector<std::size_t>{days.contToday, days.c}));
}

TEST(AgendaFlow, AColumnWithOnlyAContinuationIsEmpty) {
    List list;
    list.add(AgendaSlot::continuation(0));
    const std::size_t a = list.add(AgendaSlot::row(1, 0, false));
    list.add(AgendaSlot::row(2, 0, false), 50);
    list.add(AgendaSlot::footer(1, false));
    const Columns columns = list.columns(20, 3);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0], std::vector<std::size_t>{a});
    // The tall row fits nowhere: the middle column would hold only the heading.
    EXPECT_TRUE(columns[1].empty());
    EXPECT_TRUE(columns[2].empty());
}

TEST(AgendaFlow, SpacingToleranceAndColumnCounts) {
    List list;
    const std::size_t a = list.add(AgendaSlot::row(1, 0, false));
    const std::size_t b = list.add(AgendaSlot::row(2, 0, false));
    // 10 + 2 + 10 = 22 fits 21.5 with the half-point tolerance, not 21.4.
    EXPECT_EQ(list.columns(21.5, 1, 2), (Columns{{a, b}}));
    EXPECT_EQ(list.columns(21.4, 1, 2), (Columns{{a}}));
    EXPECT_EQ(list.columns(100, 0).size(), 1u);
    EXPECT_EQ(list.columns(100, -3).size(), 1u);
    EXPECT_EQ(list.columns(100, 4).size(), 4u);
    EXPECT_DOUBLE_EQ(AgendaFlow::listHeight({a, b}, list.heights, 2), 22);
    // Without a proposed height a list is as tall as its rows, each with the spacing after it.
    EXPECT_DOUBLE_EQ(AgendaFlow::fittingHeight(list.slots, list.heights, 2, 1), 24);
    EXPECT_DOUBLE_EQ(AgendaFlow::fittingHeight({}, {}, 2, 1), 0);
}

TEST(AgendaFlow, PlacementParksWhatIsNotShown) {
    const std::vector<double> heights{10, 12, 8};
    const Rect bounds{.x = 5, .y = 7, .width = 221, .height = 100};
    const auto placed = AgendaFlow::place(Columns{{0}, {2}}, heights, bounds, 2, 21, 1.5);
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_DOUBLE_EQ(AgendaFlow::columnWidth(221, 2, 21), 100);
    EXPECT_EQ(placed[0], (AgendaFlow::Placement{.frame = {5, 7, 100, 10}, .shown = true}));
    EXPECT_EQ(placed[2], (AgendaFlow::Placement{.frame = {126, 7, 100, 8}, .shown = true}));
    EXPECT_FALSE(placed[1].shown);
    EXPECT_DOUBLE_EQ(placed[1].frame.y, 107 + AgendaFlow::parkedOffset);
    EXPECT_DOUBLE_EQ(AgendaFlow::columnWidth(10, 3, 21), 0);
}

} // namespace
} // namespace plannery
