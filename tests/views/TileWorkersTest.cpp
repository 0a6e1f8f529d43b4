#include "GridViewTestSupport.h"
#include "ListDays.h"
#include "TestSupport.h"

#include "views/TileWorkers.h"
#include "views/TimeGridHeader.h"
#include "views/TimeGridTiles.h"

#include <QImage>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace plannery {
namespace {

using test::at;
using test::gridEvent;

TEST(TileWorkers, RunsEveryJobOnceAndReturnsWhenAllAreDone) {
    for (const std::size_t count :
         {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{500}}) {
        std::vector<std::atomic<int>> runs(count);
        TileWorkers::forEach(count, [&](std::size_t i) { runs[i].fetch_add(1); });
        for (std::size_t i = 0; i < count; ++i) {
            EXPECT_EQ(runs[i].load(), 1) << "job " << i << " of " << count;
        }
    }
}

// The caller hears, on its own thread, how many of the first jobs are finished, in growing
// counts up to all of them, and sees what those jobs made when it does.
TEST(TileWorkers, TheCallerLearnsWhichFirstJobsAreDoneAsTheyFinish) {
    const std::thread::id caller = std::this_thread::get_id();
    for (const std::size_t count : {std::size_t{1}, std::size_t{2}, std::size_t{300}}) {
        std::vector<int> made(count, 0);
        std::vector<std::size_t> reported;
        bool seenAll = true;
        bool onCaller = true;
        TileWorkers::forEach(
            count, [&](std::size_t i) { made[i] = static_cast<int>(i) + 1; },
            [&](std::size_t done) {
                onCaller = onCaller && std::this_thread::get_id() == caller;
                for (std::size_t i = 0; i < done; ++i) {
                    seenAll = seenAll && made[i] == static_cast<int>(i) + 1;
                }
                reported.push_back(done);
            });
        ASSERT_FALSE(reported.empty()) << count;
        EXPECT_EQ(reported.back(), count);
        EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()) &&
                    std::adjacent_find(reported.begin(), reported.end()) == reported.end());
        EXPECT_TRUE(seenAll) << count;
        EXPECT_TRUE(onCaller) << count;
    }
}

// A week of busy days with everything a tile can draw: titles that wrap, places, events of
// several calendars (striped), tentative (hatched) and declined (faded) ones.
std::vector<CalEvent> busyWeek(const Calendar& cal) {
    std::vector<CalEvent> events;
    for (int day = 9; day < 16; ++day) {
        for (int i = 0; i < 12; ++i) {
            const int hour = 7 + i;
            CalEvent event =
                gridEvent("e" + std::to_string(day) + "-" + std::to_string(i),
                          "Planning meeting " + std::to_string(i) + " about the quarterly figures",
                          at(cal, 2026, 3, day, hour, (i * 7) % 60),
                          at(cal, 2026, 3, day, hour + 1 + i % 2), RGB{0.2, 0.4 + 0.04 * i, 0.8});
            if (i % 3 == 0) {
                event.location = "Room " + std::to_string(i);
            }
            if (i % 4 == 1) {
                event.calendars.push_back(CalendarRef{.id = "work", .rgb = RGB{0.9, 0.5, 0.1}});
            }
            event.isTentative = i % 5 == 2;
            event.isDeclined = i % 7 == 3;
            events.push_back(event);
        }
    }
    return events;
}

