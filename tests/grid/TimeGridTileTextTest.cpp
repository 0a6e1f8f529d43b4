#include "grid/TimeGridTileText.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

using namespace TimeGridTileText;

TEST(TimeGridTileTextTest, TextAreaAndForm) {
    const struct {
        const char* name;
        Rect bounds;
        bool compact;
        std::size_t calendars;
        Rect area;
    } areas[] = {
        // After a 3-point stripe and 3.5 points, 3 points clear of the right edge.
        {"regular tile", {0, 0, 100, 40}, false, 1, {6.5, 2.5, 90.5, 37.5}},
        {"compact tile, two calendars", {0, 0, 100, 40}, true, 2, {5, 1.5, 94, 38.5}},
        {"short tile centres a line", {0, 0, 100, 15}, false, 1, {6.5, 1, 90.5, 14}},
        {"tiny tile overhangs at most 2 points", {0, 0, 100, 8}, false, 1, {6.5, -2, 90.5, 10}},
    };
    for (const auto& c : areas) {
        EXPECT_EQ(textArea(c.bounds, c.compact, c.calendars).rect, c.area) << c.name;
    }

    const double titleLine = 14;
    const struct {
        const char* name;
        Rect bounds;
        bool compact;
        TileTextForm form;
    } forms[] = {
        {"4 points wide: colour and stripe only", {0, 0, 4, 40}, false, TileTextForm::none},
        {"text area 8 wide", {0, 0, 17.5, 40}, false, TileTextForm::none},
        {"text area 9 wide", {0, 0, 18.5, 40}, false, TileTextForm::words},
        {"text area 20 wide", {0, 0, 29.5, 40}, false, TileTextForm::words},
        {"text area 32 wide", {0, 0, 41.5, 40}, false, TileTextForm::lines},
        {"too short for two title lines", {0, 0, 100, 25}, false, TileTextForm::oneLine},
        {"compact tiles never use one line", {0, 0, 100, 25}, true, TileTextForm::lines},
        {"4 points tall", {0, 0, 100, 4}, false, TileTextForm::none},
    };
    for (const auto& c : forms) {
        EXPECT_EQ(form(textArea(c.bounds, c.compact, 1), c.compact, titleLine), c.form) << c.name;
    }
}

TEST(TimeGridTileTextTest, ReadableStretchesSkipCoveredParts) {
    const TileTextArea area = textArea(Rect{0, 0, 100, 100}, false, 1); // text top 2.5
    EXPECT_EQ(readableStretches(area, 100, {}), (std::vector<Stretch>{{2.5, 100}}));
    // A point clear above the covering tile, 3.5 below it.
    EXPECT_EQ(readableStretches(area, 100, {{30, 50}}),
              (std::vector<Stretch>{{2.5, 29}, {53.5, 100}}));
    EXPECT_EQ(readableStretches(area, 100, {{8, 95}}), (std::vector<Stretch>{}))
        << "stretches under 8 points are dropped";
}

TEST(TimeGridTileTextTest, LineTexts) {
    EXPECT_EQ(words("  Quarterly  planning review "),
              (std::vector<std::string>{"Quarterly", "planning", "review"}));
    EXPECT_TRUE(words("   ").empty());

    const Calendar us = Calendar::make("Europe/Berlin", "en_US", Weekday::monday).value();
    CalEvent event{.title = "Review",
                   .start = test::at(us, 2026, 3, 7, 9, 0),
                   .end = test::at(us, 2026, 3, 7, 10, 0)};
    const auto texts = [&](bool compact, bool continuesBefore) {
        std::vector<std::string> result;
        for (const TileFurtherLine line : furtherLines(event, compact, continuesBefore)) {
            result.push_back(furtherText(line, event, us));
        }
        return result;
    };
    EXPECT_EQ(oneLineDetail(event, us), "  9:00");
    EXPECT_EQ(texts(false, false), (std::vector<std::string>{"9:00\u2009–\u200910:00\u202FAM"}));
    event.location = "Room 4";
    EXPECT_EQ(oneLineDetail(event, us), "  9:00 \u00B7 Room 4");
    EXPECT_EQ(texts(false, false),
              (std::vector<std::string>{"9:00\u2009–\u200910:00\u202FAM", "Room 4"}));
    EXPECT_EQ(texts(true, false), (std::vector<std::string>{"9:00"}));
    EXPECT_TRUE(texts(true, true).empty())
        << "a compact tile continuing from the day before shows only its title";
}

TEST(TimeGridTileTextTest, PlacingLines) {
    const std::vector<double> timeAndPlace{13, 13};
    // Room for everything.
    EXPECT_EQ(place(3, 14, timeAndPlace, {{2.5, 100}}, false),
              (TilePlacement{.titleTops = {2.5, 16.5, 30.5}, .furtherTops = {44.5, 57.5}}));
    // A long title would fill the tile: it gives up lines until the time range fits.
    EXPECT_EQ(
        place(4, 14, timeAndPlace, {{2.5, 45}}, false),
        (TilePlacement{.titleTops = {2.5, 16.5}, .furtherTops = {30.5}, .titleTruncated = true}));
    // Compact tiles keep their title lines.
    EXPECT_EQ(place(4, 14, timeAndPlace, {{2.5, 45}}, true),
              (TilePlacement{.titleTops = {2.5, 16.5, 30.5}, .titleTruncated = true}));
    // One title line is the least a title gets.
    EXPECT_EQ(place(2, 14, timeAndPlace, {{2.5, 18}}, false),
              (TilePlacement{.titleTops = {2.5}, .titleTruncated = true}));
    // Lines skip the part hidden under another tile.
    EXPECT_EQ(place(2, 14, {13}, {{2.5, 20}, {40, 100}}, false),
              (TilePlacement{.titleTops = {2.5, 40}, .furtherTops = {54}}));
    EXPECT_EQ(place(2, 14, {13}, {}, false), (TilePlacement{.titleTruncated = true}));

    EXPECT_EQ(placeWords(5, 12, {{2.5, 40}}), (std::vector<double>{2.5, 14.5, 26.5}));

    // A title longer than that is never placed further, so its lines past the most (and the one
    // telling that it goes on) need no layout.
    for (const std::vector<Stretch>& stretches : std::vector<std::vector<Stretch>>{
             {{2.5, 45}}, {{2.5, 20}, {40, 100}}, {{2.5, 16.5}}, {{0, 8}, {9, 17}, {30, 44}}}) {
        const std::size_t most = mostTitleLines(14, stretches);
        EXPECT_EQ(place(most + 20, 14, {}, stretches, true).titleTops.size(), most);
        EXPECT_EQ(place(most + 1, 14, {}, stretches, true),
                  place(most + 20, 14, {}, stretches, true));
    }
    EXPECT_EQ(mostTitleLines(14, {{2.5, 45}}), 3U);
    EXPECT_EQ(mostTitleLines(14, {}), 0U);
    EXPECT_EQ(mostTitleLines(0, {{2.5, 45}}), 0U);
}

} // namespace
} // namespace plannery
