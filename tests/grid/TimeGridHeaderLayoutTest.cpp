#include "grid/TimeGridHeaderLayout.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using namespace TimeGridHeaderLayout;

TEST(TimeGridHeaderLayoutTest, ChipPlanByRows) {
    const struct {
        const char* name;
        int rows;
        std::size_t events;
        ChipPlan plan;
    } cases[] = {
        {"five events in three rows", 3, 5, {.eventChips = 2, .overflow = 3}},
        {"as many rows as events", 5, 5, {.eventChips = 5, .overflow = 0}},
        {"more rows than events", 6, 2, {.eventChips = 2, .overflow = 0}},
        {"one row, several events", 1, 4, {.eventChips = 0, .overflow = 4}},
        {"one row, one event", 1, 1, {.eventChips = 1, .overflow = 0}},
        {"no rows", 0, 3, {}},
        {"negative rows", -1, 3, {}},
        {"no events", 2, 0, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plan(c.rows, c.events), c.plan) << c.name;
    }
}

TEST(TimeGridHeaderLayoutTest, ChipFramesAndHits) {
    const TimeGridMetrics wide{
        .columnWidth = 100, .dateRowHeight = 32, .chipHeight = 17, .chipGap = 2, .allDayRows = 3};
    const auto chips = layoutChips(wide, 5);
    ASSERT_EQ(chips.size(), 3u);
    EXPECT_EQ(chips[0], (HeaderChip{.eventIndex = 0, .frame = Rect{2, 32, 95, 17}}));
    EXPECT_EQ(chips[1], (HeaderChip{.eventIndex = 1, .frame = Rect{2, 51, 95, 17}}));
    EXPECT_EQ(chips[2], (HeaderChip{.overflow = 3, .frame = Rect{2, 70, 95, 17}}));
    EXPECT_FALSE(compactChips(100));

    TimeGridMetrics narrow = wide;
    narrow.columnWidth = 60;
    narrow.dateRowHeight = 40;
    EXPECT_TRUE(compactChips(60));
    EXPECT_EQ(chipFrame(narrow, 1), (Rect{1, 59, 57, 17}));
    EXPECT_TRUE(layoutChips(TimeGridMetrics{.allDayRows = 0}, 4).empty());

    using Kind = HeaderHit::Kind;
    const struct {
        const char* name;
        Point p;
        HeaderHit hit;
    } cases[] = {
        {"a point above the first chip", {10, 31}, {.kind = Kind::event, .eventIndex = 0}},
        {"the gap below the first chip", {10, 49.5}, {.kind = Kind::event, .eventIndex = 0}},
        {"the gap above the second chip", {10, 50.5}, {.kind = Kind::event, .eventIndex = 1}},
        {"the overflow chip", {50, 80}, {.kind = Kind::more}},
        {"a point below the overflow chip", {50, 87.5}, {.kind = Kind::more}},
        {"the date row", {50, 10}, {.kind = Kind::day}},
        {"beside the chips", {98, 40}, {}},
        {"below everything", {50, 95}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hit(chips, wide.dateRowHeight, c.p), c.hit) << c.name;
    }
}

TEST(TimeGridHeaderLayoutTest, LabelFrames) {
    // Side by side: number 25 wide (a 14-point number plus 10, at least 25), weekday centred
    // with it: x = (100 − 30 − 4 − 25) / 2 = 20.5.
    const TimeGridMetrics wide{.columnWidth = 100, .dateRowHeight = 32};
    EXPECT_EQ(labelFrames(wide, 30, 16, 14, 2), (HeaderLabelFrames{
                                                    .weekday = Rect{20.5, 8, 30, 16},
                                                    .number = Rect{54.5, 3.5, 25, 25},
                                                }));
    EXPECT_EQ(labelFrames(wide, 30, 16, 14, 1), (HeaderLabelFrames{
                                                    .weekday = Rect{21, 8, 30, 16},
                                                    .number = Rect{55, 4, 25, 25},
                                                }))
        << "rounded to whole pixels";
    // A wide number text widens its label; a long weekday keeps a 2-point margin.
    EXPECT_EQ(labelFrames(wide, 90, 16, 17.2, 2).number, (Rect{96, 3.5, 28, 25}));
    EXPECT_EQ(labelFrames(wide, 90, 16, 17.2, 2).weekday.x, 2);

    // Stacked: weekday across the top, number centred below.
    const TimeGridMetrics narrow{.columnWidth = 40, .dateRowHeight = 40};
    EXPECT_EQ(labelFrames(narrow, 12, 13, 8, 2), (HeaderLabelFrames{
                                                     .weekday = Rect{1, 2, 38, 13},
                                                     .number = Rect{7.5, 15, 25, 24},
                                                 }));
}

TEST(TimeGridHeaderLayoutTest, ChipDrawingRules) {
    EXPECT_EQ(chipTextGap(true), 4);
    EXPECT_EQ(chipTextGap(false), 6);
    EXPECT_EQ(chipOpacity(CalEvent{.isDeclined = true}), 0.45);
    EXPECT_EQ(chipOpacity(CalEvent{.isTentative = true}), 1);
}

} // namespace
} // namespace plannery
