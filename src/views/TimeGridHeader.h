#pragma once

#include "grid/TimeGridHeaderLayout.h"
#include "grid/TimeGridMetrics.h"
#include "model/CalEvent.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/GridPalette.h"

#include <QImage>
#include <QPointF>

#include <vector>

class QPainter;

namespace plannery {

// One day's header: the weekday and day number (today's on a red disc) and the all-day chips,
// in the header's coordinates (origin at its top-left, `metrics.columnWidth` wide).
class TimeGridHeader {
  public:
    // What a click in the header is on; `event` only for Kind::event.
    struct Hit {
        HeaderHit::Kind kind = HeaderHit::Kind::none;
        std::optional<CalEvent> event{};
    };

    explicit TimeGridHeader(Calendar calendar);

    // `allDay` holds the day's all-day events in display order. Nothing is recomputed when day,
    // events, today flag, metrics and scale are unchanged.
    void configure(Instant day, std::vector<CalEvent> allDay, const TimeGridMetrics& metrics,
                   bool isToday, double scale);
    // Lets go of the day's events while the header waits for another day; it is configured
    // again before it is used.
    void release();

    // Copies the header's picture, drawn first when it has none in this palette.
    void paint(QPainter& painter, const GridPalette& palette) const;
    // Whether the header has yet to be drawn into its picture in `palette`, and drawing it.
    // Drawing touches only this header, so headers can be drawn on several threads at once while
    // nothing else uses them.
    bool lacksPicture(const GridPalette& palette) const;
    void drawPicture(const GridPalette& palette) const;
    Hit hit(QPointF p) const;

    const std::vector<HeaderChip>& chips() const { return m_chips; }
    const HeaderLabelFrames& labelFrames() const { return m_frames; }

  private:
    void rebuild();
    void draw(QPainter& painter, const GridPalette& palette) const;
    void paintChip(QPainter& painter, const GridPalette& palette, const HeaderChip& chip) const;

    Calendar m_calendar;
    Instant m_day{};
    std::vector<CalEvent> m_allDay;
    TimeGridMetrics m_metrics{};
    bool m_isToday = false;
    double m_scale = 1;
    bool m_configured = false;

    QString m_weekdayText;
    QString m_numberText;
    HeaderLabelFrames m_frames{};
    std::vector<HeaderChip> m_chips;
    bool m_weekend = false;
    // The header drawn once and copied until its day, events, layout or palette change.
    mutable QImage m_picture;
    mutable GridPalette m_picturePalette{};
};

} // namespace plannery