// A picture `width` × `height` points at `scale`, filled with the background.
QImage canvas(double width, double height, double scale, const GridPalette& palette) {
    QImage image(QSize(static_cast<int>(width * scale), static_cast<int>(height * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(palette.background);
    return image;
}

std::vector<QImage> paintColumns(TimeGridTiles& tiles, const std::vector<Instant>& days,
                                 const TimeGridMetrics& metrics, const GridPalette& palette,
                                 double scale) {
    std::vector<QImage> images;
    for (const Instant day : days) {
        QImage image = canvas(metrics.columnWidth, metrics.contentHeight(), scale, palette);
        QPainter painter(&image);
        tiles.column(day, metrics, scale).paint(painter, palette, 0, metrics.contentHeight());
        painter.end();
        images.push_back(image);
    }
    return images;
}

// The tiles of a page shown for the first time are laid out and drawn on several threads; each
// column must look exactly as when the main thread draws it (same fonts, times of day, colours).
TEST(TileWorkers, ColumnsDrawnOnTheWorkersLookAsDrawnOnTheCallingThread) {
    const Calendar cal = test::berlin();
    test::ListDays source(cal, busyWeek(cal));
    source.request(at(cal, 2026, 3, 9), at(cal, 2026, 3, 16));
    std::vector<Instant> days;
    for (int day = 9; day < 16; ++day) {
        days.push_back(at(cal, 2026, 3, day));
    }
    const GridPalette palette = GridPalette::from(QPalette());
    TimeGridMetrics metrics;
    metrics.columnWidth = 180;
    for (const double scale : {1.0, 2.0}) {
        TimeGridTiles onCaller(cal);
        onCaller.setSource(&source);
        const std::vector<QImage> expected = paintColumns(onCaller, days, metrics, palette, scale);

        TimeGridTiles onWorkers(cal);
        onWorkers.setSource(&source);
        // Laid out on the workers as well, all columns at once.
        std::vector<std::function<void()>> jobs;
        for (TimeGridColumn* column : onWorkers.columns(days, metrics, scale)) {
            std::vector<std::function<void()>> tiles =
                column->drawingJobs(palette, 0, metrics.contentHeight());
            EXPECT_FALSE(tiles.empty());
            std::move(tiles.begin(), tiles.end(), std::back_inserter(jobs));
        }
        TileWorkers::forEach(jobs.size(), [&jobs](std::size_t i) { jobs[i](); });
        for (const Instant day : days) {
            EXPECT_TRUE(onWorkers.column(day, metrics, scale)
                            .drawingJobs(palette, 0, metrics.contentHeight())
                            .empty());
        }
        const std::vector<QImage> drawn = paintColumns(onWorkers, days, metrics, palette, scale);
        for (std::size_t i = 0; i < days.size(); ++i) {
            EXPECT_TRUE(drawn[i] == expected[i]) << "day " << i << " at scale " << scale;
        }
    }
}

QImage paintHeader(const TimeGridHeader& header, const TimeGridMetrics& metrics,
                   const GridPalette& palette, double scale) {
    QImage image = canvas(metrics.columnWidth, metrics.headerHeight(), scale, palette);
    QPainter painter(&image);
    header.paint(painter, palette);
    return image;
}

// Headers are drawn into pictures on the workers too: the same as drawn here, today's and a
// weekend's, with their all-day chips; and drawn again in another palette.
TEST(TileWorkers, HeadersDrawnOnTheWorkersLookAsDrawnOnTheCallingThread) {
    const Calendar cal = test::berlin();
    TimeGridMetrics metrics;
    metrics.columnWidth = 180;
    metrics.allDayRows = 2;
    const GridPalette light = GridPalette::from(QPalette());
    std::vector<TimeGridHeader> here;
    std::vector<TimeGridHeader> onWorkers;
    for (int day = 13; day < 16; ++day) {
        std::vector<CalEvent> allDay;
        for (int k = 0; k < day - 12; ++k) {
            CalEvent event = gridEvent("a" + std::to_string(day) + std::to_string(k),
                                       "Conference day " + std::to_string(k), at(cal, 2026, 3, day),
                                       at(cal, 2026, 3, day + 1));
            event.isAllDay = true;
            allDay.push_back(event);
        }
        for (auto* headers : {&here, &onWorkers}) {
            headers->emplace_back(cal);
            headers->back().configure(at(cal, 2026, 3, day), allDay, metrics, day == 13, 2);
        }
    }
    std::vector<QImage> expected;
    for (const TimeGridHeader& header : here) {
        expected.push_back(paintHeader(header, metrics, light, 2));
    }
    TileWorkers::forEach(onWorkers.size(), [&](std::size_t i) {
        EXPECT_TRUE(onWorkers[i].lacksPicture(light));
        onWorkers[i].drawPicture(light);
    });
    for (std::size_t i = 0; i < onWorkers.size(); ++i) {
        EXPECT_FALSE(onWorkers[i].lacksPicture(light));
        EXPECT_TRUE(paintHeader(onWorkers[i], metrics, light, 2) == expected[i]) << "header " << i;
    }
    const GridPalette dark = GridPalette::dark();
    EXPECT_TRUE(onWorkers.front().lacksPicture(dark));
    EXPECT_FALSE(paintHeader(onWorkers.front(), metrics, dark, 2) == expected.front());
}

} // namespace
} // namespace plannery
