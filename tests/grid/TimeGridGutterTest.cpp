#include "grid/TimeGridGutter.h"

#include "grid/TimeGridText.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace plannery {
namespace {

// Hour lines of a grid with 9 points above midnight and the given hour height.
std::vector<double> hourPositions(double hourHeight) {
    std::vector<double> positions;
    for (int h = 0; h <= 24; ++h) {
        positions.push_back(9 + hourHeight * h);
    }
    return positions;
}

double nowPosition(double hourHeight, int hour, int minute) {
    return 9 + hourHeight * (hour + minute / 60.0);
}

std::vector<int> hiddenHours(const std::vector<GutterLabel>& labels) {
    std::vector<int> hidden;
    for (std::size_t h = 0; h < labels.size(); ++h) {
        if (labels[h].hidden) {
            hidden.push_back(static_cast<int>(h));
        }
    }
    return hidden;
}

TEST(TimeGridGutterTest, HourLabelFrames) {
    const auto labels = TimeGridGutter::hourLabels(hourPositions(50), 40, std::nullopt, 2);
    ASSERT_EQ(labels.size(), 25u);
    EXPECT_EQ(labels[0], (GutterLabel{.frame = Rect{0, 2.5, 35, 13}}));
    EXPECT_EQ(labels[24], (GutterLabel{.frame = Rect{0, 1202.5, 35, 13}}));
    EXPECT_TRUE(hiddenHours(labels).empty()) << "without a now minute every label shows";

    // 9 + 47.3 − 6.5 = 49.8 lands on the nearest device pixel.
    EXPECT_EQ(TimeGridGutter::hourLabels(hourPositions(47.3), 40, std::nullopt, 2)[1].frame.y, 50);
    EXPECT_EQ(TimeGridGutter::hourLabels(hourPositions(47.3), 40, std::nullopt, 3)[1].frame.y,
              149.0 / 3);
}

TEST(TimeGridGutterTest, TheNowLabelReplacesTheHourLabelsItWouldOverlap) {
    const struct {
        const char* name;
        double hourHeight;
        int hour;
        int minute;
        std::vector<int> hidden;
    } cases[] = {
        {"10:05", 50, 10, 5, {10}},
        {"10:15, 12.5 points below the line", 50, 10, 15, {10}},
        {"10:16, 13.3 points below the line", 50, 10, 16, {}},
        {"10:50, close to the next line", 50, 10, 50, {11}},
        {"small hours: both neighbours are close", 20, 10, 30, {10, 11}},
        {"midnight", 50, 0, 0, {0}},
    };
    for (const auto& c : cases) {
        const double now = nowPosition(c.hourHeight, c.hour, c.minute);
        EXPECT_EQ(hiddenHours(TimeGridGutter::hourLabels(hourPositions(c.hourHeight), 40, now, 1)),
                  c.hidden)
            << c.name;
    }
}

TEST(TimeGridGutterTest, NowLabel) {
    EXPECT_FALSE(TimeGridGutter::nowLabelFrame(std::nullopt, 40));
    const double now = nowPosition(50, 10, 5);
    EXPECT_EQ(TimeGridGutter::nowLabelFrame(now, 40), (Rect{0, now - 6.5, 37, 13}));

    const Calendar us = Calendar::make("Europe/Berlin", "en_US", Weekday::monday).value();
    EXPECT_EQ(TimeGridText::compactTime(test::at(us, 2026, 3, 7, 22, 5), us), "10:05");
}

} // namespace
} // namespace plannery
