#include "grid/TimeGridLayout.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

namespace plannery {
namespace {

using TimeGridLayout::Interval;
using TimeGridLayout::Placement;

TimeGridSegment segment(std::string id, double startMinute, double endMinute) {
    return TimeGridSegment{
        .event = CalEvent{.id = std::move(id), .title = "Event"},
        .startMinute = startMinute,
        .endMinute = endMinute,
    };
}

struct Column {
    double width = 100;
    double hourHeight = 50;
    double startHour = 0;
    double endHour = 24;
    double top = 0;
};

// The blocks as the column view asks for them.
std::vector<TimeGridBlock> viewBlocks(const std::vector<TimeGridSegment>& segments,
                                      const Column& column = {}) {
    return TimeGridLayout::blocks(segments, column.width, column.hourHeight, column.top,
                                  column.startHour, column.endHour, 13, 1.5,
                                  column.width < 80 ? 1 : 4, 1);
}

std::vector<std::string> texts(const std::vector<Placement>& placements) {
    std::vector<std::string> result;
    for (const Placement& p : placements) {
        result.push_back(p.text());
    }
    return result;
}

// What must hold for any input: finite frames inside the column, each z once, covered
// stretches ascending and inside their block.
void expectSound(const std::vector<TimeGridBlock>& blocks, const Column& column,
                 const std::string& name) {
    const double right = std::max(column.width - 1.5 - (column.width < 80 ? 1 : 4), 1.0) + 1.5;
    std::set<int> zs;
    for (const TimeGridBlock& b : blocks) {
        const Rect& f = b.frame;
        ASSERT_TRUE(std::isfinite(f.x) && std::isfinite(f.y) && std::isfinite(f.width) &&
                    std::isfinite(f.height))
            << name;
        EXPECT_GE(f.width, 1) << name;
        EXPECT_GE(f.height, 1) << name;
        EXPECT_GE(f.x, 1.5) << name;
        EXPECT_LE(f.right(), std::max(right, f.x + 1) + 1e-9) << name;
        EXPECT_GE(b.depth, 0) << name;
        zs.insert(b.z);
        for (std::size_t i = 0; i < b.covered.size(); ++i) {
            EXPECT_GE(b.covered[i].lower, -1e-9) << name;
            EXPECT_LE(b.covered[i].upper, f.height + 1e-9) << name;
            EXPECT_LT(b.covered[i].lower, b.covered[i].upper) << name;
            if (i > 0) {
                EXPECT_LE(b.covered[i - 1].lower, b.covered[i].lower) << name;
            }
        }
    }
    EXPECT_EQ(zs.size(), blocks.size()) << name;
    if (!zs.empty()) {
        EXPECT_EQ(*zs.begin(), 0) << name;
        EXPECT_EQ(*zs.rbegin(), static_cast<int>(blocks.size()) - 1) << name;
    }
}

TEST(TimeGridLayoutTest, ShortEventsAreDrawnTallButGiveWayToTheNext) {
    // At 50 points an hour, 13 points are 15.6 minutes and 9 points 10.8 minutes.
    const auto firstFrame = [](double nextStart, double hourHeight) {
        const auto blocks =
            viewBlocks({segment("short", 600, 605), segment("next", nextStart, 700)},
                       Column{.hourHeight = hourHeight});
        return blocks.at(0).frame;
    };
    const struct {
        const char* name;
        double nextStart;
        double hourHeight;
        double height; // frame height: the drawn length minus the one-point gap
    } cases[] = {
        {"alone in its extension", 700, 50, 12},
        {"next 4 points below: both keep 13 points", 605, 50, 12},
        {"next 8.3 points below: still too close to cut", 610, 50, 12},
        {"next 10 points below: cut there", 612, 50, 9},
        {"next 10 points below at 60 points an hour: cut", 610, 60, 9},
        {"next past the extension", 616, 50, 12},
    };
    for (const auto& c : cases) {
        const Rect frame = firstFrame(c.nextStart, c.hourHeight);
        EXPECT_DOUBLE_EQ(frame.y, c.hourHeight * 10 + 0.5) << c.name;
        EXPECT_NEAR(frame.height, c.height, 1e-9) << c.name;
    }
    // An event starting before the short one ends does not cut it, nor does a later one that
    // starts together with it.
    const auto blocks = viewBlocks(
        {segment("short", 600, 605), segment("inside", 603, 700), segment("same", 600, 605)});
    EXPECT_NEAR(blocks[0].frame.height, 12, 1e-9);
    EXPECT_NEAR(blocks[2].frame.height, 12, 1e-9);
}

TEST(TimeGridLayoutTest, DrawableIntervalInsideTheBandOrTheDay) {
    const Column band{.width = 100, .hourHeight = 50, .startHour = 8, .endHour = 18, .top = 20};
    const auto blocks = viewBlocks(
        {
            segment("beforeBand", 0, 300),    // e.g. the last day of a long event
            segment("startsEarly", 420, 490), // clipped to the band's start, 13 points tall
            segment("endsLate", 1020, 1200),  // clipped to the band's end
            segment("atBandEnd", 1075, 1080), // extension moved up into the band
            segment("endOfDay", 1435, 1440),  // outside the band: kept inside the day
        },
        band);
    const struct {
        const char* name;
        double startMinute;
        double endMinute;
    } expected[] = {
        {"beforeBand", 0, 300},      {"startsEarly", 480, 495.6}, {"endsLate", 1020, 1080},
        {"atBandEnd", 1064.4, 1080}, {"endOfDay", 1424.4, 1440},
    };
    ASSERT_EQ(blocks.size(), std::size(expected));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Rect& f = blocks[i].frame;
        EXPECT_NEAR(f.y, 20 + 50 * (expected[i].startMinute / 60 - 8) + 0.5, 1e-9)
            << expected[i].name;
        EXPECT_NEAR(f.height, 50 * (expected[i].endMinute - expected[i].startMinute) / 60 - 1, 1e-9)
            << expected[i].name;
    }
    // Lying outside the band means lying outside the visible area.
    EXPECT_LT(blocks[0].frame.bottom(), 20);
    EXPECT_GT(blocks[4].frame.top(), 20 + 50 * 10);
}

TEST(TimeGridLayoutTest, SideBySideCascadeAndSeparateClusters) {
    const struct {
        const char* name;
        double columnWidth;
        std::vector<TimeGridSegment> segments;
        std::vector<Rect> frames;
        std::vector<int> depths;
    } cases[] = {
        {"starting together: two half columns with a one-point gap",
         100,
         {segment("a", 540, 600), segment("b", 550, 600)},
         {{1.5, 450.5, 46.75, 49}, {49.25, 458.83333333333331, 46.75, 40.666666666666664}},
         {0, 0}},
        {"starting apart: cascaded, indented by 6% of the width",
         100,
         {segment("long", 540, 720), segment("inside", 630, 660)},
         {{1.5, 450.5, 94.5, 149}, {7.5, 525.5, 88.5, 24}},
         {0, 1}},
        {"three at the same time stay side by side though narrow",
         60,
         {segment("a", 540, 600), segment("b", 540, 600), segment("c", 540, 600)},
         {{1.5, 450.5, 18.5, 49}, {21, 450.5, 18.5, 49}, {40.5, 450.5, 18.5, 49}},
         {0, 0, 0}},
        {"back to back: separate clusters at full width",
         100,
         {segment("a", 540, 600), segment("b", 600, 660)},
         {{1.5, 450.5, 94.5, 49}, {1.5, 500.5, 94.5, 49}},
         {0, 0}},
    };
    for (const auto& c : cases) {
        const auto blocks = viewBlocks(c.segments, Column{.width = c.columnWidth});
        ASSERT_EQ(blocks.size(), c.frames.size()) << c.name;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            EXPECT_NEAR(blocks[i].frame.x, c.frames[i].x, 1e-9) << c.name << " " << i;
            EXPECT_NEAR(blocks[i].frame.y, c.frames[i].y, 1e-9) << c.name << " " << i;
            EXPECT_NEAR(blocks[i].frame.width, c.frames[i].width, 1e-9) << c.name << " " << i;
            EXPECT_NEAR(blocks[i].frame.height, c.frames[i].height, 1e-9) << c.name << " " << i;
            EXPECT_EQ(blocks[i].depth, c.depths[i]) << c.name << " " << i;
            EXPECT_EQ(blocks[i].segment, c.segments[i]) << c.name << " " << i;
        }
    }

