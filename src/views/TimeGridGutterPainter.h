#pragma once

#include "grid/TimeGridGutter.h"
#include "grid/TimeGridMetrics.h"
#include "model/Calendar.h"
#include "model/Instant.h"
#include "views/GridPalette.h"

#include <QString>

#include <optional>
#include <vector>

class QPainter;

namespace plannery {

// The hour gutter: the 25 hour labels and, while the current time is on screen, the red now
// label that replaces the hour labels it would overlap. Coordinates are the scrolling content's
// (y of the metrics), x from the gutter's left edge.
class TimeGridGutterPainter {
  public:
    explicit TimeGridGutterPainter(Calendar calendar);

    // `now` is the current instant when the now line is shown on today's column, else none.
    void configure(const TimeGridMetrics& metrics, double gutterWidth, std::optional<Instant> now,
                   std::optional<double> nowMinute, double scale);

    void paint(QPainter& painter, const GridPalette& palette) const;

    // The widest hour label + 9 (39 without labels) against 12:58 in the compact time format
    // × 0.88 + 3, rounded up.
    double preferredWidth() const;

    const std::vector<GutterLabel>& labels() const { return m_labels; }
    const std::optional<Rect>& nowFrame() const { return m_nowFrame; }

  private:
    Calendar m_calendar;
    std::vector<QString> m_texts;
    std::vector<GutterLabel> m_labels;
    std::optional<Rect> m_nowFrame;
    QString m_nowText;
};

} // namespace plannery
