#pragma once

#include "grid/TimeGridMetrics.h"
#include "views/GridPalette.h"

#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

// What the time grid draws over its columns: the current-time line, the corner above the hour
// gutter, and the ghost of a new event being proposed.
namespace plannery::TimeGridOverlay {

// The red line across today's column (its left edge at x `left`) and its dot, y in the scrolling
// content's coordinates.
void paintNow(QPainter& painter, const GridPalette& palette, const TimeGridMetrics& metrics,
              double left, double minute);

// The "all-day" label beside the chips and, when `chevronExpanded` is given, the chevron that
// expands (pointing down) or collapses (pointing up) the all-day area.
void paintCorner(QPainter& painter, const GridPalette& palette, const TimeGridMetrics& metrics,
                 double gutterWidth, double scale, std::optional<bool> chevronExpanded);

// The proposed event: tinted fill, border, and its two-line label, at `alpha`.
void paintGhost(QPainter& painter, const GridPalette& palette, QRectF frame, const QString& label,
                double alpha);

} // namespace plannery::TimeGridOverlay