    // The cascaded event is drawn over the long one, which knows where.
    const auto cascade = viewBlocks({segment("long", 540, 720), segment("inside", 630, 660)});
    EXPECT_GT(cascade[1].z, cascade[0].z);
    ASSERT_EQ(cascade[0].covered.size(), 1u);
    EXPECT_NEAR(cascade[0].covered[0].lower, 75, 1e-9);
    EXPECT_NEAR(cascade[0].covered[0].upper, 99, 1e-9);
    EXPECT_TRUE(cascade[1].covered.empty());
    const auto sideBySide = viewBlocks({segment("a", 540, 600), segment("b", 550, 600)});
    EXPECT_TRUE(sideBySide[0].covered.empty() && sideBySide[1].covered.empty());
}

TEST(TimeGridLayoutTest, PlacementOfIntervals) {
    // The view's values for a 100-point column at 50 points an hour.
    const auto view = [](const std::vector<Interval>& intervals, double width = 94.5) {
        const double indent = std::min(std::max(std::round(width * 0.06), 4.0), 14.0);
        return texts(TimeGridLayout::place(intervals, width, 26.4, indent, 24, 1, width / 2));
    };
    using Texts = std::vector<std::string>;
    // Results come in the input's order, whatever the time order.
    EXPECT_EQ(view({{630, 660}, {540, 720}}), (Texts{"6-94.5@1", "0-94.5@0"}));
    // Each level of a cascade indents again, as long as the minimum column width remains.
    EXPECT_EQ(texts(TimeGridLayout::place({{540, 1200}, {600, 1100}, {660, 1000}, {720, 900}}, 20,
                                          26.4, 6, 24, 1, 10)),
              (Texts{"0-20@0", "6-20@1", "10-20@2", "10-20@3"}));
    // Nested levels share their width without a gap.
    EXPECT_EQ(view({{540, 900}, {600, 660}, {605, 660}}),
              (Texts{"0-94.5@0", "6-50.25@1", "50.25-94.5@1"}));
    // Too narrow side by side with starts spread apart: the latest starter is cascaded.
    EXPECT_EQ(view({{540, 660}, {545, 660}, {560, 660}}, 57.5),
              (Texts{"0-28.25@0", "29.25-57.5@0", "4-57.5@1"}));
    // A member whose right-hand columns are free reaches the right edge.
    EXPECT_EQ(view({{540, 600}, {540, 560}, {540, 560}, {560, 600}}, 95),
              (Texts{"0-31@0", "32-63@0", "64-95@0", "32-95@0"}));

    // Stacking: a cluster's nested items come right after it, before the next cluster.
    const auto z =
        TimeGridLayout::place({{780, 840}, {600, 630}, {540, 720}}, 94.5, 26.4, 6, 24, 1, 47.25);
    EXPECT_EQ(z[2].z, 0);
    EXPECT_EQ(z[1].z, 1);
    EXPECT_EQ(z[0].z, 2);
    EXPECT_TRUE(TimeGridLayout::place({}, 94.5, 26.4, 6, 24, 1, 47.25).empty());
    EXPECT_EQ((Placement{.x0 = 0, .x1 = 46.75, .depth = 0}.text()), "0-46.75@0");
}

