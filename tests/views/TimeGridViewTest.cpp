#include "GridViewTestSupport.h"
#include "ListDays.h"
#include "TestSupport.h"

#include "grid/TimeGridColors.h"
#include "grid/TimeGridHeaderLayout.h"
#include "views/GridPalette.h"
#include "views/TimeGridView.h"

#include <gtest/gtest.h>

#include <cmath>

namespace plannery {
namespace {

using test::at;
using test::gridEvent;
using test::near;
using test::pixelAt;
using test::renderView;

constexpr RGB kRed{1, 0, 0};
constexpr RGB kBlue{0, 0, 1};

// A week page of Monday 9 March 2026 in Berlin, on Wednesday the 11th at 10:30.
struct WeekGrid {
    Calendar cal = test::berlin();
    Instant now = at(cal, 2026, 3, 11, 10, 30);
    test::ListDays days;
    TimeGridView view{TimeGridSpan::week(), cal};

    explicit WeekGrid(std::vector<CalEvent> events) : days(cal, std::move(events)) {
        view.setDaySource(&days);
        view.setAnchor(now);
        view.setNow(now);
        view.setVerticalOffset(0);
    }
    // The x of the left edge of March `day`'s column.
    double left(int day) const { return view.columnLeft(at(cal, 2026, 3, day)).value(); }
    double centreX(int day) const { return left(day) + view.metrics().columnWidth / 2; }
};

QColor expectedFill(RGB rgb) {
    return GridPalette::color(TimeGridColors::fill(rgb, Appearance::light));
}

// Over white, a colour at the given opacity.
QColor overWhite(QColor c, double alpha) {
    const auto mix = [&](int v) { return static_cast<int>(std::lround(255 - alpha * (255 - v))); };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

TEST(TimeGridView, TileFillsWhereItsEventIsAtEveryScale) {
    WeekGrid grid({gridEvent("a", "Standup", at(test::berlin(), 2026, 3, 10, 9, 0),
                             at(test::berlin(), 2026, 3, 10, 11, 0), kRed)});
    for (const double dpr : {1.0, 1.25, 1.5, 2.0}) {
        SCOPED_TRACE(dpr);
        const QImage image = renderView(grid.view, 1000, 700, dpr);
        ASSERT_TRUE(grid.view.isLaidOut());
        // Right half of the tile, clear of the text, halfway through the event.
        const double x = grid.left(10) + grid.view.metrics().columnWidth * 0.8;
        EXPECT_TRUE(near(pixelAt(image, x, grid.view.minuteY(600)), expectedFill(kRed)))
            << pixelAt(image, x, grid.view.minuteY(600)).name().toStdString();
        // The stripe along the tile's left edge is the calendar colour.
        const double stripeX = grid.left(10) + 1.5 + 1.5;
        EXPECT_TRUE(near(pixelAt(image, stripeX, grid.view.minuteY(600)), QColor(255, 0, 0), 8));
        // Before and after the event the column is empty.
        EXPECT_TRUE(near(pixelAt(image, x, grid.view.minuteY(8 * 60 + 30)), Qt::white));
        EXPECT_TRUE(near(pixelAt(image, x, grid.view.minuteY(11 * 60 + 30)), Qt::white));
        // The same minute on the next day shows nothing.
        EXPECT_TRUE(
            near(pixelAt(image, x + grid.view.metrics().columnWidth, grid.view.minuteY(615)),
                 Qt::white));
    }
}

TEST(TimeGridView, HourLinesAreOneDevicePixelOnTheHour) {
    WeekGrid grid({});
    for (const double dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QImage image = renderView(grid.view, 1000, 700, dpr);
        const int x = static_cast<int>(grid.centreX(12) * dpr);
        const QColor separator = overWhite(GridPalette::light().separator, 0.29);
        for (const int hour : {1, 5, 9}) {
            const int row = static_cast<int>(std::floor(grid.view.minuteY(hour * 60.0) * dpr));
            EXPECT_TRUE(near(image.pixelColor(x, row), separator, 6))
                << hour << " " << image.pixelColor(x, row).name().toStdString();
            EXPECT_TRUE(near(image.pixelColor(x, row - 1), Qt::white));
            EXPECT_TRUE(near(image.pixelColor(x, row + 1), Qt::white));
        }
        // Halfway between two hours there is no line.
        EXPECT_TRUE(near(pixelAt(image, grid.centreX(12), grid.view.minuteY(150)), Qt::white));
    }
}

int countNear(const QImage& image, const QRectF& points, const QColor& color, int tolerance) {
    const double dpr = image.devicePixelRatio();
    int count = 0;
    for (int y = static_cast<int>(points.top() * dpr); y < points.bottom() * dpr; ++y) {
        for (int x = static_cast<int>(points.left() * dpr); x < points.right() * dpr; ++x) {
            if (x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
                near(image.pixelColor(x, y), color, tolerance)) {
                ++count;
            }
        }
    }
    return count;
}

TEST(TimeGridView, TodayHasARedCircleAndTheNowLine) {
    WeekGrid grid({});
    const QImage image = renderView(grid.view, 1000, 700, 1);
    const double width = grid.view.metrics().columnWidth;
    const double dateRow = grid.view.metrics().dateRowHeight;
    const QColor red = GridPalette::light().red;
    const auto headerOf = [&](int day) { return QRectF(grid.left(day), 0, width, dateRow); };
    // A disc of 25 points: hundreds of red pixels under today only.
    EXPECT_GT(countNear(image, headerOf(11), red, 4), 200);
    EXPECT_EQ(countNear(image, headerOf(10), red, 4), 0);
    EXPECT_EQ(countNear(image, headerOf(12), red, 4), 0);

    // The now line at 10:30 crosses today's column and no other.
    const double y = grid.view.minuteY(630);
    const QColor onLine = pixelAt(image, grid.centreX(11), y);
    EXPECT_TRUE(onLine.red() > 240 && onLine.green() < 160) << onLine.name().toStdString();
    EXPECT_TRUE(near(pixelAt(image, grid.centreX(12), y), Qt::white));
    EXPECT_TRUE(near(pixelAt(image, grid.centreX(11), y + 3), Qt::white));
    // The gutter shows the red time label beside it.
    EXPECT_GT(countNear(image, QRectF(0, y - 6, grid.view.gutterWidth(), 12), red, 60), 5);

    // On another week, no circle and no line.
    grid.view.setAnchor(at(grid.cal, 2026, 3, 18, 12));
    const QImage later = renderView(grid.view, 1000, 700, 1);
    EXPECT_EQ(countNear(later, QRectF(0, 0, 1000, 700), red, 4), 0);
}

TEST(TimeGridView, DeclinedTileIsFadedAsOneLayer) {
    CalEvent declined = gridEvent("d", "X", at(test::berlin(), 2026, 3, 12, 5, 0),
                                  at(test::berlin(), 2026, 3, 12, 7, 0), kBlue);
    declined.isDeclined = true;
    WeekGrid grid({declined});
    const QImage image = renderView(grid.view, 1000, 700, 1);
    const double x = grid.left(12) + grid.view.metrics().columnWidth * 0.8;
    const QColor faded = overWhite(expectedFill(kBlue), 0.45);
    EXPECT_TRUE(near(pixelAt(image, x, grid.view.minuteY(6 * 60)), faded))
        << pixelAt(image, x, grid.view.minuteY(6 * 60)).name().toStdString();
    // The stripe fades the same way: not the pure calendar colour.
    const double stripeX = grid.left(12) + 3;
    EXPECT_TRUE(near(pixelAt(image, stripeX, grid.view.minuteY(6 * 60)),
                     overWhite(QColor(0, 0, 255), 0.45), 8));
}

TEST(TimeGridView, AllDayChipsAndOverflow) {
    std::vector<CalEvent> events;
    const Calendar cal = test::berlin();
    for (int i = 0; i < 5; ++i) {
        CalEvent e = gridEvent("all" + std::to_string(i), "Holiday " + std::to_string(i),
                               at(cal, 2026, 3, 12), at(cal, 2026, 3, 13), kBlue);
        e.isAllDay = true;
        events.push_back(e);
    }
    WeekGrid grid(events);
    const QImage image = renderView(grid.view, 1000, 700, 1);
    const TimeGridMetrics& metrics = grid.view.metrics();
    ASSERT_EQ(metrics.allDayRows, 3);
    const double left = grid.left(12);
    const Rect chip0 = TimeGridHeaderLayout::chipFrame(metrics, 0);
    const Rect more = TimeGridHeaderLayout::chipFrame(metrics, 2);
    const QColor fill = expectedFill(kBlue);
    // The chip's right end (past its title) shows the fill; the row shows nothing in another day.
    EXPECT_TRUE(near(pixelAt(image, left + chip0.right() - 3, chip0.y + chip0.height / 2), fill));
    EXPECT_TRUE(near(
        pixelAt(image, left - metrics.columnWidth + chip0.right() - 3, chip0.y + chip0.height / 2),
        Qt::white));
    // The third row is the "+3" chip in the tertiary fill, with dark text in its middle.
    const QColor tertiary = overWhite(GridPalette::light().tertiaryFill, 0.12);
    EXPECT_TRUE(near(pixelAt(image, left + more.x + 3, more.y + more.height / 2), tertiary));
    EXPECT_LT(countNear(image, QRectF(left + more.x, more.y, more.width, more.height), tertiary, 3),
              static_cast<int>(more.width * more.height) - 10);

    // Clicks: the chips give their events, the overflow chip "more", the date row the day.
    const auto hit0 = grid.view.headerHit(QPointF(left + 20, chip0.y + 2));
    ASSERT_EQ(hit0.kind, HeaderHit::Kind::event);
    EXPECT_EQ(hit0.event->id, "all0");
    const Rect chip1 = TimeGridHeaderLayout::chipFrame(metrics, 1);
    EXPECT_EQ(grid.view.headerHit(QPointF(left + 20, chip1.y + 2)).event->id, "all1");
    EXPECT_EQ(grid.view.headerHit(QPointF(left + 20, more.y + 2)).kind, HeaderHit::Kind::more);
    EXPECT_EQ(grid.view.headerHit(QPointF(left + 20, 5)).kind, HeaderHit::Kind::day);
    EXPECT_EQ(grid.view.headerHit(QPointF(left + 20, metrics.headerHeight() + 5)).kind,
              HeaderHit::Kind::none);
}

TEST(TimeGridView, EventAtFindsTheTopmostTile) {
    const Calendar cal = test::berlin();
    WeekGrid grid(
        {gridEvent("long", "Long", at(cal, 2026, 3, 13, 9), at(cal, 2026, 3, 13, 12)),
         gridEvent("inner", "Inner", at(cal, 2026, 3, 13, 10, 30), at(cal, 2026, 3, 13, 11))});
    renderView(grid.view, 1000, 700, 1);
    const double x = grid.centreX(13) + 10;
    EXPECT_EQ(grid.view.eventAt(QPointF(x, grid.view.minuteY(9 * 60 + 30)))->id, "long");
    EXPECT_EQ(grid.view.eventAt(QPointF(x, grid.view.minuteY(10 * 60 + 45)))->id, "inner");
    // The start line itself is on the tile (drawn a little below it, on the pixel grid); two
    // points above it is not.
    EXPECT_EQ(grid.view.eventAt(QPointF(x, grid.view.minuteY(9 * 60))).value_or(CalEvent{}).id,
              "long");
    EXPECT_FALSE(grid.view.eventAt(QPointF(x, grid.view.minuteY(9 * 60) - 2)));
    EXPECT_FALSE(grid.view.eventAt(QPointF(x, grid.view.minuteY(13 * 60))));
    EXPECT_FALSE(grid.view.eventAt(
        QPointF(x - grid.view.metrics().columnWidth, grid.view.minuteY(10 * 60))));
    EXPECT_FALSE(grid.view.eventAt(QPointF(2, grid.view.minuteY(10 * 60))));
}

} // namespace
} // namespace plannery
