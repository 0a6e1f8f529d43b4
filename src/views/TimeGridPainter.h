#pragma once

#include "grid/TimeGridHourScroll.h"
#include "grid/TimeGridPager.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "views/DaySource.h"
#include "views/GridPalette.h"
#include "views/TimeGridGutterPainter.h"
#include "views/TimeGridHeader.h"
#include "views/TimeGridNowLine.h"
#include "views/TimeGridTiles.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPainter;
class QPalette;

namespace plannery {

// Draws the time grid as its state says (the pager across, the hours down, the current time) with
// the events the day source has loaded, and finds what is drawn where. It keeps the live day
// columns and headers of the days near the screen, each drawn once and copied after.
class TimeGridPainter {
  public:
    // A marker for UI tests: "column-DAYKEY" or "headerTitle-DAYKEY" and its frame.
    struct Marker {
        std::string identifier;
        QRectF frame;
    };

    // What one frame shows.
    struct Scene {
        const TimeGridPager& pager;
        const TimeGridHourScroll& hours;
        const TimeGridNowLine& now;
        QSizeF size;
        double scale = 1; // device pixels per point
    };

    TimeGridPainter(Calendar calendar, const QPalette& palette);

    void setCalendar(Calendar calendar);
    void setPalette(const QPalette& palette);
    const GridPalette& palette() const { return m_palette; }
    // Read only: drawing never asks for days, it shows what has been loaded.
    void setSource(const DaySource* source);
    double gutterPreferredWidth() const { return m_gutter.preferredWidth(); }

    // The events are read from the source again (new events arrived, or all changed).
    void forgetEvents();
    // What the days of a page hold that decides the hours; the band only with fitted hours.
    TimeGridPageHours pageHours(const std::vector<Instant>& days,
                                const std::optional<TimeGridHourRange>& fit);
    // The all-day events of the busiest of `days`.
    int mostAllDay(const std::vector<Instant>& days);
    // Only the tiles of `days` stay live; the others wait in pools.
    void keep(const std::vector<Instant>& days);
    // Lays out and draws a day's tiles and header ahead of need, so that showing it only copies
    // pixels.
    void prepare(Instant day, const TimeGridMetrics& metrics, bool isToday, double scale);
    std::size_t tileCount() const { return m_tiles.tileCount(); }
    std::size_t liveDays() const { return m_tiles.liveDays(); }

    void paint(QPainter& painter, const Scene& scene);
    // The topmost event whose tile is under `p` (view coordinates).
    std::optional<CalEvent> eventAt(const Scene& scene, QPointF p);
    // What a click at `p` in the header is on.
    TimeGridHeader::Hit headerHit(const Scene& scene, QPointF p);
    // Where the columns and their headers on screen are.
    static std::vector<Marker> markers(const Scene& scene);

  private:
    // What a frame draws before it copies: the live columns in sight, the jobs that draw their
    // missing pictures, and for each column the count of jobs up to its last.
    struct Drawing {
        std::vector<TimeGridColumn*> columns{};
        std::vector<std::function<void()>> jobs{};
        std::vector<std::size_t> columnEnds{};
    };

    Drawing drawing(const Scene& scene, const std::vector<TimeGridColumnPlace>& columns);
    void paintBody(QPainter& painter, const Scene& scene,
                   const std::vector<TimeGridColumnPlace>& columns);
    void paintHeaders(QPainter& painter, const Scene& scene,
                      const std::vector<TimeGridColumnPlace>& columns);
    void paintGutter(QPainter& painter, const Scene& scene);
    static bool isToday(const Scene& scene, Instant day);

    Calendar m_calendar;
    GridPalette m_palette;
    TimeGridTiles m_tiles;
    TimeGridGutterPainter m_gutter;
};

} // namespace plannery
