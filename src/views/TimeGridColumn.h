#pragma once

#include "grid/TimeGridLayout.h"
#include "grid/TimeGridMetrics.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/GridPalette.h"
#include "views/TileFonts.h"

#include <QImage>
#include <QPointF>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace plannery {

// One day column of the time grid: its hour lines, right edge and event tiles, in the column's
// coordinates (x from its left edge, y from the top of the scrolling content). The tiles are laid
// out once per day, event list, metrics and display scale.
class TimeGridColumn {
  public:
    using Events = std::shared_ptr<const std::vector<CalEvent>>;

    explicit TimeGridColumn(Calendar calendar);

    // Nothing is recomputed when all four are unchanged (the event list by identity).
    void configure(Instant day, const Events& events, const TimeGridMetrics& metrics, double scale);
    // Whether `configure` with these would lay the tiles out again.
    bool changes(Instant day, const Events& events, const TimeGridMetrics& metrics,
                 double scale) const;
    // Lets go of the day's events and the tiles' pictures while the column waits for another
    // day; it is configured again before it is used.
    void release();

    Instant day() const { return m_day; }
    const std::vector<TimeGridTile>& tiles() const { return m_tiles; }

    // Paints lines and tiles; `visibleTop`/`visibleBottom` (content y) skip tiles out of sight.
    void paint(QPainter& painter, const GridPalette& palette, double visibleTop,
               double visibleBottom) const;

    // Draws every tile's picture now, so that the first paint of the column only copies them.
    void prepare(const GridPalette& palette) const;
    // The drawing of the pictures of the tiles between `visibleTop` and `visibleBottom` that have
    // none yet, in small batches that may run on several threads at once, each with a calendar
    // of its own, while nothing else uses the column. `palette` must outlive the jobs.
    std::vector<std::function<void()>> drawingJobs(const GridPalette& palette, double visibleTop,
                                                   double visibleBottom) const;

    // The topmost event whose tile, extended a point above and below, contains p.
    std::optional<CalEvent> eventAt(QPointF p) const;

  private:
    void layout();
    static bool inSight(const TimeGridTile& tile, double visibleTop, double visibleBottom);
    // The tile's picture in device pixels; empty when the tile is drawn directly instead.
    QSize layerPixels(std::size_t index) const;
    // Forgets the pictures when they were drawn in another palette.
    void matchPalette(const GridPalette& palette) const;
    // The tiles in sight whose pictures are still to be drawn, in `palette`.
    std::vector<std::size_t> undrawn(const GridPalette& palette, double visibleTop,
                                     double visibleBottom) const;
    // Draws one tile's picture, reading times in `calendar` (the column's own, or a copy on
    // another thread) and writing in `fonts` (made on the same thread). The pictures must be in
    // the palette already.
    void drawLayer(std::size_t index, const GridPalette& palette, const Calendar& calendar,
                   TileFonts& fonts) const;
    const QImage& layer(std::size_t index, const GridPalette& palette, TileFonts& fonts) const;

    Calendar m_calendar;
    Instant m_day{};
    Events m_events;
    TimeGridMetrics m_metrics{};
    double m_scale = 1;
    bool m_configured = false;
    std::vector<TimeGridTile> m_tiles;
    // Each tile drawn once into its own image and reused until the layout or the palette
    // changes, so a repaint only copies pixels.
    mutable std::vector<QImage> m_layers;
    mutable GridPalette m_layerPalette{};
};

} // namespace plannery
