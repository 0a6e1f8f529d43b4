#pragma once

#include <QPointF>

#include <optional>

class QPainter;

namespace plannery {

// Where a painter's points fall on the device's pixels, for drawing that reuses kept pictures:
// a picture fits exactly only where it lands on whole pixels at a whole scale. At fractional
// scales the raster engine samples a picture's pixels off their places.
namespace PixelGrid {

bool whole(double value);

// The device pixels per point of a painter that only moves and scales by a whole number, alike
// both ways; nullopt for any other.
std::optional<double> wholeScale(const QPainter& painter);

// Whether `point` (the painter's coordinates) lands on a pixel corner of the device.
bool onPixelCorner(const QPainter& painter, QPointF point);

} // namespace PixelGrid

} // namespace plannery