TEST(TimeGridLayoutTest, ColumnsPackFirstFitAndWidenRight) {
    const auto packed = TimeGridLayout::columns({{0, 60}, {0, 20}, {0, 20}, {30, 60}, {25, 40}});
    EXPECT_EQ(packed.count, 3);
    const std::vector<TimeGridLayout::ColumnSpan> expected = {
        {.column = 0, .span = 1}, // overlaps both intervals of its right neighbour
        {.column = 1, .span = 1}, {.column = 2, .span = 1}, // last column
        {.column = 1, .span = 1},                           // 25-40 in column 2 blocks it
        {.column = 2, .span = 1},
    };
    EXPECT_EQ(packed.spans, expected);
    const auto wide = TimeGridLayout::columns({{0, 60}, {0, 20}, {0, 20}, {30, 60}});
    EXPECT_EQ(wide.spans[3], (TimeGridLayout::ColumnSpan{.column = 1, .span = 2}));
    EXPECT_EQ(TimeGridLayout::columns({}).count, 0);
}

TEST(TimeGridLayoutTest, CrowdedAndDegenerateColumnsStaySound) {
    // Fifty events at the same minute: fifty side-by-side slivers, each at least a point wide.
    std::vector<TimeGridSegment> same;
    for (int i = 0; i < 50; ++i) {
        same.push_back(segment("same" + std::to_string(i), 600, 660));
    }
    const auto crowded = viewBlocks(same);
    expectSound(crowded, {}, "fifty at once");
    for (const TimeGridBlock& b : crowded) {
        EXPECT_EQ(b.depth, 0);
    }

    // A deterministic jumble, including events of a whole day, zero length and at the day's end.
    std::mt19937 random(20260329);
    std::vector<TimeGridSegment> jumble;
    for (int i = 0; i < 300; ++i) {
        const double start = static_cast<double>(random() % 1441);
        const double length = i % 17 == 0 ? 1440 : static_cast<double>(random() % 240);
        jumble.push_back(segment("e" + std::to_string(i), start, std::min(start + length, 1440.0)));
    }
    for (const Column& column :
         {Column{}, Column{.width = 1}, Column{.width = 60},
          Column{.width = 300, .hourHeight = 20, .startHour = 8, .endHour = 18}}) {
        expectSound(viewBlocks(jumble, column), column,
                    "jumble in a column " + std::to_string(column.width) + " wide");
    }
    expectSound(viewBlocks(same, Column{.width = 1}), Column{.width = 1}, "fifty, one point");

    // Minutes out of range are clamped into the day; unusable geometry gives no blocks.
    const auto clamped = viewBlocks({segment("odd", -30, 2000), segment("nan", NAN, NAN)});
    expectSound(clamped, {}, "out of range");
    EXPECT_NEAR(clamped[0].frame.y, 0.5, 1e-9);
    EXPECT_NEAR(clamped[0].frame.height, 50 * 24 - 1, 1e-9);
    EXPECT_TRUE(viewBlocks(same, Column{.hourHeight = 0}).empty());
    EXPECT_TRUE(viewBlocks(same, Column{.width = INFINITY}).empty());
}

