#pragma once

#include "model/CalEvent.h"

#include <QColor>
#include <QImage>
#include <QPointF>

#include <optional>
#include <vector>

class QPainter;

namespace plannery {

// The patterns inside event tiles repeat: the diagonal bands of a stripe of several calendars
// every `count` bands down the stripe, the hatching of a tentative event every few points both
// ways. One period, drawn once into a small picture and kept, fills a tile's part of any size
// with the pixels the pattern's own polygons or strokes would give, for a fraction of drawing
// them and clipping them to the tile's rounded shape.
//
// Each picture is to be tiled from the given top-left corner (the brush origin), in the painter's
// coordinates. There is none (nullopt) at fractional display scales, or where that corner does not
// lie on whole device pixels: the caller then draws the pattern itself. Pictures are kept per
// thread, since tiles are drawn on several.
namespace TilePatterns {

// The bands of a stripe `width` points wide.
std::optional<QImage> stripe(const QPainter& painter, const std::vector<CalendarRef>& calendars,
                             QPointF topLeft, double width);

// The hatch strokes in `color` of a tentative event's shape.
std::optional<QImage> hatch(const QPainter& painter, const QColor& color, QPointF topLeft);

} // namespace TilePatterns

} // namespace plannery
