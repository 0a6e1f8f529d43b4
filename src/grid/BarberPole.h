#pragma once

#include "grid/Geometry.h"

#include <vector>

namespace plannery {

// One fill path: closed polygons filled together in one colour.
using FillPath = std::vector<Polygon>;

// The geometry of the diagonal stripe that marks an event held by several calendars: bands of a
// fixed vertical thickness rising at 45° to the right, their colours repeating in calendar order
// from the top-left corner. Bands reach outside the rect; the painter clips to it.
namespace BarberPole {

// The vertical thickness of one band in the stripes the views draw, in points.
inline constexpr double standardBand = 5;

// One path per colour. With fewer than two colours, or an empty rect, the single path is the
// whole rect. A band that is not a positive, finite thickness also gives the whole rect.
std::vector<FillPath> paths(const Rect& rect, int count, double band);

} // namespace BarberPole

// The shape of one colour of a stripe in the standard 5-point bands, for views that layer one
// shape per colour.
struct BarberBand {
    int index = 0;
    int count = 1;

    friend bool operator==(const BarberBand&, const BarberBand&) = default;

    // Path `index` of the stripe; empty when the index names no path.
    FillPath path(const Rect& rect) const;
};

} // namespace plannery