TEST(TimeGridLayoutTest, SegmentsOfRealDaysLayOutSoundly) {
    const Calendar cal = test::berlin();
    const auto event = [&](std::string id, Instant start, Instant end) {
        return CalEvent{.id = std::move(id), .title = "Event", .start = start, .end = end};
    };
    for (const auto& [month, day] : {std::pair{3, 29}, std::pair{10, 25}}) {
        const auto at = [&](int d, int h, int m = 0) {
            return test::at(cal, 2026, month, d, h, m);
        };
        std::vector<CalEvent> events = {
            event("week", at(day - 5, 9), at(day + 5, 9)),
            event("night", at(day - 1, 23), at(day, 4)),
            event("change", at(day, 1, 30), at(day, 3, 30)),
            event("late", at(day, 22), at(day + 1, 1)),
        };
        for (int i = 0; i < 40; ++i) {
            events.push_back(event("m" + std::to_string(i), at(day, 1, i), at(day, 3, 2 * i)));
        }
        const auto segments = TimeGridSegment::segments(events, at(day, 12), cal);
        ASSERT_EQ(segments.size(), events.size());
        const auto blocks = viewBlocks(segments);
        expectSound(blocks, {}, "day " + std::to_string(month) + "/" + std::to_string(day));
        for (const TimeGridBlock& b : blocks) {
            EXPECT_GE(b.frame.top(), 0.5);
            EXPECT_LE(b.frame.bottom(), 50 * 24 + 0.5);
        }
    }
}

TEST(TimeGridLayoutTest, FlowPlacesLinesIntoStretches) {
    const std::vector<Stretch> stretches = {{0, 30}, {50, 100}};
    // The third line does not fit above the covered part and moves below it; the seventh finds
    // no room and is dropped.
    EXPECT_EQ(TimeGridLayout::flow({12, 12, 12, 12, 12, 12, 12}, stretches, 1),
              (std::vector<double>{0, 12, 50, 62, 74, 86}));
    // The slack lets a line run a little past a stretch.
    EXPECT_EQ(TimeGridLayout::flow({21}, {{0, 20}}, 1), (std::vector<double>{0}));
    EXPECT_TRUE(TimeGridLayout::flow({22}, {{0, 20}}, 1).empty());
    // A line too tall for every stretch ends the flow, even if shorter ones would follow.
    EXPECT_EQ(TimeGridLayout::flow({10, 60, 10}, stretches, 1), (std::vector<double>{0}));
    // The flow starts at the first stretch, wherever it is.
    EXPECT_EQ(TimeGridLayout::flow({10, 10}, {{40, 52}, {70, 90}}, 0),
              (std::vector<double>{40, 70}));
    EXPECT_TRUE(TimeGridLayout::flow({10}, {}, 1).empty());
    EXPECT_TRUE(TimeGridLayout::flow({}, stretches, 1).empty());
}

