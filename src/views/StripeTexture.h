#pragma once

#include "model/CalEvent.h"

#include <QImage>
#include <QPointF>

#include <optional>
#include <vector>

class QPainter;

namespace plannery {

// The diagonal bands of a stripe of several calendars repeat every `count` bands down the
// stripe. One period, drawn once into a small picture and kept, fills a stripe of any height
// with the pixels its bands would give, for a fraction of drawing each band's polygon and
// clipping them to the tile's shape.
namespace StripeTexture {

// The period for a stripe `width` points wide whose top-left corner is at `topLeft` in the
// painter's coordinates, to be tiled from that corner; nullopt when the stripe does not lie on
// whole device pixels or a period is not a whole number of them (fractional display scales),
// where the bands are drawn one by one. Pictures are kept per thread, since tiles are drawn on
// several.
std::optional<QImage> period(const QPainter& painter, const std::vector<CalendarRef>& calendars,
                             QPointF topLeft, double width);

} // namespace StripeTexture

} // namespace plannery