TEST(TimeGridLayoutTest, VisibleStretchesAroundCoveredParts) {
    const struct {
        const char* name;
        double top;
        double bottom;
        std::vector<Stretch> covered;
        double below;
        std::vector<Stretch> expected;
    } cases[] = {
        {"nothing covered", 2.5, 100, {}, 3.5, {{2.5, 100}}},
        {"one part in the middle", 2.5, 100, {{30, 50}}, 3.5, {{2.5, 29}, {53.5, 100}}},
        {"a gap under 8 points is dropped", 0, 100, {{20, 40}, {48, 60}}, 1, {{0, 19}, {61, 100}}},
        {"covered from the top", 2.5, 100, {{0, 10}}, 3.5, {{13.5, 100}}},
        {"covered to the bottom", 2.5, 100, {{40, 100}}, 3.5, {{2.5, 39}}},
        {"overlapping parts", 0, 100, {{20, 40}, {30, 35}, {38, 70}}, 1, {{0, 19}, {71, 100}}},
        {"a part beyond the bottom", 0, 60, {{80, 90}}, 1, {{0, 60}}},
        {"a tile too short for a stretch", 2.5, 9, {}, 3.5, {}},
        {"covered completely", 0, 50, {{0, 50}}, 1, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeGridLayout::visibleStretches(c.top, c.bottom, c.covered, 1, c.below, 8),
                  c.expected)
            << c.name;
    }
}

TEST(TimeGridLayoutTest, TilesOnThePixelGridInDrawingOrder) {
    const auto blocks = viewBlocks(
        {segment("long", 540, 720), segment("inside", 630, 660), segment("side", 550, 600)});
    // "long" and "side" share the width; "inside" is cascaded over "long".
    const auto tiles = TimeGridLayout::tiles(blocks, 1, 100);
    ASSERT_EQ(tiles.size(), 3u);
    for (std::size_t i = 1; i < tiles.size(); ++i) {
        EXPECT_LT(tiles[i - 1].block.z, tiles[i].block.z);
    }
    const TimeGridTile& inside = tiles.back();
    EXPECT_EQ(inside.block.segment.event.id, "inside");
    EXPECT_TRUE(inside.outlined);
    EXPECT_FALSE(tiles[0].outlined);

    // Edges round to whole pixels; the covered part moves with the rounded top.
    const TimeGridTile& longTile = tiles[0];
    EXPECT_EQ(longTile.block.segment.event.id, "long");
    const Rect& unrounded = blocks[0].frame; // 1.5, 450.5, 46.75 x 149
    EXPECT_EQ(longTile.block.frame, (Rect{.x = 2, .y = 451, .width = 46, .height = 149}));
    ASSERT_EQ(longTile.block.covered.size(), 1u);
    EXPECT_NEAR(longTile.block.covered[0].lower, blocks[0].covered[0].lower - 0.5, 1e-9);
    EXPECT_NEAR(unrounded.top() + blocks[0].covered[0].lower,
                longTile.block.frame.top() + longTile.block.covered[0].lower, 1e-9);

    // At two pixels a point the half-point edges are already on the grid.
    const auto retina = TimeGridLayout::tiles(blocks, 2, 100);
    EXPECT_EQ(retina[0].block.frame, (Rect{.x = 1.5, .y = 450.5, .width = 47, .height = 149}));
    EXPECT_EQ(retina[0].block.covered, blocks[0].covered);
    // No usable scale counts as one.
    EXPECT_EQ(TimeGridLayout::tiles(blocks, 0, 100)[0].block.frame, longTile.block.frame);
    EXPECT_EQ(TimeGridLayout::tiles(blocks, NAN, 100)[0].block.frame, longTile.block.frame);

    // Compact: a narrow column or a narrow tile.
    const auto compactness = [&](double width, double columnWidth) {
        TimeGridBlock block = blocks[0];
        block.frame.width = width;
        return TimeGridLayout::tiles({block}, 1, columnWidth)[0].compact;
    };
    EXPECT_FALSE(compactness(56, 80));
    EXPECT_TRUE(compactness(55.9, 80));
    EXPECT_TRUE(compactness(94.5, 79));

    // Tiny frames keep one pixel; equal z keeps the given order.
    TimeGridBlock sliver = blocks[0];
    sliver.frame = Rect{.x = 10.2, .y = 20.1, .width = 0.2, .height = 0.1};
    sliver.z = 5;
    TimeGridBlock twin = sliver;
    twin.segment.event.id = "twin";
    const auto slivers = TimeGridLayout::tiles({sliver, twin}, 2, 100);
    EXPECT_EQ(slivers[0].block.frame, (Rect{.x = 10, .y = 20, .width = 0.5, .height = 0.5}));
    EXPECT_EQ(slivers[0].block.segment.event.id, "long");
    EXPECT_EQ(slivers[1].block.segment.event.id, "twin");
    EXPECT_TRUE(TimeGridLayout::tiles({}, 1, 100).empty());
}

} // namespace
} // namespace plannery
